#!/bin/sh
# The browser test against broken pages: each fault planted in a copy of the
# built page must make web_test.js fail. Not part of make test (a browser
# run each); run it after changing the test or the page.
#   planted.sh SITE_DIR SAME_DAY
site=$1 same_day=$2
here=$(dirname "$0")
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
missed=0
# name|line of the page's scripts (a fixed string) that the fault removes
while IFS='|' read -r name line; do
    rm -rf "$dir/site" && cp -r "$site" "$dir/site"
    file=$(cd "$site" && grep -lF -- "$line" ./*.js | head -1)
    [ -n "$file" ] || { echo "no such line for $name: $line"; missed=$((missed + 1)); continue; }
    grep -vF -- "$line" "$site/$file" >"$dir/site/$file"
    if node "$here/web_test.js" "$dir/site" "$same_day" >"$dir/log" 2>&1; then
        echo "MISSED: $name"
        missed=$((missed + 1))
    else
        echo "caught: $name: $(grep -m3 FAILED "$dir/log" | cut -c1-120 | tr '\n' ' ')"
    fi
done <<'END'
no graph drawn|  drawSurface(1, 'picgraph_1');
visibility ignored|  for (const [name, on] of Object.entries(app.state.visible)) app.parts[name].classList.toggle('hidden', !on);
menus never disabled|  for (const [name, on] of Object.entries(app.state.enabled)) app.menuItems[name].classList.toggle('disabled', !on);
menus never checked|  for (const [name, on] of Object.entries(app.state.checked)) app.menuItems[name].classList.toggle('checked', on);
reach list never filled|    setList(app.parts.ListReach, app.state.reach.lines, app.state.reach.selected);
the on-top check not following a click|  refresh(); // the menus' checks and states as the item left them
END
test "$missed" -eq 0
