// The page as a player meets it, in headless Chromium: the notice at the game's end, the games kept, watched,
// exported and imported, the controls' size, #details, layout shift and Lighthouse. Called by browser.mjs.
import { execFileSync } from 'node:child_process';
import { existsSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import lighthouse from 'lighthouse';
import desktopConfig from 'lighthouse/core/config/desktop-config.js';

const text = (page, id) => page.evaluate((id) => document.getElementById(id).textContent, id);
const listed = (page) => page.evaluate(() => [document.getElementById('best').textContent,
  [...document.querySelectorAll('#games li span')].map((s) => s.textContent.replace(/, .*, /, ' '))]);
const reload = (page) => page.reload().then(() => page.waitForFunction(
  () => window.Module && Module.running && document.querySelector('#games li'), { timeout: 30000 })).then(() => listed(page));

export async function playerTests({ browser, open, check, pause, desktop, phone, sim, assets }) {
  // Every visible control smaller than 44 x 44 CSS pixels; #details open.
  const controls = async (page, what) => {
    const small = await page.evaluate(() => [...document.querySelectorAll('button, summary, label.button, input:not(.file)')]
      .filter((e) => e.closest('[hidden]') === null).map((e) => [e.id || e.textContent, e.getBoundingClientRect()])
      .filter(([, r]) => r.width < 44 || r.height < 44).map(([e, r]) => `${e} ${r.width}x${r.height}`)
      .concat(document.getElementById('details').open ? ['#details open'] : []));
    check(small.length === 0, `${what}: every control is 44 px or more, #details closed`, small.join('; '));
  };
  // With no key pressed the ball is lost at a tick and score flipper-sim gives.
  const [, end, score] = execFileSync(sim, ['--idles', '4000', '--game-over', '--model', join(assets, 'sphere.iv')],
    { encoding: 'utf8', stdio: ['ignore', 'pipe', 'ignore'] }).match(/game over at tick (\d+) score (\d+)/).map(Number);
  const downloads = mkdtempSync(join(tmpdir(), 'flipper-games-'));
  const profile = await browser.createBrowserContext();  // the phone's, with its service worker
  let page;
  try {
    for (const [what, viewport] of [['a desktop', desktop], ['a phone', phone]]) {
      ({ page } = await open('', viewport, viewport === phone ? profile : browser));
      const shift = await page.evaluate(() => new Promise((done) => {
        let sum = 0;
        new PerformanceObserver((list) => list.getEntries().forEach((e) => { sum += e.hadRecentInput ? 0 : e.value; }))
          .observe({ type: 'layout-shift', buffered: true });
        setTimeout(() => done(sum), 500);
      }));
      check(shift <= 0.02, `on ${what} the layout does not shift as the page loads`, `cumulative shift ${shift}`);
      // The notice: never before the end, within a second after it, with the score.
      const seen = await page.evaluate((end) => new Promise((done) => {
        let endedAt = null;
        (function look() {
          if (Module._webTickCount() >= end) endedAt ??= performance.now();
          if (document.getElementById('game-over').hidden) return requestAnimationFrame(look);
          done({ early: endedAt === null, late: performance.now() - endedAt });
        })();
      }), end);
      seen.said = await text(page, 'game-over-text');
      check(!seen.early && seen.late <= 1000 && seen.said.includes(`${score} points`),
        `on ${what} the notice says the score within a second of the end, and not before`, JSON.stringify(seen));
      await controls(page, `on ${what} at the game's end`);
      if (viewport === desktop) await page.keyboard.press('n');
      else await page.type('#name', 'Ann\n').then(() => page.tap('#game-over-text'));
      await pause(300);
      check(await page.evaluate(() => document.getElementById('game-over').hidden && Module._webTickCount() < 900),
        `on ${what} ${viewport === phone ? 'a tap on the notice' : 'n'} starts the next game`);
      if (viewport === desktop) await page.close();
    }

    // The phone's next game, left after a flip, is kept too; both survive a reload and an offline one.
    await page.keyboard.press('f').then(() => pause(500)).then(() => page.click('#new-game')).then(() => pause(300));
    const before = await listed(page);
    await page.evaluate(() => navigator.serviceWorker.ready.then(() => true));
    const reloaded = await reload(page);
    await page.setOfflineMode(true);
    const offline = await reload(page);
    await page.setOfflineMode(false);
    check(before[0] === String(score) && before[1].length === 2 && before[1][0] === `${score} points Ann` &&
      JSON.stringify([before, before]) === JSON.stringify([reloaded, offline]),
    '#best and #games (a game over and a game left) survive a reload and an offline reload', JSON.stringify([before, reloaded, offline]));
    await page.click('#my-games-button');
    await controls(page, 'in the list');
    await page.click('#games li button');  // Watch, on the best game
    await page.waitForFunction(() => /^A genuine|^This game/.test(document.getElementById('status').textContent), { timeout: 30000 });
    check(await text(page, 'status') === `A genuine game: ${score} points in ${(end / 900).toFixed(1)} s`, 'watching a kept game verifies',
      await text(page, 'status'));

    // Exported, then imported into a fresh profile: the list comes back; a game changed is refused by name.
    await (await page.createCDPSession()).send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads, browserContextId: profile.id });
    await page.click('#export');
    const file = join(downloads, 'flipper-games.json');
    for (let i = 0; i < 50 && !existsSync(file); i++) await pause(100);
    const games = JSON.parse(readFileSync(file, 'utf8')).games;
    const best = games.findIndex((g) => g.score === score);  // its score, in the file and its replay's end, one more
    Object.assign(games[best], { score: score + 1 }).replay = games[best].replay.replace(/^(end \d+ ticks \d+ score )(\d+)/m, (_, h, s) => h + (Number(s) + 1));
    writeFileSync(join(downloads, 'tampered.json'), JSON.stringify({ format: 'flipper-games 1', games }));
    for (const [name, kept, said] of [['flipper-games.json', 2, /^2 games imported from flipper-games.json$/],
      ['tampered.json', 1, new RegExp(`^1 game imported from tampered.json; 1 refused: game ${best + 1} \\(${score + 1} points, .*Ann\\) refused: This game was changed`)]]) {
      const { page: other } = await open('', desktop, await browser.createBrowserContext());
      await (await other.$('#import')).uploadFile(join(downloads, name));
      await other.waitForFunction(() => / imported from /.test(document.getElementById('status').textContent), { timeout: 30000 });
      const got = await other.evaluate(() => [document.querySelectorAll('#games li').length, document.getElementById('status').textContent]);
      check(got[0] === kept && said.test(got[1]), `${name} imported into a fresh profile keeps ${kept} games`, got.join(': '));
      await other.browserContext().close();
    }

    // Lighthouse on the phone and the desktop: accessibility, best practices and SEO at 100.
    for (const [what, config] of [['mobile', undefined], ['desktop', desktopConfig]]) {
      const audited = await browser.newPage();
      const { lhr } = await lighthouse(page.url().split('#')[0], { onlyCategories: ['accessibility', 'best-practices', 'seo'],
        logLevel: 'error' }, config, audited);
      const scores = Object.values(lhr.categories).map((c) => `${c.id} ${Math.round(c.score * 100)}`);
      check(scores.length === 3 && scores.every((s) => s.endsWith(' 100')), `Lighthouse on ${what}: 100 for each`, scores.join(', ') +
        Object.values(lhr.audits).filter((a) => a.scoreDisplayMode === 'binary' && a.score === 0).map((a) => `; ${a.id} fails`).join(''));
      await audited.close();
    }
  } finally {
    rmSync(downloads, { recursive: true, force: true });
    await profile.close();
  }
}
