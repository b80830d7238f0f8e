#!/usr/bin/env bash
# The Debian packages, popchan (the desktop program) and popchan-batch (the
# command-line tool alone): built by CPack from the build tree, passed by
# desktop-file-validate, appstreamcli and lintian (errors fail, warnings are
# listed), unpacked into one temporary root, and their programs run from there.
#   package_test.sh BUILD_DIR POPCHAN_BATCH
set -u
build=$1 batch=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0 checks=0
check() { # check WHAT COMMAND...: one check, named when it fails
    local what=$1
    shift
    checks=$((checks + 1))
    "$@" || { echo "FAILED: $what"; failures=$((failures + 1)); }
}

(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) ||
    { cat "$work/cpack.log"; echo "cpack failed"; exit 1; }
deb=$(ls "$work"/out/popchan_*.deb)
batch_deb=$(ls "$work"/out/popchan-batch_*.deb)
root=$work/root
for d in "$deb" "$batch_deb"; do
    dpkg -x "$d" "$root" || { echo "dpkg -x $d failed"; exit 1; }
done
field() { dpkg-deb -f "${2:-$deb}" "$1"; }
files() { dpkg-deb -c "$1" | awk '$6 !~ /\/$/ {print $6}' | sort; }
files "$deb" >"$work/popchan.files"
files "$batch_deb" >"$work/popchan-batch.files"

