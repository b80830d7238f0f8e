// The page looks like the desktop: a picture of the page's window against
// the desktop's own window drawn offscreen (same_day --picture), at start
// and after a jackpot; and every label's text inside its part, no two texts
// over one another, in each engine.
'use strict';
const { execFileSync } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const { check, withPng } = require('./check');

// Share of the page's pixels that differ by more than a text's antialiasing
// from every desktop pixel around them. Text is drawn by another rasterizer
// in each engine, so a whole match is not asked for; a panel's colour, a
// frame, a bar or a list out of place is thousands of pixels.
const MOST_DIFFERING = 0.015;

function desktopPicture(sameDay, seed, at) {
  const file = path.join(fs.mkdtempSync(path.join(os.tmpdir(), 'popchan-')), 'desktop.png');
  execFileSync(sameDay, ['--picture', String(seed), String(at), file], {
    env: { ...process.env, QT_QPA_PLATFORM: 'offscreen', XDG_RUNTIME_DIR: path.dirname(file) },
    stdio: 'ignore',
  });
  return fs.readFileSync(file).toString('base64');
}

// Compares, in the page, the window in `shot` (a PNG of the viewport) with
// `desktop`; the share of differing pixels and where most of them lie.
async function compareInPage(shot, desktop) {
  {
    const pixels = async (png) => {
      const g = await window.pngContext(png);
      return g.getImageData(0, 0, g.canvas.width, g.canvas.height);
    };
    const [page, want] = [await pixels(shot), await pixels(desktop)];
    const r = document.getElementById('window').getBoundingClientRect();
    const [x0, y0] = [Math.round(r.left * devicePixelRatio), Math.round(r.top * devicePixelRatio)];
    const { width, height } = want;
    let differing = 0;
    const tiles = {};
    for (let y = 0; y < height; ++y) {
      for (let x = 0; x < width; ++x) {
        const i = 4 * ((y + y0) * page.width + x + x0);
        let near = false;
        for (let dy = -1; dy <= 1 && !near; ++dy) {
          for (let dx = -1; dx <= 1 && !near; ++dx) {
            const [u, v] = [x + dx, y + dy];
            if (u < 0 || v < 0 || u >= width || v >= height) continue;
            const j = 4 * (v * width + u);
            near =
              Math.abs(page.data[i] - want.data[j]) <= 32 &&
              Math.abs(page.data[i + 1] - want.data[j + 1]) <= 32 &&
              Math.abs(page.data[i + 2] - want.data[j + 2]) <= 32;
          }
        }
        if (!near) {
          differing += 1;
          const tile = `${x - (x % 32)},${y - (y % 32)}`;
          tiles[tile] = (tiles[tile] || 0) + 1;
        }
      }
    }
    // The frames exactly where the desktop draws them: across the middle of
    // each edge of every framed panel and list, its outer pixel and two inside,
    // pixel by pixel (no text lies there).
    const edges = [];
    const like = (x, y) => {
      const [i, j] = [4 * ((y + y0) * page.width + x + x0), 4 * (y * width + x)];
      return [0, 1, 2].every((c) => Math.abs(page.data[i + c] - want.data[j + c]) <= 32);
    };
    for (const e of document.querySelectorAll('#window .part.border, #window .list')) {
      if (!e.checkVisibility()) continue;
      const p = e.getBoundingClientRect();
      const [left, top] = [Math.round(p.left - r.left), Math.round(p.top - r.top)];
      const [right, bottom] = [left + Math.round(p.width) - 1, top + Math.round(p.height) - 1];
      const [midX, midY] = [Math.round((left + right) / 2), Math.round((top + bottom) / 2)];
      for (let d = 0; d <= 2; ++d) {
        // (A list's right edge holds the engine's own scroll bar, its top and
        // bottom its lines: of a list its left edge alone.)
        const list = e.classList.contains('list');
        const at = [
          [left + d, midY],
          ...(list
            ? []
            : [
                [right - d, midY],
                [midX, top + d],
                [midX, bottom - d],
              ]),
        ].filter(([x, y]) => x >= 0 && y >= 0 && x < width && y < height);
        const off = at.find(([x, y]) => !like(x, y));
        if (off) {
          edges.push(`${e.id} at ${off}`);
          break;
        }
      }
    }
    const worst = Object.entries(tiles)
      .sort((a, b) => b[1] - a[1])
      .slice(0, 6);
    return { share: differing / (width * height), edges, size: [page.width, page.height], worst };
  }
}

