#include "desktop/Gamepad.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "front/GlutCallbacks.h"
#include "front/Trackball.h"
#include "replay/ReplayPlayer.h"
#include "support/Recording.h"

// A recorded game worked, through the toolkit's idle and keyboard callbacks, by a controller plugged
// into SDL as a virtual joystick whose buttons and axes (numbered as SDL's controller ones) the test
// sets, a step before each idle call from the first; a trigger's 0 to 1 is the axis's -32768 to
// 32767. A pad pulled out holding Start and a trigger leaves nothing held, and a button held as a
// pad is plugged in is no press.
TEST_F(RecordingTest, GamepadPressesAreTheKeysOnceEachAndTheirGameReplays) {
    Trackball trackball{3.0, 256, 256};
    callbacks::bindCallbacks(game, trackball);
    Gamepad gamepad;
    ASSERT_TRUE(gamepad.start());
    const std::string file = (folder / "pad.replay").string();
    ASSERT_EQ(recorder.open(file, modelHash, {}), "");
    SDL_Joystick* pad = nullptr;
    enum { button, trigger, plug, unplug };
    const int LT = SDL_CONTROLLER_AXIS_TRIGGERLEFT, RT = SDL_CONTROLLER_AXIS_TRIGGERRIGHT, X = SDL_CONTROLLER_AXIS_LEFTX;
    const int LS = SDL_CONTROLLER_BUTTON_LEFTSHOULDER, RS = SDL_CONTROLLER_BUTTON_RIGHTSHOULDER;
    const std::vector<std::tuple<int, int, double>> steps = {
        {plug, 0, 0}, {button, LS, 1}, {trigger, RT, 0}, {trigger, LT, 1}, {button, LS, 0},
        {trigger, LT, 0}, {trigger, RT, 0.6}, {trigger, RT, 0.45}, {trigger, RT, 0.9}, {trigger, RT, 0.3},
        {button, SDL_CONTROLLER_BUTTON_A, 1}, {button, SDL_CONTROLLER_BUTTON_BACK, 1}, {trigger, X, 1},
        {button, SDL_CONTROLLER_BUTTON_START, 1}, {trigger, RT, 1}, {unplug, 0, 0}, {plug, 0, 1},
        {button, RS, 1}};
    callbacks::idle();  // the first World
    for (const auto& [what, index, value] : steps) {
        if (what == plug) {
            pad = SDL_JoystickOpen(SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                                             SDL_CONTROLLER_BUTTON_MAX, 0));
            for (int axis : {LT, RT}) SDL_JoystickSetVirtualAxis(pad, axis, -32768);  // an axis starts half way
            SDL_JoystickSetVirtualButton(pad, LS, Uint8(value));
        } else if (what == unplug) {
            for (int i = 0; i < SDL_NumJoysticks(); ++i)
                if (SDL_JoystickGetDeviceInstanceID(i) == SDL_JoystickInstanceID(pad)) SDL_JoystickDetachVirtual(i);
            SDL_JoystickClose(pad);
        } else if (what == button) {
            SDL_JoystickSetVirtualButton(pad, index, Uint8(value));
        } else {
            SDL_JoystickSetVirtualAxis(pad, index, Sint16(-32768 + value * 65535));
        }
        callbacks::idle();
    }
    ASSERT_EQ(recorder.finish(game), "");
    const std::string connected = "gamepad connected: Virtual Controller\n";
    EXPECT_EQ(console.out.text(), "Read in \n" + connected + "Read in \ngamepad disconnected: Virtual Controller\n" + connected);

    Result<Replay> loaded = loadReplay(file);
    ASSERT_TRUE(loaded.ok()) << loaded.problem().line();
    Replay replay = std::move(loaded.value());
    std::string keys;  // each key after the number of the idle call it came before
    for (const ReplayKey& key : replay.keys) keys += std::to_string(key.idle) + char(key.key) + ' ';
    EXPECT_EQ(keys, "2f 7j 14n 15j 18j ");
    PlainGame again;
    ReplayPlayer player(std::move(replay));
    again.game.observer = &player;
    while (!player.over(again.game)) again.game.idle();
    EXPECT_TRUE(player.verified()) << player.verdict();
}
