// Pictures of the web pages: for the README, a seeded day at ×10 in a desktop
// browser and on a phone held upright, and the analysis page after a run, in
// Chromium, into DOCS_DIR; with an ENGINE (chromium, firefox or webkit, the
// last under Xvfb), the same day at a desktop's 1280 × 800 and on a phone
// upright (375 × 667) and sideways (667 × 375), as web-ENGINE-WxH.png.
//   node screenshot.js SITE_URL DOCS_DIR [ENGINE]
'use strict';
const fs = require('fs');
const puppeteer = require('puppeteer-core');
const { launchWebKit } = require('./webdriver');

const [url, docs, engine] = process.argv.slice(2);
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));
const day = ['a1', 'a3', 'b', 'h1', 'h2_3'];

async function shot(browser, viewport, file) {
  const page = await browser.newPage();
  await page.setViewport(viewport);
  await page.goto(`${url}?seed=3`);
  await page.waitForSelector('body[data-ready]', { timeout: 60000 });
  for (const name of day) {
    if (viewport.hasTouch && page.tap) await page.tap(`[data-name="${name}"]`);
    else await page.click(`[data-name="${name}"]`);
  }
  await sleep(12000);
  const png = await page.screenshot({ encoding: 'base64' });
  fs.writeFileSync(`${docs}/${file}`, Buffer.from(png, 'base64'));
  if (page.on) page.on('dialog', (d) => d.accept()); // leaving the running day
  await page.close();
}

// The analysis page after a run of 2,000 days.
async function analysisShot(browser, viewport, file) {
  const page = await browser.newPage();
  await page.setViewport(viewport);
  await page.goto(`${url}analysis.html`);
  await page.waitForSelector('#form:not([hidden])');
  await page.$eval('#days', (e) => (e.value = '2000'));
  await page.$eval('#seed', (e) => (e.value = '3'));
  await page.click('#start');
  await page.waitForSelector('#result:not([hidden])', { timeout: 60000 });
  await page.evaluate(() => document.fonts.ready);
  await page.screenshot({ path: `${docs}/${file}`, fullPage: true });
  await page.close();
}

(async () => {
  if (!engine) {
    const browser = await puppeteer.launch({ executablePath: '/usr/bin/chromium', args: ['--no-sandbox'] });
    await shot(browser, { width: 660, height: 470 }, 'web.png');
    await shot(
      browser,
      { width: 375, height: 667, isMobile: true, hasTouch: true, deviceScaleFactor: 2 },
      'web-phone.png',
    );
    await analysisShot(browser, { width: 1000, height: 800 }, 'analysis.png');
    await analysisShot(
      browser,
      { width: 375, height: 667, isMobile: true, hasTouch: true, deviceScaleFactor: 1 },
      'analysis-phone.png',
    );
    await browser.close();
    return;
  }
  const browser =
    engine === 'webkit'
      ? await launchWebKit()
      : await puppeteer.launch(
          engine === 'firefox'
            ? { browser: 'firefox', executablePath: '/usr/bin/firefox-esr' }
            : { executablePath: '/usr/bin/chromium', args: ['--no-sandbox'] },
        );
  const phone = { isMobile: true, hasTouch: true, deviceScaleFactor: 2 };
  for (const [width, height, more] of [
    [1280, 800, {}],
    [375, 667, phone],
    [667, 375, phone],
  ])
    await shot(browser, { width, height, ...more }, `web-${engine}-${width}x${height}.png`);
  await browser.close();
})();
