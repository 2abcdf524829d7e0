// The hall of fame, where the site's server keeps one: the best game of each player, every one
// played again by the server before it was listed (#hall, one li each: rank, name, score, Watch),
// and "Send to the hall of fame" (#submit) on the notice at a game's end, with the answer in a
// player's words. Nothing of it shows where /api/games does not answer (any static server): the
// page's own address, asked with HEAD, says whether the server has a hall (X-Flipper-Hall), so
// that a static server is never asked for an API it does not have (a 404 in the console).
(function () {
  'use strict';
  const panel = document.getElementById('hall');
  const list = panel.querySelector('ol');
  const submit = document.getElementById('submit');
  const say = (line) => FlipperReplays.say(line);
  const nameRule = /^[A-Za-z0-9 ._-]{1,16}$/;  // the server's rule for a name in the hall
  let answers = false;  // /api/games answered once
  let ended = null;     // the game the notice is about

  // The token that owns this browser's name in the hall: made once, kept beside the name.
  function token() {
    let kept = '';
    try { kept = localStorage.getItem('flipper-hall-token') || ''; } catch { /* not kept: one for this page */ }
    if (/^[A-Za-z0-9_-]{16,64}$/.test(kept)) return kept;
    const bytes = crypto.getRandomValues(new Uint8Array(24));
    kept = btoa(String.fromCharCode(...bytes)).replace(/\+/g, '-').replace(/\//g, '_');
    try { localStorage.setItem('flipper-hall-token', kept); } catch { /* as above */ }
    return kept;
  }

  function cell(className, text) {
    const span = document.createElement('span');
    span.className = className;
    span.textContent = text;  // a name is a player's text, never the page's HTML
    return span;
  }

  async function watch(game) {
    try {
      const r = await fetch(`api/games/${game.id}/replay`, { cache: 'no-store' });
      if (!r.ok) throw new Error(String(r.status));
      FlipperPage.watch(await r.text(), `${game.name}'s game of ${game.score} points`);
    } catch {
      say('The hall did not send that game: try again');
    }
  }

  async function hallHere() {
    if (navigator.onLine === false) return false;
    try {
      const answer = await fetch(location.pathname, { method: 'HEAD', cache: 'no-store' });
      // The empty body is read to its end: a response left unread is counted as cut off.
      await answer.arrayBuffer();
      return answer.headers.has('X-Flipper-Hall');
    } catch {
      return false;
    }
  }

  async function refresh() {
    let games;
    try {
      const r = await fetch('api/games?top=20', { cache: 'no-store' });
      games = r.ok && (r.headers.get('Content-Type') || '').startsWith('application/json') ? (await r.json()).games : null;
    } catch {
      games = null;
    }
    if (!Array.isArray(games)) return false;
    list.replaceChildren(...games.map(function (game, i) {
      const li = document.createElement('li');
      const button = document.createElement('button');
      button.type = 'button';
      button.textContent = 'Watch';
      button.addEventListener('click', function () { watch(game); });
      li.append(cell('rank', `${i + 1}.`), ' ', cell('name', game.name), ' ', cell('score', `${game.score} points`), ' ', button);
      return li;
    }));
    panel.hidden = false;
    return true;
  }

  // What the hall's answer means to the player.
  function words(status, answer, name) {
    const error = answer && typeof answer.error === 'string' ? answer.error : '';
    switch (status) {
      case 201: return `In the hall of fame: number ${answer.rank}, ${answer.score} points`;
      case 400: return 'A name in the hall is 1 to 16 letters, digits, spaces, "-", "_" or ".": send again to choose one';
      case 403: return `Another player has the name ${name} in the hall: send again to choose another`;
      case 413: return 'This game is too long for the hall';
      case 422: return 'The hall refused this game: ' + (/^replay /.test(error) ? FlipperGames.words(error) : error);
      case 429: return 'Many games sent from here just now: try again in a minute';
      case 503: return 'The hall is busy: try again in a minute';
      default: return `The hall did not take the game (${status})`;
    }
  }

  // The next send asks for a name again: the kept one is not one the hall takes, or is another's.
  function forgetName() {
    try { localStorage.removeItem('flipper-name'); } catch { /* nothing was kept */ }
  }

  async function send() {
    const game = ended;
    if (game === null) return;
    submit.disabled = true;
    const name = (await FlipperPage.askName()).trim();
    if (!nameRule.test(name)) {
      forgetName();
      say(words(400));
      submit.disabled = false;
      return;
    }
    try {
      const r = await fetch(`api/games?name=${encodeURIComponent(name)}`, {
        method: 'POST', body: game.replay, headers: { Authorization: `Bearer ${token()}` } });
      const answer = await r.json().catch(() => null);
      say(words(r.status, answer, name));
      if (r.status === 201) refresh();
      else submit.disabled = false;
      if (r.status === 403) forgetName();
    } catch {
      say('The hall cannot be reached: try again');
      submit.disabled = false;
    }
  }

  FlipperPage.onGameOver(function (game) {
    ended = game;
    submit.disabled = false;
    submit.hidden = !answers;
  });
  submit.addEventListener('click', send);
  hallHere().then((here) => here && refresh()).then(function (ok) {
    answers = ok;
    if (ok && ended !== null) submit.hidden = false;
  });
})();
