#!/bin/sh
# Without a display the program says so in one line, in Japanese and then in
# English, and ends with status 1: with DISPLAY unset, empty, or naming a
# server that does not answer.
# usage: no_display_test.sh PROGRAM
program=$1
fail=0
n=90
while [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ]; do n=$((n + 1)); done
check() { # label, expected line, env assignments...
    label=$1 expected=$2
    shift 2
    err=$(env -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY -u DISPLAY "$@" "$program" 2>&1 >/dev/null)
    rc=$?
    if [ $rc -ne 1 ]; then
        echo "$label: status $rc, not 1"
        fail=1
    fi
    if [ "$err" != "$expected" ]; then
        echo "$label: said"
        echo "$err"
        echo "instead of"
        echo "$expected"
        fail=1
    fi
}
unset_line="popchan: 画面を開けません（DISPLAY が設定されていません）。 cannot open the display: DISPLAY is not set."
check "DISPLAY unset" "$unset_line"
check "DISPLAY empty" "$unset_line" DISPLAY=
check "no server at :$n" "popchan: 画面 :$n に接続できません。 cannot connect to the display :$n." DISPLAY=:$n
[ $fail -eq 0 ] && echo "one line and status 1 in each case"
exit $fail
