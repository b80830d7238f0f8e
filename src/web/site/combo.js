// A combo box as the desktop has it: a text field that takes any typing, and
// beside it a button that opens the whole list, whatever is typed; an item
// clicked is taken. The font is narrowed, as on the desktop, until the
// widest of the texts fits the field.
export function comboBox(id, text, items) {
  const combo = document.createElement('div');
  combo.className = 'part combo';
  const input = document.createElement('input');
  input.id = id;
  input.value = text;
  input.autocomplete = 'off';
  input.spellcheck = false;
  const button = document.createElement('button');
  button.type = 'button';
  button.tabIndex = -1;
  button.setAttribute('aria-label', 'list');
  const list = document.createElement('div');
  list.className = 'items';
  list.setAttribute('role', 'listbox');
  list.hidden = true;
  for (const item of items) {
    const e = document.createElement('div');
    e.setAttribute('role', 'option');
    e.textContent = item;
    e.addEventListener('click', () => {
      input.value = item;
      list.hidden = true;
      input.focus();
    });
    list.append(e);
  }
  const toggle = () => {
    list.hidden = !list.hidden;
    input.focus();
  };
  button.addEventListener('click', toggle);
  input.addEventListener('keydown', (ev) => {
    if (ev.key === 'ArrowDown' && ev.altKey) toggle();
    else if (ev.key === 'Escape' && !list.hidden) list.hidden = true;
    else return;
    ev.preventDefault();
    ev.stopPropagation();
  });
  input.addEventListener('blur', (ev) => {
    if (!combo.contains(ev.relatedTarget)) setTimeout(() => (list.hidden = true), 200);
  });
  combo.append(input, button, list);
  return combo;
}

// Narrows the field's font until every one of `texts` fits it.
export function fitCombo(combo, texts) {
  const input = combo.querySelector('input');
  const style = getComputedStyle(input);
  const g = document.createElement('canvas').getContext('2d');
  const size = parseFloat(style.fontSize);
  g.font = `${size}px ${style.fontFamily}`;
  const need = Math.max(...texts.map((t) => g.measureText(t).width));
  const room = input.clientWidth - parseFloat(style.paddingLeft) - parseFloat(style.paddingRight) - 1;
  if (need > room) {
    const fitted = `${Math.floor((size * room * 10) / need) / 10}px`;
    input.style.fontSize = fitted;
    combo.querySelector('.items').style.fontSize = fitted;
  }
}
