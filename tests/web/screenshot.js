// Pictures of the web page for the README: a seeded day at ×10 in a desktop
// browser, and on a phone held upright, and the analysis page after a run,
// each into docs/.
//   node screenshot.js SITE_URL DOCS_DIR
'use strict';
const puppeteer = require('puppeteer-core');

const [url, docs] = process.argv.slice(2);
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

async function shot(browser, viewport, file, taps) {
  const page = await browser.newPage();
  await page.setViewport(viewport);
  await page.goto(`${url}?seed=3`);
  await page.waitForSelector('body[data-ready]', { timeout: 30000 });
  for (const name of taps) await (viewport.hasTouch ? page.tap : page.click).call(page, `[data-name="${name}"]`);
  await sleep(12000);
  await page.screenshot({ path: `${docs}/${file}` });
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
  const browser = await puppeteer.launch({ executablePath: '/usr/bin/chromium', args: ['--no-sandbox'] });
  const day = ['a1', 'a3', 'b', 'h1', 'h2_3'];
  await shot(browser, { width: 660, height: 470 }, 'web.png', day);
  await shot(
    browser,
    { width: 375, height: 667, isMobile: true, hasTouch: true, deviceScaleFactor: 2 },
    'web-phone.png',
    day,
  );
  await analysisShot(browser, { width: 1000, height: 800 }, 'analysis.png');
  await analysisShot(
    browser,
    { width: 375, height: 667, isMobile: true, hasTouch: true, deviceScaleFactor: 1 },
    'analysis-phone.png',
  );
  await browser.close();
})();
