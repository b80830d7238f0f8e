// What the page's modules share: the WebAssembly module, the core's tables
// and last state, the window's parts and menu items, and the helpers that
// talk to the core.
export const app = {
  core: null, // the WebAssembly module
  face: null, // the core's tables: parts, menus, layouts, boxes
  state: null, // the core's last state
  parts: {}, // elements by part name
  menuBar: null, // the menu bar's element
  menuItems: {}, // menu items by name
  busy: false, // a handler is waiting for a box
  ended: false, // the program has ended (its exit item)
  boxesClosed: 0, // boxes closed so far: time stands still while one is open
};

export const json = (ptr) => JSON.parse(app.core.UTF8ToString(ptr));
export const call = (name, ret, types, args) => app.core.ccall(name, ret, types, args, { async: true });

// A caption with its access keys (an ampersand before each) as text with the
// keys underlined.
export function caption(element, text) {
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

// The desktop's look from the core: its colours and measures as the style
// sheet's custom properties, its check marks as texts.
export function applyLook(look) {
  const root = document.documentElement.style;
  for (const [name, value] of Object.entries(look.colours)) root.setProperty(`--${name}`, value);
  for (const [name, value] of Object.entries(look.measures)) root.setProperty(`--${name}`, `${value}px`);
  for (const [name, value] of Object.entries(look.marks)) root.setProperty(`--${name}-mark`, JSON.stringify(value));
}

// Points at 96 dots per inch, to whole pixels as the desktop's fonts are set.
export const fontPx = (points) => `${Math.round((points * 96) / 72)}px`;

// A window of the page (the premises dialog, a help window) scaled down, never
// up, so that the whole of it, its title bar first, is on the screen.
export function fitWindow(e) {
  e.style.zoom = '';
  const width = Math.min(window.innerWidth, screen.width);
  e.style.zoom = Math.min(1, (width - 4) / e.offsetWidth, (window.innerHeight - 4) / e.offsetHeight);
}
