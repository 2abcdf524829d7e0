// Touch on the table (web/site/touch.js): a finger on a half works that flipper when it goes down;
// two fingers dragging turn the view once their midpoint has moved 6 CSS pixels.
import assert from 'node:assert/strict';
import test from 'node:test';
import { documentOf, element, game, load } from './page.mjs';

const f = 102, j = 106;

// A canvas of 768 pixels shown in a box of BOX CSS pixels at (10, 20).
function page(box = 384) {
  const canvas = element({
    width: 768,
    getBoundingClientRect: () => ({ left: 10, top: 20, width: box, height: box }),
    setPointerCapture() {},
  });
  const Module = game();
  load('touch.js', { Module, document: documentOf({ canvas }) });
  const finger = (type, id, x, y, pointerType = 'touch') =>
    canvas.fire(type, { pointerId: id, pointerType, clientX: x, clientY: y });
  return { calls: Module.calls, finger };
}

test('a finger works the flipper of its half as it goes down, the middle column on the right', () => {
  // [box width, clientX, key]: the box at x = 10; pixel 384 of 768 is the first of the right half.
  const cases = [
    [384, 10, f], [384, 201.5, f], [384, 202, j], [384, 393.9, j],
    [768, 393, f], [768, 394, j],
    [192, 105.9, f], [192, 106, j],
  ];
  for (const [box, x, key] of cases) {
    const { calls, finger } = page(box);
    finger('pointerdown', 1, x, 100);
    assert.deepEqual(calls, [['key', key]], `box ${box}, x ${x}`);
    finger('pointerup', 1, x, 100);
    assert.deepEqual(calls, [['key', key]], 'nothing more on release');
  }
});

test('a mouse or a pen keeps its desktop meaning: no flipper, no turn', () => {
  for (const pointerType of ['mouse', 'pen']) {
    const { calls, finger } = page();
    finger('pointerdown', 1, 50, 100, pointerType);
    finger('pointerdown', 2, 150, 100, pointerType);
    finger('pointermove', 2, 300, 100, pointerType);
    finger('pointerup', 2, 300, 100, pointerType);
    assert.deepEqual(calls, [], pointerType);
  }
});

test('two fingers turn the view after 6 CSS pixels, one motion per move, until one lifts', () => {
  const { calls, finger } = page(384);  // 2 canvas pixels to a CSS pixel
  finger('pointerdown', 1, 50, 100);    // canvas (80, 160)
  finger('pointerdown', 2, 150, 100);   // canvas (280, 160): the midpoint starts at (180, 160)
  calls.length = 0;
  finger('pointermove', 2, 161, 100);   // (302, 160): midpoint (191, 160), 5.5 CSS pixels away
  finger('pointermove', 7, 400, 400);   // a pointer that never went down
  assert.deepEqual(calls, []);
  finger('pointermove', 2, 162, 100);   // (304, 160): midpoint (192, 160), 6 CSS pixels away
  finger('pointermove', 1, 55, 105);    // (90, 170): midpoint (197, 165)
  finger('pointerup', 2, 162, 100);
  finger('pointermove', 1, 20, 20);     // one finger left: no turn
  assert.deepEqual(calls, [['mouse', 1, 1, 180, 160], ['motion', 192, 160], ['motion', 197, 165],
    ['mouse', 1, 0, 197, 165]]);
});

test('a third finger works its flipper and turns nothing; a cancelled finger ends the turn', () => {
  const { calls, finger } = page(384);
  finger('pointerdown', 1, 50, 100);
  finger('pointerdown', 2, 150, 100);
  finger('pointerdown', 3, 300, 100);   // canvas 580: the right half
  finger('pointermove', 3, 300, 300);
  finger('pointermove', 2, 250, 300);
  assert.deepEqual(calls, [['key', f], ['key', f], ['key', j]]);
  finger('pointerup', 3, 300, 300);
  calls.length = 0;
  finger('pointermove', 2, 250, 100);   // (480, 160): midpoint (280, 160), 50 CSS pixels away
  finger('pointercancel', 1, 50, 100);
  assert.deepEqual(calls, [['mouse', 1, 1, 180, 160], ['motion', 280, 160], ['mouse', 1, 0, 280, 160]]);
});
