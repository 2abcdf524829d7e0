// Game controllers on the page, in headless Chromium: navigator.getGamepads gives the test's own pads
// (announced by a gamepadconnected event, as a browser does),
// whose buttons the test sets: one in the standard layout (holding its right shoulder as the page
// opens, which is no press) and one in no standard layout, which is left alone.
function installPads() {
  const pad = (index, mapping, held) => ({ index, id: `pad ${index}`, connected: true, mapping,
    buttons: Array.from({ length: 17 }, (_, i) => ({ pressed: held.includes(i), value: held.includes(i) ? 1 : 0 })) });
  window.testPads = [pad(0, 'standard', [5]), pad(1, '', [5, 9])];
  navigator.getGamepads = () => window.testPads;
  window.addEventListener('load', () => window.dispatchEvent(new Event('gamepadconnected')));
}

export async function gamepadTests({ open, check, pause }) {
  const { page, record } = await open('', undefined, undefined, { before: (p) => p.evaluateOnNewDocument(installPads) });
  await page.waitForFunction(() => Module._webTickCount() > 100, { timeout: 30000 });
  // Each value is held 250 ms, many animation frames: f, j, j (the right trigger held at 0.45), n.
  const press = async (button, value) => {
    await page.evaluate((b, v) => { for (const pad of testPads) pad.buttons[b] = { pressed: v > 0, value: v }; }, button, value);
    await pause(250);
  };
  const steps = [[5, 0], [4, 1], [4, 0], [7, 0.8], [7, 0.45], [7, 0.9], [7, 0.2], [0, 1], [5, 1]];
  for (const [button, value] of steps) await press(button, value);
  const keys = await page.evaluate(() => Module._webSnapshot() && Module.FS.readFile('/game.replay', { encoding: 'utf8' })
    .split('\n').filter((l) => l.startsWith('key ')).map((l) => l.split(' ')[2]).join(''));
  check(keys === 'fjj', 'a pad\'s presses are recorded as its keys, once each', keys);
  await press(9, 1);
  await page.evaluate(() => { testPads[0] = null; });  // pulled out holding Start and the right shoulder
  await pause(250);
  const lines = record.lines.filter((l) => l.startsWith('gamepad')).join('|');
  const readIns = record.lines.filter((l) => l.startsWith('Read in ')).length;
  check(readIns === 2 && lines === 'gamepad connected: pad 0|gamepad connected: pad 1 (not in the standard layout: not used)|' +
    'gamepad disconnected: pad 0', 'Start is a new game; each pad is named as it comes and goes', `${readIns} 'Read in ' lines; ${lines}`);
  check(record.errors.length === 0, 'no page errors with pads', record.errors.join('; '));
  await page.close();
}
