// The page on a phone and the page's replays, in headless Chromium: called by browser.mjs with its
// helpers. Each check prints one line through check().
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readdirSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';

await import('../../web/site/share.js');
const { pack, unpack } = globalThis.FlipperShare;

// The flippers in the opening view, in 768ths of the canvas (browser.mjs has them in pixels).
const leftFlipper = { x: 160, y: 450, width: 170, height: 150 };
const rightFlipper = { x: 440, y: 450, width: 170, height: 150 };

// For every animation frame of the next ms milliseconds while act() runs: which regions of the
// canvas (in 768ths) differ from the first frame. Returns one array of booleans per frame.
async function changesDuring(page, regions, ms, act) {
  const watching = page.evaluate((regions, ms) => new Promise((done) => {
    const canvas = document.getElementById('canvas');
    const s = canvas.width / 768;
    const grabbers = regions.map((r) => {
      const copy = document.createElement('canvas');
      copy.width = Math.round(r.width * s);
      copy.height = Math.round(r.height * s);
      const context = copy.getContext('2d', { willReadFrequently: true });
      return () => {
        context.drawImage(canvas, r.x * s, r.y * s, copy.width, copy.height, 0, 0, copy.width, copy.height);
        return context.getImageData(0, 0, copy.width, copy.height).data;
      };
    });
    const first = grabbers.map((grab) => grab());
    const frames = [];
    const until = performance.now() + ms;
    const look = () => {
      frames.push(grabbers.map((grab, k) => {
        const now = grab();
        let count = 0;
        for (let i = 0; i < now.length; i += 4) if (now[i] !== first[k][i] || now[i + 1] !== first[k][i + 1]) count += 1;
        return count > 50;
      }));
      if (performance.now() < until) requestAnimationFrame(look); else done(frames);
    };
    requestAnimationFrame(look);
  }), regions, ms);
  await new Promise((done) => setTimeout(done, 50));
  await act();
  return watching;
}

// Page coordinates of a point of the canvas given in 768ths.
async function onCanvas(page, x, y) {
  const box = await page.evaluate(() => {
    const b = document.getElementById('canvas').getBoundingClientRect();
    return [b.left, b.top, b.width];
  });
  return { x: box[0] + x * box[2] / 768, y: box[1] + y * box[2] / 768 };
}

// Touch points as the screen gives them; one protocol session a page, which keeps the touches.
const sessions = new WeakMap();
async function touches(page, type, points) {
  if (!sessions.has(page)) sessions.set(page, await page.createCDPSession());
  await sessions.get(page).send('Input.dispatchTouchEvent', { type, touchPoints: points.map((p, id) => ({ x: p.x, y: p.y, id })) });
}

// The status says a verdict in a player's words; the exact line is the last of the details panel's.
const waitForVerdict = (page, timeout) => page.waitForFunction(
  () => /^replay (verified|diverged|not)/m.test(document.getElementById('console').textContent), { timeout });
const verdictOf = (page) => page.evaluate(() => document.getElementById('console').textContent.split('\n')
  .filter((l) => l.startsWith('replay ')).pop());
const statusOf = (page) => page.evaluate(() => document.getElementById('status').textContent);

