// The main window: its parts built from the core's table, its layouts and
// scale, and the core's state copied onto it.
import { app, fitWindow, fontPx, json } from './app.js';

// As on the desktop, a label's font is narrowed (never widened) just enough
// that its text fits the room it is given. The text's own width is measured,
// as an engine need not count what overflows a label in its scroll width.
export function fitText(e) {
  const size = parseFloat(getComputedStyle(e).fontSize);
  const room = e.clientWidth;
  const range = document.createRange();
  range.selectNodeContents(e);
  const scale = e.getBoundingClientRect().width / e.offsetWidth || 1;
  const need = () => range.getBoundingClientRect().width / scale;
  if (!(need() > room && room > 0)) return;
  // (An engine that rounds a text's width to whole pixels needs a step more.)
  for (let tenths = Math.floor((size * room * 10) / need()); tenths > 0; --tenths) {
    e.style.fontSize = `${tenths / 10}px`;
    if (need() <= room) break;
  }
}

// A wrapped label's lines where the desktop breaks them, whatever the
// browser's own line breaking would do.
function wrapLines(e, text, lengths) {
  const chars = [...text];
  let at = 0;
  for (const length of [...lengths, chars.length]) {
    const line = document.createElement('div');
    line.textContent = chars.slice(at, at + length).join('');
    e.append(line);
    at += length;
  }
}

export function buildParts(list) {
  const client = document.getElementById('client');
  for (const p of list) {
    let e;
    if (p.kind === 'surface') {
      e = document.createElement('canvas');
      e.width = p.width;
      e.height = p.height;
    } else if (p.kind === 'picture') {
      e = document.createElement('img');
      e.src = `pictures/${p.text}.png`;
      e.alt = '';
      e.className = 'picture';
    } else {
      e = document.createElement('div');
    }
    e.id = p.name;
    e.classList.add('part', p.kind);
    if (p.border) e.classList.add('border');
    if (p.grey) e.classList.add('machine');
    if (p.right) e.classList.add('right');
    if (p.wrap) e.classList.add('wrap');
    if (p.kind === 'label' && p.wrap) wrapLines(e, p.text, p.lineLengths);
    else if (p.kind === 'label') e.textContent = p.text;
    if (p.font) e.style.fontSize = fontPx(p.font);
    Object.assign(e.style, { left: `${p.left}px`, top: `${p.top}px`, width: `${p.width}px`, height: `${p.height}px` });
    (p.parent ? app.parts[p.parent] : client).append(e);
    app.parts[p.name] = e;
  }
}

let layoutIndex = 0;
export function showLayout(index) {
  layoutIndex = index;
  fit();
}

// Each pixel of the window is a whole number of device pixels, at any
// devicePixelRatio: the largest whole number with which the window fits, and
// at least the whole number next below the ratio (a window taller than the
// screen scrolls). Where it does not fit (a phone held upright), its panels flow
// one under the other, those of the chosen layout only, at the whole number
// of device pixels next below the ratio; a panel wider than the screen is
// scaled down to its width.
export function fit() {
  // (A phone's page grows wider than its screen when something overflows.)
  const innerWidth = Math.min(window.innerWidth, screen.width);
  const [w, h] = app.face.layouts[layoutIndex];
  const win = document.getElementById('window');
  const client = document.getElementById('client');
  const dpr = window.devicePixelRatio || 1;
  const flow = innerWidth < w;
  const least = Math.max(1, Math.floor(dpr));
  const perPixel = flow
    ? least
    : Math.max(least, Math.floor(Math.min(innerWidth / w, innerHeight / (h + app.menuBar.offsetHeight)) * dpr));
  const k = perPixel / dpr;
  const room = innerWidth / k; // the page's width in the window's pixels
  client.classList.toggle('flow', flow);
  client.style.width = flow ? '' : `${w}px`;
  client.style.height = flow ? '' : `${h}px`;
  win.style.width = `${flow ? room : w}px`;
  for (const e of client.children) {
    const inside = parseInt(e.style.left, 10) < w && parseInt(e.style.top, 10) < h;
    e.classList.toggle('outside', flow && !inside);
    const width = parseInt(e.style.width, 10);
    e.style.zoom = flow && width > room - 8 ? (room - 8) / width : '';
  }
  win.style.transform = k !== 1 ? `scale(${k})` : '';
  // The display's corner on a device pixel, so that its pixels stay whole.
  win.style.translate = '';
  const corner = app.parts.PictureWaku.getBoundingClientRect();
  const shift = (x) => (Math.round(x * dpr) - x * dpr) / dpr;
  win.style.translate = `${shift(corner.left)}px ${shift(corner.top)}px`;
  document.querySelectorAll('.window').forEach(fitWindow);
}

function setList(element, lines, selected) {
  while (element.children.length > lines.length) element.lastChild.remove();
  lines.forEach((line, i) => {
    let e = element.children[i];
    if (!e) {
      e = document.createElement('div');
      element.append(e);
    }
    if (e.textContent !== line) e.textContent = line;
    e.classList.toggle('selected', i === selected);
  });
}

// A list scrolls by whole lines, as the desktop's: from the top, just so far
// that line `index` shows whole, its first line at the top.
function scrollLineIntoView(list, index) {
  const line = list.children[index];
  if (!line) return;
  const rows = Math.floor(list.clientHeight / line.offsetHeight);
  list.scrollTop = Math.max(0, line.offsetTop - (rows - 1) * line.offsetHeight);
}

const shownSurfaces = [-1, -1];
const images = [];
let shownRevision = -1,
  shownRireki = -1,
  shownReach = -1;

function drawSurface(which, name) {
  const revision = app.core._web_surface_revision(which);
  if (revision === shownSurfaces[which]) return;
  shownSurfaces[which] = revision;
  const canvas = app.parts[name];
  // One picture a surface, filled afresh: no garbage at every frame.
  images[which] ??= new ImageData(canvas.width, canvas.height);
  const ptr = app.core._web_surface(which);
  images[which].data.set(app.core.HEAPU8.subarray(ptr, ptr + canvas.width * canvas.height * 4));
  canvas.getContext('2d').putImageData(images[which], 0, 0);
}

// Copies the core's state onto the page where it changed.
export function refresh() {
  drawSurface(0, 'PictureWaku');
  drawSurface(1, 'picgraph_1');
  const revision = app.core._web_revision();
  if (revision === shownRevision) return;
  shownRevision = revision;
  app.state = json(app.core._web_state());
  for (const [name, text] of Object.entries(app.state.labels))
    if (app.parts[name].textContent !== text) app.parts[name].textContent = text;
  for (const [name, on] of Object.entries(app.state.visible)) app.parts[name].classList.toggle('hidden', !on);
  for (const [name, on] of Object.entries(app.state.enabled)) app.menuItems[name].classList.toggle('disabled', !on);
  for (const [name, on] of Object.entries(app.state.checked)) app.menuItems[name].classList.toggle('checked', on);
  if (app.state.rireki.length !== shownRireki) {
    shownRireki = app.state.rireki.length;
    setList(app.parts.rireki, app.state.rireki, -1);
    scrollLineIntoView(app.parts.rireki, app.state.rireki.length - 1); // the newest jackpot
  }
  if (app.state.reach.redraws !== shownReach) {
    shownReach = app.state.reach.redraws;
    setList(app.parts.ListReach, app.state.reach.lines, app.state.reach.selected);
    scrollLineIntoView(app.parts.ListReach, app.state.reach.scroll_to);
  }
}
