import puppeteer from 'puppeteer-core';
import { serve } from './serve.mjs';
import { writeFileSync } from 'node:fs';
const server = await serve('/work/wt-web/build-web/site', 0);
const N = process.argv[2];
const url = `http://127.0.0.1:${server.address().port}/?freeze-at=${N}`;
const browser = await puppeteer.launch({ executablePath: '/usr/bin/chromium', headless: true,
  args: ['--headless=new','--use-angle=swiftshader','--enable-unsafe-swiftshader','--no-sandbox','--disable-background-networking','--disable-component-update','--disable-sync','--no-first-run'] });
const page = await browser.newPage();
await page.setViewport({ width: 900, height: 1000 });
page.on('console', m => console.log('console:', m.type(), m.text()));
page.on('pageerror', e => console.log('pageerror:', e.message));
await page.goto(url);
await page.waitForFunction(() => window.Module && Module._webFrozen && Module._webFrozen() === 1, { timeout: 60000 });
await new Promise(r => setTimeout(r, 300));
const canvas = await page.$('#canvas');
await canvas.screenshot({ path: `/tmp/wf/web-${N}.png` });
await browser.close(); server.close();
