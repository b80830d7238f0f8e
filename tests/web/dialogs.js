// The boxes and windows of the page: the exit question, the premises dialog
// with an input error, the help menu's windows and the version box, and the
// desktop's golden frames on the display canvas.
'use strict';
const fs = require('fs');
const path = require('path');
const { check, sleep, withPng } = require('./check');

async function boxesAndWindows(page) {
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
  await page.click('#entkaiten');
  await page.keyboard.down('Control');
  await page.keyboard.press('a');
  await page.keyboard.up('Control');
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
        [...document.fonts].some((f) => f.family.replace(/"/g, '') === 'IPAMincho' && f.status === 'loaded') &&
        getComputedStyle(text).fontFamily.replace(/"/g, '') === 'IPAMincho';
      return e && [e.querySelector('.title span').textContent, text.value, mincho];
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
  await withPng(page);
  for (const [prefix, presentation, count] of sets) {
    for (let n = 0; n < count; ++n) {
      const png = fs.readFileSync(path.join(golden, `${prefix}${n}.png`)).toString('base64');
      const differ = await page.evaluate(
        async (png, presentation, n) => {
          const g = await window.pngContext(png);
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

module.exports = { boxesAndWindows, goldenFrames };
