// Flipper's page in a real, headless Chromium:
//   node browser.mjs SITE_FOLDER DESKTOP_FRAME.rgb FREEZE_TICK BROKEN_MODEL BROKEN_MODEL_LINE [--timing]
// DESKTOP_FRAME.rgb holds the desktop game's 768 x 768 picture at FREEZE_TICK as raw RGB bytes,
// rows top first; BROKEN_MODEL is a model file the native game rejects with BROKEN_MODEL_LINE. Serves the site on 127.0.0.1, plays it, and prints one line per check; exits 1
// if any fails. With --timing it also plays 10 s and prints the frame times.
import { readFileSync } from 'node:fs';
import { newBuildTests } from './builds.mjs';
import { launchChromium } from './chromium.mjs';
import { gamepadTests } from './gamepad.mjs';
import { phoneTests, timing } from './phone.mjs';
import { playerTests } from './player.mjs';
import { serve } from './serve.mjs';
import { wireCheck } from './visit.mjs';

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
// Puppeteer's evaluate and waitForFunction count as a user's gesture, which lets the page play sound:
// { untouched: true } waits through the DevTools protocol instead, so that only a real key, tap or
// click can.
async function open(query = '', viewport = desktop, context = browser, { untouched = false, before } = {}) {
  const page = await context.newPage();
  if (context === browser) await page.setBypassServiceWorker(true);
  await page.setViewport(viewport);
  const record = { errors: [], lines: [], errorLines: [] };
  page.on('pageerror', (e) => record.errors.push(e.message));
  page.on('requestfailed', (r) => record.errors.push(`request failed: ${r.url()}`));
  page.on('response', (r) => { if (r.status() >= 400) record.errors.push(`${r.status()} for ${r.url()}`); });
  page.on('console', (m) => {
    record.lines.push(m.text());
    if (m.type() === 'error') record.errorLines.push(m.text());
  });
  if (before) await before(page);  // set up before the page's scripts run
  await page.goto(base + query);
  if (untouched) {
    const devtools = await page.target().createCDPSession();
    const ask = async (expression) => (await devtools.send('Runtime.evaluate', { expression, returnByValue: true })).result.value;
    const until = Date.now() + 30000;
    while (!(await ask('!!(window.Module && Module.running && Module._webTickCount() > 30)')) && Date.now() < until) await pause(50);
    record.untouchedSound = await ask('[Module._webSoundState(), Module._webSoundsPlayed()]');
    await devtools.detach();
    return { page, record };
  }
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
    check(!record.errorLines.some((l) => / read\.$/.test(l)), "the model's progress lines are not errors",
      record.errorLines.join('; '));

    // The panel keeps the last 300 lines (once: every line, and each one re-laid the whole panel).
    const kept = await page.evaluate(() => {
      for (let i = 0; i < 2000; i++) Module.print('line ' + i);
      const text = document.getElementById('console').textContent;
      return [text.split('\n').length - 1, text.includes('line 1699\n'), text.startsWith('line 1700\n'), text.endsWith('line 1999\n')];
    });
    check(kept[0] === 300 && !kept[1] && kept[2] && kept[3], 'the console panel keeps its last 300 lines',
      `${kept[0]} lines`);

    // Keys the game does not use stay the browser's; those that type or scroll go no further.
    const prevented = await page.evaluate(() => ['F5', 'F11', 'Tab', 'x', 'ArrowDown', ' '].map((key) => {
      const e = new KeyboardEvent('keydown', { key, cancelable: true });
      window.dispatchEvent(e);
      return e.defaultPrevented;
    }));
    check(prevented.join() === 'false,false,false,true,true,true', 'F5, F11 and Tab stay the browser\'s',
      `prevented: ${prevented.join()}`);
    await page.close();
  }

  // Sound: silent until the first key (the browser's rule), then each flipper swing is played;
  // #mute silences the output and plays nothing until pressed again.
  {
    const { page, record } = await open('', desktop, browser, { untouched: true });
    const sound = () => page.evaluate(() => ({
      state: Module._webSoundState(), played: Module._webSoundsPlayed(), gain: Module._webSoundGain(),
      pressed: document.getElementById('mute').getAttribute('aria-pressed') }));
    const waiting = record.untouchedSound || [];
    check(waiting[0] === 1 && waiting[1] === 0, 'no sound before the first key: the audio context waits',
      `state ${waiting[0]}, ${waiting[1]} sounds`);
    await page.keyboard.press('x');  // not a game key, but a key: the page may now be heard
    await page.waitForFunction(() => Module._webSoundState() === 2, { timeout: 5000 }).catch(() => {});
    const swing = async (key) => {
      const before = (await sound()).played;
      await page.keyboard.press(key);
      await pause(400);  // a swing takes 100 ticks, a ninth of a second
      return (await sound()).played - before;
    };
    const running = await sound();
    const byF = await swing('f');
    check(running.state === 2 && byF >= 1, "after the first key the audio context runs and 'f' is heard",
      `state ${running.state}, ${byF} sounds`);
    await page.click('#mute');
    const muted = await sound();
    const whileMuted = await swing('j');
    check(muted.pressed === 'true' && muted.gain === 0 && whileMuted === 0, '#mute silences the game',
      `${JSON.stringify(muted)}, ${whileMuted} sounds for 'j'`);
    await page.click('#mute');
    const again = await sound();
    const afterUnmute = await swing('j');
    check(again.pressed === 'false' && again.gain === 1 && afterUnmute >= 1, '#mute pressed again brings the sound back',
      `${JSON.stringify(again)}, ${afterUnmute} sounds for 'j'`);
    check(record.errors.length === 0, 'no page errors with sound', record.errors.join('; '));
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
    const line = "flipper: bad tick 'ten' for --freeze-at: it must be a whole number from 0 to 2147483647";
    check(record.lines.includes(line) && await page.evaluate(() => Module._webFrozen()) === 0,
      'a bad freeze tick is reported and the game plays on', record.lines.filter((l) => l.includes('tick')).join('; '));
    await page.close();
  }

  // A data file missing from the site or broken: the desktop's one-line message, in the browser's
  // console and on the page, and the game goes on.
  // A download that fails is said as such, and a file over the desktop's limit is refused without
  // being downloaded whole: from its length, or by stopping the stream at the limit.
  const limit = 64 * 1024 * 1024;
  const endless = (length) => (request, response) => {
    response.writeHead(200, length ? { 'Content-Length': String(length) } : {});
    const chunk = Buffer.alloc(1 << 20);
    const more = () => { while (!response.destroyed && response.write(chunk)); };
    response.on('drain', more);
    request.on('close', () => response.destroy());
    more();
  };
  const dataCases = [
    { what: 'a missing head.bmp', file: 'head.bmp', status: 404, body: '',
      line: 'head.bmp: cannot load picture: no such file or directory' },
    { what: 'a missing sphere.iv', file: 'sphere.iv', status: 404, body: '',
      line: 'sphere.iv: cannot read model: no such file or directory' },
    { what: 'a broken sphere.iv', file: 'sphere.iv', status: 200, body: readFileSync(brokenModel), line: brokenModelLine },
    { what: 'a download that fails', file: 'sphere.iv', abort: true, line: 'sphere.iv: download failed: Failed to fetch' },
    { what: 'a server error', file: 'head.bmp', status: 500, body: '', line: 'head.bmp: download failed: HTTP 500 Internal Server Error' },
    { what: 'a 3 GB sphere.iv', file: 'sphere.iv', serve: endless(3 * 1024 ** 3),
      line: `sphere.iv: cannot read model: the file is ${3 * 1024 ** 3} bytes, more than the ${limit} allowed` },
    { what: 'a sphere.iv without end or length', file: 'sphere.iv', serve: endless(0),
      line: `sphere.iv: cannot read model: the file is more than ${limit} bytes` },
  ];
  for (const c of dataCases) {
    const page = await browser.newPage();
    await page.setBypassServiceWorker(true);
    const lines = [];
    const errors = [];
    page.on('console', (m) => lines.push(m.text()));
    page.on('pageerror', (e) => errors.push(e.message));
    if (c.serve) {
      server.overrides.set('/' + c.file, c.serve);
    } else {
      await page.setRequestInterception(true);
      page.on('request', (r) => {
        if (!r.url().endsWith('/' + c.file)) r.continue();
        else if (c.abort) r.abort('failed');
        else r.respond({ status: c.status, body: c.body });
      });
    }
    await page.goto(base);
    await page.waitForFunction(() => window.Module && Module.running && Module._webTickCount() > 30, { timeout: 30000 });
    server.overrides.clear();
    const panel = await page.evaluate(() => document.getElementById('console').textContent);
    const memory = await page.metrics();
    check(lines.includes(c.line) && panel.includes(c.line + '\n') &&
      !(c.status !== 404 && lines.some((l) => l.startsWith(c.file) && l.endsWith('no such file or directory'))),
      `${c.what} gets its line on the page`, lines.filter((l) => l.includes(c.file)).join('; ') || `no line about ${c.file}`);
    check(errors.length === 0 && memory.JSHeapUsedSize < 2 * limit, 'and the game goes on',
      `${errors.join('; ')} (${(memory.JSHeapUsedSize / 1e6).toFixed(0)} MB of script heap)`);
    await page.close();
  }

  await phoneTests({ browser, open, check, pixels, pause, desktop, phone, sim: process.env.FLIPPER_SIM,
    assets: process.env.FLIPPER_ASSETS, demo: process.env.FLIPPER_DEMO });
  await gamepadTests({ open, check, pause });
  await playerTests({ browser, open, check, pause, desktop, phone, sim: process.env.FLIPPER_SIM, assets: process.env.FLIPPER_ASSETS });
  await newBuildTests({ browser, check, pause, desktop }, site);

  await wireCheck({ browser, check }, site);
  if (flags.includes('--timing')) await timing({ open, pause, desktop, phone, demo: process.env.FLIPPER_DEMO });
} catch (e) {
  check(false, 'the browser test ran to its end', e.stack || String(e));
} finally {
  await browser.close();
  server.close();
}
process.exit(failures === 0 ? 0 : 1);
