// The page's picture at a tick, from headless Chromium, for the README:
//   node screenshot.mjs SITE_FOLDER OUTPUT.png [TICK] [--phone]
// Serves the site on 127.0.0.1, opens it with ?freeze-at=TICK (default 1200) and saves the canvas;
// with --phone, the whole page as a phone 390 x 844 CSS pixels, upright, shows it (at pixel ratio 2).
import { launchChromium } from './chromium.mjs';
import { serve } from './serve.mjs';

const flags = process.argv.slice(2).filter((a) => a.startsWith('--'));
const [site, output, tick = '1200'] = process.argv.slice(2).filter((a) => !a.startsWith('--'));
const phone = flags.includes('--phone');
if (!site || !output) {
  console.error('usage: node screenshot.mjs SITE_FOLDER OUTPUT.png [TICK]');
  process.exit(2);
}
const server = await serve(site, 0);
const browser = await launchChromium();
try {
  const page = await browser.newPage();
  await page.setViewport(phone ? { width: 390, height: 844, deviceScaleFactor: 2, isMobile: true, hasTouch: true }
    : { width: 1000, height: 1000 });
  await page.goto(`http://127.0.0.1:${server.address().port}/?freeze-at=${tick}`);
  await page.waitForFunction(() => window.Module && Module.running && Module._webFrozen() === 1, { timeout: 60000 });
  await new Promise((done) => setTimeout(done, 300));
  if (phone) await page.screenshot({ path: output });
  else await (await page.$('#canvas')).screenshot({ path: output });
  console.log(`screenshot: saved ${output}`);
} finally {
  await browser.close();
  server.close();
}
