// The page's layout (web/site/layout.js): the table is the largest square beside or under the
// controls (768 CSS pixels at most but in fullscreen, 64 at least), drawn at the pixel ratio up to 2.
import assert from 'node:assert/strict';
import test from 'node:test';
import { documentOf, element, game, load } from './page.mjs';

// A window of WIDTH x HEIGHT CSS pixels whose controls are 150 high when under the table.
function page({ width, height, ratio = 1, fullscreen = false, touchPoints = 0, fine = true, coarse = false }) {
  const canvas = element({ width: 300, height: 150 });
  const main = { className: '' };
  const side = { style: { height: '' } };
  const elements = {
    canvas, side, play: { offsetHeight: 150 }, 'hint-keys': element(), 'hint-touch': element(), fullscreen: element(), 'new-game': element(),
  };
  const media = { '(pointer: coarse)': coarse, '(any-pointer: fine)': fine };
  const window = element({ innerHeight: height, devicePixelRatio: ratio, matchMedia: (q) => ({ matches: media[q] }) });
  const Module = game({ running: false });
  const resize = Module._webResize;
  Module._webResize = (w, h) => {  // the game sizes the canvas itself
    resize(w, h);
    [canvas.width, canvas.height] = [w, h];
  };
  load('layout.js', {
    Module, window,
    navigator: { maxTouchPoints: touchPoints },
    document: documentOf(elements, {
      querySelector: (selector) => (selector === 'main' ? main : null),
      documentElement: { clientWidth: width, requestFullscreen() {} },
      fullscreenElement: fullscreen ? canvas : null,
      fullscreenEnabled: true,
    }),
  });
  return { canvas, main, side, elements, window, Module };
}

test('the table is the largest square beside or under the controls', () => {
  // [window, pixel ratio, fullscreen, where the controls go, CSS side, canvas side, height of the controls]
  const cases = [
    [[390, 844], 3, false, 'under', 374, 748, '446px'],   // a phone upright: 390 - 2 * 8
    [[844, 390], 3, false, 'beside', 374, 748, ''],       // on its side: 390 - 2 * 8
    [[1280, 900], 1, false, 'beside', 768, 768, ''],      // a desktop: 768 at most
    [[1000, 700], 1.5, false, 'beside', 684, 1026, ''],
    [[600, 1000], 2, false, 'under', 584, 1168, '392px'],
    [[3840, 2160], 1, true, 'beside', 2144, 2144, ''],    // fullscreen: no 768 bound
    [[200, 150], 1, false, 'under', 64, 64, '62px'],      // no room: 64 all the same
  ];
  for (const [[width, height], ratio, fullscreen, where, css, pixels, controls] of cases) {
    const { canvas, main, side } = page({ width, height, ratio, fullscreen });
    const name = `${width}x${height} at ${ratio}`;
    assert.equal(main.className, where, name);
    assert.equal(canvas.style.width, `${css}px`, name);
    assert.equal(canvas.style.height, `${css}px`, name);
    assert.deepEqual([canvas.width, canvas.height], [pixels, pixels], name);
    assert.equal(side.style.height, controls, name);
  }
});

test('once the game runs, a new size goes to the game and the same size to no one', () => {
  const { canvas, window, Module } = page({ width: 1280, height: 900 });
  Module.running = true;
  for (const f of Module.postRun) f();
  assert.deepEqual([canvas.width, canvas.height, Module.calls], [768, 768, []]);  // it started at this size
  canvas.width = canvas.height = 500;  // as if the game had started at another size
  for (const f of Module.postRun) f();
  assert.deepEqual(Module.calls, [['resize', 768, 768]]);
  Module.calls.length = 0;
  window.fire('resize');
  window.innerHeight = 500;  // beside: 500 - 2 * 8
  window.fire('resize');
  assert.deepEqual(Module.calls, [['resize', 484, 484]]);
});

test('the hint says what works on the device in hand', () => {
  // [touch points, a coarse pointer, a fine pointer, the keys' hint shown, the touch hint shown]
  const cases = [[0, false, true, true, false], [5, true, false, false, true], [10, false, true, true, true],
    [0, true, false, false, true]];
  for (const [touchPoints, coarse, fine, keys, touch] of cases) {
    const { elements } = page({ width: 800, height: 600, touchPoints, coarse, fine });
    assert.deepEqual([!elements['hint-keys'].hidden, !elements['hint-touch'].hidden], [keys, touch],
      `${touchPoints} touch points, coarse ${coarse}, fine ${fine}`);
  }
});