export async function phoneTests({ browser, open, check, pixels, pause, desktop, phone, sim, assets, demo }) {
  // The whole table, square, on a phone upright and on its side and on a desktop; no scrolling.
  const layouts = [
    ['a phone upright', phone, 0],
    ['a phone on its side', { ...phone, width: phone.height, height: phone.width }, 0],
    ['a desktop', desktop, 768],
  ];
  for (const [what, viewport, side] of layouts) {
    const { page, record } = await open('', viewport);
    await page.evaluate(() => window.scrollTo(0, 500));
    const got = await page.evaluate(() => {
      const b = document.getElementById('canvas').getBoundingClientRect();
      const root = document.documentElement;
      return { b: [b.left, b.top, b.right, b.bottom, b.width, b.height], pixels: [canvas.width, canvas.height],
        room: [innerWidth, innerHeight], scroll: [root.scrollWidth, root.scrollHeight, window.scrollY],
        touchHint: !document.getElementById('hint-touch').hidden };
    });
    const [left, top, right, bottom, width, height] = got.b;
    const ratio = Math.min(viewport.deviceScaleFactor || 1, 2);
    check(width === height && left >= 0 && top >= 0 && right <= got.room[0] && bottom <= got.room[1] &&
      (side === 0 || width === side) && got.pixels[0] === Math.round(width * ratio) && got.pixels[1] === got.pixels[0],
    `on ${what} the table is square, whole and sharp`, `${width}x${height} at ${left},${top} in ${got.room.join('x')}, ${got.pixels.join('x')} pixels`);
    check(got.scroll[0] <= got.room[0] && got.scroll[1] <= got.room[1] && got.scroll[2] === 0,
      `on ${what} the page does not scroll`, got.scroll.join(' '));
    check(got.touchHint === Boolean(viewport.hasTouch), `on ${what} the hint is for its ${viewport.hasTouch ? 'touch screen' : 'keys'}`);
    check(record.errors.length === 0, `no page errors on ${what}`, record.errors.join('; '));
    await page.close();
  }

  // Two thumbs at once, one on each half: both flippers move in the same frame.
  {
    const { page, record } = await open('', phone);
    await page.waitForFunction(() => Module._webTickCount() > 100, { timeout: 30000 });
    await page.click('#new-game');
    await pause(150);
    const left = await onCanvas(page, 100, 600);
    const right = await onCanvas(page, 660, 600);
    const frames = await changesDuring(page, [leftFlipper, rightFlipper], 400, () => touches(page, 'touchStart', [left, right]));
    await touches(page, 'touchEnd', []);
    const firstLeft = frames.findIndex((f) => f[0]);
    const firstRight = frames.findIndex((f) => f[1]);
    check(firstLeft > 0 && firstLeft === firstRight, 'two touches, one per half, move both flippers in the same frame',
      `left from frame ${firstLeft}, right from frame ${firstRight}`);

    // A long press: no menu, no selection.
    await page.evaluate(() => window.addEventListener('contextmenu', (e) => { window.menuOpened = !e.defaultPrevented; }));
    await touches(page, 'touchStart', [left]);
    await pause(1200);
    await touches(page, 'touchEnd', []);
    const menu = await page.evaluate(() => [window.menuOpened === true, String(window.getSelection())]);
    check(!menu[0] && menu[1] === '', 'a long press opens no menu and selects nothing', menu.join(' '));
    check(record.errors.length === 0, 'no page errors under touches', record.errors.join('; '));
    await page.close();
  }

  // Two fingers dragging together turn the view.
  {
    const { page } = await open('?freeze-at=300', phone);
    await page.waitForFunction(() => Module._webFrozen() === 1, { timeout: 60000 });
    await pause(200);
    const before = await pixels(page);
    const a = await onCanvas(page, 300, 300);
    const b = await onCanvas(page, 460, 300);
    await touches(page, 'touchStart', [a, b]);
    for (let step = 1; step <= 6; step++)
      await touches(page, 'touchMove', [{ x: a.x + 8 * step, y: a.y + 4 * step }, { x: b.x + 8 * step, y: b.y + 4 * step }]);
    await touches(page, 'touchEnd', []);
    await pause(300);
    const after = await pixels(page);
    let turned = 0;
    for (let i = 0; i < after.length; i += 3) if (after[i] !== before[i] || after[i + 1] !== before[i + 1]) turned += 1;
    check(turned > after.length / 3 / 20, 'a two-finger drag turns the view', `${turned} pixels changed`);
    await page.close();
  }

  // Share: a game played with keys, as a link and as a file at the same moment; the link verifies
  // in a new page with the line flipper-sim gives for the file.
  const downloads = mkdtempSync(join(tmpdir(), 'flipper-downloads-'));
  let code = '';
  try {
    const { page, record } = await open();
    const cdp = await page.createCDPSession();
    await cdp.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
    await page.waitForFunction(() => Module._webTickCount() > 100, { timeout: 30000 });
    for (const key of ['f', 'j', 'f']) {
      await page.keyboard.press(key);
      await pause(250);
    }
    await page.evaluate(() => {
      document.getElementById('share').click();
      document.getElementById('download').click();
    });
    await page.waitForFunction(() => document.getElementById('link').value.includes('#replay='), { timeout: 10000 });
    const link = await page.evaluate(() => document.getElementById('link').value);
    code = link.slice(link.indexOf('#replay=') + 8);
    for (let i = 0; i < 50 && !readdirSync(downloads).includes('flipper.replay'); i++) await pause(100);
    const file = join(downloads, 'flipper.replay');
    const expected = execFileSync(sim, ['--replay', file, '--model', join(assets, 'sphere.iv')], { encoding: 'utf8' }).trim().split('\n').pop();
    check(expected.startsWith('replay verified: '), '#download saves a game flipper-sim verifies', expected);
    check(readFileSync(file, 'utf8') === await unpack(code), "#share's link holds the same replay as #download's file");
    check(record.errors.length === 0, 'no page errors sharing', record.errors.join('; '));
    await page.close();

    const shared = await open(link.slice(link.indexOf('#')));
    await waitForVerdict(shared.page, 30000);
    const verdict = await verdictOf(shared.page);
    const [, ticks, score] = expected.match(/ticks (\d+) score (\d+)/);
    const words = `A genuine game: ${score} points in ${(ticks / 900).toFixed(1)} s`;
    check(verdict === expected && shared.record.lines.includes(expected) && await statusOf(shared.page) === words,
      'the link verifies in a new page, as flipper-sim says, and the status says so in words', `${verdict} / ${expected}`);
    await shared.page.close();
  } finally {
    rmSync(downloads, { recursive: true, force: true });
  }

  // New game and Share in one frame: the link is of the new game, before its first idle call, and
  // verifies once. New game stops a replay, and the status stops saying it plays.
  {
    const { page } = await open();
    await page.waitForFunction(() => Module._webTickCount() > 100, { timeout: 30000 });
    await page.evaluate(() => { document.getElementById('new-game').click(); document.getElementById('share').click(); });
    await page.waitForFunction(() => document.getElementById('link').value.includes('#replay='), { timeout: 10000 });
    const link = await page.evaluate(() => document.getElementById('link').value);
    await page.close();
    const fresh = 'replay verified: ticks 0 score 0 hash cbf29ce484222325';
    const shared = await open(link.slice(link.indexOf('#')));
    await waitForVerdict(shared.page, 30000);
    await pause(300);
    const said = shared.record.lines.filter((l) => l.startsWith('replay '));
    check(await verdictOf(shared.page) === fresh && said.join() === fresh,
      'a game shared in the frame of its New game is that game, and verifies once', said.join('; '));
    await shared.page.goto('about:blank');
    await shared.page.goto(`${new URL(link).origin}/#replay=${await pack(readFileSync(demo, 'utf8'))}`);
    await shared.page.waitForFunction(() => document.getElementById('status').textContent === 'link: playing', { timeout: 30000 });
    await shared.page.click('#new-game');
    await pause(300);
    check(await statusOf(shared.page) === '', 'New game stops a replay, and the status no longer says it plays', await statusOf(shared.page));
    await shared.page.close();
  }

  // docs/demo.replay opened with #open: the end line of the file, verified.
  {
    const { page } = await open();
    const end = readFileSync(demo, 'utf8').match(/^end \d+ (ticks \d+ score \d+ hash [0-9a-f]{16})$/m);
    await (await page.$('#open')).uploadFile(demo);
    await waitForVerdict(page, 40000);
    const verdict = await verdictOf(page);
    check(end !== null && verdict === `replay verified: ${end[1]}`, 'docs/demo.replay opened with #open verifies', verdict);
    await page.close();
  }

  // A tampered link: the end's score one more. Not verified.
  if (code !== '') {
    const text = await unpack(code);
    const tampered = text.replace(/^(end \d+ ticks \d+ score )(\d+)/m, (_, head, score) => head + (Number(score) + 1));
    const { page } = await open('#replay=' + await pack(tampered));
    await waitForVerdict(page, 30000);
    const verdict = await verdictOf(page);
    check(tampered !== text && verdict.startsWith('replay diverged at the end: '), 'a tampered link is not verified', verdict);
    await page.close();
  }

  // A garbage link: one line, and the game plays.
  {
    const { page, record } = await open('#replay=<b>bold</b>');
    await page.waitForFunction(() => Module._webTickCount() > 200, { timeout: 30000 });
    const said = record.lines.filter((l) => l.startsWith('link: '));
    const bold = await page.evaluate(() => document.querySelectorAll('b').length);
    check(said.length === 1 && said[0] === 'link: the link is not base64url' && bold === 0,
      'a garbage link gives one line and the game plays', said.join('; '));
    await page.close();
  }

  // A link of nothing but n: 85,000 new games, one an idle call. However cheap a rebuild is made, a
  // frame may buy only a frame's budget of them (once two a tick, 180 a frame: a second a frame).
  {
    const model = readFileSync(demo, 'utf8').match(/^model [0-9a-f]{16}$/m)[0];
    const keys = Array.from({ length: 85000 }, (_, idle) => `key ${idle} n`);
    const flood = ['flipper-replay 1', model, ...keys, 'end 85001 ticks 0 score 0 hash 0000000000000000', ''].join('\n');
    const { page } = await open('#replay=' + await pack(flood));
    await page.waitForFunction(() => Module._webReplaying() === 1, { timeout: 30000 });
    const [frames, work] = await page.evaluate(() => new Promise((done) => {
      const from = Module._webFrameTimeCount();
      let frames = 0;
      const until = performance.now() + 3000;
      const frame = (now) => {
        frames += 1;
        if (now < until) { requestAnimationFrame(frame); return; }
        const work = [];
        for (let i = from; i < Module._webFrameTimeCount(); i++) work.push(Module._webFrameTime(i));
        done([frames, work.sort((x, y) => x - y)]);
      };
      requestAnimationFrame(frame);
    }));
    const median = work.length > 0 ? work[Math.floor(work.length / 2)] : Infinity;
    check(median < 30, 'a link of 85,000 n keys keeps each frame to about its budget',
      `${(frames / 3).toFixed(1)} frames a second, the game's work per frame median ${median.toFixed(2)} ms`);
    await page.close();
  }

  // Offline: a second visit with no network loads and plays.
  {
    const context = await browser.createBrowserContext();
    const { page, record } = await open('', desktop, context);
    await page.evaluate(() => navigator.serviceWorker.ready.then(() => true));
    await page.setOfflineMode(true);
    record.lines.length = 0;
    await page.reload();
    await page.waitForFunction(() => window.Module && Module.running === true, { timeout: 30000 });
    await page.waitForFunction(() => Module._webTickCount() > 100, { timeout: 30000 });
    await page.keyboard.press('n');
    await pause(150);
    const frames = await changesDuring(page, [leftFlipper], 800, () => page.keyboard.press('f'));
    check(record.lines.some((l) => l.startsWith('Read in ')) && frames.some((f) => f[0]),
      'offline, a reload reads the ball and the keys work',
      `${record.lines.length} lines; the left flipper moved in ${frames.filter((f) => f[0]).length} of ${frames.length} frames`);
    await context.close();
  }
}

