// Flipper's page in a real, headless Chromium:
//   node browser.mjs SITE_FOLDER DESKTOP_FRAME.rgb FREEZE_TICK BROKEN_MODEL BROKEN_MODEL_LINE [--timing]
// DESKTOP_FRAME.rgb holds the desktop game's 768 x 768 picture at FREEZE_TICK as raw RGB bytes,
// rows top first; BROKEN_MODEL is a model file the native game rejects with BROKEN_MODEL_LINE. Serves the site on 127.0.0.1, plays it, and prints one line per check; exits 1
// if any fails. With --timing it also plays 10 s and prints the frame times.
import { readFileSync } from 'node:fs';
import { launchChromium } from './chromium.mjs';
import { phoneTests, timing, transferCheck } from './phone.mjs';
import { serve } from './serve.mjs';

const [site, desktopFrame, freezeTick, brokenModel, brokenModelLine, ...flags] = process.argv.slice(2);
if (!site || !desktopFrame || !freezeTick || !brokenModel || !brokenModelLine) {
  console.error('usage: node browser.mjs SITE_FOLDER DESKTOP_FRAME.rgb FREEZE_TICK BROKEN_MODEL BROKEN_MODEL_LINE [--timing]');
  process.exit(2);
}

const size = 768;
const levels = 24;           // per channel, for a pixel to agree with the desktop's
const agreementNeeded = 0.97;
// The flippers in the opening view, in canvas pixels: each one's slab swings inside its box.
const leftFlipper = { x: 160, y: 450, width: 170, height: 150 };
const rightFlipper = { x: 440, y: 450, width: 170, height: 150 };

let failures = 0;
function check(ok, what, detail = '') {
  console.log(`${ok ? 'ok  ' : 'FAIL'} ${what}${detail ? ': ' + detail : ''}`);
  if (!ok) failures += 1;
}
const pause = (ms) => new Promise((done) => setTimeout(done, ms));

const desktop = { width: 1280, height: 900 };  // room for the 768-pixel table beside the controls
const phone = { width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true };
const server = await serve(site, 0);
const base = `http://127.0.0.1:${server.address().port}/`;
const browser = await launchChromium();

// Opens the page and records its errors and console lines. The service worker stays out of the
// way, so what a test serves is what the page gets; only the offline test lets it work.
async function open(query = '', viewport = desktop, context = browser) {
  const page = await context.newPage();
  if (context === browser) await page.setBypassServiceWorker(true);
  await page.setViewport(viewport);
  const record = { errors: [], lines: [] };
  page.on('pageerror', (e) => record.errors.push(e.message));
  page.on('requestfailed', (r) => record.errors.push(`request failed: ${r.url()}`));
  page.on('response', (r) => { if (r.status() >= 400) record.errors.push(`${r.status()} for ${r.url()}`); });
  page.on('console', (m) => record.lines.push(m.text()));
  await page.goto(base + query);
  await page.waitForFunction(() => window.Module && Module.running === true, { timeout: 30000 });
  return { page, record };
}

// The canvas as RGB bytes, rows top first.
async function pixels(page) {
  const base64 = await page.evaluate(() => {
    const source = document.getElementById('canvas');
    const copy = document.createElement('canvas');
    copy.width = source.width;
    copy.height = source.height;
    const context = copy.getContext('2d');
    context.drawImage(source, 0, 0);
    const rgba = context.getImageData(0, 0, copy.width, copy.height).data;
    let text = '';
    for (let i = 0; i < rgba.length; i += 4) text += String.fromCharCode(rgba[i], rgba[i + 1], rgba[i + 2]);
    return btoa(text);
  });
  return Buffer.from(base64, 'base64');
}

// How many pixels of the region differ at all between two pictures.
function changed(a, b, region = { x: 0, y: 0, width: size, height: size }) {
  let count = 0;
  for (let y = region.y; y < region.y + region.height; y++)
    for (let x = region.x; x < region.x + region.width; x++) {
      const i = 3 * (y * size + x);
      if (a[i] !== b[i] || a[i + 1] !== b[i + 1] || a[i + 2] !== b[i + 2]) count += 1;
    }
  return count;
}

