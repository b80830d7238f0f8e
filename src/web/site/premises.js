// The premises dialog, built from the core's face of it.
import { app, call, fitWindow, fontPx, json } from './app.js';
import { schedule } from './clock.js';
import { comboBox, fitCombo } from './combo.js';
import { fitText, refresh } from './window.js';

// The premises dialog: a window of its own over the main window, kept on
// top; the day goes on while it is open. Enter is OK, Esc closes it and
// commits nothing.
let zenteif = null;
export function openPremises() {
  if (zenteif) return;
  const face = json(app.core._web_premises_face());
  const place = (e, [w, h, x, y]) =>
    Object.assign(e.style, {
      width: `${w}px`,
      height: h ? `${h}px` : '',
      left: `${x}px`,
      top: `${y}px`,
    });
  zenteif = document.createElement('div');
  zenteif.id = 'zenteif';
  zenteif.className = 'window';
  zenteif.setAttribute('role', 'dialog');
  zenteif.style.fontSize = fontPx(face.font);
  const title = document.createElement('div');
  title.className = 'title';
  title.textContent = face.title;
  const combos = [];
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
    const combo = comboBox(row.name, row.text, row.items);
    combo.style.fontSize = fontPx(face.rowFont);
    place(combo, row.listPlace);
    combo.style.height = '';
    combos.push([combo, [row.text, ...row.items]]);
    panel.append(label, combo);
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
  document.body.append(zenteif);
  for (const [combo, texts] of combos) fitCombo(combo, texts);
  zenteif.querySelectorAll('.label').forEach((label, i) => {
    // The last label reaches under its list; its text ends before it.
    const list = zenteif.querySelectorAll('.combo')[i];
    label.style.width = `${Math.min(label.offsetWidth, list.offsetLeft - label.offsetLeft)}px`;
    fitText(label);
  });
  fitWindow(zenteif);
  zenteif.querySelector('input').focus();
}

function closePremises() {
  zenteif.remove();
  zenteif = null;
}

async function premisesOk() {
  if (app.busy) return;
  const texts = [...zenteif.querySelectorAll('input')].map((e) => e.value.replace(/\n/g, ''));
  app.busy = true;
  const accepted = await call('web_premises_ok', 'number', ['string'], [texts.join('\n')]);
  app.busy = false;
  refresh();
  schedule();
  if (accepted) closePremises();
}

export function premiseTexts(texts) {
  zenteif.querySelectorAll('input').forEach((e, i) => {
    if (e.value !== texts[i]) e.value = texts[i];
  });
}
