#!/bin/sh
# Runs the centring tests of the window tests on a virtual display with a
# window manager, which gives the windows their frames. Skips (status 77)
# when Xvfb or openbox is missing.
# usage: centring_test.sh GUI_TESTS
tests=$1
command -v Xvfb >/dev/null && command -v openbox >/dev/null || {
    echo "Xvfb or openbox missing: skipped"
    exit 77
}
runtime=$(mktemp -d)
trap 'kill $wm $xvfb 2>/dev/null; rm -rf "$runtime"' EXIT
# Xvfb picks a free display itself and writes its number once it accepts
# clients; wait for that line rather than for a fixed time.
mkfifo "$runtime/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$runtime/display" >/dev/null 2>&1 &
xvfb=$!
read -r number <"$runtime/display" || {
    echo "Xvfb did not start"
    exit 1
}
display=:$number
# openbox runs its start-up command once it manages the screen; wait for
# that (a minute at most) rather than for a fixed time.
DISPLAY=$display openbox --startup "touch $runtime/managing" >/dev/null 2>&1 &
wm=$!
waited=0
until [ -e "$runtime/managing" ]; do
    [ $waited -lt 600 ] || {
        echo "openbox did not start"
        exit 1
    }
    sleep 0.1
    waited=$((waited + 1))
done
DISPLAY=$display XDG_RUNTIME_DIR=$runtime QT_QPA_PLATFORM=xcb "$tests" --gtest_filter='Centring.*'
