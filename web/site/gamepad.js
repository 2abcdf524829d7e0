// Game controllers on the page, read once an animation frame through the Gamepad API, in the
// standard layout: the left shoulder (button 4) or the left trigger (6) pulled past half way swings
// the left flipper as the key f does, the right ones (5, 7) the right flipper as j, Start (9) is n;
// every other button and axis does nothing. The keys go through the same call as the keyboard's, so
// a recording writes them as f, j and n. A press gives its key once: held, it does not repeat, and
// a trigger is let go only under 0.4, so one resting near half way does not chatter. A controller
// without the standard layout is named and left alone; one unplugged leaves nothing held (the keys
// only start swings).
(function () {
  'use strict';
  if (!navigator.getGamepads) return;
  const triggerPress = 0.5, triggerRelease = 0.4;
  const pads = new Map();  // the Gamepad API's index -> { id, used, left, right, start } as last seen

  // A side's shoulder and trigger are one flipper, pressed while either is.
  function side(was, shoulder, trigger) {
    const triggerHeld = was.triggerHeld ? trigger >= triggerRelease : trigger > triggerPress;
    return { triggerHeld, down: shoulder || triggerHeld };
  }
  function read(gamepad, was) {
    const b = (i) => gamepad.buttons[i] || { pressed: false, value: 0 };
    return {
      left: side(was.left, b(4).pressed, b(6).value),
      right: side(was.right, b(5).pressed, b(7).value),
      start: b(9).pressed,
    };
  }
  const rest = { left: {}, right: {}, start: false };
  function say(line) { if (Module.print) Module.print(line); }

  // Polled every animation frame while a pad is known: the browser's first look for pads is slow,
  // so the page waits for the browser to say one came (a pad shows itself when a button is pressed).
  let polling = false;
  function frame() {
    const seen = new Set();
    for (const gamepad of navigator.getGamepads()) {
      if (!gamepad || !gamepad.connected) continue;
      seen.add(gamepad.index);
      const was = pads.get(gamepad.index);
      if (!was || was.id !== gamepad.id) {
        // What the controller holds as it comes is where it starts, not a press.
        const used = gamepad.mapping === 'standard';
        pads.set(gamepad.index, { id: gamepad.id, used, ...(used ? read(gamepad, rest) : rest) });
        say('gamepad connected: ' + gamepad.id + (used ? '' : ' (not in the standard layout: not used)'));
        continue;
      }
      if (!was.used) continue;
      const now = read(gamepad, was);
      pads.set(gamepad.index, { ...was, ...now });
      if (!Module._webKey) continue;
      if (now.left.down && !was.left.down) Module._webKey(102);   // f
      if (now.right.down && !was.right.down) Module._webKey(106); // j
      if (now.start && !was.start) Module._webKey(110);           // n
    }
    for (const [index, pad] of pads) {
      if (seen.has(index)) continue;
      pads.delete(index);
      say('gamepad disconnected: ' + pad.id);
    }
    polling = pads.size > 0;
    if (polling) requestAnimationFrame(frame);
  }
  window.addEventListener('gamepadconnected', function () {
    if (!polling) requestAnimationFrame(frame);
    polling = true;
  });
})();
