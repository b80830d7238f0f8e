// The web page's speed and size in headless Chromium: first paint from a
// local server; the CPU the browser takes (all its processes, the renderer
// and the GPU process included, from /proc) at rest before any click, during
// a shown day at ×1 with the clock's pace, and at rest again after Reset and
// after music played, with the audio context's state; and the size of each
// of the page's own files.
//   node bench/web.js SITE_DIR   (puppeteer-core from tests/web/node_modules)
'use strict';
const fs = require('fs');
const path = require('path');
const puppeteer = require(path.join(__dirname, '../tests/web/node_modules/puppeteer-core'));
const serve = require('../tests/web/serve');

const TICKS = 100; // clock ticks a second of /proc's times (USER_HZ)
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

// The CPU seconds of a process and of all its descendants.
function treeSeconds(root) {
  const children = {};
  let sum = 0;
  for (const pid of fs.readdirSync('/proc').filter((p) => /^\d+$/.test(p))) {
    try {
      const stat = fs.readFileSync(`/proc/${pid}/stat`, 'utf8');
      const f = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
      (children[f[1]] ??= []).push({ pid, cpu: (Number(f[11]) + Number(f[12])) / TICKS });
    } catch {
      // gone meanwhile
    }
  }
  const walk = (pid) => {
    for (const c of children[pid] || []) {
      sum += c.cpu;
      walk(c.pid);
    }
  };
  const self = fs.readFileSync(`/proc/${root}/stat`, 'utf8');
  const f = self.slice(self.lastIndexOf(')') + 2).split(' ');
  sum += (Number(f[11]) + Number(f[12])) / TICKS;
  walk(String(root));
  return sum;
}

// The share of one core the browser took over `seconds`, and the page's
// simulated milliseconds over that time.
async function measure(browser, page, what, seconds) {
  const pid = browser.process().pid;
  const session = await page.createCDPSession();
  await session.send('Performance.enable');
  const task = async () =>
    (await session.send('Performance.getMetrics')).metrics.find((m) => m.name === 'TaskDuration').value;
  const [cpu0, task0, wall0, sim0] = [
    treeSeconds(pid),
    await task(),
    Date.now(),
    await page.evaluate(() => window.popchan.state().now),
  ];
  await sleep(seconds * 1000);
  const [cpu1, task1, wall1, sim1] = [
    treeSeconds(pid),
    await task(),
    Date.now(),
    await page.evaluate(() => window.popchan.state().now),
  ];
  const wall = (wall1 - wall0) / 1000;
  const audio = await page.evaluate(() => window.popchan.music().audio);
  const pace = sim1 > sim0 ? `, clock pace ${((sim1 - sim0) / 1000 / wall).toFixed(4)}` : '';
  console.log(
    `${what.padEnd(36)} ${((100 * (cpu1 - cpu0)) / wall).toFixed(2).padStart(6)} % of a core over ${wall.toFixed(1)} s` +
      ` (all of the browser's processes; the page's main thread ${((100 * (task1 - task0)) / wall).toFixed(2)} %)` +
      `${pace}; audio context ${audio}`,
  );
}

(async () => {
  const server = await serve(process.argv[2]);
  const url = `http://127.0.0.1:${server.address().port}/?seed=1`;
  const browser = await puppeteer.launch({ executablePath: '/usr/bin/chromium', args: ['--no-sandbox'] });

  const paints = [];
  for (let i = 0; i < 5; ++i) {
    const page = await browser.newPage();
    const session = await page.createCDPSession();
    await session.send('Network.setCacheDisabled', { cacheDisabled: true });
    await page.goto(url);
    await page.waitForSelector('body[data-ready]');
    paints.push(
      await page.evaluate(
        () =>
          new Promise((resolve) =>
            new PerformanceObserver((list) => {
              const paint = list.getEntriesByName('first-contentful-paint')[0];
              if (paint) resolve(paint.startTime);
            }).observe({ type: 'paint', buffered: true }),
          ),
      ),
    );
    await page.close();
  }
  paints.sort((a, b) => a - b);
  console.log(`first paint (the window, set by the core): median ${paints[2].toFixed(0)} ms of 5 loads (cache off)`);

  const page = await browser.newPage();
  page.on('dialog', (d) => d.accept());
  await page.goto(url);
  await page.waitForSelector('body[data-ready]');
  await sleep(2000);
  await measure(browser, page, 'at rest before any click', 10);
  await page.click('[data-name="a1"]');
  await page.click('[data-name="a3"]'); // the music starts with the day
  await sleep(2000);
  await measure(browser, page, 'a shown day at ×1, music playing', 20);
  await page.click('[data-name="b"]');
  await page.click('[data-name="f1"]');
  await page.click('[data-name="f3"]'); // サウンド: なし
  await sleep(2000);
  await measure(browser, page, 'a shown day at ×1, no music', 20);
  await page.click('[data-name="a1"]');
  await page.click('[data-name="a4"]'); // Reset, and its box
  await page.waitForSelector('.box');
  await page.keyboard.press('Enter');
  await sleep(3000);
  await measure(browser, page, 'at rest after Reset, music played', 10);
  await browser.close();
  server.close();

  let own = 0;
  for (const f of fs.readdirSync(process.argv[2]).filter((f) => /\.(html|css|js|webmanifest|wasm)$/.test(f))) {
    if (/synthesizer|fluidsynth/.test(f)) continue;
    const size = fs.statSync(path.join(process.argv[2], f)).size;
    own += size;
    console.log(`  ${f.padEnd(22)} ${String(size).padStart(9)} bytes`);
  }
  console.log(
    `the page's own files: ${own} bytes; loaded beside them: ipagp.woff ` +
      `${fs.statSync(path.join(process.argv[2], 'ipagp.woff')).size} bytes and the pictures`,
  );
})();
