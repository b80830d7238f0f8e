// The web page's speed and size in headless Chromium: first paint from a
// local server, the CPU a shown day at ×1 takes and the clock's pace, and the
// size of each of the page's own files.
//   node bench/web.js SITE_DIR   (puppeteer-core from tests/web/node_modules)
'use strict';
const fs = require('fs');
const path = require('path');
const puppeteer = require(path.join(__dirname, '../tests/web/node_modules/puppeteer-core'));
const serve = require('../tests/web/serve');

const site = process.argv[2];
(async () => {
  const server = await serve(site);
  const url = `http://127.0.0.1:${server.address().port}/?seed=1`;
  const browser = await puppeteer.launch({ executablePath: '/usr/bin/chromium', args: ['--no-sandbox'] });

  const paints = [];
  for (let i = 0; i < 5; ++i) {
    const page = await browser.newPage();
    const session = await page.createCDPSession();
    await session.send('Network.setCacheDisabled', { cacheDisabled: true });
    await page.goto(url);
    await page.waitForSelector('body[data-ready]');
    paints.push(await page.evaluate(() => performance.getEntriesByName('first-contentful-paint')[0].startTime));
    await page.close();
  }
  paints.sort((a, b) => a - b);
  console.log(`first paint: median ${paints[2].toFixed(0)} ms of 5 loads (cache off)`);

  const page = await browser.newPage();
  await page.goto(url);
  await page.waitForSelector('body[data-ready]');
  await page.click('[data-name="a1"]');
  await page.click('[data-name="a3"]');
  await new Promise((r) => setTimeout(r, 2000));
  const session = await page.createCDPSession();
  await session.send('Performance.enable');
  const metric = async () => {
    const { metrics } = await session.send('Performance.getMetrics');
    const m = Object.fromEntries(metrics.map((x) => [x.name, x.value]));
    const s = await page.evaluate(() => window.popchan.state().now);
    return {
      cpu: m.TaskDuration,
      wall: m.Timestamp,
      sim: s,
      script: m.ScriptDuration,
      layout: m.LayoutDuration,
      style: m.RecalcStyleDuration,
    };
  };
  const a = await metric();
  await new Promise((r) => setTimeout(r, 20000));
  const b = await metric();
  const wall = b.wall - a.wall;
  console.log(
    `a shown day at ×1 over ${wall.toFixed(1)} s: ${((100 * (b.cpu - a.cpu)) / wall).toFixed(1)} % of a core` +
      ` (the page's main thread), clock pace ${((b.sim - a.sim) / 1000 / wall).toFixed(4)}`,
  );
  console.log(
    `  of which script ${((100 * (b.script - a.script)) / wall).toFixed(1)} %, layout ` +
      `${((100 * (b.layout - a.layout)) / wall).toFixed(1)} %, style ` +
      `${((100 * (b.style - a.style)) / wall).toFixed(1)} %`,
  );
  await browser.close();
  server.close();

  let own = 0;
  for (const f of [
    'index.html',
    'style.css',
    'page.js',
    'sw.js',
    'manifest.webmanifest',
    'popchan.js',
    'popchan.wasm',
  ]) {
    const size = fs.statSync(path.join(site, f)).size;
    own += size;
    console.log(`  ${f.padEnd(22)} ${String(size).padStart(9)} bytes`);
  }
  console.log(
    `the page's own files: ${own} bytes; loaded beside them: ipagp.woff ` +
      `${fs.statSync(path.join(site, 'ipagp.woff')).size} bytes and the pictures`,
  );
})();
