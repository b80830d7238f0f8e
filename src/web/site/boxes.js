// The message boxes the core asks for, modal over the current figures.
import { app, caption } from './app.js';
import { closeMenus } from './menus.js';

// A modal box; resolves to 1 for Yes (or OK), 0 for No. Enter takes the
// default button (No in a question), Esc answers No.
export function box(text, title, icon, yesNo) {
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
    if (app.face.icons[icon] !== 'none') {
      const mark = document.createElement('div');
      mark.className = `icon ${app.face.icons[icon]}`;
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
      ++app.boxesClosed;
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
      button(app.face.box.yes, 1);
      byDefault = button(app.face.box.no, 0);
    } else {
      byDefault = button(app.face.box.ok, 1);
    }
    const keys = (ev) => {
      ev.stopPropagation();
      const key = ev.key.toLowerCase();
      if (ev.key === 'Escape') answer(yesNo ? 0 : 1);
      else if (ev.key === 'Enter')
        (buttons.contains(document.activeElement) ? document.activeElement : byDefault).click();
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
