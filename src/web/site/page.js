// The page: builds the main window from the core's tables, passes the user's
// commands and the passing milliseconds to the core, and shows what it
// computed. ?seed=N plays the seeded day the desktop program plays with
// POPCHAN_SEED=N.
'use strict';


let core;            // the WebAssembly module
let face;            // the core's tables: parts, menus, layouts, boxes
let state = null;    // the core's last state
const parts = {};    // elements by part name
const shortcuts = {}; // menu items by their shortcuts
let busy = false;    // a handler is waiting for a box
let boxesClosed = 0; // boxes closed so far: time stands still while one is open

const json = (ptr) => JSON.parse(core.UTF8ToString(ptr));
const call = (name, ret, types, args) => core.ccall(name, ret, types, args, { async: true });

// A caption with its access keys (an ampersand before each) as text with the
// keys underlined.
function caption(element, text) {
  const keys = [];
  for (let i = 0; i < text.length; ++i) {
    if (text[i] === '&' && i + 1 < text.length) {
      const u = document.createElement('u');
      u.textContent = text[++i];
      element.append(u);
      keys.push(text[i].toLowerCase());
    } else {
      element.append(text[i]);
    }
  }
  return keys;
}

// Points at the desktop's 96 dots per inch.
// Points at 96 dots per inch, to whole pixels as the desktop's fonts are set.
const fontPx = (points) => `${Math.round((points * 96) / 72)}px`;

// As on the desktop, a label's font is narrowed (never widened) just enough
// that its text fits the room it is given.
function fitText(e) {
  const size = parseFloat(getComputedStyle(e).fontSize);
  const room = e.clientWidth;
  const need = e.scrollWidth;
  if (need > room && room > 0) e.style.fontSize = `${Math.floor((size * room * 10) / need) / 10}px`;
}

function buildParts(list) {
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
    if (p.grey) e.style.background = face.faceGrey;
    if (p.right) e.classList.add('right');
    if (p.wrap) e.classList.add('wrap');
    if (p.kind === 'label') e.textContent = p.text;
    if (p.font) e.style.fontSize = fontPx(p.font);
    Object.assign(e.style, { left: `${p.left}px`, top: `${p.top}px`, width: `${p.width}px`,
                             height: `${p.height}px` });
    (p.parent ? parts[p.parent] : client).append(e);
    parts[p.name] = e;
  }
}

// The menu bar: menus open on a click, or on Alt with an access key; inside
// an open menu an access key chooses, Esc closes.
const menuItems = {};
let openMenu = null;

function closeMenus() {
  document.querySelectorAll('.open').forEach((e) => e.classList.remove('open'));
  openMenu = null;
}

function buildMenus(list) {
  const bar = document.getElementById('menubar');
  const stack = [bar];
  for (const m of list) {
    const into = stack[stack.length - 1];
    if (m.kind === 'end') {
      stack.pop();
      continue;
    }
    if (m.kind === 'separator') {
      const s = document.createElement('div');
      s.className = 'separator';
      into.append(s);
      continue;
    }
    const e = document.createElement('div');
    e.dataset.name = m.name;
    const label = document.createElement('span');
    label.className = 'caption';
    e.keys = caption(label, m.caption);
    e.append(label);
    if (m.shortcut) {
      const s = document.createElement('span');
      s.textContent = m.shortcut;
      e.append(s);
      shortcuts[m.shortcut] = m.name;
    }
    menuItems[m.name] = e;
    into.append(e);
    if (m.kind === 'menu') {
      e.className = into === bar ? 'menu' : 'item sub';
      const d = document.createElement('div');
      d.className = 'dropdown';
      e.append(d);
      stack.push(d);
      e.addEventListener('click', (ev) => {
        ev.stopPropagation();
        if (e.classList.contains('disabled')) return;
        if (into === bar) {
          const was = e.classList.contains('open');
          closeMenus();
          if (!was) {
            e.classList.add('open');
            openMenu = e;
          }
        } else {
          e.classList.toggle('open');
          openMenu = e;
        }
      });
      // With a mouse, an open menu follows the pointer along the bar (a tap
      // is a click alone).
      e.addEventListener('pointerenter', (ev) => {
        if (ev.pointerType === 'mouse' && into === bar && openMenu && openMenu.parentElement === bar && openMenu !== e) {
          closeMenus();
          e.classList.add('open');
          openMenu = e;
        }
      });
    } else {
      e.className = 'item';
      e.addEventListener('click', (ev) => {
        ev.stopPropagation();
        if (!e.classList.contains('disabled')) choose(m.name);
      });
    }
  }
  document.addEventListener('click', closeMenus);
}

