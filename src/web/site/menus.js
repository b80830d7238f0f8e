// The menu bar: built from the core's table of menus; a chosen item runs in
// the core, and the page carries out what it asks.
import { app, call, caption } from './app.js';
import { schedule } from './clock.js';
import { openHelpWindow } from './help.js';
import { openPremises } from './premises.js';
import { refresh, showLayout } from './window.js';

const shortcuts = {}; // menu items by their shortcuts
// The menu bar: menus open on a click, or on Alt with an access key; inside
// an open menu an access key chooses, Esc closes.
let openMenu = null;

export function closeMenus() {
  document.querySelectorAll('.open').forEach((e) => e.classList.remove('open'));
  openMenu = null;
}

export function buildMenus(list) {
  const bar = document.getElementById('menubar');
  app.menuBar = bar;
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
    app.menuItems[m.name] = e;
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
          // One submenu open at a time in a menu.
          for (const other of into.children) if (other !== e) other.classList.remove('open');
          e.classList.toggle('open');
          openMenu = e;
        }
      });
      // With a mouse, an open menu follows the pointer along the bar (a tap
      // is a click alone).
      e.addEventListener('pointerenter', (ev) => {
        if (
          ev.pointerType === 'mouse' &&
          into === bar &&
          openMenu &&
          openMenu.parentElement === bar &&
          openMenu !== e
        ) {
          closeMenus();
          e.classList.add('open');
          openMenu = e;
        }
      });
    } else {
      e.className = m.radio ? 'item radio' : 'item';
      e.addEventListener('click', (ev) => {
        ev.stopPropagation();
        if (!e.classList.contains('disabled')) choose(m.name);
      });
    }
  }
  document.addEventListener('click', closeMenus);
}

// A menu item: the core runs it and says what the page is to do. (A page
// cannot keep itself above other windows; the check mark shows the choice.)
export async function choose(name) {
  closeMenus();
  if (app.busy) return;
  app.busy = true;
  const request = JSON.parse(app.core.UTF8ToString(await call('web_choose', 'number', ['string'], [name])));
  app.busy = false;
  refresh(); // the menus' checks and states as the item left them
  if (request.kind === 'layout') showLayout(request.index);
  if (request.kind === 'open' && request.window === 'premises') openPremises();
  else if (request.kind === 'open') openHelpWindow(request.window);
  if (request.kind === 'close') end();
  schedule();
}

// The program ends: the tab closes where the browser lets the page close it;
// where it does not, the page says that the program has ended and offers to
// start it again.
function end() {
  app.ended = true;
  document.getElementById('window').remove();
  window.close();
  const ended = document.createElement('div');
  ended.id = 'ended';
  const text = document.createElement('p');
  text.textContent = app.face.ended.text;
  const again = document.createElement('button');
  caption(again, app.face.ended.restart);
  again.addEventListener('click', () => location.reload());
  ended.append(text, again);
  document.body.append(ended);
  again.focus();
}

// Keys: Alt with a menu's access key opens it; in an open menu an item's key
// chooses it; Esc closes; an item's shortcut ("Ctrl+1") chooses it.
document.addEventListener('keydown', (ev) => {
  if (app.ended) return;
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