const stat = (values, q) => {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.min(sorted.length - 1, Math.floor(q * sorted.length))].toFixed(2);
};

// 10 s of play: the frame intervals and the game's work per frame (Module._webFrameTime).
async function frameTimes(page, what) {
  const intervals = await page.evaluate(() => new Promise((done) => {
    const times = [];
    let last = performance.now();
    const until = last + 10000;
    const frame = (now) => {
      times.push(now - last);
      last = now;
      if (now < until) requestAnimationFrame(frame); else done(times);
    };
    requestAnimationFrame(frame);
  }));
  const work = await page.evaluate((n) => {
    const out = [];
    for (let i = Math.max(0, Module._webFrameTimeCount() - n); i < Module._webFrameTimeCount(); i++) out.push(Module._webFrameTime(i));
    return out;
  }, intervals.length);
  console.log(`timing, ${what}: ${intervals.length} frames in 10 s; frame interval median ${stat(intervals, 0.5)} ms, ` +
    `p95 ${stat(intervals, 0.95)} ms; the game's work per frame median ${stat(work, 0.5)} ms, p95 ${stat(work, 0.95)} ms ` +
    `(p75 ${stat(work, 0.75)}, p90 ${stat(work, 0.9)}, p99 ${stat(work, 0.99)}, most ${stat(work, 1)} ms)`);
}

