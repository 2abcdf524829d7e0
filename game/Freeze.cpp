#include "game/Freeze.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "game/Game.h"

std::string parseFreezeAt(const char* text, long long& tick) {
    char* end = nullptr;
    errno = 0;
    const long long value = (*text >= '0' && *text <= '9') ? std::strtoll(text, &end, 10) : -1;
    if (value < 0 || *end != '\0' || errno == ERANGE || value > INT_MAX)
        return std::string("bad tick '") + text + "' for --freeze-at: it must be a whole number from 0";
    tick = value;
    return "";
}

bool frozen(const Game& game, long long freezeAt) {
    return freezeAt >= 0 && game.currentWorld && !game.restartRequested && game.tickCount >= freezeAt;
}
