#include "replay/ReplayRecorder.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <iostream>

#include "io/InputFile.h"
#include "io/SystemError.h"

#include "game/StateHash.h"
#include "replay/ReplayFile.h"

namespace {

// Why partial exists already: a game recording into it holds its lock; otherwise a game that ended
// without finishing left it.
std::string whyPartialExists(const std::string& fileName, const std::string& partial) {
    if (heldByItsWriter(partial))
        return fileName + ": cannot write replay: another game is recording it (into " + partial + ")";
    return fileName + ": cannot write replay: " + partial +
           " is left from a recording that did not finish; replay it, move it or remove it first";
}

}  // namespace

std::string ReplayRecorder::partName(const std::string& fileName) { return fileName + ".part"; }

std::string ReplayRecorder::check(const std::string& fileName, const std::vector<std::string>& inputs) {
    const std::string partial = partName(fileName);
    std::string problem = refuseInput(fileName, inputs);
    if (problem.empty()) problem = refuseInput(partial, inputs);
    if (!problem.empty()) return problem;
    // The finished recording is renamed over what is there: never over a FIFO, a device or a folder.
    const std::string notFile = notARegularFile(fileName);
    if (!notFile.empty()) return fileName + ": cannot write replay: " + notFile;
    std::error_code error;
    if (std::filesystem::symlink_status(partial, error).type() != std::filesystem::file_type::not_found)
        return whyPartialExists(fileName, partial);
    return "";
}

std::string ReplayRecorder::open(const std::string& fileName, std::uint64_t modelHash,
                                 const std::vector<std::string>& inputs) {
    ticksSinceCheck_ = 0;
    fileName_ = fileName;
    modelHash_ = modelHash;
    const std::string partial = partName(fileName);
    error_ = check(fileName, inputs);
    if (error_) return error_.line();
    out_ = std::make_unique<OutputFile>(partial, "replay");
    if (!out_->open(OutputFile::Mode::createNewLocked).empty())
        error_ = out_->nameTaken() ? whyPartialExists(fileName, partial)
                                   : fileName + ": cannot write replay: " + out_->reason();
    if (!error_) write(std::string(replayHeader) + "\n" + modelLine(modelHash));
    return error_.line();
}

std::string ReplayRecorder::finish(const Game& game) {
    if (out_ == nullptr || !out_->isOpen()) return error_.line();
    ReplayEnd end;
    end.idles = game.idleCount;
    end.ticks = game.tickCount;
    end.score = game.currentWorld ? game.currentWorld->score : 0;
    end.hash = stateHash(game);
    write(endLine(end));
    const std::string closed = out_->close();
    if (!error_) error_ = closed;
    if (!error_ && std::rename(out_->path().c_str(), fileName_.c_str()) != 0)
        error_ = fileName_ + ": cannot write replay: " + systemReason(errno) + " (the recording is in " +
                 out_->path() + ")";
    return error_.line();
}

bool ReplayRecorder::beforeIdle(Game& game, long long idle) {
    if (!game.restartRequested || out_ == nullptr || !out_->isOpen()) return true;
    const Result<std::uint64_t> hash = hashModelFile(game.modelFileName);
    if (!hash.ok() || hash.value() != modelHash_) {
        std::cerr << fileName_ << ": the recording ends at idle " << idle << ": the new game reads another ball ("
                  << game.modelFileName << " changed)\n"
                  << std::flush;
        (void)finish(game);  // a failure stays in error(), which the game reads after the idle call
    }
    return true;
}

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
    if (error_ || out_ == nullptr || !out_->isOpen()) return;
    error_ = out_->write(line);
    if (!error_) error_ = out_->flush();
}
