// Flipper in a web browser: the game's own callbacks over our GL layer, run by the browser's
// animation frames instead of GLUT's event loop.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <GL/glut.h>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "front/GameWindow.h"
#include "front/GlutCallbacks.h"
#include "front/Trackball.h"
#include "game/Freeze.h"
#include "game/Game.h"
#include "game/Pacing.h"
#include "web/PageReplays.h"
#include "web/WebSound.h"
#include "web/gl/GlContext.h"
#include "web/gl/WebGlBackend.h"

namespace {

constexpr double ticksPerSecond = 900.0;       // the pace of the desktop game with --tick-rate 900
constexpr int maxTicksPerFrame = 90;           // a tenth of a second of catch-up at most
constexpr double tickBudgetSeconds = 0.010;    // ticks (and rebuilds) per frame: a 60 Hz frame keeps time to draw
constexpr double freezeBudgetSeconds = 0.025;  // unpaced stepping per frame before --freeze-at

Trackball trackball(3.0, 256, 256);  // as the desktop game's, until reshape sizes it
Game game;
PageReplays replays(game, "");  // its files at the root of the page's file system
WebGlBackend backend;
// The browser's frame clock; between frames there is nothing to wait for. A link of nothing but 'n'
// rebuilds the World twice a tick: the budget keeps each frame's share of that to about one frame.
Pacing pacing(
    ticksPerSecond, [] { return Pacing::Seconds(emscripten_get_now() / 1000.0); }, [](Pacing::Seconds) {},
    maxTicksPerFrame, Pacing::Seconds(tickBudgetSeconds));
long long freezeAt = -1;  // with --freeze-at: the tick the game stops stepping at

// How long each animation frame's work took (ticks and drawing), in milliseconds, for the page's
// frame-time measurement; the most recent ones only.
constexpr std::size_t frameTimesKept = 4096;
std::vector<float> frameTimes;

// The page shows a replay's verdict beside the table too, with the tick its ball was lost at (-1:
// not lost); "" clears what it says of a replay.
EM_JS(void, showVerdict, (const char* line, int endedAtTick), {
    if (Module.onVerdict) Module.onVerdict(UTF8ToString(line), endedAtTick);
});
// The player's game is over (its ball is lost), said once a game; or it is left for a new one after
// a flip, said before the new one starts, while its snapshot is still the game left.
EM_JS(void, showGameOver, (int score, int ticks), { if (Module.onGameOver) Module.onGameOver(score, ticks); });
EM_JS(void, showGameLeft, (), { if (Module.onGameLeft) Module.onGameLeft(); });

int flipsThisGame = 0;  // f and j from the player since the game started
bool overShown = false;  // the page was told this game is over
PageReplays::Check lastCheck;  // what webCheckReplay found last

void startedAfresh() {
    flipsThisGame = 0;
    overShown = false;
}

// The player's game is over once its World's ball is lost (a World still to be built is none):
// the page is told once.
void sayGameOverOnce() {
    if (overShown || replays.replaying() || game.currentWorld == nullptr || game.restartRequested || game.endedAtTick < 0)
        return;
    overShown = true;
    showGameOver(game.endScore, game.endedAtTick);
}

void present(fixedgl::Pipeline& pipeline) { backend.present(pipeline); }

bool frozenNow() { return frozen(game, freezeAt); }

void frame() {
    const double started = emscripten_get_now();
    const double now = started / 1000.0;
    // A replay whose ball is lost plays the rest unpaced: an empty table is not worth waiting for.
    const bool pastTheBall = replays.replaying() && !replays.holding() && game.endedAtTick >= 0;
    if (pastTheBall) {
        while (!replays.holding() && emscripten_get_now() / 1000.0 - now < freezeBudgetSeconds)
            if (playTick(game).redisplay) glutPostRedisplay();
    } else if (freezeAt < 0) {
        if (pacing.idle(game).redisplay) glutPostRedisplay();
    } else if (!frozenNow()) {
        while (!frozenNow() && emscripten_get_now() / 1000.0 - now < freezeBudgetSeconds)
            if (playTick(game).redisplay) glutPostRedisplay();
    }
    sayGameOverOnce();
    const std::string verdict = replays.takeVerdict();
    if (!verdict.empty()) {
        std::cout << verdict << '\n' << std::flush;
        showVerdict(verdict.c_str(), game.endedAtTick);
    }
    // Frozen, the picture is drawn every frame, as the desktop game keeps drawing.
    if (frozenNow()) glutPostRedisplay();
    if (fixedgl::takeRedisplay() && fixedgl::glutCallbacks().display != nullptr) fixedgl::glutCallbacks().display();
    if (frameTimes.size() == frameTimesKept)
        frameTimes.erase(frameTimes.begin(), frameTimes.begin() + frameTimesKept / 2);
    frameTimes.push_back(static_cast<float>(emscripten_get_now() - started));
}

void report(const std::string& problem) {
    if (!problem.empty()) std::cerr << problem << '\n' << std::flush;
}

}  // namespace

