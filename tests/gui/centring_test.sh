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
display=:$((70 + $$ % 100))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $wm $xvfb 2>/dev/null; rm -rf "$runtime"' EXIT
sleep 1
DISPLAY=$display openbox >/dev/null 2>&1 &
wm=$!
sleep 1
DISPLAY=$display XDG_RUNTIME_DIR=$runtime QT_QPA_PLATFORM=xcb "$tests" --gtest_filter='Centring.*'
