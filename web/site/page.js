// The player's side of the page: the scoreboard (#score, #best), the notice at a game's end
// (#game-over), every finished game kept in the browser's IndexedDB with its replay and listed in
// #games, a name asked once (localStorage 'flipper-name'), all games exported as one file and
// imported again with each one checked by playing it, and window.FlipperPage for the other scripts.
// A game is kept when its ball is lost, or when a new game leaves it after a flip.
(function () {
  'use strict';
  const G = FlipperGames;
  const byId = (id) => document.getElementById(id);
  const scoreBox = byId('score');
  const bestBox = byId('best');
  const notice = byId('game-over');
  const noticeText = byId('game-over-text');
  const list = byId('games');
  const nameForm = byId('name-form');
  const listeners = [];
  const largestFile = 64 * 1024 * 1024;  // bytes of an imported file: 250 long games take far less
  let games = [];  // what the store holds, each with its key as id
  let opened = null;

  const say = (line) => FlipperReplays.say(line);
  const note = (line) => Module.print(line);  // the console and #details, not the player
  const best = () => games.reduce((most, g) => Math.max(most, g.score), -1);
  const describe = (g) => `${g.score} points, ${G.seconds(g.ticks)}, ${new Date(g.date).toLocaleString()}` +
    (g.name ? `, ${g.name}` : '');

  // The store: one object store of games, keyed by a number of its own.
  function database() {
    opened ??= new Promise(function (done, fail) {
      const r = indexedDB.open('flipper', 1);
      r.onupgradeneeded = function () { r.result.createObjectStore('games', { keyPath: 'id', autoIncrement: true }); };
      r.onsuccess = function () { done(r.result); };
      r.onerror = function () { fail(r.error); };
    });
    return opened;
  }
  // Runs work(store) in one transaction; resolves when it is written.
  async function change(mode, work) {
    const t = (await database()).transaction('games', mode);
    const result = work(t.objectStore('games'));
    await new Promise(function (done, fail) {
      t.oncomplete = done;
      t.onerror = t.onabort = function () { fail(t.error); };
    });
    return result;
  }
  const withoutId = ({ replay, score, ticks, date, name }) => ({ replay, score, ticks, date, name });

  // Adds games to the store and lets go of those the bound drops, saying so.
  async function keep(added) {
    const { kept, dropped } = G.bound(games.concat(added));
    await change('readwrite', function (store) {
      for (const g of added) if (kept.includes(g)) store.add(withoutId(g)).onsuccess = function (e) { g.id = e.target.result; };
      for (const g of dropped) if (g.id !== undefined) store.delete(g.id);
    });
    games = kept;
    show();
    if (dropped.length > 0) {
      const line = `${dropped.length} older game${dropped.length === 1 ? '' : 's'} let go: ` +
        `the ${G.recentKept} most recent and the ${G.bestKept} best are kept`;
      note(line);
      say(line);
    }
    return dropped.length;
  }
  function keepSaying(added) {
    return keep(added).catch(function (e) {
      Module.printErr(`your games cannot be kept in this browser: ${e && e.message ? e.message : e}`);
      say('Your games cannot be kept in this browser');
      return 0;
    });
  }

  function button(label, onClick) {
    const b = document.createElement('button');
    b.type = 'button';
    b.textContent = label;
    b.addEventListener('click', onClick);
    return b;
  }
  function show() {
    bestBox.textContent = best() < 0 ? '–' : String(best());
    list.replaceChildren(...G.listed(games).map(function (g) {
      const li = document.createElement('li');
      const what = document.createElement('span');
      what.textContent = describe(g);
      li.append(what, button('Watch', function () { watch(g.replay, `the game of ${g.score} points`); }),
        button('Share', function () { FlipperReplays.share(g.replay); }),
        button('Download', function () { FlipperReplays.download(g.replay, `flipper-${g.score}.replay`); }));
      return li;
    }));
    byId('games-empty').hidden = games.length > 0;
  }

  function playerName() {
    try {
      return localStorage.getItem('flipper-name') || '';
    } catch {
      return '';
    }
  }
  let asking = null;
  function askName() {
    if (playerName() !== '') return Promise.resolve(playerName());
    asking ??= new Promise(function (done) {
      nameForm.hidden = false;
      nameForm.addEventListener('submit', function (e) {
        e.preventDefault();
        const name = byId('name').value.trim().slice(0, G.largestName);
        try {
          localStorage.setItem('flipper-name', name);
        } catch { /* the name goes with this page's games only */ }
        nameForm.hidden = true;
        asking = null;
        done(name);
      }, { once: true });
    });
    return asking;
  }

  function watch(text, label) { FlipperReplays.play(new TextEncoder().encode(text), label); }

  // Asked once a game is kept: the browser may then keep the store when it runs short of room.
  let persistAsked = false;
  function persist() {
    if (persistAsked || !navigator.storage || !navigator.storage.persist) return;
    persistAsked = true;
    navigator.storage.persist().then(function (yes) {
      note(yes ? 'storage: kept until you clear it' : 'storage: the browser may clear it; Export all keeps a copy');
    }, function () {});
  }

  let shownAt = -1;  // the tick the notice was shown at; a new game counts from 0 again
  Module.onGameOver = function (score, ticks) {
    const replay = FlipperReplays.currentGame();
    const before = best();
    noticeText.textContent = `Game over: ${score} points` +
      (score > before ? (before < 0 ? ', your best so far' : ', a new best!') : `. Your best: ${before}`);
    notice.hidden = false;
    shownAt = Module._webTickCount();
    if (replay === null) return;
    const game = { replay, score, ticks, date: Date.now(), name: playerName() };
    keepSaying([game]).then(persist);
    if (game.name === '') {
      askName().then(function (name) {
        game.name = name;
        show();
        if (game.id !== undefined) change('readwrite', function (store) { store.put(game); }).catch(function () {});
      });
    }
    for (const fn of listeners) fn({ score, ticks, replay });
  };
  Module.onGameLeft = function () {
    const replay = FlipperReplays.currentGame();
    if (replay !== null) {
      keepSaying([{ replay, score: Module._webScore(), ticks: Module._webTickCount(), date: Date.now(), name: playerName() }]);
    }
  };
  // A tap or click on the notice starts the next game, but not on its own buttons or forms.
  notice.addEventListener('click', function (e) {
    if (e.target.closest('#submit, form')) return;
    Module._webKey('n'.charCodeAt(0));
  });

  // Once a frame: the score as the game has it, and the notice gone with its game.
  let shownScore = null;
  function frame() {
    requestAnimationFrame(frame);
    if (!Module.running) return;
    const score = Module._webScore();
    if (score !== shownScore) scoreBox.textContent = String(shownScore = score);
    if (!notice.hidden && Module._webTickCount() < shownAt) notice.hidden = true;
  }
  requestAnimationFrame(frame);

  const myGames = byId('my-games-button');
  myGames.addEventListener('click', function () {
    const panel = byId('my-games');
    panel.hidden = !panel.hidden;
    myGames.setAttribute('aria-expanded', String(!panel.hidden));
    window.dispatchEvent(new Event('resize'));  // the layout makes room for it
  });
  byId('export').addEventListener('click', function () {
    FlipperReplays.download(G.write(games), 'flipper-games.json');
    say(`${games.length} games saved in flipper-games.json`);
  });

  // Every game of the file is played to its end beside the game being played; one whose replay does
  // not back its score is refused in one line, and the others are kept.
  async function importFile(file) {
    let entries;
    try {
      if (file.size > largestFile) throw new Error(`${file.name}: not a file of games: more than ${largestFile} bytes`);
      entries = G.read(await file.text(), file.name);
    } catch (e) {
      Module.printErr(e.message);
      say(e.message);
      return;
    }
    const sameGame = (g) => g.date + ' ' + g.replay;  // one game, kept twice or imported again
    const known = new Set(games.map(sameGame));
    const accepted = [];
    const refused = [];
    for (const [i, entry] of entries.entries()) {
      const game = entry.game;
      let problem = entry.problem;
      const named = `${file.name}: game ${i + 1}` + (game ? ` (${describe(game)})` : '');
      if (game && known.has(sameGame(game))) continue;
      if (game) {
        await new Promise((next) => setTimeout(next));  // the page draws between two checks
        Module.FS.writeFile('/check.replay', game.replay);
        const line = Module.ccall('webCheckReplay', 'string', ['string'], [`game ${i + 1}`]);
        const check = { verified: Module._webChecked(0) === 1, ticks: Module._webChecked(1), score: Module._webChecked(2),
          endedAtTick: Module._webChecked(3), endScore: Module._webChecked(4) };
        if (G.backs(game, check)) {
          accepted.push(game);
          known.add(sameGame(game));
          continue;
        }
        problem = check.verified ? 'its score or length is not that of its replay' : G.words(line) || line;
      }
      refused.push(`${named} refused: ${problem}`);
    }
    for (const line of refused) Module.printErr(line);
    await keepSaying(accepted);
    say(`${accepted.length} game${accepted.length === 1 ? '' : 's'} imported from ${file.name}` + (refused.length === 0 ? '' :
      `; ${refused.length} refused: ${refused[0].slice(file.name.length + 2)}`));
  }
  const importer = byId('import');
  importer.addEventListener('change', function () {
    if (importer.files[0]) importFile(importer.files[0]);
    importer.value = '';
  });

  window.FlipperPage = {
    onGameOver(fn) { listeners.push(fn); },
    watch,
    playerName,
    askName,
  };

  show();
  change('readonly', function (store) {
    const r = store.getAll();
    r.onsuccess = function () { games = r.result; };
  }).then(show, function (e) {
    Module.printErr(`your games cannot be kept in this browser: ${e && e.message ? e.message : e}`);
  });
})();
