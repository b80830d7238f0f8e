#!/bin/sh
# The browser test against broken pages: each fault planted in a copy of the
# built page must make web_test.js fail, in the engine named and with the
# group of checks named. Not part of make test (a browser run each); run it
# after changing the test or the page.
#   planted.sh SITE_DIR SAME_DAY
site=$1 same_day=$2
here=$(dirname "$0")
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
missed=0
# name@engine@checks@a line of the page's scripts or style (a fixed string)|what
# it becomes (nothing: the line is removed); several lines of one file apart by " ;; "
while IFS='@' read -r name engine checks line into; do
    rm -rf "$dir/site" && cp -r "$site" "$dir/site"
    file=$(cd "$site" && grep -lF -- "${line%% ;; *}" ./*.js ./*.css | head -1)
    [ -n "$file" ] || { echo "no such line for $name: $line"; missed=$((missed + 1)); continue; }
    LINE=$line INTO=$into python3 -c '
import os, sys
text = open(sys.argv[1]).read().split("\n")
# Several lines of one file: each pair of them apart by " ;; ".
lines, intos = os.environ["LINE"].split(" ;; "), os.environ["INTO"].split(" ;; ")
for line, into in zip(lines, intos + [""] * len(lines)):
    text = [(l.replace(line, into) if into else None) if line in l else l for l in text]
    text = [l for l in text if l is not None]
open(sys.argv[1], "w").write("\n".join(text))
' "$dir/site/$file"
    run="node $here/web_test.js $dir/site $same_day $engine"
    [ "$engine" = webkit ] && run="xvfb-run -a -s '-screen 0 1400x1000x24' $run"
    if POPCHAN_CHECKS=$checks sh -c "$run" >"$dir/log" 2>&1; then
        echo "MISSED: $name ($engine)"
        missed=$((missed + 1))
    else
        echo "caught: $name ($engine): $(grep -m2 FAILED "$dir/log" | cut -c1-140 | tr '\n' ' ')"
    fi
done <<'END'
no graph drawn@chromium@day@  drawSurface(1, 'picgraph_1');@
visibility ignored@chromium@day@  for (const [name, on] of Object.entries(app.state.visible)) app.parts[name].classList.toggle('hidden', !on);@
menus never disabled@chromium@day@  for (const [name, on] of Object.entries(app.state.enabled)) app.menuItems[name].classList.toggle('disabled', !on);@
menus never checked@chromium@day@  for (const [name, on] of Object.entries(app.state.checked)) app.menuItems[name].classList.toggle('checked', on);@
reach list never filled@chromium@day@    setList(app.parts.ListReach, app.state.reach.lines, app.state.reach.selected);@
the on-top check not following a click@chromium@day@  refresh(); // the menus' checks and states as the item left them@
a premises list that never opens@firefox@faults@  button.addEventListener('click', toggle);@
a premises field's font not fitted@chromium@faults@  for (const [combo, texts] of combos) fitCombo(combo, texts);@
a submenu coloured by its item@chromium@faults@  color: var(--text);@  color: inherit;
the speed marked ✓@chromium@faults@      e.className = m.radio ? 'item radio' : 'item';@      e.className = 'item';
two submenus open at once@chromium@faults@          for (const other of into.children) if (other !== e) other.classList.remove('open');@
Esc unheard inside the help document@chromium@faults@    frame.addEventListener('load', () => frame.contentDocument.addEventListener('keydown', escape));@
no close button on the help document@chromium@phone@  closeButton.addEventListener('click', close);@
a blank page after 終了@chromium@faults@  const ended = document.createElement('div');@  return;
the browser's line breaking in the box notice@webkit@day@    if (p.kind === 'label' && p.wrap) wrapLines(e, p.text, p.lineLengths);@    if (p.kind === 'label' && p.wrap) (e.style.whiteSpace = 'normal'), (e.textContent = p.text);
a dialog taller than the screen@chromium@phone@  e.style.zoom = Math.min(1, (width - 4) / e.offsetWidth, (window.innerHeight - 4) / e.offsetHeight);@  e.style.zoom = Math.min(1, (width - 4) / e.offsetWidth);
uneven pixels on a phone@chromium@phone@  const least = Math.max(1, Math.floor(dpr));@  const least = dpr;
a reload that does not ask@firefox@faults@  if (app.core && !app.ended && app.core._web_running()) ev.preventDefault();@
the display-only window wider than its client@chromium@faults@  win.style.width = `${flow ? room : w}px`;@
the window shown before the core set it@firefox@faults@body:not([data-shown]) #window {@body:not([data-shown]) #nothing {
every panel grey@chromium@look@.panel.machine {@.panel {
a menu bar 20 pixels high@chromium@look@  min-height: var(--menu-bar-height);@  min-height: 20px;
a hit list with a 2-pixel frame@chromium@look@  border: var(--list-frame-width) solid var(--list-frame);@  border: 2px solid var(--list-frame);
frames asked for at rest@chromium@day@  if (app.busy || !app.core._web_running()) { ;;   if (looping || !app.state || !app.core._web_running()) return;@  if (app.busy) { ;;   if (looping || !app.state) return;
the audio context never suspended@chromium@music@        if (mine === generation) rest();@
END
test "$missed" -eq 0
