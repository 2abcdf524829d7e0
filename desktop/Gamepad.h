#pragma once

#include <memory>

/// The desktop game's game controllers, read through SDL's game controller layer with the mapping
/// database SDL ships. Every press a controller gives (desktop/PadMapping) goes to the game as its
/// key through the keyboard callback, so a recording writes it as the key. The controllers are read
/// at the start of every idle call, on the toolkit's thread. A build without SDL has one that never
/// finds a controller.
class Gamepad {
public:
    Gamepad();
    /// Stops reading and lets every controller go.
    ~Gamepad();
    Gamepad(const Gamepad&) = delete;
    Gamepad& operator=(const Gamepad&) = delete;

    /// Reads controllers from the next idle call on: those plugged in now and any plugged in later,
    /// each named in one console line as it comes and as it goes. Silent, and false, where there is no
    /// controller support, or when another Gamepad is reading already.
    bool start();
    /// Takes what the controllers did since the last call and presses their keys; the idle callback
    /// calls it once started.
    void poll();

private:
    struct Devices;
    std::unique_ptr<Devices> devices_;
};