let layoutIndex = 0;
function showLayout(index) {
  layoutIndex = index;
  fit();
}

// The window scaled by whole numbers where it fits, so the pixels stay sharp.
// Where it does not (a phone held upright), its panels flow one under the
// other at their own pixel size, those of the chosen layout only, and a panel
// wider than the screen is scaled down to its width.
function fit() {
  // (A phone's page grows wider than its screen when something overflows.)
  const innerWidth = Math.min(window.innerWidth, screen.width);
  const [w, h] = face.layouts[layoutIndex];
  const win = document.getElementById('window');
  const client = document.getElementById('client');
  const flow = innerWidth < w;
  client.classList.toggle('flow', flow);
  client.style.width = flow ? '' : `${w}px`;
  client.style.height = flow ? '' : `${h}px`;
  for (const e of client.children) {
    const inside = parseInt(e.style.left, 10) < w && parseInt(e.style.top, 10) < h;
    e.classList.toggle('outside', flow && !inside);
    const width = parseInt(e.style.width, 10);
    e.style.zoom = flow && width > innerWidth - 8 ? (innerWidth - 8) / width : '';
  }
  // Whole device pixels for each pixel of the window (at any devicePixelRatio),
  // and never smaller than its own size.
  const dpr = window.devicePixelRatio || 1;
  const device = flow ? 0 : Math.floor(Math.min(innerWidth / win.offsetWidth,
                                                innerHeight / win.offsetHeight) * dpr);
  const k = device >= dpr ? device / dpr : 1;
  win.style.transform = k !== 1 ? `scale(${k})` : '';
  // The display's corner on a device pixel, so that its pixels stay whole.
  win.style.translate = '';
  const corner = parts.PictureWaku.getBoundingClientRect();
  const shift = (x) => (Math.round(x * dpr) - x * dpr) / dpr;
  win.style.translate = `${shift(corner.left)}px ${shift(corner.top)}px`;
  if (zenteif) zenteif.style.zoom = Math.min(1, (innerWidth - 4) / (zenteifWidth + 4));
}

