// The web page in a real browser, the page served from the built site by a
// server of the test's own on a free port:
//   node web_test.js SITE_DIR SAME_DAY ENGINE
// ENGINE is chromium or firefox (Debian's chromium and firefox-esr, headless,
// driven by puppeteer-core) or webkit (WebKitGTK's MiniBrowser over
// WebDriver, under Xvfb). SAME_DAY is the native program that plays a seeded
// day on the desktop's core and draws the desktop's window, to compare with.
'use strict';
const puppeteer = require('puppeteer-core');
const serve = require('./serve');
const { tally, check, ready } = require('./check');
const day = require('./day');
const dialogs = require('./dialogs');
const faults = require('./faults');
const look = require('./look');
const phone = require('./phone');
const sound = require('./music_check');
const { launchWebKit } = require('./webdriver');

const [site, sameDay, engine = 'chromium'] = process.argv.slice(2);
tally.engine = engine;
// POPCHAN_CHECKS=day,look,faults,phone,music runs those groups only (all by default).
const only = process.env.POPCHAN_CHECKS ? process.env.POPCHAN_CHECKS.split(',') : null;
const group = (name) => !only || only.includes(name);
const SEED = 7;

async function launch() {
  if (engine === 'webkit') return launchWebKit();
  const browser = await puppeteer.launch(
    engine === 'firefox'
      ? { browser: 'firefox', executablePath: '/usr/bin/firefox-esr' }
      : { executablePath: '/usr/bin/chromium', args: ['--no-sandbox', '--disable-gpu', '--font-render-hinting=none'] },
  );
  browser.engine = engine;
  return browser;
}

// The page at rest asks for no frame: what it asks for, counted over three
// frames of the browser's own.
async function rests(page) {
  const asked = await page.evaluate(async () => {
    const before = window.framesAsked;
    for (let i = 0; i < 3; ++i) await new Promise((r) => window.realFrame(r));
    return window.framesAsked - before;
  });
  check('at rest the page asks for no frame', asked === 0, `${asked} asked`);
}

// A seeded hour at ×10 through the page's own frame loop, the browser's frame
// clock sped up ten times; the boxes and windows after it.
async function seededDay(browser, url) {
  const page = await browser.newPage();
  await page.setViewport({ width: 700, height: 480 });
  await page.evaluateOnNewDocument(() => {
    const frame = window.requestAnimationFrame.bind(window);
    window.realFrame = frame;
    window.framesAsked = 0;
    window.requestAnimationFrame = (callback) => {
      window.framesAsked += 1;
      return frame((t) => callback(t * 10));
    };
  });
  const said = [];
  page.on('console', (m) => {
    if (m.type() === 'error' || m.type() === 'warn' || m.type() === 'warning') said.push(`${m.type()}: ${m.text()}`);
  });
  page.on('pageerror', (e) => said.push(`page error: ${e.message}`));
  await ready(page, `${url}?seed=${SEED}`);
  check('the page loads with no console error or warning', said.length === 0, said.join('; '));
  await rests(page);
  await day.startUp(page, sameDay, SEED);
  await look.labelsInside(page, 'at start');
  await day.hourAtTen(page, sameDay, SEED);
  await look.labelsInside(page, 'after an hour');
  await day.dayEnd(page, sameDay, SEED);
  await rests(page);
  await dialogs.boxesAndWindows(page);
  check('no console error or warning after the day', said.length === 0, said.join('; '));
  await dialogs.goldenFrames(page);
  await page.close();
}

async function faultsOnce(browser, server, url) {
  const run = async (fn, ...args) => {
    const page = await browser.newPage();
    await page.setViewport({ width: 700, height: 480 });
    await fn(page, ...args);
    await page.close();
  };
  await run(async (page) => {
    await faults.premisesLists(page, url);
    await look.labelsInside(page, 'the premises dialog');
  });
  await run(faults.submenus, url);
  await run(faults.helpCloses, url);
  await run(faults.endsWithHistory, url);
  await run(faults.reloadAsks, url);
  await run(faults.displayOnly, url);
  await run(faults.nothingBeforeCore, server, url);
}

// WebKit over WebDriver: the load, the seeded day, the layout and the look.
async function webkit(browser, url) {
  const page = await browser.newPage();
  await page.setViewport({ width: 700, height: 480 });
  await ready(page, `${url}?seed=${SEED}`);
  await day.startUp(page, sameDay, SEED);
  await look.labelsInside(page, 'at start');
  await day.hourAtOnce(page, sameDay, SEED);
  await look.labelsInside(page, 'after an hour');
  await day.dayEnd(page, sameDay, SEED);
  await faults.displayOnly(page, url);
  await ready(page, `${url}?seed=${SEED}`);
  await look.looksLikeDesktop(page, sameDay, SEED);
  await page.close();
}

async function main() {
  const server = await serve(site);
  const url = `http://127.0.0.1:${server.address().port}/`;
  const browser = await launch();
  try {
    if (engine === 'webkit') {
      await webkit(browser, url);
    } else {
      if (group('day')) await seededDay(browser, url);
      if (group('look')) {
        const page = await browser.newPage();
        await page.setViewport({ width: 700, height: 480 });
        await ready(page, `${url}?seed=${SEED}`);
        await look.looksLikeDesktop(page, sameDay, SEED);
        await page.close();
      }
      if (group('faults')) await faultsOnce(browser, server, url);
      if (group('phone')) {
        await phone.phone(browser, url);
        await phone.sideways(browser, url);
        await phone.crisp(browser, url, { width: 900, height: 640, ratio: 1.5, mobile: false });
        await phone.crisp(browser, url, { width: 412, height: 915, ratio: 2.625, mobile: true });
      }
      if (group('music')) await sound.music(browser, url);
      if (group('music') && engine === 'chromium') await sound.offline(browser, server, url);
    }
  } finally {
    await browser.close();
    if (server.listening) server.close();
  }
  console.log(`${engine}: ${tally.checks - tally.failures} passed, ${tally.failures} failed`);
  process.exit(tally.failures === 0 ? 0 : 1);
}

main().catch((e) => {
  console.log(`FAILED: ${engine}: ${e.stack}`);
  process.exit(1);
});
