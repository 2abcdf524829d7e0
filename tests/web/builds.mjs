// A new build of the site replaces the old one whole, in headless Chromium: called by browser.mjs
// with its helpers. A copy of the site is build A; four of its files are then changed and its
// service worker made again, as a new build (B) would be published over it.
import { execFileSync } from 'node:child_process';
import { createHash } from 'node:crypto';
import { appendFileSync, cpSync, mkdtempSync, readdirSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { serve } from './serve.mjs';

const workerSources = fileURLToPath(new URL('../../web/site/', import.meta.url));
const sum = (bytes) => createHash('sha256').update(bytes).digest('hex');

// Build B: a comment in the page and in a script, a blank line after the ball's model, a custom
// section (name "b") at the end of the game's code; then its worker and gzipped copies as the
// site's build makes them.
function publishB(folder) {
  appendFileSync(join(folder, 'index.html'), '<!-- build B -->\n');
  appendFileSync(join(folder, 'layout.js'), '// build B\n');
  appendFileSync(join(folder, 'sphere.iv'), '\n');
  appendFileSync(join(folder, 'flipper.wasm'), Buffer.from([0, 3, 1, 0x62, 0x42]));
  execFileSync('cmake', [`-DSITE=${folder}`, `-DTEMPLATE=${join(workerSources, 'sw.js.in')}`,
    '-P', join(workerSources, 'ServiceWorker.cmake')]);
  execFileSync('cmake', [`-DSITE=${folder}`, '-DGZIP=gzip', '-P', join(workerSources, 'Compress.cmake')]);
}

// The cache the worker of the site in folder, served at scope, keeps its files in.
const cacheName = (scope, folder) => `flipper ${scope} ${readFileSync(join(folder, 'sw.js'), 'utf8').match(/const build = '(\w+)'/)[1]}`;

export async function newBuildTests({ browser, check, pause, desktop }, site) {
  const folder = mkdtempSync(join(tmpdir(), 'flipper-builds-'));
  cpSync(site, folder, { recursive: true });
  const server = await serve(folder, 0);
  const base = `http://127.0.0.1:${server.address().port}/`;
  const context = await browser.createBrowserContext();
  try {
    // The site's files (but the worker and the gzipped copies) by name, each with its content's
    // sum; './' is index.html.
    const names = readdirSync(folder).filter((n) => n !== 'sw.js' && !n.endsWith('.gz'));
    const sums = () => Object.fromEntries(names.map((n) => [n, sum(readFileSync(join(folder, n)))]));
    const cacheOf = () => cacheName(base, folder);
    const a = sums();
    const cacheA = cacheOf();
    const whole = (name) => `${name}:${names.length + 1}`;

    // Every file the page loads, with its sum, per document; and its console lines.
    const page = await context.newPage();
    await page.setViewport(desktop);
    const load = { files: [], lines: [], errors: [] };
    page.on('framenavigated', (f) => {
      if (f === page.mainFrame()) Object.assign(load, { files: [], lines: [], errors: [] });
    });
    page.on('response', async (r) => {
      const files = load.files;
      const name = r.url().startsWith(base) ? r.url().slice(base.length).split('?')[0] || 'index.html' : '';
      // The hall's HEAD for the page's own address has no body to compare.
      if (!(name in a) || r.request().method() !== 'GET') return;
      try {
        files.push([name, sum(await r.buffer())]);
      } catch {
        // a body the browser no longer has (a request cut short by the next navigation)
      }
    });
    page.on('console', (m) => load.lines.push(m.text()));
    page.on('pageerror', (e) => load.errors.push(e.message));
    // Which build a page's files are all of: 'A', 'B', or what is wrong.
    const whose = (files, b) => {
      const of = (build) => files.every(([n, s]) => build[n] === s);
      if (files.length < 10) return `only ${files.length} files`;
      if (of(a)) return 'A';
      if (b && of(b)) return 'B';
      return 'mixed: ' + files.map(([n, s]) => `${n} ${s === a[n] ? 'A' : b && s === b[n] ? 'B' : '?'}`).join(' ');
    };
    // What the page's worker answers now for every file of the site.
    const served = () => page.evaluate((names) => Promise.all(['./', ...names].map(async (n) => {
      const bytes = await (await fetch(n)).arrayBuffer();
      const digest = new Uint8Array(await crypto.subtle.digest('SHA-256', bytes));
      return [n === './' ? 'index.html' : n, Array.from(digest, (x) => x.toString(16).padStart(2, '0')).join('')];
    })), names);
    // The page's caches, each as name:files.
    const caches = () => page.evaluate(async () => Promise.all((await caches.keys())
      .map(async (k) => `${k}:${(await (await caches.open(k)).keys()).length}`)));
    const running = () => page.waitForFunction(() => window.Module && Module.running === true &&
      navigator.serviceWorker.controller !== null, { timeout: 30000 });
    // Waits up to 20 s for a condition in the page: whether it came.
    const settled = (condition, ...args) =>
      page.waitForFunction(condition, { timeout: 20000, polling: 100 }, ...args).then(() => true, () => false);

    // Build A: the first visit installs its worker, the second is answered by it.
    await page.goto(base);
    await page.evaluate(() => navigator.serviceWorker.ready.then(() => true));
    await page.reload();
    await running();
    check(whose(load.files) === 'A' && (await caches()).join() === whole(cacheA),
      "build A's worker serves the page from its cache", `${load.files.length} files, caches ${(await caches()).join()}`);

    publishB(folder);
    const b = sums();
    const cacheB = cacheOf();
    const changed = names.filter((n) => a[n] !== b[n]);
    check(changed.length === 4 && cacheB !== cacheA, "build B changes four files and its worker's cache name",
      `${changed.join(' ')}; ${cacheA} then ${cacheB}`);

    // Published, but not yet seen: the page's worker still answers with A's files only.
    check(whose(await served(), b) === 'A' && (await caches()).join() === whole(cacheA),
      "while A's worker is in charge, every file it serves is A's", whose(await served(), b));

    // B's worker cannot fetch one of its files: it is dropped, and A's stays in charge.
    let refused = 0;
    server.overrides.set('/flipper.wasm', (request, response) => {
      refused += 1;
      response.writeHead(500).end();
    });
    await page.reload();
    await running();
    for (let i = 0; i < 200 && refused === 0; i++) await pause(100);
    const dropped = await settled(() => navigator.serviceWorker.getRegistration()
      .then((r) => r.installing === null && r.waiting === null));
    server.overrides.clear();
    const told = 'no offline play: flipper.wasm: download failed: HTTP 500';
    const said = await settled((line) => document.getElementById('status').textContent === line, told);
    check(refused > 0 && dropped && whose(load.files, b) === 'A' && whose(await served(), b) === 'A' &&
      (await caches()).join() === whole(cacheA) && load.lines.includes('Read in ') && said,
    "a new build whose file fails to download leaves A's worker and files in charge, whole, no cache of its own, and says why",
    `${refused} refusals, page ${whose(load.files, b)}, served ${whose(await served(), b)}, caches ${(await caches()).join()}, ` +
      `status '${await page.evaluate(() => document.getElementById('status').textContent)}'`);

    // B's worker is installing, held on one file until the reloaded page starts on its scripts:
    // the worker changes while that page loads, and the page still gets one build's files.
    let release;
    const held = new Promise((done) => { release = done; });
    let holding = false;
    server.overrides.set('/woman.bmp', async (request, response) => {
      holding = true;
      await held;
      response.writeHead(200, { 'Content-Type': 'image/bmp' }).end(readFileSync(join(folder, 'woman.bmp')));
    });
    await page.evaluate(() => navigator.serviceWorker.getRegistration().then((r) => { r.update(); }));
    for (let i = 0; i < 200 && !holding; i++) await pause(50);
    const releaser = (r) => { if (r.url().endsWith('/flipper.js')) release(); };
    page.on('request', releaser);
    await page.reload();
    await running();
    const swapped = await settled((name) => caches.keys().then((k) => k.join() === name), cacheB);
    page.off('request', releaser);
    release();
    server.overrides.clear();
    check(holding && swapped && ['A', 'B'].includes(whose(load.files, b)),
      "a page that loads while B's worker takes over gets one build's files, then B's cache alone is left",
      `page ${whose(load.files, b)} of ${load.files.length} files, caches ${(await caches()).join()}`);

    // The next visit is B's, whole, and A's cache is gone.
    await page.reload();
    await running();
    await page.waitForFunction(() => Module._webTickCount() > 100, { timeout: 30000 });
    const after = await caches();
    check(whose(load.files, b) === 'B' && whose(await served(), b) === 'B' && after.join() === whole(cacheB),
      "after a reload, B's worker serves B's files only and A's cache is gone",
      `page ${whose(load.files, b)}, served ${whose(await served(), b)}, caches ${after.join()}`);
    check(load.lines.includes('Read in ') && load.errors.length === 0, 'build B reads its ball and plays',
      `${load.lines.length} lines, ${load.errors.join('; ') || 'no errors'}`);
  } finally {
    await context.close();
    server.close();
    rmSync(folder, { recursive: true, force: true });
  }
  await twoCopiesTests({ browser, check }, site);
}

// Two copies of the site on one origin, /flipper/ (build A) and /flipper-beta/ (build B), each
// keep their offline cache; a cache named by build alone goes with the copy whose files it holds.
async function twoCopiesTests({ browser, check }, site) {
  const root = mkdtempSync(join(tmpdir(), 'flipper-copies-'));
  cpSync(site, join(root, 'flipper'), { recursive: true });
  cpSync(site, join(root, 'flipper-beta'), { recursive: true });
  publishB(join(root, 'flipper-beta'));
  const server = await serve(root, 0);
  const base = `http://127.0.0.1:${server.address().port}/`;
  const context = await browser.createBrowserContext();
  try {
    const page = await context.newPage();
    // Visits a copy; whether the caches then come to be wanted, and no others.
    const visit = async (copy, ...wanted) => {
      await page.goto(base + copy + '/');
      await page.evaluate(() => navigator.serviceWorker.ready.then(() => true));
      return page.waitForFunction((names) => caches.keys().then((k) => k.sort().join() === names.sort().join()),
        { timeout: 20000, polling: 100 }, wanted).then(() => true, () => false);
    };
    const [a, b] = ['flipper', 'flipper-beta'].map((copy) => cacheName(`${base}${copy}/`, join(root, copy)));
    await visit('flipper', a);
    await page.evaluate(async (base) => {
      for (const [name, file] of [['flipper-0123456789abcdef', 'flipper/index.html'], ['flipper-fedcba9876543210', 'flipper-beta/index.html']])
        await (await caches.open(name)).put(base + file, new Response('an older site'));
    }, base);
    const both = await visit('flipper-beta', a, b, 'flipper-0123456789abcdef');
    check(both, 'two copies of the site on one origin keep their own caches, and each deletes only its own',
      (await page.evaluate(() => caches.keys())).join('; '));
  } finally {
    await context.close();
    server.close();
    rmSync(root, { recursive: true, force: true });
  }
}
