#!/usr/bin/env bash
# The Debian packages, popchan (the desktop program) and popchan-batch (the
# command-line tool alone), made by debian/'s own debhelper sequence from the
# programs of this build tree, and the source package: passed by
# desktop-file-validate, appstreamcli and lintian (errors and warnings fail,
# but those its overrides explain), unpacked into one temporary root, and
# their programs run from there. The packages made twice, in two folders and
# from files of two times, are the same to the byte. (`make package` builds
# them from a clean tree with dpkg-buildpackage; `make test-reproducible`
# does so twice and compares.)
#   package_test.sh BUILD_DIR POPCHAN_BATCH SOURCE_DIR RCC
set -u
build=$(realpath "$1") batch=$2 source=$(realpath "$3") rcc=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0 checks=0
check() { # check WHAT COMMAND...: one check, named when it fails
    local what=$1
    shift
    checks=$((checks + 1))
    "$@" || { echo "FAILED: $what"; failures=$((failures + 1)); }
}

# debian/ as it is, but for the build: its rules build from the source, here
# the binary steps take this build tree's installation instead. TIME, when
# given, is the time of every installed file.
package() { # package FOLDER [TIME]: the .debs in FOLDER
    local tree=$1/popchan touch=
    test -n "${2:-}" && touch="find debian/tmp -exec touch -h -d @$2 {} +"
    mkdir -p "$tree" && cp -r "$source/debian" "$tree/" || return 1
    cat >"$tree/debian/rules" <<END
#!/usr/bin/make -f
%:
	dh \$@ --buildsystem=none
override_dh_auto_install:
	DESTDIR=\$(CURDIR)/debian/tmp cmake --install $build --prefix /usr >/dev/null
	$touch
END
    # This tree's programs carry no debugging information to make -dbgsym
    # packages of (the packages' own build has it).
    (cd "$tree" && DEB_BUILD_OPTIONS=noautodbgsym debian/rules binary) >"$1/log" 2>&1 ||
        { cat "$1/log"; return 1; }
}
package "$work/out" || { echo "the packages could not be made"; exit 1; }
"$source/tools/debian_package.sh" --source "$work/source" >"$work/source.log" 2>&1 ||
    { cat "$work/source.log"; echo "the source package could not be made"; exit 1; }
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

# The same packages again, in another folder, from files of another time.
package "$work/again/elsewhere" "$(($(date +%s) + 3600))" ||
    { echo "the packages could not be made again"; exit 1; }
for d in "$work"/out/*.deb; do
    check "$(basename "$d") made twice is the same to the byte" \
        cmp "$d" "$work/again/elsewhere/$(basename "$d")"
done
# The program's pictures, built into it by Qt's rcc, carry the time of the
# changelog's entry, as dpkg-buildpackage sets it, not that of their checkout.
epoch=$(dpkg-parsechangelog -l "$source/debian/changelog" -S Timestamp)
mkdir "$work/rcc"
cp "$source"/assets/pictures/*.png "$work/rcc/"
(cd "$work/rcc" && printf '<RCC><qresource prefix="/pictures">%s</qresource></RCC>\n' \
    "$(printf '<file>%s</file>' *.png)" >pictures.qrc)
for when in 1000000000 1500000000; do
    find "$work/rcc" -name '*.png' -exec touch -d "@$when" {} +
    (cd "$work/rcc" && "$rcc" pictures.qrc -o "plain.$when.cpp" &&
        SOURCE_DATE_EPOCH=$epoch "$rcc" pictures.qrc -o "dated.$when.cpp")
done
check "rcc writes the checkout times without SOURCE_DATE_EPOCH" \
    test -n "$(cmp "$work/rcc/plain.1000000000.cpp" "$work/rcc/plain.1500000000.cpp")"
check "rcc with the changelog's SOURCE_DATE_EPOCH writes the same for any checkout time" \
    cmp "$work/rcc/dated.1000000000.cpp" "$work/rcc/dated.1500000000.cpp"

# The tools that judge a package and its desktop files.
check "desktop-file-validate" desktop-file-validate "$root/usr/share/applications/popchan.desktop"
metainfo=$(ls "$root"/usr/share/metainfo/*.metainfo.xml)
check "appstreamcli validate" appstreamcli validate --no-net "$metainfo"
lintian --pedantic --display-info --fail-on error,warning "$work"/source/*.dsc "$work"/out/*.deb \
    >"$work/lintian.log" 2>&1
status=$?
echo "lintian:"
sed 's/^/  /' "$work/lintian.log"
check "lintian without errors or warnings (status $status)" test "$status" -eq 0
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
# The top entry of the Debian changelog is this very version, and the version
# and date of the metainfo's release.
for package in popchan popchan-batch; do
    top=$(zcat "$root/usr/share/doc/$package/changelog.gz" | sed -n '1s/^popchan (\([^)]*\)).*/\1/p')
    check "$package: changelog's version $top is the package's $(field Version)" test "$top" = "$(field Version)"
    check "$package: machine-readable copyright" \
        grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' \
        "$root/usr/share/doc/$package/copyright"
done
release=$(grep -o '<release version="[^"]*" date="[^"]*"' "$metainfo" | head -1)
day=$(date -u -d "@$epoch" +%F)
check "the metainfo's latest release is the changelog's ($release)" \
    test "$release" = "<release version=\"$(field Version)\" date=\"$day\""