// From a touch's event to the end of the animation frame whose ticks moved the flipper, 20 times.
async function touchDelay(page, what) {
  // The game's frame runs first in an animation frame (it asked for it in the frame before), so
  // a check asked for in the touch's handler sees the ticks of the first frame after the touch.
  await page.evaluate(() => {
    window.delays = [];
    window.framesLate = [];
    document.getElementById('canvas').addEventListener('pointerdown', (e) => {
      const tick = Module._webTickCount();
      let frames = 0;
      const check = () => {
        frames += 1;
        if (Module._webTickCount() > tick) {
          window.delays.push(performance.now() - e.timeStamp);
          window.framesLate.push(frames);
        } else {
          requestAnimationFrame(check);
        }
      };
      requestAnimationFrame(check);
    });
  });
  const at = await onCanvas(page, 100, 600);
  for (let i = 0; i < 20; i++) {
    await touches(page, 'touchStart', [at]);
    await touches(page, 'touchEnd', []);
    await new Promise((done) => setTimeout(done, 97));
  }
  const [delays, framesLate] = await page.evaluate(() => [window.delays, window.framesLate]);
  const frames = await page.evaluate(() => new Promise((done) => {
    const t = [];
    const f = (now) => { t.push(now); if (t.length < 30) requestAnimationFrame(f); else done((t[29] - t[0]) / 29); };
    requestAnimationFrame(f);
  }));
  console.log(`timing, ${what}: touch to the flipper's first step median ${stat(delays, 0.5)} ms, ` +
    `most ${stat(delays, 1)} ms over ${delays.length} touches, in the animation frame after the touch ` +
    `${framesLate.filter((n) => n === 1).length} times of ${framesLate.length}; an animation frame ${frames.toFixed(2)} ms`);
}

