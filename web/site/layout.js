// The page's layout: the table's canvas is the largest square that fits the window beside or
// under the controls (#play: the scoreboard, buttons, status and hint; the lists after them scroll
// in what is left; at most 768 CSS pixels, except in fullscreen), drawn at the device's pixel
// ratio up to 2, and resized with the window; the game's reshape gets the canvas's real size.
// The hint says what works on the device in hand; the fullscreen button shows only where the
// browser has fullscreen.
(function () {
  'use strict';
  const canvas = document.getElementById('canvas');
  const main = document.querySelector('main');
  const side = document.getElementById('side');
  const play = document.getElementById('play');
  const gap = 8;
  const largest = 768;
  const narrowestSide = 220;  // CSS pixels the controls need beside the table

  function fit() {
    const width = document.documentElement.clientWidth;
    const height = window.innerHeight;
    const most = document.fullscreenElement ? Infinity : largest;
    const beside = Math.min(height - 2 * gap, width - 3 * gap - narrowestSide, most);
    main.className = 'under';
    side.style.height = '';
    const controls = play.offsetHeight;
    const under = Math.min(width - 2 * gap, height - 3 * gap - controls, most);
    main.className = beside >= under ? 'beside' : 'under';
    const cssSide = Math.max(64, Math.floor(Math.max(beside, under)));
    canvas.style.width = canvas.style.height = cssSide + 'px';
    if (main.className === 'under') side.style.height = Math.max(0, height - 3 * gap - cssSide) + 'px';
    const pixels = Math.round(cssSide * Math.min(window.devicePixelRatio || 1, 2));
    if (canvas.width === pixels && canvas.height === pixels) return;
    if (Module._webResize && Module.running) {
      Module._webResize(pixels, pixels);
    } else {
      canvas.width = pixels;
      canvas.height = pixels;
    }
  }

  const touch = navigator.maxTouchPoints > 0 || window.matchMedia('(pointer: coarse)').matches;
  const keys = window.matchMedia('(any-pointer: fine)').matches || !touch;
  document.getElementById('hint-keys').hidden = !keys;
  document.getElementById('hint-touch').hidden = !touch;

  const fullscreen = document.getElementById('fullscreen');
  fullscreen.hidden = !(document.fullscreenEnabled && document.documentElement.requestFullscreen);
  fullscreen.addEventListener('click', function () {
    if (document.fullscreenElement) document.exitFullscreen();
    else document.documentElement.requestFullscreen().catch(function () {});
  });
  document.getElementById('new-game').addEventListener('click', function () {
    if (Module._webKey) Module._webKey('n'.charCodeAt(0));
  });

  window.addEventListener('resize', fit);
  document.addEventListener('fullscreenchange', fit);
  if (window.screen && screen.orientation) screen.orientation.addEventListener('change', fit);
  fit();
  // The game starts at the canvas's size; a size the page found while the game was starting
  // goes to it once it runs.
  Module.postRun.push(function () {
    fit();
  });
})();
