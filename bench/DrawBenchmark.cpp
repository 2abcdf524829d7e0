// What a picture of the game costs and the frame rate the game loop gets, in the game's own window:
// the same window, OpenGL state, callbacks, pictures and pacing as the game, under a real X server
// (Xvfb with Mesa's software renderer in scripts/bench).
//
//   1. One full display (the game's display callback: clear, trackball rotation, drawScene, swap)
//      followed by glFinish, timed many times with the ball lying on the table; the same with no
//      World, which leaves only the clear and the swap.
//   2. The game loop as the game runs it: the toolkit's own event loop calling the game's idle
//      callback, unpaced (one Game::idle per idle call, a picture every 15th tick) and then paced,
//      as --tick-rate does, each for some seconds of play with the ball on the table: pictures drawn
//      and ticks done per wall-clock second.
//
// usage: flipper-draw-bench [--frames N] [--seconds S] [--tick-rate R] [toolkit options]
// Run from the folder holding sphere.iv, woman.bmp and head.bmp. Prints one "name value" line per
// figure, names in lower case; times are in microseconds of wall-clock time. The game's own console
// lines (a ball read, the spin limiter) come on the same output, as in the game.
#include <GL/gl.h>
#include <GL/glut.h>
#include <GL/freeglut_ext.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "desktop/Shell.h"
#include "desktop/WindowFit.h"
#include "front/GlutCallbacks.h"
#include "front/Trackball.h"
#include "game/Game.h"
#include "game/Pacing.h"
#include "obstacles/TexturedPanel.h"
#include "picture/Pictures.h"

using namespace callbacks;  // the benchmark plays the window's part

namespace {

using Clock = std::chrono::steady_clock;
using Seconds = std::chrono::duration<double>;

constexpr int windowSize = 768;         // pixels, both ways, as the game's window
constexpr int landingTicks = 300;       // the default ball has landed on the table by then
constexpr int measuredTicks = 2400;     // by then it has rolled past the left bumper to the left flipper
constexpr int warmUpFrames = 10;        // untimed: the renderer's first pictures set up its caches
constexpr double windowTimeout = 10.0;  // seconds to wait for the window to be shown

constexpr const char* usage =
    "usage: flipper-draw-bench [--frames N] [--seconds S] [--tick-rate R] [toolkit options]\n"
    "  --frames N     displays timed, with and without the World (default 300)\n"
    "  --seconds S    length of each game-loop measurement (default 3)\n"
    "  --tick-rate R  the paced loop's ticks per second (default 900, as scripts/run plays)\n"
    "Needs an X server; run it from the folder holding sphere.iv, woman.bmp and head.bmp.\n";

struct Options {
    int frames = 300;
    double seconds = 3.0;
    double tickRate = 900.0;
};

bool positiveNumber(const char* text, double& value) {
    char* end = nullptr;
    const double parsed = std::strtod(text, &end);
    if (*text == '\0' || *end != '\0' || !std::isfinite(parsed) || parsed <= 0.0) return false;
    value = parsed;
    return true;
}

// Reads the command line into options. Returns "" or why it cannot be used.
[[nodiscard]] std::string parseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc || (arg != "--frames" && arg != "--seconds" && arg != "--tick-rate"))
            return "cannot use '" + arg + "'";
        double value = 0.0;
        if (!positiveNumber(argv[++i], value)) return arg + " needs a positive number";
        if (arg == "--frames")
            options.frames = std::max(1, int(value));
        else if (arg == "--seconds")
            options.seconds = value;
        else
            options.tickRate = value;
    }
    return "";
}

// The state the callbacks share, as in the game; alive until the program ends.
Trackball trackball(3.0, 256, 256);
Game game;

double secondsSince(Clock::time_point start) { return Seconds(Clock::now() - start).count(); }

// Sample at fraction p of the sorted samples, nearest rank.
double percentile(const std::vector<double>& sorted, double p) {
    const std::size_t rank = std::size_t(std::ceil(p * double(sorted.size())));
    return sorted[std::min(sorted.size(), std::max<std::size_t>(rank, 1)) - 1];
}

void printTimes(const char* name, std::vector<double> micros) {
    std::sort(micros.begin(), micros.end());
    std::printf("%s_us_median %.0f\n", name, percentile(micros, 0.5));
    std::printf("%s_us_p10 %.0f\n", name, percentile(micros, 0.1));
    std::printf("%s_us_p90 %.0f\n", name, percentile(micros, 0.9));
    std::printf("%s_us_p99 %.0f\n", name, percentile(micros, 0.99));
}

// Whether every picture panel of the World has its texture: without them the table is cheaper to
// draw than the game's.
bool picturesLoaded(const World& world) {
    for (const Obstacle* o : world.obstacles) {
        const auto* panel = dynamic_cast<const TexturedPanel*>(o);
        if (panel != nullptr && panelTexture(*panel) == 0) return false;
    }
    return true;
}

// Services the window until the toolkit has shown it and reshape has given the trackball its size.
bool waitForWindow() {
    const Clock::time_point start = Clock::now();
    while (trackball.halfWidth != windowSize / 2 || trackball.halfHeight != windowSize / 2) {
        if (secondsSince(start) > windowTimeout) return false;
        glutMainLoopEvent();
    }
    return true;
}

// Times frames calls of the game's display callback, each finished with glFinish, after a few
// untimed ones. The window is serviced between two calls, outside the timed part.
std::vector<double> timeDisplays(int frames) {
    std::vector<double> micros;
    micros.reserve(std::size_t(frames));
    for (int i = -warmUpFrames; i < frames; ++i) {
        glutMainLoopEvent();
        const Clock::time_point start = Clock::now();
        display();
        glFinish();
        const double elapsed = secondsSince(start) * 1e6;
        if (i >= 0) micros.push_back(elapsed);
    }
    return micros;
}

