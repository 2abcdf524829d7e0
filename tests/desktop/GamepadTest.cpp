#include "desktop/Gamepad.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "front/GlutCallbacks.h"
#include "front/Trackball.h"
#include "replay/ReplayPlayer.h"
#include "support/Recording.h"

namespace {

// A controller plugged into SDL as a virtual joystick with the game controller's buttons and axes,
// numbered as SDL numbers them, which the test presses.
class VirtualPad {
public:
    VirtualPad() {
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        desc.name = "test pad";
        joystick_ = SDL_JoystickOpen(SDL_JoystickAttachVirtualEx(&desc));
        // An axis rests at 0, a trigger half way: at rest a trigger reads -32768.
        trigger(SDL_CONTROLLER_AXIS_TRIGGERLEFT, 0.0);
        trigger(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 0.0);
    }
    ~VirtualPad() { unplug(); }
    void button(SDL_GameControllerButton button, bool down) { SDL_JoystickSetVirtualButton(joystick_, button, down); }
    void axis(SDL_GameControllerAxis axis, Sint16 value) { SDL_JoystickSetVirtualAxis(joystick_, axis, value); }
    // Pulled this fraction of the way: the virtual axis's -32768 to 32767 is the trigger's 0 to 1.
    void trigger(SDL_GameControllerAxis axis, double fraction) { this->axis(axis, Sint16(-32768 + fraction * 65535)); }
    void unplug() {
        if (joystick_ == nullptr) return;
        const SDL_JoystickID id = SDL_JoystickInstanceID(joystick_);
        for (int i = 0; i < SDL_NumJoysticks(); ++i)
            if (SDL_JoystickGetDeviceInstanceID(i) == id) SDL_JoystickDetachVirtual(i);
        SDL_JoystickClose(joystick_);
        joystick_ = nullptr;
    }

private:
    SDL_Joystick* joystick_ = nullptr;
};

// Recorded games worked by a virtual controller through the toolkit's own idle and keyboard callbacks.
class GamepadTest : public RecordingTest {
protected:
    void SetUp() override {
        RecordingTest::SetUp();
        bindCallbacks(game, trackball);
        ASSERT_TRUE(gamepad.start());
    }
    Trackball trackball{3.0, 256, 256};
    Gamepad gamepad;
};

}  // namespace

TEST_F(GamepadTest, PressesReachTheFlippersAndTheRecordingAsKeysAndTheReplayVerifies) {
    const std::string file = (folder / "pad.replay").string();
    ASSERT_EQ(recorder.open(file, modelHash, {}), "");
    idle();  // the first World
    auto pad = std::make_unique<VirtualPad>();
    using B = SDL_GameControllerButton;
    const auto LT = SDL_CONTROLLER_AXIS_TRIGGERLEFT, RT = SDL_CONTROLLER_AXIS_TRIGGERRIGHT;
    // Each step is done to the controller before one idle call (1, 2, ...).
    const std::vector<std::function<void()>> steps = {
        [] {},  // idle 1: the controller is taken in
        [&] { pad->button(SDL_CONTROLLER_BUTTON_LEFTSHOULDER, true); },
        [] {},  // held
        [&] { pad->button(SDL_CONTROLLER_BUTTON_LEFTSHOULDER, false); },
        [&] { pad->trigger(RT, 0.6); },
        [&] { pad->trigger(RT, 0.45); },  // still held
        [&] { pad->trigger(RT, 0.9); },
        [&] { pad->trigger(RT, 0.3); },
        [&] {  // none of these is a key
            for (B b : {SDL_CONTROLLER_BUTTON_A, SDL_CONTROLLER_BUTTON_Y, SDL_CONTROLLER_BUTTON_BACK,
                        SDL_CONTROLLER_BUTTON_GUIDE, SDL_CONTROLLER_BUTTON_DPAD_LEFT}) pad->button(b, true);
            pad->axis(SDL_CONTROLLER_AXIS_LEFTX, 32767);
        },
        [&] { pad->trigger(LT, 0.55); },  // idle 10
        [&] { pad->button(SDL_CONTROLLER_BUTTON_START, true); },
        [&] { pad->trigger(RT, 1.0); },
        [&] { pad.reset(); },  // idle 13: pulled out holding both triggers and Start
        [&] { pad = std::make_unique<VirtualPad>(); },
        [&] { pad->button(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, true); },  // idle 15
    };
    for (std::size_t step = 0; step < steps.size(); ++step) {
        steps[step]();
        idle();
        if (step == 1) {
            EXPECT_NE(game.currentWorld->leftFlipper.swingActive, 0);
        }
        if (step == 4) {
            EXPECT_NE(game.currentWorld->rightFlipper.swingActive, 0);
        }
    }
    for (int i = 0; i < 300; ++i) idle();
    ASSERT_EQ(recorder.finish(game), "");
    // One line as each controller comes and goes, between the reader's lines of the two games.
    EXPECT_EQ(console.out.text(), "Read in \ngamepad connected: test pad\nRead in \ngamepad disconnected: test pad\n"
                                  "gamepad connected: test pad\n");

    Replay replay;
    std::ifstream in(file);
    ASSERT_EQ(readReplay(in, file, replay), "");
    std::vector<std::pair<long long, char>> keys;
    for (const ReplayKey& key : replay.keys) keys.emplace_back(key.idle, char(key.key));
    EXPECT_EQ(keys, (std::vector<std::pair<long long, char>>{{2, 'f'}, {5, 'j'}, {10, 'f'}, {11, 'n'}, {12, 'j'}, {15, 'j'}}));

    Game again;
    again.modelFileName = plainGameModel.c_str();
    again.restartRequested = true;
    ReplayPlayer player(std::move(replay));
    again.observer = &player;
    while (!player.over(again)) again.idle();
    EXPECT_TRUE(player.verified()) << player.verdict();
}
