#include "replay/ReplayRecorder.h"

#include "game/StateHash.h"
#include "replay/ReplayFile.h"

std::string ReplayRecorder::open(const std::string& fileName, std::uint64_t modelHash,
                                 const std::vector<std::string>& inputs) {
    ticksSinceCheck_ = 0;
    error_ = refuseInput(fileName, inputs);
    if (!error_.empty()) return error_;
    out_ = std::make_unique<OutputFile>(fileName, "replay");
    error_ = out_->open();
    if (error_.empty()) write(std::string(replayHeader) + "\n" + modelLine(modelHash));
    return error_;
}

std::string ReplayRecorder::finish(const Game& game) {
    if (out_ == nullptr || !out_->isOpen()) return error_;
    ReplayEnd end;
    end.idles = game.idleCount;
    end.ticks = game.tickCount;
    end.score = game.currentWorld ? game.currentWorld->score : 0;
    end.hash = stateHash(game);
    write(endLine(end));
    const std::string closed = out_->close();
    if (error_.empty()) error_ = closed;
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
    // Flushed line by line: a game killed outright leaves every line written up to then.
    if (!error_.empty() || out_ == nullptr || !out_->isOpen()) return;
    error_ = out_->write(line);
    if (error_.empty()) error_ = out_->flush();
}
