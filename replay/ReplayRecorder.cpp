#include "replay/ReplayRecorder.h"

#include "replay/ReplayFile.h"
#include "sim/StateHash.h"

std::string ReplayRecorder::open(const std::string& fileName, std::uint64_t modelHash,
                                 const std::vector<std::string>& inputs) {
    error_ = out_.open(fileName, inputs);
    ticksSinceCheck_ = 0;
    if (error_.empty()) write(std::string(replayHeader) + "\n" + modelLine(modelHash));
    return error_;
}

std::string ReplayRecorder::finish(const Game& game) {
    if (!out_.isOpen()) return error_;
    ReplayEnd end;
    end.idles = game.idleCount;
    end.ticks = game.tickCount;
    end.score = game.currentWorld ? game.currentWorld->score : 0;
    end.hash = game.currentWorld ? stateHash(*game.currentWorld) : fnvOffsetBasis;
    write(endLine(end));
    const std::string closing = out_.close();
    if (error_.empty()) error_ = closing;
    return error_;
}

bool ReplayRecorder::beforeIdle(Game&, long long) { return true; }

void ReplayRecorder::afterIdle(Game& game, long long idle, const Game::IdleResult& result) {
    if (!result.stepped || ++ticksSinceCheck_ < replayCheckEvery) return;
    ticksSinceCheck_ = 0;
    write(checkLine(idle, stateHash(*game.currentWorld)));
}

bool ReplayRecorder::keyReached(Game& game, unsigned char key) {
    write(keyLine(game.idleCount, key));
    return true;
}

void ReplayRecorder::write(const std::string& line) {
    if (!error_.empty() || !out_.isOpen()) return;
    error_ = out_.write(line);
}