# Each package's metainfo provides what that package ships.
for package in popchan popchan-batch; do
    for info in $(grep '/usr/share/metainfo/' "$work/$package.files"); do
        for binary in $(sed -n 's|.*<binary>\(.*\)</binary>.*|\1|p' "$root/$info"); do
            check "$package: its metainfo provides $binary, which it ships" \
                grep -qE "^\./usr/(games|bin)/$binary\$" "$work/$package.files"
        done
    done
done
# Where the package puts the music and the help is where popchan(6) and the
# changelog say they are; and every file or folder of the program they name
# is one it ships.
LANG=C.UTF-8 MANWIDTH=200 man -l "$root/usr/share/man/man6/popchan.6.gz" 2>/dev/null |
    sed -n '/^FILES$/,/^[A-Z]/p' >"$work/popchan.FILES"
zcat "$root/usr/share/doc/popchan/changelog.gz" | sed '/^ -- /q' >"$work/changelog.top"
for kind in 'music:\.mid$' 'help:korinu\.html$'; do
    folders=$(grep -E "${kind#*:}" "$work/popchan.files" | sed 's|^\.||; s|/[^/]*$|/|' | sort -u)
    check "popchan ships its ${kind%%:*}" test -n "$folders"
    for folder in $folders; do
        for text in popchan.FILES changelog.top; do
            check "$text names $folder, where the ${kind%%:*} is" \
                grep -qE "(^|[ (])${folder%/}/?([ ,.;)]|$)" "$work/$text"
        done
    done
done
for text in popchan.FILES changelog.top; do
    for named in $(grep -oE '/usr/(games|lib|share)/popchan[^ ,;)]*' "$work/$text" | sed 's/\.$//' | sort -u); do
        check "$text names $named, which popchan ships" \
            grep -qE "^\.${named%/}(/|\$)" "$work/popchan.files"
    done
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

# Every example of an option that popchan-batch(6) gives works as shown, also
# where the terminal cannot draw Japanese (LANG=C): the packaged program runs
# it in a folder of its own, with 20 days. An option that writes the rows of
# a sweep gets its sweep.
LANG=C LC_ALL=C MANWIDTH=1000 man -l "$root/usr/share/man/man6/popchan-batch.6.gz" \
    >"$work/popchan-batch.wide.txt" 2>/dev/null
grep -o 'e\.g\. [^;]*' "$work/popchan-batch.wide.txt" | sed 's/^e\.g\. //; s/, --/\n--/g' >"$work/forms"
check "popchan-batch(6) gives examples of its options" test "$(wc -l <"$work/forms")" -ge 15
mkdir "$work/forms.d"
while IFS= read -r form; do
    run=$(sed -E 's/--days [0-9]+/--days 20/; s/ > .*//' <<<"$form")
    case $run in *--days* | *--exact*) ;; *) run="$run --days 20" ;; esac
    case $run in *--csv*) run="$run --sweep spin-rate=20,30" ;; esac
    (cd "$work/forms.d" && eval "\"\$root/usr/games/popchan-batch\" $run") >/dev/null 2>"$work/form.err"
    status=$?
    check "LANG=C popchan-batch(6): '$form' works (status $status: $(head -c 200 "$work/form.err"))" \
        test "$status" -eq 0
done <"$work/forms"

# The cluster examples as root runs them, whose PATH lacks /usr/games (the
# packaged program stands there in the unpacked root), with fewer days: the
# shards merged are the whole run.
sed -n '/^EXAMPLES$/,/^SEE ALSO$/p' "$work/popchan-batch.C.txt" | sed 's/^ *//' |
    awk '/\\$/ { sub(/\\$/, ""); line = line $0; next } { print line $0; line = "" }' |
    grep '/usr/games/popchan-batch' | sed "s|/usr/games/|$root/usr/games/|g" >"$work/cluster"
as_root() { # in FOLDER, COMMAND: with root's PATH and nothing else
    (cd "$1" && env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin HOME="$work" \
        SLURM_ARRAY_TASK_ID="${task:-}" sh -c "$2") >/dev/null 2>&1
}
parallel_line=$(grep '^parallel ' "$work/cluster")
slurm_line=$(grep 'SLURM_ARRAY_TASK_ID' "$work/cluster")
merge_line=$(grep ' merge part\*\.json$' "$work/cluster")
check "popchan-batch(6) has its cluster examples" test -n "$parallel_line" -a -n "$slurm_line" -a -n "$merge_line"
"$batch" --days 800 --seed 7 >"$work/whole800"
"$batch" --days 1000 --seed 7 >"$work/whole1000"
if [ -n "$parallel_line" ] && [ -n "$merge_line" ] && command -v parallel >/dev/null; then
    mkdir "$work/parallel"
    as_root "$work/parallel" "$(sed 's/--days 1000000 /--days 800 /; s/^parallel /parallel -j2 /' <<<"$parallel_line")"
    as_root "$work/parallel" "$merge_line > merged"
    check "the GNU parallel example as root: the merged shards are the whole run" \
        cmp -s "$work/parallel/merged" "$work/whole800"
fi
if [ -n "$slurm_line" ] && [ -n "$merge_line" ]; then
    mkdir "$work/array"
    for task in $(seq 100); do
        as_root "$work/array" "$(sed 's/--days 10000000 /--days 1000 /' <<<"$slurm_line")"
    done
    task=
    as_root "$work/array" "$merge_line > merged"
    check "the job-array example as root: the merged shards are the whole run" \
        cmp -s "$work/array/merged" "$work/whole1000"
fi

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