// A menu item: the core runs it and says what the page is to do. (A page
// cannot keep itself above other windows; the check mark shows the choice.)
async function choose(name) {
  closeMenus();
  if (busy) return;
  busy = true;
  const request = JSON.parse(core.UTF8ToString(await call('web_choose', 'number', ['string'], [name])));
  busy = false;
  refresh(); // the menus' checks and states as the item left them
  if (request.kind === 'layout') showLayout(request.index);
  if (request.kind === 'open' && request.window === 'premises') openPremises();
  else if (request.kind === 'open') openHelpWindow(request.window);
  if (request.kind === 'close') {
    document.getElementById('window').remove();
    window.close();
  }
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

const shownSurfaces = [-1, -1];
let shownRevision = -1, shownRireki = -1, shownReach = -1;

function drawSurface(which, name) {
  const revision = core._web_surface_revision(which);
  if (revision === shownSurfaces[which]) return;
  shownSurfaces[which] = revision;
  const canvas = parts[name];
  const ptr = core._web_surface(which);
  const bytes = core.HEAPU8.slice(ptr, ptr + canvas.width * canvas.height * 4);
  canvas.getContext('2d').putImageData(
    new ImageData(new Uint8ClampedArray(bytes.buffer), canvas.width, canvas.height), 0, 0);
}

// Copies the core's state onto the page where it changed.
function refresh() {
  drawSurface(0, 'PictureWaku');
  drawSurface(1, 'picgraph_1');
  const revision = core._web_revision();
  if (revision === shownRevision) return;
  shownRevision = revision;
  state = json(core._web_state());
  for (const [name, text] of Object.entries(state.labels))
    if (parts[name].textContent !== text) parts[name].textContent = text;
  for (const [name, on] of Object.entries(state.visible)) parts[name].classList.toggle('hidden', !on);
  for (const [name, on] of Object.entries(state.enabled))
    menuItems[name].classList.toggle('disabled', !on);
  for (const [name, on] of Object.entries(state.checked)) menuItems[name].classList.toggle('checked', on);
  if (state.rireki.length !== shownRireki) {
    shownRireki = state.rireki.length;
    setList(parts.rireki, state.rireki, -1);
    parts.rireki.scrollTop = parts.rireki.scrollHeight; // the newest jackpot in view
  }
  if (state.reach.redraws !== shownReach) {
    shownReach = state.reach.redraws;
    setList(parts.ListReach, state.reach.lines, state.reach.selected);
    const line = parts.ListReach.children[state.reach.scroll_to];
    if (line) parts.ListReach.scrollTop = line.offsetTop - parts.ListReach.clientHeight + line.offsetHeight;
  }
}

// A modal box; resolves to 1 for Yes (or OK), 0 for No. Enter takes the
// default button (No in a question), Esc answers No.
function box(text, title, icon, yesNo) {
  return new Promise((resolve) => {
    closeMenus();
    const boxes = document.getElementById('boxes');
    const b = document.createElement('div');
    b.className = 'box';
    b.setAttribute('role', 'dialog');
    b.setAttribute('aria-modal', 'true');
    const t = document.createElement('div');
    t.className = 'title';
    t.textContent = title;
    const body = document.createElement('div');
    body.className = 'text';
    body.textContent = text;
    // The box's icon, by the core's name for it, drawn by the style sheet.
    const row = document.createElement('div');
    row.className = 'body';
    if (face.icons[icon] !== 'none') {
      const mark = document.createElement('div');
      mark.className = `icon ${face.icons[icon]}`;
      mark.setAttribute('aria-hidden', 'true');
      row.append(mark);
    }
    row.append(body);
    const buttons = document.createElement('div');
    buttons.className = 'buttons';
    const before = document.activeElement;
    const answer = (value) => {
      document.removeEventListener('keydown', keys, true);
      b.remove();
      if (before && before.isConnected) before.focus();
      ++boxesClosed;
      resolve(value);
    };
    // The buttons with the core's captions; a button's access key answers.
    const access = {};
    const button = (text, value) => {
      const e = document.createElement('button');
      for (const key of caption(e, text)) access[key] = value;
      e.addEventListener('click', () => answer(value));
      buttons.append(e);
      return e;
    };
    let byDefault;
    if (yesNo) {
      button(face.box.yes, 1);
      byDefault = button(face.box.no, 0);
    } else {
      byDefault = button(face.box.ok, 1);
    }
    const keys = (ev) => {
      ev.stopPropagation();
      const key = ev.key.toLowerCase();
      if (ev.key === 'Escape') answer(yesNo ? 0 : 1);
      else if (ev.key === 'Enter') (buttons.contains(document.activeElement) ? document.activeElement : byDefault).click();
      else if (key in access) answer(access[key]);
      else return;
      ev.preventDefault();
    };
    document.addEventListener('keydown', keys, true);
    b.append(t, row, buttons);
    boxes.append(b);
    byDefault.focus();
  });
}

// Keys: Alt with a menu's access key opens it; in an open menu an item's key
// chooses it; Esc closes; an item's shortcut ("Ctrl+1") chooses it.
document.addEventListener('keydown', (ev) => {
  const key = ev.key.toLowerCase();
  const shortcut = ev.ctrlKey ? shortcuts[`Ctrl+${ev.key.toUpperCase()}`] : undefined;
  if (shortcut) {
    ev.preventDefault();
    choose(shortcut);
    return;
  }
  if (ev.key === 'Escape') {
    closeMenus();
    return;
  }
  const bar = document.getElementById('menubar');
  if (ev.altKey && !openMenu) {
    for (const m of bar.children) {
      if (m.keys.includes(key)) {
        ev.preventDefault();
        closeMenus();
        m.classList.add('open');
        openMenu = m;
        return;
      }
    }
  } else if (openMenu) {
    const dropdown = openMenu.querySelector(':scope > .dropdown');
    for (const item of dropdown.children) {
      if (item.keys && item.keys.includes(key) && !item.classList.contains('disabled')) {
        ev.preventDefault();
        item.click();
        return;
      }
    }
  }
});

// The clock: the core's pacer turns the real milliseconds into the model's.
async function frame(now) {
  requestAnimationFrame(frame);
  if (busy || !state) return;
  busy = true;
  const advanced = await call('web_frame', 'number', ['number', 'number'], [now, boxesClosed]);
  busy = false;
  if (advanced) refresh();
  if (advanced && window.popchan.onFrame) window.popchan.onFrame(); // a test looks on
}

async function loadPictures() {
  const files = json(core._web_picture_files());
  for (let i = 0; i < files.length; ++i) {
    const f = files[i];
    let taken = 0;
    try {
      const image = new Image();
      image.src = `pictures/${f.name}.png`;
      await image.decode();
      if (image.naturalWidth === f.width && image.naturalHeight === f.height) {
        const c = document.createElement('canvas');
        c.width = f.width;
        c.height = f.height;
        const g = c.getContext('2d', { willReadFrequently: true });
        g.drawImage(image, 0, 0);
        const ptr = core._web_picture_buffer(i);
        core.HEAPU8.set(g.getImageData(0, 0, f.width, f.height).data, ptr);
        taken = 1;
      }
    } catch (e) {
      taken = 0;
    }
    core._web_picture_take(i, taken);
  }
}

// The premises dialog: a window of its own over the main window, kept on
// top; the day goes on while it is open. Enter is OK, Esc closes it and
// commits nothing.
let zenteif = null;
let zenteifWidth = 0;
function openPremises() {
  if (zenteif) return;
  const face = json(core._web_premises_face());
  [zenteifWidth] = face.client;
  const place = (e, [w, h, x, y]) => Object.assign(e.style, {
    width: `${w}px`, height: h ? `${h}px` : '', left: `${x}px`, top: `${y}px` });
  zenteif = document.createElement('div');
  zenteif.id = 'zenteif';
  zenteif.className = 'window';
  zenteif.setAttribute('role', 'dialog');
  zenteif.style.fontSize = fontPx(face.font);
  const title = document.createElement('div');
  title.className = 'title';
  title.textContent = face.title;
  const client = document.createElement('div');
  client.className = 'client';
  place(client, face.client);
  client.style.position = 'relative';
  const panel = document.createElement('div');
  panel.id = 'Picture1';
  panel.className = 'part panel border';
  place(panel, face.panel);
  face.rows.forEach((row, i) => {
    const label = document.createElement('label');
    label.id = `labelzentei_${i}`;
    label.className = 'part label';
    label.textContent = row.label;
    label.htmlFor = row.name;
    label.style.fontSize = fontPx(face.rowFont);
    place(label, row.labelPlace);
    const input = document.createElement('input');
    input.id = row.name;
    input.className = 'part list-input';
    input.value = row.text;
    input.setAttribute('list', `${row.name}_items`);
    input.style.fontSize = fontPx(face.rowFont);
    place(input, row.listPlace);
    const items = document.createElement('datalist');
    items.id = `${row.name}_items`;
    for (const text of row.items) {
      const o = document.createElement('option');
      o.value = text;
      items.append(o);
    }
    panel.append(label, input, items);
  });
  const image = document.createElement('img');
  image.src = `pictures/${face.pictureName}.png`;
  image.alt = '';
  image.className = 'part picture';
  place(image, face.picture);
  const ok = document.createElement('button');
  ok.id = 'okbutton';
  ok.className = 'part';
  ok.textContent = face.ok;
  ok.style.fontSize = fontPx(face.okFont);
  place(ok, face.okPlace);
  ok.addEventListener('click', premisesOk);
  panel.append(image, ok);
  client.append(panel);
  zenteif.append(title, client);
  zenteif.addEventListener('keydown', (ev) => {
    if (ev.key === 'Enter') premisesOk();
    else if (ev.key === 'Escape') closePremises();
    else return;
    ev.preventDefault();
    ev.stopPropagation();
  });
  fit();
  document.body.append(zenteif);
  zenteif.querySelectorAll('.label').forEach((label, i) => {
    // The last label reaches under its list; its text ends before it.
    const list = zenteif.querySelectorAll('input')[i];
    label.style.width = `${Math.min(label.offsetWidth, list.offsetLeft - label.offsetLeft)}px`;
    fitText(label);
  });
  zenteif.querySelector('input').focus();
}

function closePremises() {
  zenteif.remove();
  zenteif = null;
}

async function premisesOk() {
  if (busy) return;
  const texts = [...zenteif.querySelectorAll('input')].map((e) => e.value.replace(/\n/g, ''));
  busy = true;
  const accepted = await call('web_premises_ok', 'number', ['string'], [texts.join('\n')]);
  busy = false;
  refresh();
  if (accepted) closePremises();
}

function premiseTexts(texts) {
  zenteif.querySelectorAll('input').forEach((e, i) => {
    if (e.value !== texts[i]) e.value = texts[i];
  });
}

// The help menu's windows, each kept on top of the main window; OK or Esc
// closes one.
const helpWindows = {};
function openHelpWindow(name) {
  if (helpWindows[name]) return;
  const face = json(core._web_help_windows())[name];
  const w = document.createElement('div');
  w.id = face.name || `window_${name}`;
  w.className = 'window';
  w.tabIndex = -1;
  const title = document.createElement('div');
  title.className = 'title';
  title.textContent = face.caption;
  const client = document.createElement('div');
  client.className = 'client';
  Object.assign(client.style, { position: 'relative', width: `${face.client[0]}px`,
                                height: `${face.client[1]}px` });
  const close = () => {
    w.remove();
    delete helpWindows[name];
  };
  const ok = (caption, font) => {
    const b = document.createElement('button');
    b.id = 'okbutton';
    b.textContent = caption;
    if (font) b.style.fontSize = fontPx(font);
    b.addEventListener('click', close);
    return b;
  };
  const place = (e, [width, height, left, top]) => {
    e.classList.add('part');
    Object.assign(e.style, { width: `${width}px`, height: `${height}px`, left: `${left}px`, top: `${top}px` });
    return e;
  };
  if (face.body !== undefined) { // about, how to use
    const frame = place(document.createElement('div'), face.frame);
    frame.classList.add('panel', 'border');
    const text = place(document.createElement('textarea'), face.text);
    text.id = 'TextInformation';
    text.readOnly = true;
    text.value = face.body;
    text.style.fontSize = fontPx(face.textFont);
    const image = place(document.createElement('img'), face.image);
    image.src = `pictures/${face.imageName}.png`;
    image.alt = '';
    image.classList.add('picture');
    frame.append(text, image, place(ok(face.buttonCaption, face.buttonFont), face.button));
    client.append(frame);
  } else if (face.html !== undefined) { // the batch tool's introduction
    client.classList.add('sales');
    const text = document.createElement('div');
    text.innerHTML = face.html; // the program's own fixed text
    client.append(text, ok(face.ok));
  } else { // the help document
    client.classList.add('help');
    const frame = document.createElement('iframe');
    frame.src = face.file;
    frame.title = face.caption;
    client.append(frame);
  }
  w.append(title, client);
  w.addEventListener('keydown', (ev) => {
    if (ev.key !== 'Escape') return;
    ev.preventDefault();
    ev.stopPropagation();
    close();
  });
  document.body.append(w);
  w.style.zoom = Math.min(1, (Math.min(window.innerWidth, screen.width) - 4) / (face.client[0] + 4));
  w.focus();
  helpWindows[name] = w;
}

// For tests and screenshots: the core's state, and simulated time at once; a
// test may set onFrame to see the page after each frame that moved the clock.
window.popchan = {
  state: () => json(core._web_state()),
  music: () => music.state(),
  renderPiece: (path, seconds) => music.render(path, seconds),
  showGolden(presentation, spin, frame) {
    const shown = core._web_show_golden(presentation, spin, frame);
    refresh();
    return shown;
  },
  async advance(ms) {
    busy = true;
    await call('web_advance', null, ['number'], [ms]);
    busy = false;
    refresh();
  },
};

async function main() {
  const seed = new URLSearchParams(location.search).get('seed');
  core = await createPopchan({ page: { box, refresh, premiseTexts, music } });
  music.setGain(core._web_music_gain());
  core.ccall('web_start', null, ['string'], [seed]);
  face = json(core._web_face());
  buildParts(face.parts);
  buildMenus(face.menus);
  showLayout(0);
  await document.fonts.ready;
  document.querySelectorAll('.label:not(.wrap)').forEach(fitText);
  await loadPictures();
  refresh();
  addEventListener('resize', fit);
  requestAnimationFrame(frame);
  busy = true;
  await call('web_pictures_done', null, [], []);
  busy = false;
  document.body.dataset.ready = 'yes';
  if ('serviceWorker' in navigator) navigator.serviceWorker.register('sw.js');
}

main();
