// The analysis page in a real browser (Debian's chromium, headless): each
// analysis as a visitor runs it, its downloads compared byte for byte with
// what popchan-batch writes for the command line the page shows.
//   node analysis_test.js SITE_DIR POPCHAN_BATCH
'use strict';
const { spawnSync } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const puppeteer = require('puppeteer-core');
const serve = require('./serve');

const [site, batchPath] = process.argv.slice(2);
const batch = path.resolve(batchPath);
let failures = 0;
function check(what, ok, detail = '') {
  console.log(`${ok ? 'ok' : 'FAILED'}: ${what}${ok ? '' : ` ${detail}`}`);
  if (!ok) failures += 1;
}

// popchan-batch in a folder of its own: its standard output and error, and
// the files its options named.
function native(args, files = []) {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'analysis-'));
  const r = spawnSync(batch, args, { cwd: dir, encoding: 'utf8' });
  const out = { stdout: r.stdout, stderr: r.stderr };
  for (const f of files) out[f] = fs.readFileSync(path.join(dir, f), 'utf8');
  fs.rmSync(dir, { recursive: true });
  return out;
}

async function main() {
  const server = await serve(site);
  const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    args: ['--no-sandbox', '--headless=new'],
  });
  const page = await browser.newPage();
  // The cores the page sees (window.testCores, three unless a case says), and
  // the workers a run uses.
  await page.evaluateOnNewDocument(() => {
    Object.defineProperty(navigator, 'hardwareConcurrency', { get: () => window.testCores ?? 3 });
    Object.defineProperty(navigator, 'deviceMemory', { get: () => 0.25 });
    // The workers each run's calls go to.
    const post = Worker.prototype.postMessage;
    window.workersUsed = new Set();
    Worker.prototype.postMessage = function (...args) {
      window.workersUsed.add(this);
      return post.apply(this, args);
    };
  });
  const address = `http://127.0.0.1:${server.address().port}/`;
  await page.goto(`${address}analysis.html`);
  await page.waitForSelector('#form:not([hidden])');
  const ids = await page.evaluate(() =>
    Object.fromEntries(
      [...document.querySelectorAll('#premises label')].map((l) => [
        l.firstChild.textContent,
        l.querySelector('input').id,
      ]),
    ),
  );
  const starts = await page.evaluate(() => [...document.querySelectorAll('#premises input')].map((i) => i.value));

  // The form as a visitor fills it: the premises typed or taken from their
  // lists (by the item's place), the other fields typed; then 開始, and the
  // result or a message.
  async function analyse(c) {
    await page.evaluate(
      (c, ids, starts) => {
        window.testCores = c.cores;
        window.workersUsed.clear();
        document.querySelectorAll('#premises input').forEach((input, i) => (input.value = starts[i]));
        document.getElementById('kind').value = c.kind;
        document.getElementById('kind').dispatchEvent(new Event('change'));
        for (const [label, value] of Object.entries(c.premises ?? {})) {
          const input = document.getElementById(ids[label]);
          if (typeof value === 'number') {
            const list = input.nextElementSibling;
            list.selectedIndex = value;
            list.dispatchEvent(new Event('change'));
          } else input.value = value;
        }
        for (const [id, value] of Object.entries(c.fields ?? {})) {
          const e = document.getElementById(id);
          if (e.type === 'checkbox') e.checked = value;
          else e.value = value;
        }
        document.getElementById('result').hidden = true;
        document.getElementById('errors').textContent = '';
      },
      c,
      ids,
      starts,
    );
    await page.click('#start');
    await page.waitForFunction(
      () => !document.getElementById('result').hidden || document.getElementById('errors').textContent !== '',
      { timeout: 120000 },
    );
    return page.evaluate(async () => {
      const out = {
        command: document.getElementById('command').textContent,
        errors: document.getElementById('errors').textContent,
        table: document.getElementById('text').textContent,
        workers: window.workersUsed.size,
        progress: !document.getElementById('progress').hidden,
      };
      for (const a of document.querySelectorAll('#downloads a')) out[a.download] = await (await fetch(a.href)).text();
      return out;
    });
  }

  // Each analysis: the form, the command line the page must show (without its
  // files), the files it writes beside standard output, and the workers it takes.
  const LIMITER = '最高継続回数（リミッター）';
  const R = '確変・時短率 (1/?)';
  const FORM = '営業形態';
  const RATE = '千円あたり回転率';
  const EXCHANGE = '換金率（円／個）';
  const cases = [
    {
      what: 'the default premises, per-day CSV, two workers',
      kind: 'run',
      cores: 2,
      fields: { days: '3000', seed: '7', 'per-day': true },
      args: ['--days', '3000', '--seed', '7', '--per-day', 'days.csv', '--plot', 'plot.svg', '--json'],
      files: ['days.csv', 'plot.svg'],
      workers: 2,
    },
    {
      what: 'limiter 5, R 1.5, form 3, one worker',
      kind: 'run',
      cores: 1,
      premises: { [LIMITER]: '5', [R]: '1.5', [FORM]: 3 },
      fields: { days: '2000', seed: '8', 'per-day': false },
      args: [
        '--days',
        '2000',
        '--seed',
        '8',
        '--kakuhen-rate',
        '1.5',
        '--limiter',
        '5',
        '--plot',
        'plot.svg',
        '--json',
      ],
      files: ['plot.svg'],
      workers: 1,
    },
    {
      what: 'spin rate 25 from the list, three workers',
      kind: 'run',
      premises: { [RATE]: 16 },
      fields: { days: '1000', seed: '9', 'per-day': false },
      args: ['--days', '1000', '--seed', '9', '--spin-rate', '   25', '--plot', 'plot.svg', '--json'],
      files: ['plot.svg'],
      workers: 3,
    },
    {
      what: 'a sweep of spin-rate 20:30:5',
      kind: 'sweep',
      fields: { days: '400', seed: '3', 'sweep-values': '20:30:5', 'sweep-premise': 'spin-rate' },
      args: [
        '--days',
        '400',
        '--seed',
        '3',
        '--sweep',
        'spin-rate=20:30:5',
        '--csv',
        'sweep.csv',
        '--plot',
        'plot.svg',
        '--json',
      ],
      files: ['sweep.csv', 'plot.svg'],
      workers: 3,
    },
    {
      what: 'the exact figures at an exchange rate of 3.5',
      kind: 'exact',
      premises: { [EXCHANGE]: '3.5' },
      args: ['--exchange', '3.5', '--exact', '--json'],
      files: [],
      workers: 0,
    },
    {
      what: 'the border',
      kind: 'border',
      fields: { days: '200', seed: '5' },
      args: ['--days', '200', '--seed', '5', '--border', '--json'],
      files: [],
      workers: 1,
    },
  ];
  for (const c of cases) {
    const got = await analyse(c);
    const want = native(c.args, c.files);
    const quoted = c.args.map((a) => (a.includes(' ') ? `'${a}'` : a));
    check(
      `${c.what}: the command line`,
      got.command === `popchan-batch ${quoted.join(' ')}`,
      got.command || got.errors,
    );
    check(`${c.what}: the JSON is popchan-batch's`, got['popchan.json'] === want.stdout);
    for (const f of c.files) check(`${c.what}: ${f} is popchan-batch's`, got[f] === want[f]);
    const table = native(c.args.filter((a) => a !== '--json')).stdout;
    check(`${c.what}: the table is popchan-batch's`, got.table === table);
    check(`${c.what}: played by ${c.workers} workers`, got.workers === c.workers, `${got.workers}`);
  }

  // Bad input: the command line's own messages, and nothing started.
  const message = (args) =>
    native(args)
      .stderr.split('\n')
      .filter((l) => l && !l.endsWith('see --help'))
      .map((l) => l.replace(/^popchan-batch: /, ''))
      .join('\n');
  for (const [what, c, args] of [
    ['no days', { kind: 'run', fields: { days: '0', seed: '1' } }, ['--days', '0']],
    ['days not a number', { kind: 'run', fields: { days: 'x', seed: '1' } }, ['--days', 'x']],
    [
      'an exchange rate out of range',
      { kind: 'run', premises: { [EXCHANGE]: '9' }, fields: { days: '10', seed: '1' } },
      ['--exchange', '9'],
    ],
    [
      'an empty probability',
      { kind: 'exact', premises: { '大当たり確率 (1/?)': '' } },
      ['--probability', '', '--exact'],
    ],
    [
      'a sweep of 1,001 values',
      { kind: 'sweep', fields: { days: '10', seed: '1', 'sweep-values': '1:1001:1' } },
      ['--sweep', 'spin-rate=1:1001:1'],
    ],
  ]) {
    const got = await analyse(c);
    check(
      `bad input, ${what}: the command line's message`,
      got.errors === message(args),
      `${got.errors} / ${message(args)}`,
    );
    check(`bad input, ${what}: nothing started`, got.workers === 0 && !got.progress);
  }
  // More per-day rows than a quarter of the tab's memory (0.25 GiB here) is refused.
  const big = await analyse({ kind: 'run', fields: { days: '1000000', seed: '1', 'per-day': true } });
  check(
    'a per-day CSV too big for the tab is refused before it starts',
    /1000000/.test(big.errors) && big.workers === 0,
    big.errors,
  );

  // 中止 stops the workers at once; a run after it is whole and right.
  await page.evaluate(() => {
    window.testCores = 2;
    document.getElementById('days').value = '50000000';
    document.getElementById('per-day').checked = false;
    document.getElementById('errors').textContent = '';
  });
  await page.click('#start');
  await page.waitForFunction(() => Number(document.getElementById('bar').value) > 0, { timeout: 60000 });
  await page.click('#stop');
  const stopped = await page.evaluate(async () => {
    const bar = () => document.getElementById('bar').value;
    const at = bar();
    await new Promise((r) => setTimeout(r, 1000));
    return {
      still: at === bar(),
      progress: document.getElementById('progress').hidden,
      start: document.getElementById('start').disabled,
      errors: document.getElementById('errors').textContent,
    };
  });
  check('中止: no day is played after it', stopped.still && stopped.progress, JSON.stringify(stopped));
  check('中止: the page can start again', !stopped.start && stopped.errors !== '', JSON.stringify(stopped));
  const again = await analyse(cases[0]);
  check('a run after 中止 is whole and right', again['popchan.json'] === native(cases[0].args, cases[0].files).stdout);

  // A phone upright, by touch: nothing wider than the screen, and a run.
  const phone = await browser.newPage();
  await phone.setViewport({ width: 375, height: 667, isMobile: true, hasTouch: true, deviceScaleFactor: 2 });
  await phone.goto(`${address}analysis.html`);
  await phone.waitForSelector('#form:not([hidden])');
  const cut = await phone.evaluate(() =>
    [...document.querySelectorAll('input, select, button, legend, label, h1, a')]
      .filter((e) => e.getClientRects().length)
      .filter((e) => e.getBoundingClientRect().right > 375 || e.getBoundingClientRect().left < 0)
      .map((e) => e.id || e.textContent),
  );
  check(
    'the phone shows every control whole',
    cut.length === 0 && (await phone.evaluate(() => document.documentElement.scrollWidth)) <= 375,
    cut.join(', '),
  );
  await phone.$eval('#days', (e) => (e.value = '500'));
  await phone.$eval('#seed', (e) => (e.value = '4'));
  await phone.tap('#start');
  await phone.waitForSelector('#result:not([hidden])', { timeout: 60000 });
  const tapped = await phone.$eval('#text', (e) => e.textContent);
  check('a run started by touch', tapped === native(['--days', '500', '--seed', '4', '--plot', 'plot.svg']).stdout);

  // Offline: with the server gone, the page loads from what its service worker kept, and runs.
  await phone.evaluate(() => navigator.serviceWorker.ready);
  await phone.reload(); // the service worker now controls the page and keeps what it fetches
  await phone.waitForSelector('#form:not([hidden])');
  server.close();
  server.closeAllConnections();
  await phone.reload();
  await phone.waitForSelector('#form:not([hidden])', { timeout: 30000 });
  await phone.$eval('#days', (e) => (e.value = '300'));
  await phone.$eval('#seed', (e) => (e.value = '6'));
  await phone.tap('#start');
  await phone.waitForSelector('#result:not([hidden])', { timeout: 60000 });
  const offline = await phone.$eval('#text', (e) => e.textContent);
  check(
    'offline, the page loads and runs',
    offline === native(['--days', '300', '--seed', '6', '--plot', 'plot.svg']).stdout,
  );

  await browser.close();
  console.log(failures ? `${failures} failed` : 'all passed');
  process.exit(failures ? 1 : 0);
}

main().catch((e) => {
  console.error(e);
  process.exit(1);
});
