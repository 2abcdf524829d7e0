// Touch on the table: a finger that goes down on the left half swings the left flipper, on the
// right half the right one, at once, as the keys f and j do (the same call, so a recording writes
// them as f and j). Two fingers moving together turn the view as the middle-button drag does: one
// trackball motion per move of their midpoint. Pen and mouse keep the desktop's meaning.
(function () {
  'use strict';
  const canvas = document.getElementById('canvas');
  const fingers = new Map();  // pointer id -> [x, y] in canvas pixels
  const dragFrom = 6;         // CSS pixels the midpoint moves before two fingers turn the view
  let start = null;           // the midpoint when the second finger went down
  let turning = false;

  function at(e) {
    const box = canvas.getBoundingClientRect();
    const scale = canvas.width / box.width;
    return [Math.floor((e.clientX - box.left) * scale), Math.floor((e.clientY - box.top) * scale)];
  }
  function midpoint() {
    const [a, b] = fingers.values();
    return [Math.floor((a[0] + b[0]) / 2), Math.floor((a[1] + b[1]) / 2)];
  }

  canvas.addEventListener('pointerdown', function (e) {
    if (e.pointerType !== 'touch') return;
    e.preventDefault();
    const p = at(e);
    fingers.set(e.pointerId, p);
    if (Module._webKey) Module._webKey((p[0] < canvas.width / 2 ? 'f' : 'j').charCodeAt(0));
    if (canvas.setPointerCapture) canvas.setPointerCapture(e.pointerId);
    if (fingers.size === 2) start = midpoint();
  });
  canvas.addEventListener('pointermove', function (e) {
    if (!fingers.has(e.pointerId)) return;
    e.preventDefault();
    fingers.set(e.pointerId, at(e));
    if (fingers.size !== 2 || !Module._webMouse) return;
    const m = midpoint();
    const moved = Math.hypot(m[0] - start[0], m[1] - start[1]) * canvas.getBoundingClientRect().width / canvas.width;
    if (!turning && moved < dragFrom) return;
    if (!turning) {
      turning = true;
      Module._webMouse(1, 1, start[0], start[1]);
    }
    Module._webMotion(m[0], m[1]);
  });
  function lift(e) {
    if (!fingers.has(e.pointerId)) return;
    if (turning) {
      const m = midpoint();
      turning = false;
      if (Module._webMouse) Module._webMouse(1, 0, m[0], m[1]);
    }
    fingers.delete(e.pointerId);
  }
  canvas.addEventListener('pointerup', lift);
  canvas.addEventListener('pointercancel', lift);
})();
