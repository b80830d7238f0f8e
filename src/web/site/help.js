// The help menu's windows, built from the core's faces of them.
import { app, fitWindow, fontPx, json } from './app.js';

// The help menu's windows, each kept on top of the main window; OK, Esc
// (also inside the help document) or the title bar's close button closes one.
const helpWindows = {};
export function openHelpWindow(name) {
  if (helpWindows[name]) return;
  const face = json(app.core._web_help_windows())[name];
  const w = document.createElement('div');
  w.id = face.name || `window_${name}`;
  w.className = 'window';
  w.tabIndex = -1;
  const title = document.createElement('div');
  title.className = 'title';
  const caption = document.createElement('span');
  caption.textContent = face.caption;
  const closeButton = document.createElement('button');
  closeButton.className = 'close';
  closeButton.textContent = '×';
  closeButton.setAttribute('aria-label', 'close');
  title.append(caption, closeButton);
  const client = document.createElement('div');
  client.className = 'client';
  Object.assign(client.style, { position: 'relative', width: `${face.client[0]}px`, height: `${face.client[1]}px` });
  const close = () => {
    w.remove();
    delete helpWindows[name];
  };
  closeButton.addEventListener('click', close);
  const escape = (ev) => {
    if (ev.key !== 'Escape') return;
    ev.preventDefault();
    ev.stopPropagation();
    close();
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
  if (face.body !== undefined) {
    // about, how to use
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
  } else if (face.html !== undefined) {
    // the batch tool's introduction
    client.classList.add('sales');
    const text = document.createElement('div');
    text.innerHTML = face.html; // the program's own fixed text
    client.append(text, ok(face.ok));
  } else {
    // the help document
    client.classList.add('help');
    const frame = document.createElement('iframe');
    frame.src = face.file;
    frame.title = face.caption;
    // A key typed inside the document goes to its own frame.
    frame.addEventListener('load', () => frame.contentDocument.addEventListener('keydown', escape));
    client.append(frame);
  }
  w.append(title, client);
  w.addEventListener('keydown', escape);
  document.body.append(w);
  fitWindow(w);
  w.focus();
  helpWindows[name] = w;
}
