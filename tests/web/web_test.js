// The web page in a real browser: Debian's chromium, headless, driven by
// puppeteer-core, the page served from the built site by a server of the
// test's own on a free port.
//   node web_test.js SITE_DIR SAME_DAY
// SAME_DAY is the native program that plays a seeded day on the desktop's
// core, to compare the page's figures with.
'use strict';
const { execFileSync } = require('child_process');
const fs = require('fs');
const path = require('path');
const puppeteer = require('puppeteer-core');
const serve = require('./serve');

const [site, sameDay] = process.argv.slice(2);
let checks = 0;
let failures = 0;
// same_day's output as one object a block: labels, parts shown and menu
// states by name, the lists, and the surfaces' pixels as hexadecimal RGB.
function blocks(text) {
  const out = [];
  for (const line of text.split('\n').filter((l) => l)) {
    const [key, ...rest] = line.split('\t');
    if (key === 'at') {
      out.push({ labels: {}, visible: {}, enabled: {}, checked: {}, rireki: [], reach: [] });
      continue;
    }
    const b = out.at(-1);
    if (!b || key === 'box') continue;
    if (['visible', 'enabled', 'checked'].includes(key)) b[key][rest[0]] = rest[1];
    else if (key === 'rireki' || key === 'reach') b[key].push(rest[0] ?? '');
    else if (['reach_selected', 'display', 'graph'].includes(key)) b[key] = rest[0];
    else b.labels[key] = rest[0] ?? '';
  }
  return out;
}

function check(what, ok, detail = '') {
  checks += 1;
  if (ok) {
    console.log(`ok: ${what}`);
  } else {
    failures += 1;
    console.log(`FAILED: ${what} ${detail}`);
  }
}

const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

// The captions as the menus show them, access keys without their marks, from
// the one table of the menu bar.
const CAPTIONS = Object.fromEntries(
  fs
    .readFileSync(path.join(__dirname, '..', 'menu_bar.txt'), 'utf8')
    .split('\n')
    .filter((line) => /^[MA] /.test(line))
    .map((line) => {
      const blank = line.indexOf(' ', 2);
      return [line.slice(2, blank), line.slice(blank + 1).replace(/&/g, '')];
    }),
);

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

// The display canvas against the desktop's golden frames: each decided spin's
// eight frames, shown on the page's own canvas, pixel for pixel.
async function goldenFrames(page) {
  const golden = path.join(__dirname, '..', 'golden');
  const sets = [
    ['spin', 0, 4],
    ['reach', 1, 19],
  ];
  const differing = [];
  for (const [prefix, presentation, count] of sets) {
    for (let n = 0; n < count; ++n) {
      const png = fs.readFileSync(path.join(golden, `${prefix}${n}.png`)).toString('base64');
      const differ = await page.evaluate(
        async (png, presentation, n) => {
          const image = new Image();
          image.src = `data:image/png;base64,${png}`;
          await image.decode();
          const strip = document.createElement('canvas');
          strip.width = image.naturalWidth;
          strip.height = image.naturalHeight;
          const g = strip.getContext('2d', { willReadFrequently: true });
          g.drawImage(image, 0, 0);
          const canvas = document.getElementById('PictureWaku').getContext('2d');
          const out = [];
          for (let frame = 0; frame < 8; ++frame) {
            if (!window.popchan.showGolden(presentation, n, frame)) return ['no spin'];
            const want = g.getImageData(115 * frame, 0, 115, 96).data;
            const got = canvas.getImageData(0, 0, 115, 96).data;
            let pixels = 0;
            for (let i = 0; i < want.length; i += 4)
              if (want[i] !== got[i] || want[i + 1] !== got[i + 1] || want[i + 2] !== got[i + 2]) pixels += 1;
            if (pixels) out.push(`frame ${frame}: ${pixels} pixels`);
          }
          return out;
        },
        png,
        presentation,
        n,
      );
      if (differ.length) differing.push(`${prefix}${n} ${differ.join(', ')}`);
    }
  }
  check(
    "the display canvas shows the desktop's golden frames of 23 decided spins exactly",
    differing.length === 0,
    differing.join('; '),
  );
}