extern "C" {

/// A key typed on the page, or a touch: its character code. 'n' starts a new recorded game.
EMSCRIPTEN_KEEPALIVE void webKey(int key) {
    if (key == 'n') {
        // A replay the new game stops is no longer playing, nor judged: the page stops saying so.
        const bool stopsReplay = replays.replaying();
        // A ball lost since the last frame is said first: that game ended, it was not left.
        sayGameOverOnce();
        if (!stopsReplay && flipsThisGame > 0 && !overShown) showGameLeft();
        startedAfresh();
        report(replays.newGame());
        if (stopsReplay) showVerdict("", -1);
        return;
    }
    if ((key == 'f' || key == 'j') && !replays.replaying()) ++flipsThisGame;
    auto keyboard = fixedgl::glutCallbacks().keyboard;
    if (keyboard != nullptr && key > 0 && key < 256) keyboard(static_cast<unsigned char>(key), 0, 0);
}

/// A mouse button pressed (down nonzero) or released over the canvas, at canvas pixel (x, y).
EMSCRIPTEN_KEEPALIVE void webMouse(int button, int down, int x, int y) {
    auto mouse = fixedgl::glutCallbacks().mouse;
    if (mouse != nullptr) mouse(button, down != 0 ? GLUT_DOWN : GLUT_UP, x, y);
}

/// The pointer moved with a button held that was pressed on the canvas.
EMSCRIPTEN_KEEPALIVE void webMotion(int x, int y) {
    auto motion = fixedgl::glutCallbacks().motion;
    if (motion != nullptr) motion(x, y);
}

/// The canvas now has this many pixels: the game's reshape sizes its picture and trackball.
EMSCRIPTEN_KEEPALIVE void webResize(int width, int height) {
    if (width <= 0 || height <= 0 || fixedgl::glutCallbacks().reshape == nullptr) return;
    emscripten_set_canvas_element_size("#canvas", width, height);
    fixedgl::glutCallbacks().reshape(width, height);
    glutPostRedisplay();
}

/// Writes the current game as a whole replay file to /game.replay: 1, or 0 after saying why not.
EMSCRIPTEN_KEEPALIVE int webSnapshot() {
    const std::string problem = replays.snapshot();
    report(problem);
    return problem.empty() ? 1 : 0;
}

/// Plays the replay the page put in /incoming.replay, called name in messages: 1 once it plays, or
/// 0 after one line naming the problem, and the current game goes on.
EMSCRIPTEN_KEEPALIVE int webPlayReplay(const char* name) {
    const char* const incoming = "/incoming.replay";
    const std::string problem = replays.playFile(incoming, name);
    std::remove(incoming);
    report(problem);
    if (problem.empty()) startedAfresh();
    return problem.empty() ? 1 : 0;
}

/// Checks the replay text the page put in /check.replay, called name in messages, by playing it to
/// its end in a game of its own; the page's game is untouched. Returns the verdict line (or the line
/// naming the problem); webChecked(i) then gives 1 if verified, its ticks, score, the tick its ball
/// was lost at (-1: never) and the score then, for i = 0..4.
EMSCRIPTEN_KEEPALIVE const char* webCheckReplay(const char* name) {
    const char* const checked = "/check.replay";
    lastCheck = replays.checkFile(checked, name);
    std::remove(checked);
    return lastCheck.line.c_str();
}
EMSCRIPTEN_KEEPALIVE int webChecked(int i) {
    const int values[] = {lastCheck.verified ? 1 : 0, lastCheck.ticks, lastCheck.score, lastCheck.endedAtTick,
                          lastCheck.endScore};
    return i >= 0 && i < 5 ? values[i] : 0;
}

/// The score on the table now (0 before the World is built).
EMSCRIPTEN_KEEPALIVE int webScore() { return game.currentWorld ? game.currentWorld->score : 0; }

/// 1 while a replay plays or is held at its end.
EMSCRIPTEN_KEEPALIVE int webReplaying() { return replays.replaying() ? 1 : 0; }

/// Step ticks since the page opened.
EMSCRIPTEN_KEEPALIVE int webTickCount() { return game.tickCount; }

/// How many frame times are kept, and one of them (milliseconds of work in one animation frame).
EMSCRIPTEN_KEEPALIVE int webFrameTimeCount() { return static_cast<int>(frameTimes.size()); }
EMSCRIPTEN_KEEPALIVE double webFrameTime(int i) {
    return i >= 0 && i < static_cast<int>(frameTimes.size()) ? frameTimes[static_cast<std::size_t>(i)] : 0.0;
}

/// 1 once the game has stopped at its --freeze-at tick.
EMSCRIPTEN_KEEPALIVE int webFrozen() { return frozenNow() ? 1 : 0; }

}  // extern "C"

int main(int argc, char** argv) {
    // The page passes ?freeze-at=N as --freeze-at N; a bad tick is reported and the game plays on.
    if (argc == 3 && std::strcmp(argv[1], "--freeze-at") == 0) {
        const Result<long long> tick = parseFreezeAt(argv[2]);
        if (tick.ok()) freezeAt = tick.value();
        else std::cerr << "flipper: " << tick.problem().line() << '\n' << std::flush;
    }

    const std::string problem = backend.open("#canvas");
    if (!problem.empty()) {
        std::cerr << "flipper: " << problem << '\n' << std::flush;
        return 1;
    }
    fixedgl::context().setTextureSink(&backend);
    fixedgl::setFramePresenter(present);

    // The desktop game's start-up: its window request, OpenGL state, callbacks and first World.
    openGameWindow(game, trackball);
    // The page has sized the canvas to its window already: the game starts at that size (resizing
    // the canvas's drawing buffer is slow), or at the window it asked for on a canvas with none.
    const fixedgl::WindowRequest& window = fixedgl::windowRequest();
    int width = 0;
    int height = 0;
    if (emscripten_get_canvas_element_size("#canvas", &width, &height) != EMSCRIPTEN_RESULT_SUCCESS ||
        width <= 0 || height <= 0) {
        width = window.width;
        height = window.height;
        emscripten_set_canvas_element_size("#canvas", width, height);
    }
    fixedgl::glutCallbacks().reshape(width, height);
    // Every game is recorded (or a replay played) by the page's replays, and heard beside them;
    // a game racing to its freeze tick stays silent.
    game.observer = &replays;
    report(replays.newGame());
    if (freezeAt < 0) startWebSound(game);

    emscripten_set_main_loop(frame, 0, 0);
    return 0;
}
