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
  // Three parts on this two-core machine: the merge must join any number.
  await page.evaluateOnNewDocument(() => {
    Object.defineProperty(navigator, 'hardwareConcurrency', { get: () => 3 });
    Object.defineProperty(navigator, 'deviceMemory', { get: () => 0.25 });
    const Plain = window.Worker;
    window.workersStarted = 0;
    window.Worker = class extends Plain {
      constructor(...args) {
        super(...args);
        window.workersStarted += 1;
      }
    };
  });
  await page.goto(`http://127.0.0.1:${server.address().port}/analysis.html`);
  await page.waitForSelector('#form:not([hidden])');

  // Fills the form, starts, and waits for the result or a message.
  async function analyse(kind, fields) {
    await page.evaluate(
      (kind, fields) => {
        document.getElementById('kind').value = kind;
        document.getElementById('kind').dispatchEvent(new Event('change'));
        for (const [id, value] of Object.entries(fields)) {
          const e = document.getElementById(id);
          if (e.type === 'checkbox') e.checked = value;
          else e.value = value;
        }
        document.getElementById('result').hidden = true;
        document.getElementById('errors').textContent = '';
      },
      kind,
      fields,
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
      };
      for (const a of document.querySelectorAll('#downloads a')) out[a.download] = await (await fetch(a.href)).text();
      return out;
    });
  }

  const premise = (label) =>
    page.evaluate(
      (label) =>
        [...document.querySelectorAll('#premises label')]
          .find((l) => l.firstChild.textContent === label)
          .querySelector('input').id,
      label,
    );
  const rate = await premise('千円あたり回転率');
  const exchange = await premise('換金率（円／個）');
  const start = await page.$eval(`#${rate}`, (e) => e.value);
  const startExchange = await page.$eval(`#${exchange}`, (e) => e.value);

  // A run of many days split into three parts, with every download.
  let args = ['--days', '3000', '--seed', '7', '--spin-rate', '25'];
  let got = await analyse('run', { days: '3000', seed: '7', [rate]: '25', 'per-day': true });
  let want = native([...args, '--per-day', 'days.csv', '--plot', 'plot.svg', '--json'], ['days.csv', 'plot.svg']);
  check(
    'the run shows its command line',
    got.command === `popchan-batch ${args.join(' ')} --per-day days.csv --plot plot.svg --json`,
    got.command,
  );
  check('the run JSON is popchan-batch --json', got['popchan.json'] === want.stdout);
  check('the run was played by three workers', (await page.evaluate(() => window.workersStarted)) === 3);
  check('the per-day CSV is --per-day', got['days.csv'] === want['days.csv']);
  check('the picture is --plot', got['plot.svg'] === want['plot.svg']);
  check('the table is popchan-batch without --json', got.table === native(args.filter((a) => a !== '--json')).stdout);

  got = await analyse('exact', { [rate]: start, [exchange]: '3.5' });
  want = native(['--exchange', '3.5', '--exact', '--json']);
  check('exact: the JSON is --exact --json', got['popchan.json'] === want.stdout, got.errors);
  check('exact: the table is --exact', got.table === native(['--exchange', '3.5', '--exact']).stdout);

  args = ['--days', '400', '--seed', '3', '--sweep', 'spin-rate=20,24,28,32'];
  got = await analyse('sweep', { [exchange]: startExchange, days: '400', seed: '3', 'sweep-values': '20,24,28,32' });
  want = native([...args, '--csv', 'sweep.csv', '--plot', 'plot.svg', '--json'], ['sweep.csv', 'plot.svg']);
  check('sweep: the JSON is --sweep --json', got['popchan.json'] === want.stdout, got.errors);
  check('sweep: the CSV is --csv', got['sweep.csv'] === want['sweep.csv']);
  check('sweep: the picture is --plot', got['plot.svg'] === want['plot.svg']);

  got = await analyse('border', { days: '200', seed: '5' });
  want = native(['--days', '200', '--seed', '5', '--border', '--json']);
  check('border: the JSON is --border --json', got['popchan.json'] === want.stdout, got.errors);

  // Bad input: the command line's own messages, and nothing played.
  const message = (args) =>
    native(args)
      .stderr.split('\n')
      .filter((l) => l && !l.endsWith('see --help'))
      .map((l) => l.replace(/^popchan-batch: /, ''))
      .join('\n');
  for (const [what, kind, fields, args] of [
    ['no days', 'run', { days: '0', 'per-day': false }, ['--days', '0', '--seed', '1']],
    [
      'an exchange rate out of range',
      'run',
      { days: '10', [exchange]: '9' },
      ['--days', '10', '--seed', '1', '--exchange', '9'],
    ],
    [
      'a sweep of 1,001 values',
      'sweep',
      { [exchange]: startExchange, days: '10', 'sweep-values': '1:1001:1' },
      ['--days', '10', '--seed', '1', '--sweep', 'spin-rate=1:1001:1'],
    ],
  ]) {
    got = await analyse(kind, { seed: '1', ...fields });
    check(
      `bad input, ${what}: the command line's message`,
      got.errors === message(args),
      `${got.errors} / ${message(args)}`,
    );
  }
  // More per-day rows than a quarter of the tab's memory (0.25 GiB here) is refused.
  got = await analyse('run', { days: '1000000', [exchange]: startExchange, 'per-day': true });
  check(
    'a per-day CSV too big for the tab is refused before it starts',
    /1000000/.test(got.errors) && (await page.$eval('#progress', (e) => e.hidden)),
    got.errors,
  );

  // 中止 stops the workers at once.
  await page.evaluate(() => {
    document.getElementById('days').value = '50000000';
    document.getElementById('per-day').checked = false;
    document.getElementById('errors').textContent = '';
  });
  await page.click('#start');
  await page.waitForFunction(() => Number(document.getElementById('bar').value) > 0, { timeout: 60000 });
  await page.click('#stop');
  const stopped = await page.evaluate(() => ({
    progress: document.getElementById('progress').hidden,
    start: document.getElementById('start').disabled,
    errors: document.getElementById('errors').textContent,
  }));
  check(
    '中止 ends the run and the page can start again',
    stopped.progress && !stopped.start && stopped.errors !== '',
    JSON.stringify(stopped),
  );

  // A phone upright: nothing wider than the screen.
  await page.setViewport({ width: 375, height: 667 });
  const width = await page.evaluate(() => document.documentElement.scrollWidth);
  check('the page fits a 375 px phone', width <= 375, `${width}`);

  await browser.close();
  server.close();
  console.log(failures ? `${failures} failed` : 'all passed');
  process.exit(failures ? 1 : 0);
}

main().catch((e) => {
  console.error(e);
  process.exit(1);
});
