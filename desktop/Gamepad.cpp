#include "desktop/Gamepad.h"

#include <SDL.h>

#include <iostream>
#include <map>
#include <string>

#include "desktop/PadMapping.h"
#include "front/GlutCallbacks.h"

namespace {

Gamepad* reading = nullptr;  // the Gamepad started; the idle callback polls it

void pollReading() {
    if (reading != nullptr) reading->poll();
}

// SDL gives a trigger from 0 at rest to 32767 pulled all the way.
float triggerFraction(Sint16 value) { return float(value) / 32767.0f; }

}  // namespace

/// The controllers open now, by SDL's instance id, each with its state and its mapping.
struct Gamepad::Devices {
    struct Pad {
        SDL_GameController* controller;
        std::string name;
        PadState state;
        PadMapping mapping;
    };
    std::map<SDL_JoystickID, Pad> pads;
    bool started = false;

    void open(int deviceIndex);
    void close(SDL_JoystickID id);
    void change(SDL_JoystickID id, const SDL_Event& event);
};

void Gamepad::Devices::open(int deviceIndex) {
    SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex);
    if (controller == nullptr) return;
    const SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
    if (pads.count(id) != 0) {
        SDL_GameControllerClose(controller);  // open already: this only counted it twice
        return;
    }
    const char* name = SDL_GameControllerName(controller);
    Pad& pad = pads[id] = Pad{controller, name != nullptr ? name : "a controller", {}, {}};
    // What the controller holds as it comes is where it starts, not a press. (SDL takes a trigger
    // as let go until it first moves.)
    pad.state.leftShoulder = SDL_GameControllerGetButton(controller, SDL_CONTROLLER_BUTTON_LEFTSHOULDER) != 0;
    pad.state.rightShoulder = SDL_GameControllerGetButton(controller, SDL_CONTROLLER_BUTTON_RIGHTSHOULDER) != 0;
    pad.state.start = SDL_GameControllerGetButton(controller, SDL_CONTROLLER_BUTTON_START) != 0;
    pad.state.leftTrigger = triggerFraction(SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_TRIGGERLEFT));
    pad.state.rightTrigger = triggerFraction(SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_TRIGGERRIGHT));
    pad.mapping.reset(pad.state);
    std::cout << "gamepad connected: " << pad.name << '\n' << std::flush;
}

// The game's keys only start swings and restarts: a controller pulled out with a button held leaves
// nothing held, and its flipper swings on to its end as after a key.
void Gamepad::Devices::close(SDL_JoystickID id) {
    const auto found = pads.find(id);
    if (found == pads.end()) return;
    SDL_GameControllerClose(found->second.controller);
    std::cout << "gamepad disconnected: " << found->second.name << '\n' << std::flush;
    pads.erase(found);
}

void Gamepad::Devices::change(SDL_JoystickID id, const SDL_Event& event) {
    const auto found = pads.find(id);
    if (found == pads.end()) return;
    PadState& state = found->second.state;
    if (event.type == SDL_CONTROLLERAXISMOTION) {
        const float fraction = triggerFraction(event.caxis.value);
        if (event.caxis.axis == SDL_CONTROLLER_AXIS_TRIGGERLEFT) state.leftTrigger = fraction;
        if (event.caxis.axis == SDL_CONTROLLER_AXIS_TRIGGERRIGHT) state.rightTrigger = fraction;
    } else {
        const bool down = event.cbutton.state == SDL_PRESSED;
        if (event.cbutton.button == SDL_CONTROLLER_BUTTON_LEFTSHOULDER) state.leftShoulder = down;
        if (event.cbutton.button == SDL_CONTROLLER_BUTTON_RIGHTSHOULDER) state.rightShoulder = down;
        if (event.cbutton.button == SDL_CONTROLLER_BUTTON_START) state.start = down;
    }
    // The keyboard callback itself, as if the keys had been typed.
    for (const char key : found->second.mapping.update(state)) callbacks::keyboard(static_cast<unsigned char>(key), 0, 0);
}

Gamepad::Gamepad() : devices_(std::make_unique<Devices>()) {}

Gamepad::~Gamepad() {
    if (!devices_->started) return;
    for (auto& [id, pad] : devices_->pads) SDL_GameControllerClose(pad.controller);
    callbacks::bindInputPoll(nullptr);
    reading = nullptr;
    SDL_Quit();
}

bool Gamepad::start() {
    if (reading != nullptr) return false;
    // SDL only reads the controllers here: the signals stay the game's (a recording ends whole on
    // Ctrl-C), and a controller is read while the toolkit's window, not one of SDL's, has the focus.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) return false;
    devices_->started = true;
    reading = this;
    callbacks::bindInputPoll(pollReading);
    return true;
}

void Gamepad::poll() {
    // Controllers already plugged in when SDL starts come as added devices too.
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        switch (event.type) {
        case SDL_CONTROLLERDEVICEADDED:
            devices_->open(event.cdevice.which);
            break;
        case SDL_CONTROLLERDEVICEREMOVED:
            devices_->close(event.cdevice.which);
            break;
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP:
            devices_->change(event.cbutton.which, event);
            break;
        case SDL_CONTROLLERAXISMOTION:
            devices_->change(event.caxis.which, event);
            break;
        default:
            break;
        }
    }
}
