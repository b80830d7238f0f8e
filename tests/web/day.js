// The seeded day in the browser against the desktop's core playing it
// natively (same_day): the captions, the start-up picture, an hour at ×10
// through the page's own frame loop, and the day's end with its box.
'use strict';
const { execFileSync } = require('child_process');
const { check, sleep, blocks, CAPTIONS, same } = require('./check');

// Every caption as the desktop writes it and whole in its opened menu; the
// on-top check following clicks; the start-up picture; and a snapshot() of
// the page installed for the comparisons that follow.
async function startUp(page, sameDay, seed) {
  // Every caption as the desktop writes it, and whole in its opened menu.
  const shown = await page.evaluate(() => {
    const out = {};
    document.querySelectorAll('[data-name]').forEach((e) => {
      out[e.dataset.name] = e.querySelector(':scope > .caption').textContent;
    });
    return out;
  });
  check('the menus have the desktop captions', same(shown, CAPTIONS), JSON.stringify(shown));
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
}

// What the page shows, as same_day prints it, at `moments`.
async function desktopAt(sameDay, seed, moments) {
  return blocks(
    execFileSync(sameDay, [String(seed), ...moments.map(String)], { encoding: 'utf8', maxBuffer: 1 << 26 }),
  );
}

function compare(seen, desktop) {
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
    const differ = seen.snapshots.filter((x, i) => !same(x[field], desktop[i][field]));
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
}

async function hourAtTen(page, sameDay, seed) {
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
  // ×10 first: the first moment may come a tenth of a second after the start,
  // before a speed chosen after it would be seen.
  await page.keyboard.down('Control');
  await page.keyboard.press('4');
  await page.keyboard.up('Control');
  await page.keyboard.down('Alt');
  await page.keyboard.press('g');
  await page.keyboard.up('Alt');
  await page.keyboard.press('s');
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
  compare(
    seen,
    await desktopAt(
      sameDay,
      seed,
      seen.snapshots.map((x) => x.now),
    ),
  );
}

// Where the browser's frame clock cannot be sped up (WebKit over WebDriver):
// the same moments reached at once by simulated milliseconds.
async function hourAtOnce(page, sameDay, seed) {
  const moments = execFileSync(sameDay, ['--moments', String(seed), '3600000'], { encoding: 'utf8' })
    .split('\n')
    .filter((l) => l)
    .map(Number);
  await page.click('[data-name="a1"]');
  await page.click('[data-name="a3"]');
  await page.click('[data-name="b"]');
  await page.click('[data-name="h1"]');
  await page.click('[data-name="h2_3"]');
  const snapshots = [];
  for (const at of [...moments, 3600000]) {
    snapshots.push(
      await page.evaluate(async (at) => {
        await window.popchan.advance(at - window.popchan.state().now);
        return window.snapshot();
      }, at),
    );
  }
  check('the hour is played to each moment', snapshots.length === 4, snapshots.map((x) => x.now).join(', '));
  compare(
    { snapshots },
    await desktopAt(
      sameDay,
      seed,
      snapshots.map((x) => x.now),
    ),
  );
}

async function dayEnd(page, sameDay, seed) {
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
  check('the clock stands while the box is open', (await page.evaluate(() => window.popchan.state().now)) === end.now);
  await page.keyboard.press('Enter');
  await page.waitForFunction(() => !document.querySelector('.box'), { timeout: 5000 });
}

module.exports = { startUp, hourAtTen, hourAtOnce, dayEnd };
