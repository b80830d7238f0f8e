// What the page's modules share: the WebAssembly module, the core's tables
// and last state, the window's parts and menu items, and the helpers that
// talk to the core.
export const app = {
  core: null, // the WebAssembly module
  face: null, // the core's tables: parts, menus, layouts, boxes
  state: null, // the core's last state
  parts: {}, // elements by part name
  menuItems: {}, // menu items by name
  busy: false, // a handler is waiting for a box
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

// Points at 96 dots per inch, to whole pixels as the desktop's fonts are set.
export const fontPx = (points) => `${Math.round((points * 96) / 72)}px`;
