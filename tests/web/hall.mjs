// node hall.mjs HALL SITE SIM: the page's hall of fame in headless Chromium, from flipper-hall: a game played,
// sent, listed (rank, name, score) and watched as genuine; from a static server, no hall and no request refused.
import { execFileSync, spawn } from 'node:child_process';
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { launchChromium } from './chromium.mjs';
import { serve } from './serve.mjs';

const [hallProgram, site, sim] = process.argv.slice(2);
const work = mkdtempSync(join(tmpdir(), 'flipper-hall-page-'));
const [, , endScore] = execFileSync(sim, ['--idles', '4000', '--game-over', '--model', join(site, 'sphere.iv')],
  { encoding: 'utf8', stdio: ['ignore', 'pipe', 'ignore'] }).match(/game over at tick (\d+) score (\d+)/).map(Number);
const hall = spawn(hallProgram, ['--site', site, '--db', join(work, 'hall.db'), '--port', '0']);
const url = await new Promise((done) => hall.stdout.on('data', (d) => {
  const m = String(d).match(/serving on (\S+)/);
  if (m) done(m[1]);
}));
const browser = await launchChromium();
let failed = 0;
const check = (ok, what, detail = '') =>
  console.log(`${ok ? 'ok' : (failed += 1, 'FAIL')}: ${what}${ok || !detail ? '' : ` (${detail})`}`);
const text = (page, selector) => page.$eval(selector, (e) => e.textContent);
try {
  const page = await browser.newPage();
  await page.setBypassServiceWorker(true);
  await page.setViewport({ width: 1280, height: 900 });
  const errors = [];
  page.on('pageerror', (e) => errors.push(e.message));
  // A static server first: the page asks it for nothing it lacks, and shows no hall.
  const statics = await serve(site, 0);
  const refused = [];
  page.on('response', (r) => { if (r.status() >= 400) refused.push(`${r.status()} ${r.url()}`); });
  await page.goto(`http://127.0.0.1:${statics.address().port}/`);
  await page.waitForFunction(() => window.Module && Module.running === true, { timeout: 30000 });
  await new Promise((done) => setTimeout(done, 1000));
  check(refused.length === 0 && await page.$eval('#hall', (e) => e.hidden), 'from a static server: no hall, nothing refused',
    refused.join('; '));
  statics.close();
  await page.goto(url);
  await page.waitForFunction(() => !document.getElementById('hall').hidden, { timeout: 30000 });
  check(await page.$$eval('#hall li', (l) => l.length) === 0, 'the hall shows, empty, where the server has one');
  // No key: the ball is lost at the tick flipper-sim gives, and the notice offers the hall.
  await page.waitForFunction(() => !document.getElementById('submit').hidden, { timeout: 60000 });
  await page.click('#submit');
  await page.waitForSelector('#name-form:not([hidden])');
  await page.type('#name', 'Ann <b>');  // not a name the hall takes: said so, nothing sent
  await page.keyboard.press('Enter');
  await page.waitForFunction(() => /^A name in the hall/.test(document.getElementById('status').textContent));
  await page.click('#submit');
  await page.waitForSelector('#name-form:not([hidden])');
  await page.$eval('#name', (e) => { e.value = ''; });
  await page.type('#name', 'Ann B.');
  await page.keyboard.press('Enter');
  await page.waitForFunction(() => /hall of fame: number/.test(document.getElementById('status').textContent), { timeout: 10000 });
  check(await text(page, '#status') === `In the hall of fame: number 1, ${endScore} points`, 'sent: the answer gives the rank and score',
    await text(page, '#status'));
  await page.waitForFunction(() => document.querySelectorAll('#hall li').length === 1);
  const row = await page.$$eval('#hall li span', (s) => s.map((e) => e.textContent).join(' | '));
  check(row === `1. | Ann B. | ${endScore} points`, 'listed with its rank, name and score', row);
  await page.click('#hall li button');
  await page.waitForFunction(() => /^A genuine game/.test(document.getElementById('status').textContent), { timeout: 60000 });
  check((await text(page, '#status')).startsWith(`A genuine game: ${endScore} points`), 'watched: a genuine game',
    await text(page, '#status'));
  check(errors.length === 0, 'no page errors', errors.join('; '));
} catch (e) {
  check(false, 'the page went as a player would have it', e.message);
} finally {
  await browser.close();
  hall.kill('SIGTERM');
  rmSync(work, { recursive: true, force: true });
}
process.exit(failed === 0 ? 0 : 1);
