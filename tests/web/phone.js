// The page on a phone held upright, at a fractional devicePixelRatio, and
// offline.
'use strict';
const { check, ready, settles, withPng } = require('./check');

// A phone held upright, 375 × 667, used by touch: nothing cut, menus, Start,
// the speed and the premises dialog by taps.
async function phone(browser, url) {
  const page = await browser.newPage();
  await page.setViewport({ width: 375, height: 667, isMobile: true, hasTouch: true, deviceScaleFactor: 2 });
  await page.goto(`${url}?seed=3`);
  await page.waitForSelector('body[data-ready]', { timeout: 30000 });
  const outside = () =>
    page.evaluate(() => {
      const out = [];
      for (const e of document.querySelectorAll('#window *, #zenteif *')) {
        const r = e.getBoundingClientRect();
        if (r.width > 0 && e.checkVisibility() && (r.left < -0.5 || r.right > 375.5)) out.push(e.id || e.className);
      }
      return { out, width: document.documentElement.scrollWidth };
    });
  const fits = await outside();
  check(
    '375 × 667: the window fits the width with nothing cut',
    fits.out.length === 0 && fits.width <= 375,
    JSON.stringify(fits),
  );
  for (const name of ['a1', 'a3', 'b', 'h1', 'h2_3']) await page.tap(`[data-name="${name}"]`);
  await page.waitForFunction(() => window.popchan.state().speed === 10, { timeout: 10000 }).catch(() => {});
  const s = await page.evaluate(() => window.popchan.state());
  check(
    'by taps: Start, then ×10 from the speed menu',
    s.running && s.speed === 10,
    JSON.stringify([s.running, s.speed]),
  );
  page.on('dialog', (d) => d.accept()); // leaving the running day
  await page.reload();
  await page.waitForSelector('body[data-ready]', { timeout: 30000 });
  for (const name of ['a1', 'a2']) await page.tap(`[data-name="${name}"]`);
  await page.waitForSelector('#zenteif', { timeout: 5000 });
  const dialog = await outside();
  check('375 × 667: the premises dialog fits', dialog.out.length === 0 && dialog.width <= 375, JSON.stringify(dialog));
  await page.tap('#okbutton');
  check(
    'by taps: OK takes the premises and closes the dialog',
    await page
      .waitForFunction(() => !document.getElementById('zenteif'), { timeout: 10000 })
      .then(
        () => true,
        () => false,
      ),
  );
  await page.close();
}

// At a fractional devicePixelRatio (1.5, or a phone's 2.625) the display is
// shown at whole device pixels: every device pixel of it in a screenshot has
// its canvas pixel's colour.
async function crisp(browser, url, { width, height, ratio, mobile }) {
  const page = await browser.newPage();
  await page.setViewport({ width, height, deviceScaleFactor: ratio, isMobile: mobile, hasTouch: mobile });
  // (A screen as large as the window, which the page also takes into account;
  // set where the browser lets a test set it.)
  if (browser.engine === 'chromium') {
    const session = await page.createCDPSession();
    await session.send('Emulation.setDeviceMetricsOverride', {
      width,
      height,
      deviceScaleFactor: ratio,
      mobile,
      screenWidth: width,
      screenHeight: height,
    });
  }
  await page.goto(`${url}?seed=7`);
  await page.waitForSelector('body[data-ready]', { timeout: 30000 });
  const shot = await page.screenshot({ encoding: 'base64' });
  await withPng(page);
  const seen = await page.evaluate(async (png) => {
    const g = await window.pngContext(png);
    const display = document.getElementById('PictureWaku');
    const want = display.getContext('2d').getImageData(0, 0, 115, 96).data;
    const r = display.getBoundingClientRect();
    const dpr = devicePixelRatio;
    // (Whole numbers up to the float error of the layout, and to Firefox's
    // layout unit, a sixtieth of a CSS pixel.)
    const whole = (x) => (Math.abs(x - Math.round(x)) < dpr / 60 ? Math.round(x) : x);
    const [left, top, size] = [whole(r.left * dpr), whole(r.top * dpr), whole((r.width * dpr) / 115)];
    const got = g.getImageData(Math.round(left), Math.round(top), Math.round(115 * size), Math.round(96 * size));
    let wrong = 0;
    for (let y = 0; y < got.height; ++y) {
      for (let x = 0; x < got.width; ++x) {
        const w = 4 * (Math.floor(y / size) * 115 + Math.floor(x / size));
        const i = 4 * (y * got.width + x);
        if (got.data[i] !== want[w] || got.data[i + 1] !== want[w + 1] || got.data[i + 2] !== want[w + 2]) wrong += 1;
      }
    }
    return { left, top, size, wrong };
  }, shot);
  check(
    `${width} × ${height} at devicePixelRatio ${ratio}: the display has whole device pixels, each its pixel's colour`,
    Number.isInteger(seen.size) &&
      Number.isInteger(seen.left) &&
      Number.isInteger(seen.top) &&
      seen.size >= 2 &&
      seen.wrong === 0,
    JSON.stringify(seen),
  );
  await page.close();
}

// A phone held sideways, 667 × 375: the premises dialog whole on the screen,
// its title bar first; and upright, the help document's window closes by a tap.
async function sideways(browser, url) {
  const page = await browser.newPage();
  await page.setViewport({ width: 667, height: 375, isMobile: true, hasTouch: true, deviceScaleFactor: 2 });
  await ready(page, `${url}?seed=3`);
  for (const name of ['a1', 'a2']) await page.tap(`[data-name="${name}"]`);
  await page.waitForSelector('#zenteif', { timeout: 5000 });
  const r = await page.evaluate(() => {
    const rect = (e) => e.getBoundingClientRect();
    const [w, title, ok] = [
      rect(document.getElementById('zenteif')),
      rect(document.querySelector('#zenteif .title')),
      rect(document.getElementById('okbutton')),
    ];
    return { top: title.top, bottom: Math.max(w.bottom, ok.bottom), left: w.left, right: w.right };
  });
  check(
    '667 × 375: the premises dialog, title bar to OK, is on the screen',
    r.top >= 0 && r.left >= 0 && r.bottom <= 375 && r.right <= 667,
    JSON.stringify(r),
  );
  await page.setViewport({ width: 375, height: 667, isMobile: true, hasTouch: true, deviceScaleFactor: 2 });
  await ready(page, `${url}?seed=3`);
  for (const name of ['d1', 'd2']) await page.tap(`[data-name="${name}"]`);
  await page.waitForSelector('.window .title button', { timeout: 5000 });
  const button = await page.evaluate(() => {
    const b = document.querySelector('.window .title button').getBoundingClientRect();
    return b.top >= 0 && b.right <= 375 && b.width > 0;
  });
  await page.tap('.window .title button');
  const closed = await settles(page.waitForFunction(() => !document.querySelector('.window'), { timeout: 5000 }));
  check('375 × 667: the help document has its close button on the screen, and a tap closes it', button && closed);
  await page.close();
}

module.exports = { phone, crisp, sideways };
