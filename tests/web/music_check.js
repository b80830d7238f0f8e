// The music in the browser.
'use strict';
const { check } = require('./check');

// first seconds of every piece render as sound.
async function music(browser, url) {
  const soundfontAsked = (page) => {
    const asked = { yes: false };
    page.on('request', (r) => {
      if (r.url().endsWith('.sf2')) asked.yes = true;
    });
    return asked;
  };
  const menu = async (page, ...names) => {
    for (const name of names) await page.click(`[data-name="${name}"]`);
  };

  const quiet = await browser.newPage();
  const quietAsked = soundfontAsked(quiet);
  await quiet.goto(`${url}?seed=5`);
  await quiet.waitForSelector('body[data-ready]', { timeout: 30000 });
  await menu(quiet, 'b', 'f1', 'f3'); // サウンド: なし
  await menu(quiet, 'a1', 'a3');
  await quiet.waitForFunction(() => window.popchan.state().now > 3000, { timeout: 30000 }).catch(() => {});
  const off = await quiet.evaluate(() => window.popchan.music());
  check(
    'with the sound off no piece opens and no soundfont loads',
    off.piece === null && !off.loaded && !quietAsked.yes,
    JSON.stringify(off),
  );
  await quiet.close();

  const page = await browser.newPage();
  const asked = soundfontAsked(page);
  await page.goto(`${url}?seed=5`);
  await page.waitForSelector('body[data-ready]', { timeout: 30000 });
  check('nothing of the music loads with the page', !asked.yes);
  await page.keyboard.down('Alt');
  await page.keyboard.press('g');
  await page.keyboard.up('Alt');
  await page.keyboard.press('s');
  // Headless Firefox has no sound device here, so its audio context never
  // runs: there the piece is only asked for and loaded.
  const heard = browser.engine !== 'firefox';
  const playing = await page
    .waitForFunction(
      (heard) => (heard ? window.popchan.music().playing : window.popchan.music().loaded),
      { timeout: 60000 },
      heard,
    )
    .then(
      () => true,
      () => false,
    );
  const on = await page.evaluate(() => window.popchan.music());
  check(
    `after the first key the spin's piece ${heard ? 'plays' : 'loads to play'}`,
    playing && on.piece === 'music/kaiten.mid' && on.wanted,
    JSON.stringify(on),
  );
  await page.keyboard.down('Control');
  await page.keyboard.press('2');
  await page.keyboard.up('Control');
  // The worklet reports that its player stopped a moment later.
  await page
    .waitForFunction(() => !window.popchan.music().playing && window.popchan.music().audio === 'suspended', {
      timeout: 10000,
    })
    .catch(() => {});
  const hushed = await page.evaluate(() => window.popchan.music());
  check(
    'at ×2 the music is hushed, and the audio context suspended',
    !hushed.playing && !hushed.wanted && hushed.audio === 'suspended',
    JSON.stringify(hushed),
  );

  const pieces = ['atari', 'chusen', 'hazure', 'kaiten', 'reach', 'teishi', 'zenkai'];
  const silent = [];
  for (const piece of pieces) {
    const level = await page.evaluate((p) => window.popchan.renderPiece(`music/${p}.mid`, 2), piece);
    // -40 dBFS over the first two seconds at the least: heard, not silence.
    if (!(level.rms > 0.01)) silent.push(`${piece} ${JSON.stringify(level)}`);
  }
  check('the first two seconds of each of the seven pieces render as sound', silent.length === 0, silent.join('; '));
  await page.close();
}

// After the first visit the service worker serves the page offline.
async function offline(browser, server, url) {
  const page = await browser.newPage();
  await page.goto(url);
  await page.waitForSelector('body[data-ready]', { timeout: 30000 });
  await page.waitForFunction(
    async () => {
      await navigator.serviceWorker.ready;
      return !!navigator.serviceWorker.controller;
    },
    { timeout: 30000 },
  );
  server.closeAllConnections();
  await new Promise((r) => server.close(r));
  await page.reload();
  const played = await page
    .waitForSelector('body[data-ready]', { timeout: 30000 })
    .then(() => page.evaluate(() => document.getElementById('PictureWaku').width === 115))
    .catch(() => false);
  check('the service worker serves the page with the server stopped', played);
}

module.exports = { music, offline };
