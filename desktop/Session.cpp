#include "desktop/Session.h"

#include <GL/freeglut.h>

#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <thread>

#include "front/GlutCallbacks.h"
#include "game/Game.h"

namespace {

constexpr double replayTickRate = 900.0;            // a replay shows at a human pace by default
constexpr std::chrono::milliseconds heldStill{10};  // a replay at its end waits this long per idle call
const char* const pictureFiles[] = {"woman.bmp", "head.bmp"};

// Set by the signal handler, read by the idle callback: the only thing the handler does.
volatile std::sig_atomic_t stopSignal = 0;

void stopOnSignal(int signal) { stopSignal = signal; }

Session* current = nullptr;

// The toolkit ends the program itself when it loses its display (the window destroyed under it, the
// X server gone): the recording still gets its end line.
void finishOnExit() {
    if (current != nullptr) current->finish();
}

}  // namespace

namespace {

std::vector<std::string> inputFiles(const GameOptions& options) {
    std::vector<std::string> inputs{options.model};
    inputs.insert(inputs.end(), std::begin(pictureFiles), std::end(pictureFiles));
    if (!options.replay.empty()) inputs.push_back(options.replay);
    return inputs;
}

}  // namespace

std::string Session::prepare(const GameOptions& options) {
    const std::vector<std::string> inputs = inputFiles(options);
    if (!options.replay.empty()) {
        Result<Replay> loaded = loadReplay(options.replay);
        if (!loaded.ok()) return loaded.problem().line();
        Replay& replay = loaded.value();
        const std::string problem = checkReplayModel(replay, options.replay, options.model);
        if (!problem.empty()) return problem;
        if (replay.cutShort()) std::cerr << replay.cutNote << '\n' << std::flush;
        player_ = std::make_unique<ReplayPlayer>(std::move(replay));
    }
    if (!options.frames.empty()) {
        std::string problem = FrameWriter::check(options.frames, inputs);
        if (!problem.empty()) return problem;
        frames_ = std::make_unique<FrameWriter>();
    }
    if (!options.record.empty()) {
        const Result<std::uint64_t> modelHash = hashModelFile(options.model);
        if (!modelHash.ok()) return modelHash.problem().line();
        modelHash_ = modelHash.value();
        const std::string problem = ReplayRecorder::check(options.record, inputs);
        if (!problem.empty()) return problem;
        recorder_ = std::make_unique<ReplayRecorder>();
    }
    return "";
}

std::string Session::open(const GameOptions& options) {
    const std::vector<std::string> inputs = inputFiles(options);
    if (frames_ != nullptr) {
        std::string problem = frames_->open(options.frames, inputs);
        if (!problem.empty()) return problem;
    }
    if (recorder_ != nullptr) {
        std::string problem = recorder_->open(options.record, modelHash_, inputs);
        if (!problem.empty()) return problem;
        // Where the game's keys are, should the game die before it can finish the file.
        std::cout << "recording into " << ReplayRecorder::partName(options.record) << ", renamed " << options.record
                  << " when the game ends\n"
                  << std::flush;
    }
    return "";
}

double Session::tickRate(const GameOptions& options) const {
    if (frames_ != nullptr) return 0.0;
    if (player_ != nullptr && options.tickRate <= 0.0) return replayTickRate;
    return options.tickRate;
}

void Session::start(Game& game) {
    current = this;
    game_ = &game;
    if (recorder_ != nullptr) game.observer = recorder_.get();
    if (player_ != nullptr) game.observer = player_.get();
    if (recorder_ != nullptr) {
        stopSignal = 0;
        std::signal(SIGINT, stopOnSignal);
        std::signal(SIGTERM, stopOnSignal);
        std::signal(SIGHUP, stopOnSignal);  // the terminal closed: the recording still ends whole
        static bool finishRegistered = false;
        if (!finishRegistered) finishRegistered = std::atexit(finishOnExit) == 0;
    }
    if (frames_ != nullptr) callbacks::bindFrameHook(captureFrame);
    glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_GLUTMAINLOOP_RETURNS);
    glutIdleFunc(sessionIdle);
}

void Session::idle() {
    if (stopSignal != 0 || !failure_.empty()) {
        glutLeaveMainLoop();
        return;
    }
    // A film waits for each picture, so none is skipped when the toolkit is slow to draw.
    if (frames_ != nullptr && callbacks::framePending()) return;
    if (player_ != nullptr && player_->over(*game_)) {
        report();
        if (frames_ != nullptr)
            glutLeaveMainLoop();
        else
            std::this_thread::sleep_for(heldStill);
        return;
    }
    callbacks::idle();
    if (recorder_ != nullptr && recorder_->error()) failure_ = recorder_->error().line();
    report();
}

// Says how the replay went, each thing once: a divergence as it happens, the verdict at the end.
void Session::report() {
    if (player_ == nullptr) return;
    if (player_->diverged() && !divergenceShown_) {
        divergenceShown_ = true;
        std::cout << player_->verdict() << '\n' << std::flush;
    }
    if (player_->over(*game_) && !verdictShown_) {
        verdictShown_ = true;
        if (!player_->diverged()) std::cout << player_->verdict() << '\n' << std::flush;
    }
}

int Session::finish() {
    int status = 0;
    if (recorder_ != nullptr) {
        const std::string problem = recorder_->finish(*game_);
        if (failure_.empty()) failure_ = problem;
    }
    if (!failure_.empty()) {
        std::cerr << failure_ << '\n' << std::flush;
        status = 1;
    }
    if (player_ != nullptr) {
        // A replay is a success only when it was verified to its end.
        if (!player_->over(*game_))
            std::cout << "replay stopped after " << game_->idleCount << " of " << player_->idlesToPlay()
                      << " idle calls: not verified\n"
                      << std::flush;
        if (!player_->verified()) status = 1;
    }
    if (frames_ != nullptr) std::cout << "film: " << frames_->written() << " frames\n" << std::flush;
    game_->observer = nullptr;
    callbacks::bindFrameHook(nullptr);
    if (recorder_ != nullptr) {
        std::signal(SIGINT, SIG_DFL);
        std::signal(SIGTERM, SIG_DFL);
        std::signal(SIGHUP, SIG_DFL);
    }
    current = nullptr;
    if (stopSignal != 0) {
        // Stopped by a signal: now that the files are whole, end as the signal would have.
        const int signal = stopSignal;
        std::signal(signal, SIG_DFL);
        std::raise(signal);
    }
    return status;
}

void sessionIdle() {
    if (current != nullptr) current->idle();
}

void captureFrame() {
    if (current == nullptr || current->frames_ == nullptr || !current->failure_.empty()) return;
    current->failure_ = current->frames_->capture(glutGet(GLUT_WINDOW_WIDTH), glutGet(GLUT_WINDOW_HEIGHT));
}
