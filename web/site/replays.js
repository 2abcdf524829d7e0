// Replays in the page: the game being played as a link (#share) or a .replay file (#download),
// and a replay from a link's #replay= fragment, a file opened with #open or one dropped on the page
// played on screen and judged: in a player's words in the status, in the words of flipper-sim
// --replay on the console. The game records and plays the replays itself; this only moves their
// text. Nothing from a link or a file goes into the page as HTML: only as text. The same for any
// replay text through window.FlipperReplays (the kept games use it).
(function () {
  'use strict';
  const status = document.getElementById('status');
  const link = document.getElementById('link');
  const largestFile = 16 * 1024 * 1024;  // as the game reads at most

  function say(line) { status.textContent = line; }
  function problem(line) { Module.printErr(line); say(line); }
  Module.onVerdict = function (line, endedAtTick) { say(FlipperGames.words(line, endedAtTick)); };

  // The current game as replay text, or null after the game said why not.
  function currentGame() {
    if (!Module._webSnapshot || Module._webSnapshot() !== 1) return null;
    return Module.FS.readFile('/game.replay', { encoding: 'utf8' });
  }

  function play(bytes, name) {
    Module.FS.writeFile('/incoming.replay', bytes);
    if (Module.ccall('webPlayReplay', 'number', ['string'], [name]) === 1) say(`${name}: playing`);
    else say('');
  }

  function playLink() {
    const code = FlipperShare.codeOf(window.location.hash);
    if (code === null) return;
    FlipperShare.unpack(code).then(function (text) {
      play(new TextEncoder().encode(text), 'link');
    }, function (e) { problem('link: ' + e.message); });
  }

  function playFile(file) {
    if (!file) return;
    if (file.size > largestFile) {
      problem(`${file.name}: cannot read replay: file too large`);
      return;
    }
    file.arrayBuffer().then(function (bytes) { play(new Uint8Array(bytes), file.name); },
      function () { problem(`${file.name}: cannot read replay: the browser would not read it`); });
  }

  function share(text) {
    link.hidden = true;
    FlipperShare.pack(text).then(function (code) {
      const url = new URL(window.location.href);
      url.search = '';
      url.hash = 'replay=' + code;
      link.value = url.href;
      link.hidden = false;
      link.select();
      const copied = navigator.clipboard ? navigator.clipboard.writeText(url.href) : Promise.reject(new Error());
      copied.then(function () { say(`a link to this game, ${url.href.length} characters, copied`); },
        function () { say(`a link to this game, ${url.href.length} characters: copy it from the box`); });
    }, function (e) { problem(e.message); });
  }

  function download(text, name) {
    const a = document.createElement('a');
    a.href = URL.createObjectURL(new Blob([text], { type: 'application/octet-stream' }));
    a.download = name;
    document.body.appendChild(a);
    a.click();
    a.remove();
    setTimeout(function () { URL.revokeObjectURL(a.href); }, 1000);
  }

  document.getElementById('share').addEventListener('click', function () {
    const text = currentGame();
    if (text !== null) share(text);
  });
  document.getElementById('download').addEventListener('click', function () {
    const text = currentGame();
    if (text !== null) download(text, 'flipper.replay');
  });

  const open = document.getElementById('open');
  open.addEventListener('change', function () {
    playFile(open.files[0]);
    open.value = '';
  });
  window.addEventListener('dragover', function (e) { e.preventDefault(); });
  window.addEventListener('drop', function (e) {
    e.preventDefault();
    if (Module.running && e.dataTransfer && e.dataTransfer.files.length > 0) playFile(e.dataTransfer.files[0]);
  });

  window.addEventListener('hashchange', function () { if (Module.running) playLink(); });
  Module.postRun.push(playLink);
  window.FlipperReplays = { currentGame, play, share, download, say };
})();
