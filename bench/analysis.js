// Speed of the analysis page in headless chromium against popchan-batch on
// the same days: days per second of one worker, of a worker per core, and
// of the native tool on one thread, with their ratios; and the tab's memory
// after a short and a long run (flat in the number of days).
//   node bench/analysis.js SITE_DIR POPCHAN_BATCH [DAYS]
'use strict';
const { spawnSync } = require('child_process');
const path = require('path');
const puppeteer = require(path.join(__dirname, '../tests/web/node_modules/puppeteer-core'));
const serve = require('../tests/web/serve');

const [site, batch, daysText = '40000'] = process.argv.slice(2);
const days = Number(daysText);

function nativeSeconds(n) {
  const start = process.hrtime.bigint();
  const r = spawnSync(path.resolve(batch), ['--days', String(n), '--seed', '11', '--threads', '1']);
  if (r.status !== 0) throw new Error(String(r.stderr));
  return Number(process.hrtime.bigint() - start) / 1e9;
}

async function main() {
  const server = await serve(site);
  const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    args: ['--no-sandbox', '--headless=new', '--enable-precise-memory-info'],
  });
  // A page with `cores` cores: its run of n days, timed from the click to the result.
  async function page(cores) {
    const p = await browser.newPage();
    await p.evaluateOnNewDocument((cores) => {
      Object.defineProperty(navigator, 'hardwareConcurrency', { get: () => cores });
    }, cores);
    await p.goto(`http://127.0.0.1:${server.address().port}/analysis.html`);
    await p.waitForSelector('#form:not([hidden])');
    return p;
  }
  async function pageSeconds(p, n) {
    return p.evaluate(async (n) => {
      document.getElementById('days').value = String(n);
      document.getElementById('seed').value = '11';
      document.getElementById('result').hidden = true;
      const start = performance.now();
      document.getElementById('start').click();
      while (document.getElementById('result').hidden) await new Promise((r) => setTimeout(r, 20));
      return (performance.now() - start) / 1000;
    }, n);
  }
  const one = await page(1);
  const two = await page(2);
  await pageSeconds(one, 2000); // the module compiled and warm
  await pageSeconds(two, 2000);
  // Taken in turns, so that a busy machine slows each alike; the best of five.
  let native = Infinity;
  let single = Infinity;
  let both = Infinity;
  for (let i = 0; i < 5; i += 1) {
    native = Math.min(native, nativeSeconds(days));
    single = Math.min(single, await pageSeconds(one, days));
    both = Math.min(both, await pageSeconds(two, days));
  }
  const rate = (s) => Math.round(days / s);
  console.log(`analysis page, ${days} days (best of 5):`);
  console.log(`  popchan-batch --threads 1  ${rate(native)} days/s`);
  console.log(`  page, one worker           ${rate(single)} days/s, ${(native / single).toFixed(2)} of native`);
  console.log(`  page, two workers          ${rate(both)} days/s, ${(single / both).toFixed(2)} × one worker`);
  const heap = async (n) => {
    await pageSeconds(two, n);
    const cdp = await two.createCDPSession();
    await cdp.send('HeapProfiler.collectGarbage');
    return (await two.evaluate(() => performance.memory.usedJSHeapSize)) / 2 ** 20;
  };
  const small = await heap(1000);
  const large = await heap(days * 2);
  console.log(`  page heap after 1,000 days ${small.toFixed(1)} MiB, after ${days * 2} days ${large.toFixed(1)} MiB`);
  await browser.close();
  server.close();
}

main().catch((e) => {
  console.error(e);
  process.exit(1);
});