// The most pixels of the region that differ from the first frame, over every animation frame of
// the next ms milliseconds while act() runs.
async function mostChangedDuring(page, region, ms, act) {
  const watching = page.evaluate((r, ms) => new Promise((done) => {
    const copy = document.createElement('canvas');
    copy.width = r.width;
    copy.height = r.height;
    const context = copy.getContext('2d', { willReadFrequently: true });
    const grab = () => {
      context.drawImage(document.getElementById('canvas'), r.x, r.y, r.width, r.height, 0, 0, r.width, r.height);
      return context.getImageData(0, 0, r.width, r.height).data;
    };
    const first = grab();
    let most = 0;
    const until = performance.now() + ms;
    const look = () => {
      const now = grab();
      let count = 0;
      for (let i = 0; i < now.length; i += 4)
        if (now[i] !== first[i] || now[i + 1] !== first[i + 1] || now[i + 2] !== first[i + 2]) count += 1;
      most = Math.max(most, count);
      if (performance.now() < until) requestAnimationFrame(look); else done(most);
    };
    requestAnimationFrame(look);
  }), region, ms);
  await pause(50);
  await act();
  return watching;
}

try {
  // Playing: the ball is read, the flippers answer their keys, n reads the ball again.
  {
    const { page, record } = await open();
    await page.waitForFunction(() => Module._webTickCount() > 100, { timeout: 30000 });
    check(record.lines.some((l) => l.startsWith('Read in ')), "'Read in ' on the console");
    check(await page.evaluate(() => document.getElementById('console').textContent.includes('Read in ')),
      "'Read in ' in the page's console panel");
    check(await page.evaluate(() => document.title) === 'Flipper', 'the page is titled "Flipper"');
    const canvasSize = await page.evaluate(() => [canvas.width, canvas.height, canvas.clientWidth, canvas.clientHeight]);
    check(canvasSize.every((v) => v === size), 'the canvas is 768 x 768', canvasSize.join(' '));

    // A new game puts the ball far up the table, so the flippers' pixels stay still for a while
    // unless a key moves them.
    const afterRestart = async (region, act) => {
      await page.keyboard.press('n');
      await pause(150);
      return mostChangedDuring(page, region, 400, act);
    };
    const idleLeft = await afterRestart(leftFlipper, async () => {});
    check(idleLeft === 0, 'the left flipper stands still without a key', `${idleLeft} pixels changed`);
    const byF = await afterRestart(leftFlipper, () => page.keyboard.press('f'));
    check(byF > 50, "'f' moves the left flipper", `${byF} pixels changed`);
    const byJ = await afterRestart(rightFlipper, () => page.keyboard.press('j'));
    check(byJ > 50, "'j' moves the right flipper", `${byJ} pixels changed`);
    const leftByJ = await afterRestart(leftFlipper, () => page.keyboard.press('j'));
    check(leftByJ === 0, "'j' leaves the left flipper", `${leftByJ} pixels changed`);

    const readIns = () => record.lines.filter((l) => l.startsWith('Read in ')).length;
    const before = readIns();
    await page.keyboard.press('n');
    await pause(500);
    check(before === 5 && readIns() === 6, "'n' reads the ball again", `${before} then ${readIns()} 'Read in ' lines`);
    check(record.errors.length === 0, 'no page errors while playing', record.errors.join('; '));
    await page.close();
  }

  // Frozen at the tick: the picture agrees with the desktop's, and only a middle drag turns it.
  {
    const { page, record } = await open(`?freeze-at=${freezeTick}`);
    await page.waitForFunction(() => Module._webFrozen() === 1, { timeout: 60000 });
    await pause(300);
    const frozen = await pixels(page);
    const desktop = readFileSync(desktopFrame);
    let agree = 0;
    for (let i = 0; i < size * size; i++) {
      if (Math.abs(frozen[3 * i] - desktop[3 * i]) <= levels && Math.abs(frozen[3 * i + 1] - desktop[3 * i + 1]) <= levels &&
          Math.abs(frozen[3 * i + 2] - desktop[3 * i + 2]) <= levels) agree += 1;
    }
    const share = agree / (size * size);
    check(desktop.length === 3 * size * size && share >= agreementNeeded,
      `the frame at tick ${freezeTick} agrees with the desktop's`,
      `${(100 * share).toFixed(3)}% of pixels within ${levels} levels`);

    // Keys and buttons that are not the game's do nothing, and the page does not scroll.
    for (const key of ['x', 'F', 'Space', 'ArrowDown', 'PageDown', 'End']) await page.keyboard.press(key);
    await page.mouse.click(384, 300, { button: 'right' });
    await page.mouse.move(384, 384);
    await page.mouse.down({ button: 'left' });
    await page.mouse.move(480, 430, { steps: 6 });
    await page.mouse.up({ button: 'left' });
    await page.mouse.wheel({ deltaY: 400 });
    await pause(300);
    const scroll = await page.evaluate(() => [window.scrollX, window.scrollY]);
    const selected = await page.evaluate(() => String(window.getSelection()));
    check(scroll[0] === 0 && scroll[1] === 0 && selected === '', 'other keys and buttons leave the page as it is',
      `scroll ${scroll.join(',')}, selection '${selected}'`);
    const untouched = changed(frozen, await pixels(page));
    check(untouched === 0 && await page.evaluate(() => Module._webTickCount()) === Number(freezeTick),
      'other keys and buttons leave the game as it is', `${untouched} pixels changed`);

    await page.mouse.move(384, 384);
    await page.mouse.down({ button: 'middle' });
    await page.mouse.move(432, 408, { steps: 6 });
    await page.mouse.up({ button: 'middle' });
    await pause(300);
    const turned = changed(frozen, await pixels(page));
    check(turned > size * size / 20, 'a middle-button drag turns the view', `${turned} pixels changed`);
    check(record.errors.length === 0, 'no page errors when frozen', record.errors.join('; '));
    await page.close();
  }

  // A bad freeze tick is reported as the desktop game reports it, and the game plays on.
  {
    const { page, record } = await open('?freeze-at=ten');
    await page.waitForFunction(() => Module._webTickCount() > 30, { timeout: 30000 });
    const line = "flipper: bad tick 'ten' for --freeze-at: it must be a whole number from 0";
    check(record.lines.includes(line) && await page.evaluate(() => Module._webFrozen()) === 0,
      'a bad freeze tick is reported and the game plays on', record.lines.filter((l) => l.includes('tick')).join('; '));
    await page.close();
  }

  // A data file missing from the site or broken: the desktop's one-line message, in the browser's
  // console and on the page, and the game goes on.
  const dataCases = [
    { file: 'head.bmp', status: 404, body: '', line: 'head.bmp: cannot load picture: no such file or directory' },
    { file: 'sphere.iv', status: 404, body: '', line: 'sphere.iv: cannot read model: no such file or directory' },
    { file: 'sphere.iv', status: 200, body: readFileSync(brokenModel), line: brokenModelLine },
  ];
  for (const c of dataCases) {
    const page = await browser.newPage();
    await page.setBypassServiceWorker(true);
    const lines = [];
    const errors = [];
    page.on('console', (m) => lines.push(m.text()));
    page.on('pageerror', (e) => errors.push(e.message));
    await page.setRequestInterception(true);
    page.on('request', (r) => (r.url().endsWith('/' + c.file) ? r.respond({ status: c.status, body: c.body }) : r.continue()));
    await page.goto(base);
    await page.waitForFunction(() => window.Module && Module.running && Module._webTickCount() > 30, { timeout: 30000 });
    const panel = await page.evaluate(() => document.getElementById('console').textContent);
    const what = c.status === 404 ? `a missing ${c.file}` : `a broken ${c.file}`;
    check(lines.includes(c.line) && panel.includes(c.line + '\n'), `${what} gets the desktop's line on the page`,
      lines.filter((l) => l.includes(c.file)).join('; ') || `no line about ${c.file}`);
    check(errors.length === 0, 'and the game goes on', errors.join('; '));
    await page.close();
  }

  await phoneTests({ browser, open, check, pixels, pause, desktop, phone, sim: process.env.FLIPPER_SIM,
    assets: process.env.FLIPPER_ASSETS, demo: process.env.FLIPPER_DEMO });

  transferCheck({ check, site });
  if (flags.includes('--timing')) await timing({ open, pause, desktop, phone, demo: process.env.FLIPPER_DEMO });
} catch (e) {
  check(false, 'the browser test ran to its end', e.stack || String(e));
} finally {
  await browser.close();
  server.close();
}
process.exit(failures === 0 ? 0 : 1);
