#include "bench/BenchWorlds.h"

#include <iostream>
#include <sstream>

#include "softbody/ModelReader.h"
#include "softbody/SoftBody.h"
#include "tests/support/Capture.h"
#include "tools/Icosphere.h"
#include "world/World.h"

std::string ballModel(int subdivisions) {
    std::ostringstream text;
    writeIcosphereModel(text, subdivisions, 1.0);
    return text.str();
}

void readBall(const std::string& modelText, SoftBody& body) {
    std::istringstream model(modelText);
    std::string problem;
    {
        const Console silence;
        problem = readModel(model, body);
    }
    if (!problem.empty()) std::cerr << "bench: the generated ball does not read: " << problem << '\n';
}

std::unique_ptr<World> worldFrom(const std::string& modelText) {
    std::istringstream model(modelText);
    const Console silence;
    return std::make_unique<World>(model);
}

BallSnapshot::BallSnapshot(const SoftBody& body)
    : masses_(body.masses), boundingRadius_(body.boundingRadius), boxMin_(body.boxMin), boxMax_(body.boxMax) {}

BallSnapshot::BallSnapshot(const World& world) : BallSnapshot(static_cast<const SoftBody&>(world)) {
    score_ = world.score;
}

void BallSnapshot::restore(SoftBody& body) const {
    for (std::size_t i = 0; i < masses_.size(); ++i) body.masses[i] = masses_[i];
    body.boundingRadius = boundingRadius_;
    body.boxMin = boxMin_;
    body.boxMax = boxMax_;
}

void BallSnapshot::restore(World& world) const {
    restore(static_cast<SoftBody&>(world));
    world.score = score_;
}
