// The page as a player meets it, in headless Chromium: the notice at the game's end, the games kept
// across reloads, watched, exported and imported, the controls' size, #details, the layout's shifts
// and Lighthouse. Called by browser.mjs with its helpers.
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import lighthouse from 'lighthouse';
import desktopConfig from 'lighthouse/core/config/desktop-config.js';

// Every visible control smaller than 44 x 44 CSS pixels, and whether #details is open.
const smallControls = (page) => page.evaluate(() => [...document.querySelectorAll('button, summary, label.button, input:not(.file), a')]
  .map((e) => [e, e.getBoundingClientRect()]).filter(([e, r]) => r.width > 0 && e.closest('[hidden]') === null &&
    (r.width < 44 || r.height < 44)).map(([e, r]) => `${e.id || e.textContent.trim()} ${r.width}x${r.height}`));
const detailsOpen = (page) => page.evaluate(() => document.getElementById('details').open);
const text = (page, id) => page.evaluate((id) => document.getElementById(id).textContent, id);

export async function playerTests({ browser, open, check, pause, desktop, phone, sim, assets }) {
  // With no key pressed the ball is lost at a tick and score flipper-sim gives.
  const [, endTick, endScore] = execFileSync(sim, ['--idles', '4000', '--game-over', '--model', join(assets, 'sphere.iv')],
    { encoding: 'utf8', stdio: ['ignore', 'pipe', 'ignore'] }).match(/game over at tick (\d+) score (\d+)/).map(Number);
  const downloads = mkdtempSync(join(tmpdir(), 'flipper-games-'));
  const profile = await browser.createBrowserContext();  // a profile of its own, with its service worker
  let phonePage;
  let page;
  try {
    for (const [what, viewport] of [['a desktop', desktop], ['a phone', phone]]) {
      const { page, record } = await open('', viewport, viewport === phone ? profile : browser);
      const shift = await page.evaluate(() => new Promise((done) => {
        let sum = 0;
        new PerformanceObserver((list) => {
          for (const e of list.getEntries()) if (!e.hadRecentInput) sum += e.value;
        }).observe({ type: 'layout-shift', buffered: true });
        setTimeout(() => done(sum), 500);
      }));
      check(shift <= 0.02, `on ${what} the layout does not shift as the page loads`, `cumulative shift ${shift}`);
      check(await smallControls(page).then((s) => s.length === 0) && !await detailsOpen(page),
        `on ${what} every control is 44 px or more and #details is closed`, (await smallControls(page)).join('; '));
      // The notice: never before the end, within a second after it, with the score.
      const seen = await page.evaluate((endTick) => new Promise((done) => {
        const notice = document.getElementById('game-over');
        let endedAt = null;
        const look = () => {
          if (Module._webTickCount() >= endTick) endedAt ??= performance.now();
          if (notice.hidden) return requestAnimationFrame(look);
          done({ early: endedAt === null, late: performance.now() - endedAt, tick: Module._webTickCount() });
        };
        look();
      }), endTick);
      check(!seen.early && seen.late <= 1000 && (await text(page, 'game-over-text')).includes(`${endScore} points`),
        `on ${what} the notice says the score within a second of the end, and not before`,
        `${JSON.stringify(seen)}: '${await text(page, 'game-over-text')}'`);
      check(await smallControls(page).then((s) => s.length === 0), `on ${what} the notice's controls are 44 px or more`,
        (await smallControls(page)).join('; '));
      if (viewport === phone) {
        await page.type('#name', 'Ann');
        await page.keyboard.press('Enter');
        await page.tap('#game-over-text');
      } else {
        await page.keyboard.press('n');
      }
      await pause(300);
      check(await page.evaluate(() => document.getElementById('game-over').hidden && Module._webTickCount() < 900),
        `on ${what} ${viewport === phone ? 'a tap on the notice' : 'n'} starts the next game`);
      check(record.errors.length === 0, `no page errors on ${what} at the game's end`, record.errors.join('; '));
      if (viewport === desktop) await page.close();
      else {
        phonePage = page;
        // The next game, left after a flip: kept as well.
        await page.keyboard.press('f');
        await pause(500);
        await page.click('#new-game');
        await pause(300);
      }
    }

    // The phone's profile: both games, listed, kept through a reload and an offline reload.
    page = phonePage;
    const listed = () => page.evaluate(() => [document.getElementById('best').textContent,
      [...document.querySelectorAll('#games li span')].map((s) => s.textContent.split(', ')[0] + ' ' + s.textContent.split(', ').pop())]);
    const before = await listed();
    await page.evaluate(() => navigator.serviceWorker.ready.then(() => true));
    await page.reload();
    await page.waitForFunction(() => window.Module && Module.running && document.querySelectorAll('#games li').length > 0, { timeout: 30000 });
    const reloaded = await listed();
    await page.setOfflineMode(true);
    await page.reload();
    await page.waitForFunction(() => window.Module && Module.running && document.querySelectorAll('#games li').length > 0, { timeout: 30000 });
    const offline = await listed();
    await page.setOfflineMode(false);
    check(before[0] === String(endScore) && before[1].length === 2 && before[1][0] === `${endScore} points Ann` &&
      JSON.stringify(reloaded) === JSON.stringify(before) && JSON.stringify(offline) === JSON.stringify(before),
    '#best and #games (a game over and a game left) survive a reload and an offline reload', JSON.stringify([before, reloaded, offline]));

    await page.click('#my-games-button');
    check(await smallControls(page).then((s) => s.length === 0), "the list's controls are 44 px or more", (await smallControls(page)).join('; '));
    await page.click('#games li button');  // Watch, on the best game
    await page.waitForFunction(() => /^A genuine|^This game/.test(document.getElementById('status').textContent), { timeout: 30000 });
    check((await text(page, 'status')).startsWith(`A genuine game: ${endScore} points in ${(endTick / 900).toFixed(1)} s`) &&
      (await text(page, 'console')).includes(`replay verified: ticks `), 'watching a kept game verifies, in player words',
    await text(page, 'status'));

    // Export, then import into a fresh profile: the list comes back; a game changed in the file is
    // refused by name and the other kept.
    const cdp = await page.createCDPSession();
    await cdp.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads, browserContextId: profile.id });
    await page.click('#export');
    const file = join(downloads, 'flipper-games.json');
    for (let i = 0; i < 50; i++) { try { readFileSync(file); break; } catch { await pause(100); } }
    const games = JSON.parse(readFileSync(file, 'utf8')).games;
    const best = games.findIndex((g) => g.score === endScore);
    const tampered = structuredClone(games);
    tampered[best].score += 1;
    tampered[best].replay = tampered[best].replay.replace(/^(end \d+ ticks \d+ score )(\d+)/m, (_, h, s) => h + (Number(s) + 1));
    writeFileSync(join(downloads, 'tampered.json'), JSON.stringify({ format: 'flipper-games 1', games: tampered }));
    for (const [name, kept, said] of [['flipper-games.json', 2, /^2 games imported from flipper-games.json$/],
      ['tampered.json', 1, new RegExp(`^1 game imported from tampered.json; 1 refused: game ${best + 1} \\(${endScore + 1} points, .*Ann\\) refused: This game was changed`)]]) {
      const fresh = await browser.createBrowserContext();
      const { page: other } = await open('', desktop, fresh);
      await (await other.$('#import')).uploadFile(join(downloads, name));
      await other.waitForFunction(() => / imported from /.test(document.getElementById('status').textContent), { timeout: 30000 });
      const got = await other.evaluate(() => [document.querySelectorAll('#games li').length, document.getElementById('status').textContent]);
      check(got[0] === kept && said.test(got[1]), `${name} imported into a fresh profile keeps ${kept} games`, got.join(': '));
      await fresh.close();
    }

    // Lighthouse on the phone and the desktop: accessibility, best practices and SEO at 100.
    const url = page.url().split('#')[0];
    for (const [what, config] of [['mobile', undefined], ['desktop', desktopConfig]]) {
      const audited = await browser.newPage();
      const result = await lighthouse(url, { onlyCategories: ['accessibility', 'best-practices', 'seo'], logLevel: 'error' },
        config, audited);
      const scores = Object.values(result.lhr.categories).map((c) => [c.id, Math.round(c.score * 100)]);
      const failing = Object.values(result.lhr.audits).filter((a) => a.score !== null && a.score < 1 &&
        a.scoreDisplayMode !== 'informative' && a.scoreDisplayMode !== 'manual').map((a) => a.id);
      check(scores.length === 3 && scores.every(([, s]) => s === 100), `Lighthouse on ${what}: 100 for each`,
        scores.map((s) => s.join(' ')).join(', ') + (failing.length ? `; failing: ${failing.join(', ')}` : ''));
      await audited.close();
    }
  } finally {
    rmSync(downloads, { recursive: true, force: true });
    await profile.close();
  }
}
