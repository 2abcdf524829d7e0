#pragma once

class Game;

/// The page's sound: the game's sounds through the browser's Web Audio (Emscripten's OpenAL). The
/// browser starts its audio on the page's first key, tap or click; until then nothing is played, so
/// nothing queues up to burst out at that moment.
void startWebSound(Game& game);
