#include "game/Freeze.h"

#include <climits>
#include <string>

#include "game/Game.h"
#include "io/Count.h"

Result<long long> parseFreezeAt(const char* text) {
    Result<long long> tick = parseCount(text, 0, INT_MAX);
    if (!tick.ok()) return Problem(std::string("bad tick '") + text + "' for --freeze-at: " + tick.problem().line());
    return tick;
}

bool frozen(const Game& game, long long freezeAt) {
    return freezeAt >= 0 && game.currentWorld && !game.restartRequested && game.tickCount >= freezeAt;
}