async function shotOf(page) {
  const shot = await page.screenshot({ encoding: 'base64' });
  return typeof shot === 'string' ? shot : Buffer.from(shot).toString('base64');
}

async function compareAt(page, sameDay, seed, at, what) {
  await withPng(page);
  const seen = await page.evaluate(compareInPage, await shotOf(page), desktopPicture(sameDay, seed, at));
  check(
    `${what}: the page's window looks as the desktop's, its frames where the desktop's are (${(100 * seen.share).toFixed(2)} % of pixels differ)`,
    seen.share <= MOST_DIFFERING && seen.edges.length === 0,
    JSON.stringify(seen),
  );
}

// At start, and some seconds after the first jackpot's dollar boxes, as
// same_day names that moment; a page at 700 × 480 at a ratio of 1.
async function looksLikeDesktop(page, sameDay, seed) {
  await compareAt(page, sameDay, seed, 'startup', 'at start');
  const moments = execFileSync(sameDay, ['--moments', String(seed), '3600000'], { encoding: 'utf8' })
    .split('\n')
    .filter((l) => l)
    .map(Number);
  for (const name of ['a1', 'a3', 'b', 'h1', 'h2_3']) await page.click(`[data-name="${name}"]`);
  // The browser's frames stop, so the page stands at that moment for its picture.
  await page.evaluate(async (at) => {
    const frame = window.requestAnimationFrame.bind(window);
    window.requestAnimationFrame = () => 0;
    await new Promise((r) => frame(() => frame(r))); // (a frame already asked for runs first)
    await window.popchan.advance(at - window.popchan.state().now);
  }, moments[2]);
  await compareAt(page, sameDay, seed, moments[2], 'after a jackpot');
}

// Every label shown (in the window and in the premises dialog when open):
// each character of its text inside the label, and no character over one of
// another label's.
async function labelsInside(page, what) {
  const out = await page.evaluate(() => {
    const shown = (e) => e.getClientRects().length > 0 && getComputedStyle(e).visibility !== 'hidden';
    const labels = [...document.querySelectorAll('#window .label, #zenteif .label')].filter(shown);
    const glyphs = new Map();
    const range = document.createRange();
    const faults = [];
    for (const label of labels) {
      const box = label.getBoundingClientRect();
      const rects = [];
      const walker = document.createTreeWalker(label, NodeFilter.SHOW_TEXT);
      for (let node = walker.nextNode(); node; node = walker.nextNode()) {
        for (let i = 0; i < node.length; ++i) {
          if (/\s/.test(node.data[i])) continue;
          range.setStart(node, i);
          range.setEnd(node, i + 1);
          const r = range.getBoundingClientRect();
          rects.push(r);
          if (
            r.left < box.left - 0.5 ||
            r.right > box.right + 0.5 ||
            r.top < box.top - 0.5 ||
            r.bottom > box.bottom + 0.5
          )
            faults.push(`${label.id} "${node.data[i]}" outside`);
        }
      }
      glyphs.set(label, rects);
    }
    const over = (a, b) => a.left + 1 < b.right && b.left + 1 < a.right && a.top + 1 < b.bottom && b.top + 1 < a.bottom;
    for (const [a, ra] of glyphs)
      for (const [b, rb] of glyphs)
        if (a !== b && a.id < b.id && ra.some((x) => rb.some((y) => over(x, y)))) faults.push(`${a.id} over ${b.id}`);
    return { count: labels.length, faults: [...new Set(faults)] };
  });
  check(
    `${what}: each of ${out.count} labels' text lies inside its part, none over another`,
    out.count > 0 && out.faults.length === 0,
    out.faults.slice(0, 12).join('; '),
  );
}

module.exports = { looksLikeDesktop, labelsInside };
