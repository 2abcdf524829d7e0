// The player's games as the page keeps them, without the page: which games stay when the store is
// full, which the list shows, what a replay's verdict means to a player, and a file of games written
// and read back. A game is { replay, score, ticks, date, name }: its replay text, the score and tick
// at which its ball was lost (or at which it was left), when it ended (ms since 1970) and who played.
// A plain script for the page, which node also loads for its tests.
(function (root) {
  'use strict';
  const ticksPerSecond = 900;
  const recentKept = 200;  // the most recent games always stay...
  const bestKept = 50;     // ...and the best ones, however old
  const listedEach = 10;   // the list: the best ten and the last ten
  const fileFormat = 'flipper-games 1';
  const largestName = 40;  // characters of a name or initials

  const best = (a, b) => b.score - a.score || a.date - b.date;  // of two equal scores, the first made it
  const latest = (a, b) => b.date - a.date;

  /// The games to keep and those that go, each in the order given.
  function bound(games) {
    const keep = new Set([...games].sort(latest).slice(0, recentKept));
    for (const game of [...games].sort(best).slice(0, bestKept)) keep.add(game);
    return { kept: games.filter((g) => keep.has(g)), dropped: games.filter((g) => !keep.has(g)) };
  }

  /// The list: the best ten, best first, then the last ten of the others, latest first.
  function listed(games) {
    const top = [...games].sort(best).slice(0, listedEach);
    return top.concat([...games].sort(latest).filter((g) => !top.includes(g)).slice(0, listedEach));
  }

  /// Seconds of play, to a tenth.
  function seconds(ticks) { return (ticks / ticksPerSecond).toFixed(1) + ' s'; }

  /// What a verdict of the game (flipper-sim --replay's line) says to a player; '' for ''. A genuine
  /// game lasted until endedAtTick, the tick its ball was lost, if it was (not -1).
  function words(line, endedAtTick = -1) {
    let m;
    if (line === '') return '';
    if ((m = /^replay verified: ticks (\d+) score (\d+) /.exec(line)))
      return `A genuine game: ${m[2]} points in ${seconds(endedAtTick >= 0 ? endedAtTick : Number(m[1]))}`;
    if ((m = /^replay verified to its last checkpoint.*: ticks (\d+) score (\d+) /.exec(line)))
      return `A genuine game as far as it was recorded: ${m[2]} points in ${seconds(endedAtTick >= 0 ? endedAtTick : Number(m[1]))}`;
    if ((m = /^replay diverged at idle (-?\d+):/.exec(line)))
      return `This game was changed: it stops matching at ${seconds(Math.max(0, Number(m[1])))}`;
    if ((m = /^replay diverged at the end: .*, got ticks (\d+) /.exec(line)))
      return `This game was changed: its end does not match, at ${seconds(Number(m[1]))}`;
    if (/^replay cut short/.test(line)) return 'This game was cut short: it cannot be checked to its end';
    return 'This game cannot be checked: it holds nothing to check it against';
  }

  /// Whether a check of a game's replay (what the game found playing it: verified, and the ticks and
  /// score where its ball was lost, or else at its end) backs the game's own score and ticks.
  function backs(game, check) {
    const [ticks, score] = check.endedAtTick >= 0 ? [check.endedAtTick, check.endScore] : [check.ticks, check.score];
    return check.verified && game.ticks === ticks && game.score === score;
  }

  /// One file of games, to be read back by read().
  function write(games) {
    return JSON.stringify({ format: fileFormat, games: games.map(({ replay, score, ticks, date, name }) =>
      ({ replay, score, ticks, date, name })) }) + '\n';
  }

  const whole = (v) => Number.isSafeInteger(v) && v >= 0;
  /// A file's games, each { game } or { problem } (one line, of the game alone); throws an Error of
  /// one line naming fileName when the file holds no games at all.
  function read(text, fileName) {
    let file;
    try {
      file = JSON.parse(text);
    } catch {
      throw new Error(`${fileName}: not a file of games: it is not JSON`);
    }
    if (!file || file.format !== fileFormat || !Array.isArray(file.games))
      throw new Error(`${fileName}: not a file of games: no "format": "${fileFormat}" with its "games"`);
    // Each game is checked by playing it: no more than the store keeps.
    if (file.games.length > recentKept + bestKept)
      throw new Error(`${fileName}: more than ${recentKept + bestKept} games, more than are kept`);
    return file.games.map((g) => {
      const fine = g && typeof g.replay === 'string' && whole(g.score) && whole(g.ticks) && whole(g.date) &&
        typeof g.name === 'string' && g.name.length <= largestName;
      if (!fine) return { problem: 'not a game: it needs replay, score, ticks, date and name' };
      return { game: { replay: g.replay, score: g.score, ticks: g.ticks, date: g.date, name: g.name } };
    });
  }

  root.FlipperGames = { bound, listed, seconds, words, backs, write, read, recentKept, bestKept, largestName };
})(globalThis);