# The tools that judge a package and its desktop files.
check "desktop-file-validate" desktop-file-validate "$root/usr/share/applications/popchan.desktop"
metainfo=$(ls "$root"/usr/share/metainfo/*.metainfo.xml)
check "appstreamcli validate" appstreamcli validate --no-net "$metainfo"
lintian --display-info --fail-on error "$deb" "$batch_deb" >"$work/lintian.log" 2>&1
status=$?
echo "lintian:"
sed 's/^/  /' "$work/lintian.log"
check "lintian without errors (status $status)" test "$status" -eq 0
# Built as Debian builds: no hardening tag, even among lintian's notes.
check "lintian names no hardening" test -z "$(grep -E 'hardening-no-' "$work/lintian.log")"

# Both programs: relocations read-only and bound at start-up, no RUNPATH or
# RPATH (they link system libraries only), position independent.
for program in usr/games/popchan-batch usr/lib/popchan/popchan; do
    dynamic=$(readelf -d "$root/$program")
    check "$program has no RUNPATH or RPATH" test -z "$(grep -E '\((RUNPATH|RPATH)\)' <<<"$dynamic")"
    check "$program is bound now" grep -qE '\(FLAGS\).*BIND_NOW' <<<"$dynamic"
    check "$program is PIE" grep -qE '\(FLAGS_1\).* PIE' <<<"$dynamic"
    check "$program has read-only relocations" grep -q GNU_RELRO <<<"$(readelf -lW "$root/$program")"
done

# Each file in one package only, as dpkg requires.
shared=$(comm -12 "$work/popchan.files" "$work/popchan-batch.files")
check "no file in both packages: $shared" test -z "$shared"
# The program alone in its folder; its music and help in /usr/share/popchan.
check "/usr/lib/popchan holds the program alone" test "$(ls "$root/usr/lib/popchan")" = popchan
for f in kaiten.mid reach.mid chusen.mid atari.mid teishi.mid hazure.mid zenkai.mid korinu.html; do
    check "popchan has /usr/share/popchan/$f" grep -qx "\./usr/share/popchan/$f" "$work/popchan.files"
done

# The control fields: what each package depends on beyond its libraries.
check "section games" test "$(field Section)" = games
check "popchan-batch: section games" test "$(field Section "$batch_deb")" = games
check "popchan recommends popchan-batch" grep -qE '(^|, )popchan-batch($|,)' <<<"$(field Recommends)"
# popchan-batch: the C and C++ libraries and OpenSSL's libcrypto (the shards'
# digests) only (libm is libc6's, libgcc_s comes with libstdc++6), so a node
# without a desktop can play shards.
batch_depends=$(field Depends "$batch_deb" | tr ',' '\n' | sed 's/^ *\([^ ]*\).*/\1/' | sort | tr '\n' ' ')
check "popchan-batch depends on libc6 libgcc-s1 libssl3 libstdc++6 only (got $batch_depends)" \
    test "$batch_depends" = "libc6 libgcc-s1 libssl3 libstdc++6 "
libraries=$(ldd "$root/usr/games/popchan-batch" | awk '{print $1}' | sed 's|.*/||' | sort | tr '\n' ' ')
check "popchan-batch loads the C and C++ libraries and libcrypto only (got $libraries)" \
    test "$libraries" = "ld-linux-x86-64.so.2 libc.so.6 libcrypto.so.3 libgcc_s.so.1 libm.so.6 libstdc++.so.6 linux-vdso.so.1 "
depends=$(field Depends)
for p in libqt6widgets6 libfluidsynth3 fonts-ipafont-gothic fonts-ipafont-mincho \
    timgm6mb-soundfont; do
    check "depends on $p" grep -q "\(^\|, \|| \)$p\( \|,\|$\)" <<<"$depends"
done
# The top entry of the Debian changelog is this very version.
for package in popchan popchan-batch; do
    top=$(zcat "$root/usr/share/doc/$package/changelog.Debian.gz" | sed -n '1s/^popchan (\([^)]*\)).*/\1/p')
    check "$package: changelog's version $top is the package's $(field Version)" test "$top" = "$(field Version)"
    check "$package: machine-readable copyright" \
        grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' \
        "$root/usr/share/doc/$package/copyright"
done

# Icons in each size, each as big as its folder says.
for size in 16 32 48 64 128 256; do
    icon=$root/usr/share/icons/hicolor/${size}x${size}/apps/popchan.png
    check "icon ${size}x${size}" grep -q "PNG image data, $size x $size," <<<"$(file "$icon")"
done

# Manual pages: gzipped, and popchan-batch's names every option its --help names.
for page in popchan popchan-batch; do
    check "manual page $page(6) in its package" grep -qx "\./usr/share/man/man6/$page\.6\.gz" "$work/$page.files"
    check "manual page $page(6) is gzipped" gzip -t "$root/usr/share/man/man6/$page.6.gz"
done
# Readable in any locale: under LANG=C (ASCII) no word vanishes (groff names
# each character it cannot draw) and no default is left empty.
for page in popchan popchan-batch; do
    for lang in C C.UTF-8; do
        LANG=$lang LC_ALL=$lang MANWIDTH=80 man -l "$root/usr/share/man/man6/$page.6.gz" \
            >"$work/$page.$lang.txt" 2>"$work/$page.$lang.err"
        check "LANG=$lang man -l $page.6 draws every character: $(head -n 1 "$work/$page.$lang.err")" \
            test ! -s "$work/$page.$lang.err"
        check "LANG=$lang man -l $page.6 has no empty default" \
            test -z "$(grep -E 'default *[;,)]|\( *\)' "$work/$page.$lang.txt")"
    done
done
check "popchan-batch(6) under LANG=C says the default limiter" \
    grep -q 'default museigen (unlimited)' "$work/popchan-batch.C.txt"
synopsis=$(sed -n '/^SYNOPSIS$/,/^DESCRIPTION$/p' "$work/popchan-batch.C.txt")
check "popchan-batch(6) SYNOPSIS has the merge form" grep -qE '^ +popchan-batch merge FILE' <<<"$synopsis"
# merge FILE... is a tagged paragraph of its own: the tag alone on its line.
check "popchan-batch(6) tags merge FILE..." grep -qE '^ +merge FILE\.\.\.$' "$work/popchan-batch.C.txt"
zcat "$root/usr/share/man/man6/popchan-batch.6.gz" >"$work/batch.6"
options=$("$batch" --help | grep -o '^  --[a-z-]*')
check "popchan-batch --help names options" test -n "$options"
for option in $options; do
    check "popchan-batch(6) names $option" grep -qF "\\fB${option//-/\\-}\\fR" "$work/batch.6"
done

# The programs run from the unpacked root.
out=$("$root/usr/games/popchan-batch" --days 10 --seed 1 --threads 1 2>"$work/batch.err")
status=$?
check "popchan-batch --days 10 exits with 0 (got $status: $(cat "$work/batch.err"))" test "$status" -eq 0
check "popchan-batch says what it played" grep -qx 'ＣＲぽぷちゃん batch: 10 days, seed 1' <<<"$out"
check "popchan-batch gives the day's balance" grep -q '^1日の収支 (円)$' <<<"$out"
check "the packaged popchan-batch plays as the built one" \
    test "$out" = "$("$batch" --days 10 --seed 1 --threads 1 2>/dev/null)"
# On any amd64 processor: the packaged popchan-batch under an emulated CPU of
# the x86-64 baseline (no SSSE3, SSE4 or AVX) plays as the built one.
if [ "$(field Architecture)" = amd64 ]; then
    command=(--days 20 --seed 1 --threads 1)
    qemu-x86_64 -cpu qemu64 "$root/usr/games/popchan-batch" "${command[@]}" \
        >"$work/qemu.out" 2>"$work/qemu.err"
    status=$?
    check "popchan-batch on a baseline CPU exits with 0 (got $status: $(head -c 300 "$work/qemu.err"))" \
        test "$status" -eq 0
    "$batch" "${command[@]}" >"$work/built.out" 2>/dev/null
    check "popchan-batch on a baseline CPU plays as the built one" \
        cmp -s "$work/built.out" "$work/qemu.out"
fi
# The launcher finds the program in /usr/lib/popchan, which then says in one
# line that it has no display.
said=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/usr/games/popchan" 2>&1)
status=$?
check "packaged popchan without a display: status 1 (got $status: $said)" test "$status" -eq 1
check "packaged popchan without a display: one line" \
    grep -q '^popchan: .*DISPLAY is not set.$' <<<"$said"

echo "$((checks - failures)) passed, $failures failed"
test "$failures" -eq 0
