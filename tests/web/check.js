// What the browser checks share: the tally of checks, the desktop's output
// read into blocks, and the table of the menu bar's captions.
'use strict';
const fs = require('fs');
const path = require('path');

const tally = { checks: 0, failures: 0, engine: '' };

function check(what, ok, detail = '') {
  tally.checks += 1;
  if (ok) {
    console.log(`ok: ${tally.engine}: ${what}`);
  } else {
    tally.failures += 1;
    console.log(`FAILED: ${tally.engine}: ${what} ${detail}`);
  }
}

const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

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

// Resolves to true once `promise` does, false if it fails or times out.
const settles = (promise) =>
  promise.then(
    () => true,
    () => false,
  );

// Alt with a menu's access key, then an item's key.
async function menuKeys(page, menu, item) {
  await page.keyboard.down('Alt');
  await page.keyboard.press(menu);
  await page.keyboard.up('Alt');
  await page.keyboard.press(item);
}

// Defines window.pngContext(png) in the page: a base64 PNG drawn on a canvas
// of its own, handed back as the canvas's 2d context. Defined again after
// each load.
async function withPng(page) {
  await page.evaluate(() => {
    window.pngContext = async (png) => {
      const image = new Image();
      image.src = `data:image/png;base64,${png}`;
      await image.decode();
      const c = document.createElement('canvas');
      c.width = image.naturalWidth;
      c.height = image.naturalHeight;
      const g = c.getContext('2d', { willReadFrequently: true });
      g.drawImage(image, 0, 0);
      return g;
    };
  });
}

async function ready(page, url) {
  await page.goto(url);
  await page.waitForSelector('body[data-ready]', { timeout: 60000 });
}

// Two values alike, objects whatever the order of their members (a WebDriver
// hands them back in its own order).
function same(a, b) {
  const plain = (v) =>
    v && typeof v === 'object' && !Array.isArray(v)
      ? Object.keys(v)
          .sort()
          .map((k) => [k, plain(v[k])])
      : v;
  return JSON.stringify(plain(a)) === JSON.stringify(plain(b));
}

module.exports = { tally, check, sleep, blocks, CAPTIONS, settles, menuKeys, ready, same, withPng };
