// Debian's Chromium, headless, drawing WebGL through SwiftShader, for the browser tests.
import puppeteer from 'puppeteer-core';

export function launchChromium() {
  // Headless Chromium draws no frames at all when DISPLAY names an X server that is gone.
  const environment = { ...process.env };
  delete environment.DISPLAY;
  return puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    headless: true,
    env: environment,
    // --no-sandbox: CI runs as root; --autoplay-policy: sound waits for a key, tap or click, as in a
    // desktop browser (headless Chromium would play at once); the rest keeps a closed network quiet.
    args: ['--headless=new', '--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--no-sandbox',
      '--autoplay-policy=document-user-activation-required',
      '--disable-background-networking', '--disable-component-update', '--disable-sync', '--no-first-run'],
  });
}
