// Offline play: the service worker keeps this build's files, so the next visit loads with no
// network. Served from a web server only (a service worker needs http://localhost or https). A
// worker that could not keep them says why, and the page says it in its status line.
(function () {
  'use strict';
  if ('serviceWorker' in navigator && window.location.protocol !== 'file:') {
    // A new build's worker took this page over: while the page is still loading (the game has
    // not started), the rest of its files would be the new build's, so it loads again whole.
    // The worker's messages wait for startMessages, so one sent before this script ran still comes.
    const loadingAgain = function () { if (!(window.Module && Module.running)) window.location.reload(); };
    // The page's worker replaced by a newer one: the page hears it at once, before the worker's
    // message; and a change it heard of too late is seen as the game starts, before anyone plays.
    const firstWorker = window.flipperFirstWorker === undefined ? navigator.serviceWorker.controller :
      window.flipperFirstWorker;
    navigator.serviceWorker.addEventListener('controllerchange', function () { if (firstWorker) loadingAgain(); });
    if (window.Module && Array.isArray(Module.postRun)) {
      Module.postRun.unshift(function () {
        if (firstWorker && navigator.serviceWorker.controller !== firstWorker) window.location.reload();
      });
    }
    navigator.serviceWorker.addEventListener('message', function (e) {
      if (e.data && typeof e.data.build === 'string') loadingAgain();
      if (!e.data || typeof e.data.offline !== 'string') return;
      console.warn('flipper: ' + e.data.offline);
      document.getElementById('status').textContent = e.data.offline;
    });
    navigator.serviceWorker.startMessages();
    const register = function () {
      navigator.serviceWorker.register('sw.js').catch(function (e) {
        console.warn('flipper: no offline play: ' + e.message);
      });
    };
    // Once the game runs, the page has every file it needs in the browser's cache: the worker's
    // install then asks the server only whether each one changed, and nothing comes down twice.
    if (window.Module && Array.isArray(Module.postRun)) Module.postRun.push(register);
    else window.addEventListener('load', register);
  }
})();
