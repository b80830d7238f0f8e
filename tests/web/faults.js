// What a new user met in each engine, each checked as the user meets it: the
// premises lists, the submenus, the help document's window, the end of the
// program, a reload in the middle of a day, the display-only layout, and the
// window before the core has set it.
'use strict';
const { check, menuKeys, ready, settles } = require('./check');

// The premises dialog's lists: the number of items in each, as the dialog
// has them, in the order of its rows.
const LIST_ITEMS = [21, 8, 10, 10, 41, 14, 20, 10, 8, 4, 6];

async function premisesLists(page, url) {
  await ready(page, url);
  await page.click('[data-name="a1"]');
  await page.click('[data-name="a2"]');
  await page.waitForSelector('#zenteif');
  const rows = await page.evaluate(() => [...document.querySelectorAll('#zenteif .combo input')].map((e) => e.id));
  const whole = [];
  for (let i = 0; i < rows.length; ++i) {
    await page.click(`#${rows[i]} ~ button`);
    whole.push(
      await page.evaluate((id) => {
        const combo = document.getElementById(id).closest('.combo');
        const items = [...combo.querySelectorAll('[role="option"]')].filter((e) => e.checkVisibility());
        return items.length;
      }, rows[i]),
    );
    await page.click(`#${rows[i]} ~ button`);
  }
  check(
    'each premises list opens by its button with its whole list, whatever its field shows',
    JSON.stringify(whole) === JSON.stringify(LIST_ITEMS),
    JSON.stringify(whole),
  );
  const cut = await page.evaluate(() => {
    const out = [];
    for (const combo of document.querySelectorAll('#zenteif .combo')) {
      const input = combo.querySelector('input');
      const before = input.value;
      for (const text of [before, ...[...combo.querySelectorAll('[role="option"]')].map((e) => e.textContent)]) {
        input.value = text;
        if (input.scrollWidth > input.clientWidth) out.push(`${input.id} "${text}"`);
      }
      input.value = before;
    }
    return out;
  });
  check('every text of every premises list shows whole in its field', cut.length === 0, cut.join('; '));
}

// A submenu open under the pointer keeps its items' own colours, and one
// submenu of a menu is open at a time.
async function submenus(page, url) {
  await ready(page, url);
  await page.click('[data-name="b"]');
  await page.click('[data-name="g1"]');
  await page.hover('[data-name="g1"] > .caption');
  const colours = await page.evaluate(() => {
    const colour = (name) => getComputedStyle(document.querySelector(`[data-name="${name}"]`)).color;
    return { items: ['g2_0', 'g2_1', 'g2_4'].map(colour), enabled: colour('a2'), disabled: colour('a4') };
  });
  check(
    "with the pointer on 表示画面 its items keep an enabled item's colour",
    colours.items.every((c) => c === colours.enabled) && colours.enabled !== colours.disabled,
    JSON.stringify(colours),
  );
  await page.click('[data-name="b1"]');
  await page.click('[data-name="g1"]');
  const marks = await page.evaluate(() => {
    const mark = (name) => getComputedStyle(document.querySelector(`[data-name="${name}"]`), '::before').content;
    return [mark('h2_0'), mark('h2_1')];
  });
  check(
    'the speed chosen is marked ● as on the desktop, the others not',
    marks[0] === '"●"' && marks[1] === 'none',
    JSON.stringify(marks),
  );
  const open = await page.evaluate(() => [...document.querySelectorAll('.item.sub.open')].map((e) => e.dataset.name));
  check('ﾃﾞｼﾞﾀﾙ and then 表示画面: only 表示画面 is open', JSON.stringify(open) === '["g1"]', JSON.stringify(open));
}

// The help document closes by Esc after a click inside it, and by its close
// button.
async function helpCloses(page, url) {
  await ready(page, url);
  const open = async () => {
    await page.click('[data-name="d1"]');
    await page.click('[data-name="d2"]');
    await page.waitForFunction(() => document.querySelector('.window iframe')?.contentDocument?.querySelector('h1'), {
      timeout: 10000,
    });
  };
  const gone = () => settles(page.waitForFunction(() => !document.querySelector('.window'), { timeout: 5000 }));
  await open();
  await page.click('.window iframe');
  await page.keyboard.press('Escape');
  check('the help document closes by Esc after a click inside it', await gone());
  await open();
  await page.click('.window .title button');
  check('the help document closes by its close button', await gone());
}

// 終了 → はい in a tab with history: the tab closes, or the page says the
// program has ended and starts it again on a click.
async function endsWithHistory(page, url) {
  await ready(page, `${url}?seed=1`);
  await ready(page, `${url}?seed=2`);
  await menuKeys(page, 'g', 'q');
  await page.waitForSelector('.box', { timeout: 5000 });
  await page.click('.box button'); // はい, the first
  const ended = await settles(page.waitForSelector('#ended button', { timeout: 5000 }));
  const said = ended ? await page.evaluate(() => document.getElementById('ended').innerText.trim().length > 0) : false;
  check('終了 → はい: the page says the program ended, with a way to start again', ended && said);
  if (!ended) return;
  // The page loads anew: wait for the load, then for the window.
  const loaded = await settles(Promise.all([page.waitForNavigation({ timeout: 30000 }), page.click('#ended button')]));
  check(
    '... which starts it again',
    loaded &&
      (await settles(
        page.waitForFunction(() => document.body.dataset.ready && document.getElementById('PictureWaku'), {
          timeout: 30000,
        }),
      )),
  );
}

// A reload while a day runs asks first; at rest it does not.
async function reloadAsks(page, url) {
  const asked = [];
  page.on('dialog', (d) => {
    asked.push(d.type());
    d.accept();
  });
  await ready(page, url);
  await page.click('[data-name="a1"]');
  await page.click('[data-name="a3"]');
  await ready(page, url);
  await ready(page, url);
  check(
    'a reload asks while the day runs, not at rest',
    JSON.stringify(asked) === '["beforeunload"]',
    JSON.stringify(asked),
  );
}

// ﾃﾞｼﾞﾀﾙのみ: the window is the layout's 152 pixels wide, its menu bar too.
async function displayOnly(page, url) {
  await ready(page, url);
  for (const name of ['b', 'g1', 'g2_1']) await page.click(`[data-name="${name}"]`);
  const widths = await page.evaluate(() =>
    ['window', 'menubar', 'client'].map((id) => document.getElementById(id).offsetWidth),
  );
  check(
    'ﾃﾞｼﾞﾀﾙのみ: the window, its menu bar and its client are 152 wide',
    widths.every((w) => w === 152),
    JSON.stringify(widths),
  );
}

// Before the core has set the window (its pictures held back, as on a slow
// connection), no part of it shows.
async function nothingBeforeCore(page, server, url) {
  server.hold = /pictures\//;
  await page.goto(url);
  await page.waitForFunction(() => document.getElementById('imgdorubako_1'), { timeout: 30000 });
  const early = await page.evaluate(
    () =>
      [...document.querySelectorAll('#window .part')].filter((e) => e.checkVisibility({ visibilityProperty: true }))
        .length,
  );
  server.release();
  await page.waitForSelector('body[data-ready]', { timeout: 30000 });
  const later = await page.evaluate(
    () =>
      [...document.querySelectorAll('#window .part')].filter((e) => e.checkVisibility({ visibilityProperty: true }))
        .length,
  );
  check(
    'before the core has set the window no part of it shows; then it does',
    early === 0 && later > 0,
    `${early} then ${later}`,
  );
}

module.exports = { premisesLists, submenus, helpCloses, endsWithHistory, reloadAsks, displayOnly, nothingBeforeCore };
