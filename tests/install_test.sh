#!/usr/bin/env bash
# `cmake --install` lays the program out as a desktop program.
set -u
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null || { echo "install failed"; exit 1; }
failures=0
for f in games/popchan games/popchan-batch share/applications/popchan.desktop \
    share/icons/hicolor/128x128/apps/popchan.png; do
    test -e "$prefix/$f" || { echo "missing $f"; failures=$((failures + 1)); }
done
# The program alone in its folder; its music and help in share/popchan.
lib=$(dirname "$(find "$prefix" -path '*/popchan/popchan' -type f | head -1)")
test "$(ls "$lib")" = popchan || { echo "beside the program: $(ls "$lib")"; failures=$((failures + 1)); }
for f in kaiten.mid reach.mid chusen.mid atari.mid teishi.mid hazure.mid zenkai.mid korinu.html; do
    test -e "$prefix/share/popchan/$f" || { echo "missing in share/popchan: $f"; failures=$((failures + 1)); }
done
grep -q '^Exec=popchan$' "$prefix/share/applications/popchan.desktop" || failures=$((failures + 1))
# The launcher finds the program through its own location.
target=$(sed -n 's/^exec "\$(dirname "\$(readlink -f "\$0")")\/\(.*\)" "\$@"$/\1/p' "$prefix/games/popchan")
test -x "$prefix/games/$target" || { echo "launcher points nowhere: $target"; failures=$((failures + 1)); }
echo "$((15 - failures)) passed, $failures failed"
test "$failures" -eq 0
