// The player's games without the page (web/site/games.js): kept, listed, judged in words, backed, read back.
import assert from 'node:assert/strict';
import test from 'node:test';

await import('../../../web/site/games.js');
const { bound, listed, words, backs, write, read } = globalThis.FlipperGames;
const game = (date, score, ticks = 900) => ({ replay: `r${date}`, score, ticks, date, name: 'A' });
const dates = (games) => games.map((g) => g.date);
const range = (from, to) => Array.from({ length: to - from + 1 }, (_, i) => from + i);

test('the 200 most recent and the 50 best stay; of equal scores the earlier one', () => {
  // 60 old games of 500 points each, then 200 of 1 point: the first 50 old ones are the best.
  const games = range(1, 260).map((d) => game(d, d <= 60 ? 500 : 1));
  const { kept, dropped } = bound(games);
  assert.deepEqual(dates(dropped), range(51, 60));
  assert.deepEqual(dates(kept), [...range(1, 50), ...range(61, 260)]);
});

test('the list is the best ten, then the last ten of the others', () => {
  const games = range(1, 25).map((d) => game(d, 26 - d));  // the older, the better
  assert.deepEqual(dates(listed(games)), [...range(1, 10), ...range(16, 25).reverse()]);
});

test('a verdict in a player\'s words', () => {
  const cases = [
    [['replay verified: ticks 9847 score 149 hash 4041da01306d6c13'], 'A genuine game: 149 points in 10.9 s'],
    [['replay verified: ticks 9847 score 149 hash 4041da01306d6c13', 8454], 'A genuine game: 149 points in 9.4 s'],
    [['replay diverged at idle 3781: expected hash 0000000000000001, got 53cd8bcbe655b5c7'], 'This game was changed: it stops matching at 4.2 s'],
    [['replay diverged at the end: expected ticks 9041 score 68, got ticks 9041 score 67 hash b4fc73613d557b39'], 'This game was changed: its end does not match, at 10.0 s'],
    [['replay cut short at idle 40: no checkpoint to verify'], 'This game was cut short: it cannot be checked to its end'], [[''], ''],
  ];
  for (const [args, said] of cases) assert.equal(words(...args), said, args[0]);
});

test('a check backs a game with the tick and score its ball was lost at, or else those of its end', () => {
  const over = { verified: true, ticks: 9041, score: 67, endedAtTick: 9003, endScore: 67 };
  const left = { verified: true, ticks: 500, score: 26, endedAtTick: -1, endScore: 0 };
  const cases = [[game(1, 67, 9003), over, true], [game(1, 67, 9041), over, false], [game(1, 68, 9003), over, false],
    [game(1, 67, 9003), { ...over, verified: false }, false], [game(1, 26, 500), left, true], [game(1, 26, 499), left, false]];
  for (const [g, check, backed] of cases) assert.equal(backs(g, check), backed, JSON.stringify([g, check]));
});

test('a file of games reads back, each game on its own; a file of none is one line', () => {
  assert.deepEqual(read(write([game(1, 5), { ...game(2, 7), id: 4 }]), 'f.json'), [{ game: game(1, 5) }, { game: game(2, 7) }]);
  const bad = JSON.stringify({ format: 'flipper-games 1', games: [{ ...game(1, 5), score: -1 }, null, game(3, 2)] });
  assert.deepEqual(read(bad, 'f.json').map((e) => e.problem ?? e.game.date),
    ['not a game: it needs replay, score, ticks, date and name', 'not a game: it needs replay, score, ticks, date and name', 3]);
  assert.throws(() => read('{', 'f.json'), { message: 'f.json: not a file of games: it is not JSON' });
  assert.throws(() => read('{"games": []}', 'f.json'), /^Error: f.json: not a file of games: no "format"/);
  assert.equal(read(write(range(1, 250).map((d) => game(d, 1))), 'f.json').length, 250);
  assert.throws(() => read(write(range(1, 251).map((d) => game(d, 1))), 'f.json'), { message: 'f.json: more than 250 games, more than are kept' });
});
