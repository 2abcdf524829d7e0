// The game controllers of a build without SDL: there are none.
#include "desktop/Gamepad.h"

struct Gamepad::Devices {};

Gamepad::Gamepad() = default;
Gamepad::~Gamepad() = default;
bool Gamepad::start() { return false; }
void Gamepad::poll() {}
