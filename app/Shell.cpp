#include "app/Shell.h"

#include <GL/glut.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/Game.h"
#include "app/GlutCallbacks.h"
#include "app/Pacing.h"
#include "obstacles/TexturedPanel.h"

namespace {

constexpr int windowSize = 768;  // pixels, both ways
constexpr const char* windowTitle = "Flipper";

constexpr const char* usage =
    "usage: flipper [--tick-rate N] [--freeze-at N] [toolkit options]\n"
    "  --tick-rate N        advance the game N ticks per wall-clock second, 1 to 1000000 (900 plays\n"
    "                       at a human pace); without it, one tick per idle call, as fast as the\n"
    "                       machine runs\n"
    "  --freeze-at N        play unpaced up to tick N, then stop stepping and keep drawing, so the\n"
    "                       picture at tick N can be compared (overrides --tick-rate)\n"
    "  --help               print this and exit\n"
    "toolkit options, taken by GLUT:\n"
    "  -display DISPLAY     the X display to open\n"
    "  -geometry +X+Y       where to place the window (its size stays 768 x 768)\n"
    "  -iconic, -direct, -indirect, -sync, -gldebug\n"
    "The game reads sphere.iv, woman.bmp and head.bmp from the working directory.\n";

/// What the command line asks for, once the toolkit has taken its own options.
struct Options {
    double tickRate = 0.0;  ///< ticks per second; 0 for no pacing
    long long freezeAt = -1;  ///< the tick to stop stepping at; -1 to play on
    std::string error;      ///< why the command line cannot be used; empty when it can
};

/// A rate must be a number written in full ("900", "62.5") that the pacing accepts.
bool parseRate(const char* text, double& rate) {
    if (*text == '\0') return false;
    char* end = nullptr;
    const double value = std::strtod(text, &end);
    if (*end != '\0' || !(value >= Pacing::minTicksPerSecond && value <= Pacing::maxTicksPerSecond)) return false;
    rate = value;
    return true;
}

constexpr const char* freezeOption = "--freeze-at";

/// A freeze tick: a whole number from 0 to the largest tick count.
bool parseFreezeTick(const char* text, long long& tick) {
    if (*text < '0' || *text > '9') return false;
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(text, &end, 10);
    if (*end != '\0' || errno == ERANGE || value > INT_MAX) return false;
    tick = value;
    return true;
}

Options parseOptions(int argc, char** argv) {
    Options options;
    constexpr const char* rateOption = "--tick-rate";
    const std::size_t rateLength = std::strlen(rateOption);
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == freezeOption || arg.rfind(std::string(freezeOption) + "=", 0) == 0) {
            const char* tick = arg == freezeOption ? (i + 1 < argc ? argv[++i] : "") : argv[i] + std::strlen(freezeOption) + 1;
            if (!parseFreezeTick(tick, options.freezeAt)) {
                options.error = std::string("bad tick '") + tick + "' for --freeze-at: it must be a whole number from 0";
                return options;
            }
            continue;
        }
        const char* value = nullptr;
        if (arg == rateOption) {
            if (i + 1 >= argc) {
                options.error = "--tick-rate needs a number of ticks per second";
                return options;
            }
            value = argv[++i];
        } else if (arg.compare(0, rateLength + 1, std::string(rateOption) + "=") == 0) {
            value = argv[i] + rateLength + 1;
        } else {
            options.error = "unknown option '" + arg + "'";
            return options;
        }
        if (!parseRate(value, options.tickRate)) {
            options.error = std::string("bad tick rate '") + value + "': it must be a number from 1 to 1000000";
            return options;
        }
    }
    return options;
}

bool asksForHelp(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) return true;
    return false;
}

// The idle callback's pacing, if any. The event loop never returns, so it lives for the program.
std::unique_ptr<Pacing> pacing;

// With --freeze-at: the game and the tick it stops stepping at.
Game* freezingGame = nullptr;
long long freezeTick = -1;
constexpr std::chrono::milliseconds frozenRedrawPeriod{16};

// Plays one idle call unpaced until the tick count reaches the freeze tick (a restart plays on to it
// again), then only redraws the picture, about 60 times a second.
void idleUntilFrozen() {
    const Game& game = *freezingGame;
    if (!game.currentWorld || game.restartRequested || game.tickCount < freezeTick) {
        idle();
        return;
    }
    glutPostRedisplay();
    std::this_thread::sleep_for(frozenRedrawPeriod);
}

}  // namespace

void loadPicture(TexturedPanel& panel, const char* fileName) {
    const std::string problem = panel.loadTexture(fileName);
    if (!problem.empty()) std::cerr << problem << '\n' << std::flush;
}

void openGameWindow(Game& game, Trackball& trackball) {
    glutInitWindowSize(windowSize, windowSize);
    glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE | GLUT_DEPTH);
    glutCreateWindow(windowTitle);
    game.modelFileName = "sphere.iv";
    game.textureLoader = loadPicture;
    bindCallbacks(game, trackball);
    initGL();
    registerCallbacks();
    game.restartRequested = true;
}

int runGame(int argc, char** argv, Game& game, Trackball& trackball) {
    // The usage is answered before the toolkit opens the display, so it can be read anywhere.
    if (asksForHelp(argc, argv)) {
        std::cout << usage << std::flush;
        return 0;
    }

    // The game's own options all start with "--": they are checked before the toolkit opens the
    // display too, so a mistake gets the usage even where there is no display.
    std::vector<char*> own{argv[0]};
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--", 2) != 0) continue;
        own.push_back(argv[i]);
        if ((std::strcmp(argv[i], "--tick-rate") == 0 || std::strcmp(argv[i], freezeOption) == 0) && i + 1 < argc)
            own.push_back(argv[++i]);
    }
    Options options = parseOptions(int(own.size()), own.data());
    if (options.error.empty()) {
        glutInit(&argc, argv);  // takes the toolkit's own options out of argv
        options = parseOptions(argc, argv);
    }
    if (!options.error.empty()) {
        std::cerr << "flipper: " << options.error << '\n' << usage << std::flush;
        return 2;
    }

    openGameWindow(game, trackball);
    pacing.reset();
    if (options.tickRate > 0.0 && options.freezeAt < 0) pacing = std::make_unique<Pacing>(options.tickRate);
    bindPacing(pacing.get());
    freezingGame = &game;
    freezeTick = options.freezeAt;
    glutIdleFunc(options.freezeAt >= 0 ? idleUntilFrozen : idle);
    glutMainLoop();
    return 0;
}