// At a fractional devicePixelRatio (1.5) the display is shown at whole device
// pixels: every device pixel of it in a screenshot has its canvas pixel's colour.
async function crisp(browser, url) {
  const page = await browser.newPage();
  await page.setViewport({ width: 900, height: 640, deviceScaleFactor: 1.5 });
  // (A screen as large as the window, which the page also takes into account.)
  const session = await page.createCDPSession();
  await session.send('Emulation.setDeviceMetricsOverride', {
    width: 900,
    height: 640,
    deviceScaleFactor: 1.5,
    mobile: false,
    screenWidth: 900,
    screenHeight: 640,
  });
  await page.goto(`${url}?seed=7`);
  await page.waitForSelector('body[data-ready]', { timeout: 30000 });
  const shot = await page.screenshot({ encoding: 'base64' });
  const seen = await page.evaluate(async (png) => {
    const image = new Image();
    image.src = `data:image/png;base64,${png}`;
    await image.decode();
    const c = document.createElement('canvas');
    c.width = image.naturalWidth;
    c.height = image.naturalHeight;
    const g = c.getContext('2d', { willReadFrequently: true });
    g.drawImage(image, 0, 0);
    const display = document.getElementById('PictureWaku');
    const want = display.getContext('2d').getImageData(0, 0, 115, 96).data;
    const r = display.getBoundingClientRect();
    const dpr = devicePixelRatio;
    // (Whole numbers up to the float error of the layout.)
    const whole = (x) => (Math.abs(x - Math.round(x)) < 1e-3 ? Math.round(x) : x);
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
    "at devicePixelRatio 1.5 the display has whole device pixels, each its pixel's colour",
    Number.isInteger(seen.size) &&
      Number.isInteger(seen.left) &&
      Number.isInteger(seen.top) &&
      seen.size >= 2 &&
      seen.wrong === 0,
    JSON.stringify(seen),
  );
  await page.close();
}

// The music: nothing loads before the first piece, nor with the sound off;
// a piece plays after the user's first key at ×1, is hushed at ×2, and the
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
  const playing = await page
    .waitForFunction(() => window.popchan.music().playing, { timeout: 60000 })
    .then(
      () => true,
      () => false,
    );
  const on = await page.evaluate(() => window.popchan.music());
  check("after the first key the spin's piece plays", playing && on.piece === 'music/kaiten.mid', JSON.stringify(on));
  await page.keyboard.down('Control');
  await page.keyboard.press('2');
  await page.keyboard.up('Control');
  // The worklet reports that its player stopped a moment later.
  await page.waitForFunction(() => !window.popchan.music().playing, { timeout: 10000 }).catch(() => {});
  const hushed = await page.evaluate(() => window.popchan.music());
  check('at ×2 the music is hushed', !hushed.playing && !hushed.wanted, JSON.stringify(hushed));

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

async function main() {
  const server = await serve(site);
  const url = `http://127.0.0.1:${server.address().port}/`;
  const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--font-render-hinting=none'],
  });
  try {
    const page = await browser.newPage();
    await page.setViewport({ width: 700, height: 480 });
    await page.evaluateOnNewDocument(() => {
      const frame = window.requestAnimationFrame.bind(window);
      window.requestAnimationFrame = (callback) => frame((t) => callback(t * 10));
    });
    const said = [];
    page.on('console', (m) => {
      if (m.type() === 'error' || m.type() === 'warn') said.push(`${m.type()}: ${m.text()}`);
    });
    page.on('pageerror', (e) => said.push(`page error: ${e.message}`));
    const seed = 7;
    await page.goto(`${url}?seed=${seed}`);
    await page.waitForSelector('body[data-ready]', { timeout: 30000 });
    check('the page loads with no console error or warning', said.length === 0, said.join('; '));

    // Every caption as the desktop writes it, and whole in its opened menu.
    const shown = await page.evaluate(() => {
      const out = {};
      document.querySelectorAll('[data-name]').forEach((e) => {
        out[e.dataset.name] = e.querySelector(':scope > .caption').textContent;
      });
      return out;
    });
    check(
      'the menus have the desktop captions',
      JSON.stringify(shown) === JSON.stringify(CAPTIONS),
      JSON.stringify(shown),
    );
    const cut = await page.evaluate(async () => {
      const cutOff = [];
      const open = (e) => e.classList.add('open');
      for (const m of document.querySelectorAll('#menubar > .menu, .item.sub')) open(m);
      for (const e of document.querySelectorAll('[data-name]')) {
        const c = e.querySelector(':scope > .caption').getBoundingClientRect();
        const box = e.getBoundingClientRect();
        if (c.width === 0 || c.left < box.left || c.right > box.right + 0.5 || c.right > innerWidth)
          cutOff.push(e.dataset.name);
      }
      document.querySelectorAll('.open').forEach((e) => e.classList.remove('open'));
      return cutOff;
    });
    check('every menu caption is whole', cut.length === 0, cut.join(' '));

    // 常に前面表示 is checked by a click and cleared by the next, as the core's
    // menu states say.
    const onTop = [];
    for (let i = 0; i < 2; ++i) {
      await page.click('[data-name="b"]');
      await page.click('[data-name="g3"]');
      onTop.push(await page.evaluate(() => document.querySelector('[data-name="g3"]').classList.contains('checked')));
    }
    check(
      '常に前面表示 follows a click with its check mark',
      onTop[0] === true && onTop[1] === false,
      JSON.stringify(onTop),
    );

    // The start-up picture on the display canvas, pixel for pixel the
    // desktop's, as its core shows it with the program's own pictures.
    const desktopStart = blocks(
      execFileSync(sameDay, [String(seed), 'startup'], { encoding: 'utf8', maxBuffer: 1 << 26 }),
    )[0];
    // What a user sees of the page, read from the page itself: every label,
    // part shown, menu item's state, list and line selected, and the pixels
    // of the display and the graph.
    await page.evaluate((names) => {
      window.snapshot = () => {
        const element = (name) => document.getElementById(name);
        const item = (name) => document.querySelector(`[data-name="${name}"]`);
        const shown = (e) => e.getClientRects().length > 0 && getComputedStyle(e).visibility !== 'hidden';
        const lines = (e) => [...e.children].map((c) => c.textContent);
        const pixels = (canvas) => {
          // Read from a copy, as the page's canvas is drawn, not read.
          const copy = document.createElement('canvas');
          copy.width = canvas.width;
          copy.height = canvas.height;
          const g = copy.getContext('2d', { willReadFrequently: true });
          g.drawImage(canvas, 0, 0);
          const data = g.getImageData(0, 0, canvas.width, canvas.height).data;
          let out = '';
          for (let i = 0; i < data.length; i += 4)
            out += ((data[i] << 16) | (data[i + 1] << 8) | data[i + 2]).toString(16).padStart(6, '0');
          return out;
        };
        const list = element('ListReach');
        return {
          now: window.popchan.state().now,
          labels: Object.fromEntries(Object.keys(names.labels).map((n) => [n, element(n).textContent])),
          visible: Object.fromEntries(Object.keys(names.visible).map((n) => [n, shown(element(n)) ? '1' : '0'])),
          enabled: Object.fromEntries(
            Object.keys(names.enabled).map((n) => [n, item(n).classList.contains('disabled') ? '0' : '1']),
          ),
          checked: Object.fromEntries(
            Object.keys(names.checked).map((n) => [n, item(n).classList.contains('checked') ? '1' : '0']),
          ),
          rireki: lines(element('rireki')),
          reach: lines(list),
          reach_selected: String([...list.children].findIndex((c) => c.classList.contains('selected'))),
          display: pixels(element('PictureWaku')),
          graph: pixels(element('picgraph_1')),
        };
      };
    }, desktopStart);
    const startup = await page.evaluate(() => {
      const canvas = document.getElementById('PictureWaku');
      return { hex: window.snapshot().display, width: canvas.width, height: canvas.height };
    });
    check(
      "the display is 115 × 96 and shows the desktop's start-up picture exactly",
      startup.hex === desktopStart.display && startup.width === 115 && startup.height === 96,
      `${startup.width} × ${startup.height}`,
    );

    // A seeded hour at ×10, started by the keys and played by the page's own
    // frame loop: the whole page is the desktop core's after the same
    // simulated milliseconds, at the moments the desktop names (a spin
    // without reach, a reach's presentation, the dollar boxes after a
    // jackpot) and at the hour: every label, part shown, menu item's state,
    // list and line selected, and the pixels of the display and the graph.
    // The browser's frame clock runs ten times faster for this, so the hour
    // takes some 36 real seconds (more on a busy machine).
    const moments = execFileSync(sameDay, ['--moments', String(seed), '3600000'], { encoding: 'utf8' })
      .split('\n')
      .filter((l) => l)
      .map(Number);
    await page.evaluate((moments) => {
      window.snapshots = [];
      const pending = [...moments, 3600000];
      window.popchan.onFrame = () => {
        const now = window.popchan.state().now;
        if (!pending.length || now < pending[0]) return;
        while (pending.length && now >= pending[0]) pending.shift();
        window.snapshots.push(window.snapshot());
      };
    }, moments);
    await page.keyboard.down('Alt');
    await page.keyboard.press('g');
    await page.keyboard.up('Alt');
    await page.keyboard.press('s');
    await page.keyboard.down('Control');
    await page.keyboard.press('4');
    await page.keyboard.up('Control');
    const started = Date.now();
    await page
      .waitForFunction(() => window.snapshots.length > 0 && window.snapshots.at(-1).now >= 3600000, {
        timeout: 600000,
        polling: 500,
      })
      .catch(() => {});
    console.log(`(the hour at ×10 took ${((Date.now() - started) / 1000).toFixed(1)} s)`);
    const seen = await page.evaluate(() => ({ snapshots: window.snapshots, speed: window.popchan.state().speed }));
    check('×10 is the speed after Ctrl+4', seen.speed === 10, String(seen.speed));
    check(`the desktop names moments to look at (${moments.join(', ')} ms)`, moments.length === 3);
    check(
      'an hour of the day runs at ×10, seen at each moment',
      seen.snapshots.length === moments.length + 1 && seen.snapshots.at(-1).now >= 3600000,
      seen.snapshots.map((x) => x.now).join(', '),
    );
    const desktop = blocks(
      execFileSync(sameDay, [String(seed), ...seen.snapshots.map((x) => String(x.now))], {
        encoding: 'utf8',
        maxBuffer: 1 << 26,
      }),
    );
    const fields = {
      labels: 'the labels',
      visible: 'the parts shown',
      enabled: 'the menu items enabled',
      checked: 'the menu items checked',
      rireki: 'the hit history',
      reach: 'the reach list',
      reach_selected: "the reach list's selected line",
      display: "the display's pixels",
      graph: "the balance graph's pixels",
    };
    for (const [field, what] of Object.entries(fields)) {
      const differ = seen.snapshots.filter((x, i) => JSON.stringify(x[field]) !== JSON.stringify(desktop[i][field]));
      check(
        `at ${seen.snapshots.map((x) => x.now).join(', ')} ms ${what} are the desktop's`,
        differ.length === 0,
        differ.map((x) => `at ${x.now}: ${JSON.stringify(x[field]).slice(0, 300)}`).join('; '),
      );
    }
    const dorubako = seen.snapshots.some((x) =>
      Object.entries(x.visible).some(([n, on]) => n.startsWith('imgdorubako') && on === '1'),
    );
    check('... with dollar boxes on the screen at one of them', dorubako);

    // To the day's end: its box stands over the day's last figures, its
    // amount the balance, and the clock stands while it is open.
    await page.evaluate(() => {
      window.popchan.advance(11 * 3600 * 1000);
    });
    await page.waitForSelector('.box', { timeout: 30000 });
    const end = await page.evaluate(() => ({
      text: document.querySelector('.box .text').textContent,
      balance: document.getElementById('hyouji_10').textContent,
      now: window.popchan.state().now,
    }));
    const amount = end.text.match(/今日は、(.*)円、(勝ちました|負けました)。$/);
    const balance = Number(end.balance.replace(/,/g, ''));
    check('the day ends with its box', amount !== null, end.text);
    if (amount) {
      check('the box gives 収支', Number(amount[1]) === Math.abs(balance), `${amount[1]} / ${end.balance}`);
      check('... won or lost as 収支 says', (amount[2] === '勝ちました') === balance > 0);
    }
    const desktopBoxes = execFileSync(sameDay, [String(seed), String(end.now)], { encoding: 'utf8' })
      .split('\n')
      .filter((l) => l.startsWith('box\t'))
      .map((l) => l.slice(4).replace(/\\n/g, '\n'));
    check(
      'the day ends as on the desktop, with the same box',
      desktopBoxes.length === 1 && desktopBoxes[0] === end.text,
      JSON.stringify(desktopBoxes),
    );
    await sleep(500);
    check(
      'the clock stands while the box is open',
      (await page.evaluate(() => window.popchan.state().now)) === end.now,
    );
    await page.keyboard.press('Enter');
    await page.waitForFunction(() => !document.querySelector('.box'), { timeout: 5000 });

    // The exit question: No is the default; Esc and Enter both keep the window.
    for (const key of ['Escape', 'Enter']) {
      await page.keyboard.down('Alt');
      await page.keyboard.press('g');
      await page.keyboard.up('Alt');
      await page.keyboard.press('q');
      await page.waitForSelector('.box', { timeout: 5000 });
      const buttons = await page.$$eval('.box button', (b) => b.map((e) => e.textContent));
      const asks = await page.$eval('.box', (b) => !!b.querySelector('.icon.question'));
      await page.keyboard.press(key);
      await sleep(200);
      const still = await page.evaluate(() => !document.querySelector('.box') && !!document.getElementById('window'));
      check(
        `the exit question has Yes and No, and ${key} keeps the window`,
        still && buttons.length === 2 && asks,
        `${buttons.join(',')} question icon: ${asks}`,
      );
    }
    // A bad premise: its 入力エラー box over the dialog, Enter closes the box,
    // the dialog stays with the record untouched; Esc closes the dialog.
    await page.keyboard.down('Alt');
    await page.keyboard.press('g');
    await page.keyboard.up('Alt');
    await page.keyboard.press('z');
    await page.waitForSelector('#zenteif');
    const rows = await page.$$eval('#zenteif label', (l) => l.map((e) => e.textContent));
    check(
      'the premises dialog has its eleven rows',
      rows.length === 11 &&
        rows[0] === '大当たり確率 (1/?)' &&
        rows[4] === '千円あたり回転率' &&
        rows[10] === 'ﾄﾞﾙ箱規制（2,500個/箱）',
      rows.join('|'),
    );
    await page.click('#entkaiten', { clickCount: 3 });
    await page.keyboard.type('0');
    await page.keyboard.press('Enter');
    await page.waitForSelector('.box', { timeout: 5000 });
    const error = await page.evaluate(() => [
      document.querySelector('.box .title').textContent,
      document.querySelector('.box .text').textContent,
      !!document.querySelector('.box .icon.warning'),
    ]);
    check(
      '0 spins per 1,000 yen gives its input error with the warning icon',
      error[0] === '入力エラー' && error[1] === '回転率入力エラーです。' && error[2],
      error.join(' / '),
    );
    await page.keyboard.press('Enter');
    await sleep(200);
    check(
      'Enter closes the box and the dialog stays',
      await page.evaluate(() => !document.querySelector('.box') && !!document.getElementById('zenteif')),
    );
    await page.keyboard.press('Escape');
    await sleep(200);
    check('Esc closes the dialog', await page.evaluate(() => !document.getElementById('zenteif')));
    check(
      'the refused premise did not reach the panel',
      (await page.evaluate(() => document.getElementById('zentei_4').textContent)) === '30',
    );
    // The help menu: about and how-to windows with their texts, the help
    // document, and the version box; Esc or Enter closes each.
    const windows = [
      ['d4', 'ＣＲぽぷちゃんについて', '■ＣＲぽぷちゃんについて\n'],
      ['d3', 'ＣＲぽぷちゃんシミュレーションの使い方', '１．メニュー構成\n'],
    ];
    for (const [name, caption, start] of windows) {
      await page.click('[data-name="d1"]');
      await page.click(`[data-name="${name}"]`);
      const w = await page.evaluate(async () => {
        const e = document.querySelector('.window');
        await document.fonts.ready;
        const text = e && e.querySelector('textarea');
        // The text in the shipped IPA Mincho, loaded, as the desktop's 明朝.
        const mincho =
          [...document.fonts].some((f) => f.family === 'IPAMincho' && f.status === 'loaded') &&
          getComputedStyle(text).fontFamily === 'IPAMincho';
        return e && [e.querySelector('.title').textContent, text.value, mincho];
      });
      check(
        `${caption}: its window and text, in IPA Mincho`,
        w && w[0] === caption && w[1].startsWith(start) && w[2],
        JSON.stringify(w),
      );
      await page.keyboard.press('Escape');
      check(`${caption}: Esc closes it`, await page.evaluate(() => !document.querySelector('.window')));
    }
    await page.click('[data-name="d1"]');
    await page.click('[data-name="d2"]');
    const help = await page
      .waitForFunction(
        () => {
          const f = document.querySelector('.window iframe');
          return (
            f &&
            f.contentDocument &&
            f.contentDocument.querySelector('h1') &&
            f.contentDocument.querySelector('h1').textContent
          );
        },
        { timeout: 10000 },
      )
      .then((h) => h.jsonValue())
      .catch(() => null);
    check('the help document opens', help === 'ＣＲぽぷちゃんシミュレーション ヘルプ', String(help));
    await page.keyboard.press('Escape');
    await page.click('[data-name="d1"]');
    await page.click('[data-name="d6"]');
    await page.waitForSelector('.box', { timeout: 5000 });
    const version = await page.evaluate(() => [
      document.querySelector('.box .title').textContent,
      document.querySelector('.box .text').textContent,
    ]);
    check(
      'the version box',
      version[0] === 'ＣＲぽぷちゃんシミュレーション Ver2.10' &&
        version[1].includes(
          'ＣＲぽぷちゃんシミュレーション Ver2.10  was produced by the CR Popchan ' + 'Simulation project.',
        ),
      version.join(' / '),
    );
    await page.keyboard.press('Enter');
    check('no console error or warning after the day', said.length === 0, said.join('; '));
    await goldenFrames(page);
    await page.close();
    await phone(browser, url);
    await crisp(browser, url);
    await music(browser, url);

    // After the first visit the service worker serves the page offline.
    const offline = await browser.newPage();
    await offline.goto(url);
    await offline.waitForSelector('body[data-ready]', { timeout: 30000 });
    await offline.waitForFunction(
      async () => {
        await navigator.serviceWorker.ready;
        return !!navigator.serviceWorker.controller;
      },
      { timeout: 30000 },
    );
    server.closeAllConnections();
    await new Promise((r) => server.close(r));
    await offline.reload();
    const played = await offline
      .waitForSelector('body[data-ready]', { timeout: 30000 })
      .then(() => offline.evaluate(() => document.getElementById('PictureWaku').width === 115))
      .catch(() => false);
    check('the service worker serves the page with the server stopped', played);
  } finally {
    await browser.close();
    if (server.listening) server.close();
  }
  console.log(`${checks - failures} passed, ${failures} failed`);
  process.exit(failures === 0 ? 0 : 1);
}

main().catch((e) => {
  console.log(`FAILED: ${e.stack}`);
  process.exit(1);
});
