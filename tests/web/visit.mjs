// A first visit as a phone makes it: a fresh browser profile, the CPU 4 times slower, 150 ms of
// latency and 1.6 Mbps down, the site through the project's own server (serve.mjs), the service
// worker at work. firstVisit gives the bytes the server wrote for the visit (headers and bodies,
// the worker's requests too), the time from navigation to the page's 'Read in' line and the layout
// shift; browser.mjs checks the bytes. Run alone it prints the figures of a site:
//   node visit.mjs SITE [--frames] [--lighthouse]
// --frames adds the game's work per animation frame over 10 s of play with the CPU 4x slower,
// three times; --lighthouse adds Lighthouse's mobile and desktop performance scores.
import { execFile } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';
import { promisify } from 'node:util';
import { launchChromium } from './chromium.mjs';

// FLIPPER_SERVE names another serve.mjs to measure a site as an older server serves it.
const { serve } = await import(process.env.FLIPPER_SERVE ? pathToFileURL(process.env.FLIPPER_SERVE).href : './serve.mjs');

// The bytes a server has written to its connections so far, headers included.
function countBytes(server) {
  const sockets = new Set();
  let closed = 0;
  server.on('connection', (socket) => {
    sockets.add(socket);
    socket.on('close', () => {
      closed += socket.bytesWritten;
      sockets.delete(socket);
    });
  });
  return () => [...sockets].reduce((sum, s) => sum + s.bytesWritten, closed);
}

const phone = { width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true };
const pause = (ms) => new Promise((done) => setTimeout(done, ms));

// Before the page's scripts: when 'Read in' first reaches the console, and the layout shifts so far.
function watchPage() {
  window.visit = { readIn: null, shift: 0 };
  const log = console.log;
  console.log = function (...parts) {
    if (window.visit.readIn === null && String(parts[0]).startsWith('Read in ')) window.visit.readIn = performance.now();
    return log.apply(this, parts);
  };
  new PerformanceObserver((list) => {
    for (const e of list.getEntries()) if (!e.hadRecentInput) window.visit.shift += e.value;
  }).observe({ type: 'layout-shift', buffered: true });
}

async function throttle(page) {
  const cdp = await page.createCDPSession();
  await cdp.send('Network.enable');
  await cdp.send('Network.emulateNetworkConditions',
    { offline: false, latency: 150, downloadThroughput: 1.6e6 / 8, uploadThroughput: 750e3 / 8 });
  await cdp.send('Emulation.setCPUThrottlingRate', { rate: 4 });
}

// { bytes, readIn (ms after navigation), shift, page, context, server }: the page stays open
// until close() is called.
export async function firstVisit(browser, site) {
  const server = await serve(site, 0);
  const wireBytes = countBytes(server);
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  await page.setViewport(phone);
  await throttle(page);
  await page.evaluateOnNewDocument(watchPage);
  await page.goto(`http://127.0.0.1:${server.address().port}/`);
  await page.waitForFunction(() => window.visit.readIn !== null && window.Module && Module.running,
    { timeout: 60000, polling: 100 });
  // The worker has made its cache; then a second without requests.
  await page.waitForFunction(async () => {
    const r = await navigator.serviceWorker.getRegistration();
    return r && r.active && r.active.state === 'activated' && (await caches.keys()).length > 0;
  }, { timeout: 60000, polling: 250 });
  let bytes = wireBytes();
  for (let quiet = 0; quiet < 4;) {
    await pause(250);
    const now = wireBytes();
    quiet = now === bytes ? quiet + 1 : 0;
    bytes = now;
  }
  const { readIn, shift } = await page.evaluate(() => window.visit);
  const close = async () => {
    await context.close();
    server.close();
  };
  return { bytes, readIn, shift, page, close };
}

// A first visit moves at most 300 KB: what the server sends is compressed, and the worker's cache
// costs no second download of what the page fetched.
export async function wireCheck({ browser, check }, site) {
  const visit = await firstVisit(browser, site);
  await visit.close();
  check(visit.bytes <= 300 * 1024, 'a first visit on a slow phone moves at most 300 KB on the wire, the worker included',
    `${(visit.bytes / 1024).toFixed(1)} KB; 'Read in' after ${(visit.readIn / 1000).toFixed(2)} s`);
}

// The game's work per animation frame (Module._webFrameTime) over 10 s of play: [median, p95] ms.
async function frameWork(page) {
  const from = await page.evaluate(() => Module._webFrameTimeCount());
  await pause(10000);
  const work = await page.evaluate((from) => {
    const out = [];
    for (let i = from; i < Module._webFrameTimeCount(); i++) out.push(Module._webFrameTime(i));
    return out.sort((a, b) => a - b);
  }, from);
  return [work[Math.floor(work.length / 2)], work[Math.min(work.length - 1, Math.floor(0.95 * work.length))]];
}

// Lighthouse in a Chromium of its own, while this process serves the site: run asynchronously.
async function lighthouse(url, desktop) {
  const flags = ['--headless=new', '--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader'];
  const folder = mkdtempSync(join(tmpdir(), 'flipper-lighthouse-'));
  let report;
  try {
    await promisify(execFile)(new URL('node_modules/.bin/lighthouse', import.meta.url).pathname,
      [url, '--only-categories=performance', '--output=json', `--output-path=${join(folder, 'report.json')}`, '--quiet',
        `--chrome-flags=${flags.join(' ')}`, ...(desktop ? ['--preset=desktop'] : [])],
      { env: { ...process.env, CHROME_PATH: '/usr/bin/chromium' }, maxBuffer: 64 << 20 });
    report = JSON.parse(readFileSync(join(folder, 'report.json'), 'utf8'));
  } finally {
    rmSync(folder, { recursive: true, force: true });
  }
  return `${Math.round(report.categories.performance.score * 100)} (CLS ` +
    `${report.audits['cumulative-layout-shift'].numericValue.toFixed(3)}, TBT ` +
    `${Math.round(report.audits['total-blocking-time'].numericValue)} ms)`;
}

if (import.meta.url === `file://${process.argv[1]}`) {
  const [site, ...flags] = process.argv.slice(2);
  if (!site) {
    console.error('usage: node visit.mjs SITE [--frames] [--lighthouse]');
    process.exit(2);
  }
  const browser = await launchChromium();
  try {
    const visit = await firstVisit(browser, site);
    console.log(`first visit: ${(visit.bytes / 1024).toFixed(1)} KB on the wire, 'Read in' after ` +
      `${(visit.readIn / 1000).toFixed(2)} s, layout shift ${visit.shift.toFixed(3)}`);
    await visit.close();
    if (flags.includes('--frames')) {
      for (let run = 1; run <= 3; run++) {
        const v = await firstVisit(browser, site);
        const [median, p95] = await frameWork(v.page);
        console.log(`frames, run ${run}, CPU 4x slower: the game's work median ${median.toFixed(2)} ms, p95 ${p95.toFixed(2)} ms`);
        await v.close();
      }
    }
    if (flags.includes('--lighthouse')) {
      const server = await serve(site, 0);
      const url = `http://127.0.0.1:${server.address().port}/`;
      console.log(`lighthouse mobile performance: ${await lighthouse(url, false)}`);
      console.log(`lighthouse desktop performance: ${await lighthouse(url, true)}`);
      server.close();
    }
  } finally {
    await browser.close();
  }
}
