#pragma once

#include <string>

class Game;

/// Reads the tick of --freeze-at: a whole number from 0 to the largest tick count, digits only.
/// Returns "" and sets tick, or one line saying why the text is no tick; tick is then left alone.
[[nodiscard]] std::string parseFreezeAt(const char* text, long long& tick);

/// The game has come to its freeze tick and stops stepping: a World stands, no restart is pending
/// (a restart plays on to the tick again) and the tick count has reached freezeAt. Never with
/// freezeAt -1, which plays on.
bool frozen(const Game& game, long long freezeAt);