/// One measurement of the game loop: pacing or none, and what it got.
struct LoopPhase {
    const char* name;                ///< prefix of the figures' names
    std::unique_ptr<Pacing> pacing;  ///< null: one Game::idle per idle call
    double seconds = 0.0;            ///< wall-clock time measured
    long long frames = 0;            ///< display calls in that time
    long long ticks = 0;             ///< step ticks in that time
    int games = 0;                   ///< games measured
};

std::vector<LoopPhase> phases;
std::size_t currentPhase = 0;
double phaseSeconds = 0.0;
long long displayCount = 0;
bool measuring = false;
int restartTick = 0;  // game.tickCount when the current game was asked for
Clock::time_point measureStart;
long long measureStartFrames = 0;
int measureStartTick = 0;

// The game's display callback, counted.
void countedDisplay() {
    display();
    ++displayCount;
}

// A new game, as a player starts one: 'n'.
void newGame() {
    keyboard('n', 0, 0);
    restartTick = game.tickCount;
    measuring = false;
}

void startPhase(LoopPhase& phase) {
    bindPacing(phase.pacing.get());
    newGame();
}

// The game's idle callback, then the measurement's bookkeeping: a clock reading, a few tens of
// nanoseconds against the microseconds of a tick.
//
// Left alone, the ball rolls off the near end of the table about 3000 ticks into a game and falls
// out of the picture. So a phase measures each game only from the ball's landing to the end of
// its first measuredTicks ticks, and starts new games until it has measured phaseSeconds; building
// the World and the fall onto the table are not measured.
void measuredIdle() {
    idle();
    const int ticksIntoGame = game.tickCount - restartTick;
    if (!measuring) {
        if (game.restartRequested || ticksIntoGame < landingTicks) return;
        measuring = true;
        measureStart = Clock::now();
        measureStartFrames = displayCount;
        measureStartTick = game.tickCount;
        return;
    }
    LoopPhase& phase = phases[currentPhase];
    const double elapsed = secondsSince(measureStart);
    if (ticksIntoGame < measuredTicks && phase.seconds + elapsed < phaseSeconds) return;
    phase.seconds += elapsed;
    phase.frames += displayCount - measureStartFrames;
    phase.ticks += game.tickCount - measureStartTick;
    phase.games += 1;
    if (phase.seconds < phaseSeconds) {
        newGame();
        return;
    }
    if (++currentPhase < phases.size()) {
        startPhase(phases[currentPhase]);
        return;
    }
    // The World and its pictures' textures are released while the window's context still exists.
    game.currentWorld.reset();
    releasePictures();
    glutLeaveMainLoop();
}

}  // namespace

int main(int argc, char** argv) {
    glutInit(&argc, argv);  // takes the toolkit's own options out of argv
    Options options;
    const std::string problem = parseOptions(argc, argv, options);
    if (!problem.empty()) {
        std::fprintf(stderr, "flipper-draw-bench: %s\n%s", problem.c_str(), usage);
        return 2;
    }

    bindWindowFit(fitToRenderer);     // the desktop game's own start-up
    openGameWindow(game, trackball);
    // Unlike the game's, this event loop must come back when the measurement is done.
    glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_GLUTMAINLOOP_RETURNS);

    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    std::printf("renderer %s\n", renderer != nullptr ? renderer : "unknown");
    std::printf("gl_version %s\n", version != nullptr ? version : "unknown");
    std::printf("window %dx%d\n", windowSize, windowSize);

    if (!waitForWindow()) {
        std::fprintf(stderr, "flipper-draw-bench: the window was not shown within %.0f s\n", windowTimeout);
        return 1;
    }
    // The game's first idle calls: the World is built, the ball falls onto the table.
    while (game.restartRequested || game.tickCount < landingTicks) {
        idle();
        glutMainLoopEvent();
        if (!game.loadError.empty()) return 1;  // the game has said why
    }
    if (!picturesLoaded(*game.currentWorld)) {
        std::fprintf(stderr, "flipper-draw-bench: the pictures were not loaded (the game has said why)\n");
        return 1;
    }

    // 1. One picture with the ball on the table, then the same without a World.
    std::printf("draw_frames %d\n", options.frames);
    printTimes("draw", timeDisplays(options.frames));
    std::unique_ptr<World> world = std::move(game.currentWorld);
    printTimes("clear_swap", timeDisplays(options.frames));
    game.currentWorld = std::move(world);
    std::fflush(stdout);

    // 2. The game loop, unpaced and paced, in the toolkit's own event loop.
    phases.push_back({"unpaced", nullptr});
    phases.push_back({"paced", std::make_unique<Pacing>(options.tickRate)});
    phaseSeconds = options.seconds;
    glutDisplayFunc(countedDisplay);
    glutIdleFunc(measuredIdle);
    startPhase(phases[0]);
    glutMainLoop();
    if (currentPhase < phases.size()) {
        std::fprintf(stderr, "flipper-draw-bench: the event loop ended before the measurement did\n");
        return 1;
    }

    std::printf("paced_tick_rate %g\n", options.tickRate);
    for (const LoopPhase& phase : phases) {
        std::printf("%s_seconds %.2f\n", phase.name, phase.seconds);
        std::printf("%s_fps %.1f\n", phase.name, double(phase.frames) / phase.seconds);
        std::printf("%s_ticks_per_s %.0f\n", phase.name, double(phase.ticks) / phase.seconds);
        std::printf("%s_games %d\n", phase.name, phase.games);
    }
    return 0;
}
