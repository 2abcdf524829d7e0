// Offline play: the service worker keeps this build's files, so the next visit loads with no
// network. Served from a web server only (a service worker needs http://localhost or https). A
// worker that could not keep them says why, and the page says it in its status line.
(function () {
  'use strict';
  if ('serviceWorker' in navigator && window.location.protocol !== 'file:') {
    navigator.serviceWorker.addEventListener('message', function (e) {
      if (!e.data || typeof e.data.offline !== 'string') return;
      console.warn('flipper: ' + e.data.offline);
      document.getElementById('status').textContent = e.data.offline;
    });
    navigator.serviceWorker.startMessages();
    window.addEventListener('load', function () {
      navigator.serviceWorker.register('sw.js').catch(function (e) {
        console.warn('flipper: no offline play: ' + e.message);
      });
    });
  }
})();
