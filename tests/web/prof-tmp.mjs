import { launchChromium } from './chromium.mjs';
import { serve } from './serve.mjs';
const server = await serve('/tmp/prof-site');
const browser = await launchChromium();
const page = await browser.newPage();
await page.setViewport({ width: 412, height: 823, deviceScaleFactor: 1.75, isMobile: true, hasTouch: true });
const cdp = await page.createCDPSession();
await cdp.send('Emulation.setCPUThrottlingRate', { rate: 4 });
page.on('console', (m) => { if (m.text().startsWith('T ')) console.log(m.text()); });
await page.evaluateOnNewDocument(() => {
  new PerformanceObserver((l) => { for (const e of l.getEntries()) console.log('T longtask', e.startTime.toFixed(0), e.duration.toFixed(0), JSON.stringify(e.attribution.map((a) => a.containerSrc || a.name))); }).observe({ type: 'longtask', buffered: true });
  new PerformanceObserver((l) => { for (const e of l.getEntries()) console.log('T lcp', e.startTime.toFixed(0), e.element && e.element.id, e.size); }).observe({ type: 'largest-contentful-paint', buffered: true });
  new PerformanceObserver((l) => { for (const e of l.getEntries()) console.log('T paint', e.name, e.startTime.toFixed(0)); }).observe({ type: 'paint', buffered: true });
});
await page.goto(`http://127.0.0.1:${server.address().port}/`);
await page.waitForFunction(() => window.Module && Module.running === true, { timeout: 60000 });
await new Promise((r) => setTimeout(r, 3000));
await browser.close(); server.close();
