#include "desktop/Shell.h"

#include <GL/glut.h>

#include <chrono>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "desktop/GameData.h"
#include "desktop/Gamepad.h"
#include "desktop/GameSound.h"
#include "desktop/Options.h"
#include "desktop/Session.h"
#include "desktop/WindowFit.h"
#include "front/GlutCallbacks.h"
#include "game/Freeze.h"
#include "game/Game.h"
#include "game/Pacing.h"

namespace {


constexpr const char* usageHead =
    "usage: flipper [--tick-rate N] [--model FILE] [--record FILE | --replay FILE [--frames DIR]]\n"
    "               [--freeze-at N] [--mute] [--volume N] [--no-gamepad] [toolkit options]\n";
constexpr const char* usageTail =
    "  --help               print this and exit\n"
    "toolkit options, taken by GLUT:\n"
    "  -display DISPLAY     the X display to open\n"
    "  -geometry +X+Y       where to place the window (its size stays 768 x 768)\n"
    "  -iconic, -direct, -indirect, -sync, -gldebug\n"
    "The game reads its ball (sphere.iv), woman.bmp and head.bmp from the working directory, or else\n"
    "from ../share/games/flipper beside the program, or else from the program's own folder.\n";

std::string usage() { return usageHead + gameOptionsUsage() + usageTail; }

bool asksForHelp(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) return true;
    return false;
}

// The idle callback's pacing, if any, and the recording or replay: they live as long as the event loop.
std::unique_ptr<Pacing> pacing;
std::unique_ptr<Session> session;
GameOptions options;

// With --freeze-at: the game and the tick it stops stepping at.
Game* freezingGame = nullptr;
long long freezeTick = -1;
constexpr std::chrono::milliseconds frozenRedrawPeriod{16};

// Plays one idle call unpaced until the tick count reaches the freeze tick (a restart plays on to it
// again), then only redraws the picture, about 60 times a second.
void idleUntilFrozen() {
    if (!frozen(*freezingGame, freezeTick)) {
        callbacks::idle();
        return;
    }
    glutPostRedisplay();
    std::this_thread::sleep_for(frozenRedrawPeriod);
}

}  // namespace

int runGame(int argc, char** argv, Game& game, Trackball& trackball) {
    // The usage is answered before the toolkit opens the display, so it can be read anywhere.
    if (asksForHelp(argc, argv)) {
        std::cout << usage() << std::flush;
        return 0;
    }

    // The game's own options all start with "--": they are checked, and the files they name looked
    // at, before the toolkit opens the display too, so a mistake is reported even where there is no display.
    std::vector<char*> own{argv[0]};
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--", 2) != 0) continue;
        own.push_back(argv[i]);
        if (takesNextArgument(argv[i]) && i + 1 < argc) own.push_back(argv[++i]);
    }
    Result<GameOptions> parsed = parseGameOptions(int(own.size()), own.data());
    if (parsed.ok()) options = parsed.value();
    Problem modelMissing = locateModel(options);
    if (parsed.ok()) {
        session = std::make_unique<Session>();
        const std::string unprepared = session->prepare(options);
        if (!unprepared.empty()) {
            std::cerr << unprepared << '\n' << std::flush;
            session.reset();
            return 1;
        }
        glutInit(&argc, argv);  // takes the toolkit's own options out of argv
        parsed = parseGameOptions(argc, argv);
        if (parsed.ok()) options = parsed.value();
        modelMissing = locateModel(options);
    }
    if (!parsed.ok()) {
        std::cerr << "flipper: " << parsed.problem().line() << '\n' << usage() << std::flush;
        session.reset();
        return 2;
    }

    // Every check has passed: only now are files made.
    const std::string unopened = session->open(options);
    if (!unopened.empty()) {
        std::cerr << unopened << '\n' << std::flush;
        session.reset();
        return 1;
    }
    callbacks::bindWindowFit(fitToRenderer);
    openGameWindow(game, trackball);
    game.modelFileName = options.model.c_str();
    lookForDataIn(game, bool(modelMissing));
    pacing.reset();
    // The controllers press the player's keys: a replay, which ignores them, leaves them alone.
    Gamepad gamepad;
    if (options.gamepad && options.replay.empty()) gamepad.start();
    if (options.freezeAt >= 0) {
        // Frozen play is unpaced, whatever the tick rate says.
        callbacks::bindPacing(nullptr);
        freezingGame = &game;
        freezeTick = options.freezeAt;
        glutIdleFunc(idleUntilFrozen);
        glutMainLoop();
        return 0;
    }
    const double tickRate = session->tickRate(options);
    if (tickRate > 0.0) pacing = std::make_unique<Pacing>(tickRate);
    callbacks::bindPacing(pacing.get());
    // The sound listens beside the recording or replay, if there is one.
    GameSound sound;
    if (!session->active()) {
        sound.start(game, options);
        glutIdleFunc(callbacks::idle);
        glutMainLoop();
        return 0;
    }
    session->start(game);
    sound.start(game, options);
    glutMainLoop();
    int status = session->finish();
    session.reset();
    const std::string unwritten = sound.finish(game);
    if (!unwritten.empty()) {
        std::cerr << unwritten << '\n' << std::flush;
        status = 1;
    }
    return status;
}