// The figures scripts/web --test --timing reports: frame times on a desktop and on a phone with
// its CPU slowed 4 times, the delay from a touch to the flipper's first step, and link lengths.
export async function timing({ open, pause, desktop, phone, demo }) {
  {
    const { page } = await open('', desktop);
    await frameTimes(page, 'desktop');
    await page.close();
  }
  {
    const { page } = await open('', phone);
    const cdp = await page.createCDPSession();
    await cdp.send('Emulation.setCPUThrottlingRate', { rate: 4 });
    await pause(1000);
    await frameTimes(page, 'phone, CPU 4x slower');

    // From the touch's event to the end of the animation frame whose ticks moved the flipper.
    await touchDelay(page, 'phone, CPU 4x slower');
    await page.close();
  }
  {
    const { page } = await open('', phone);
    await touchDelay(page, 'phone');
    await page.close();
  }
  const demoCode = await pack(readFileSync(demo, 'utf8'));
  console.log(`link length, docs/demo.replay: ${'index.html#replay='.length + demoCode.length} characters (index.html#replay=...)`);
  {
    // A minute's game with 20 flips, alternately left and right, 3 s apart.
    const { page } = await open('', desktop);
    await page.click('#new-game');
    for (let i = 0; i < 20; i++) {
      await pause(3000);
      await page.keyboard.press(i % 2 === 0 ? 'f' : 'j');
    }
    await page.click('#share');
    await page.waitForFunction(() => document.getElementById('link').value.includes('#replay='), { timeout: 10000 });
    const [link, ticks] = await page.evaluate(() => [document.getElementById('link').value, Module._webTickCount()]);
    console.log(`link length, a game of ${ticks} ticks with 20 flips: ` +
      `${'index.html'.length + link.length - link.indexOf('#')} characters (index.html#replay=...)`);
    await page.close();
  }
}
