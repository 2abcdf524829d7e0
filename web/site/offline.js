// Offline play: the service worker keeps this build's files, so the next visit loads with no
// network. Served from a web server only (a service worker needs http://localhost or https).
(function () {
  'use strict';
  if ('serviceWorker' in navigator && window.location.protocol !== 'file:') {
    window.addEventListener('load', function () {
      navigator.serviceWorker.register('sw.js').catch(function (e) {
        console.warn('flipper: no offline play: ' + e.message);
      });
    });
  }
})();
