#pragma once

#include "io/Problem.h"

class Game;

/// Reads the tick of --freeze-at: a whole number from 0 to the largest tick count (io/Count's rule).
/// The problem is one line naming the option.
Result<long long> parseFreezeAt(const char* text);

/// The game has come to its freeze tick and stops stepping: a World stands, no restart is pending
/// (a restart plays on to the tick again) and the tick count has reached freezeAt. Never with
/// freezeAt -1, which plays on.
bool frozen(const Game& game, long long freezeAt);
