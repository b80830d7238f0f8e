#!/usr/bin/env bash
# A failed write is an error, never a success, and the output files are
# replaced all together or not at all: outputs to a full device or a file
# system that fills, an interrupted run, outputs that cannot be created or
# name one file twice, standard output closed or piped to a reader that stops
# early. A replaced file keeps its mode and owner; links, devices and
# standard output named as a file stay what they are.
# Filling a file system needs root (a small tmpfs) and the syncs are seen with
# strace: where either cannot be had, those cases are skipped with a message
# and the script ends with status 77 unless another case failed.
set -u
ulimit -c 0 # SIGQUIT and SIGXFSZ below would leave a core file
batch=$1
dir=$(mktemp -d)
small=$dir/small # a tmpfs of 1 MiB, when root may mount one
trap 'umount "$small" 2>/dev/null; rm -rf "$dir"' EXIT
failures=0
skipped=0
check() { # description, then a command that must succeed
    local what=$1
    shift
    if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}
skip() {
    echo "skipped: $1"
    skipped=1
}
said() { # the one message expected on stderr
    test "$(cat "$dir/err")" = "$1"
}
previous="the previous run"
fresh() { # a new folder with a file of the previous run: folder, file
    rm -rf "$1"
    mkdir -p "$1"
    echo "$previous" >"$1/$2"
}
unchanged() {
    test "$(cat "$1")" = "$previous"
}
holds() { # a folder, then every name it holds: no temporary file besides
    local folder=$1
    shift
    test "$(LC_ALL=C ls -A "$folder")" = "$(printf '%s\n' "$@" | LC_ALL=C sort)"
}
days_in() { # the day rows of a --per-day file (its header line aside)
    test "$(($(wc -l <"$1") - 1))" -eq "$2"
}
beyond() { # a run in the background has written more than so many bytes to a file
    local i
    for i in $(seq 1200); do
        test "$(stat -c %s "$1" 2>/dev/null || echo 0)" -gt "$2" && return 0
        sleep 0.1
    done
    return 1
}
full="popchan-batch: cannot write /dev/full: No space left on device"
stdout_full="popchan-batch: cannot write standard output: No space left on device"

if [ "$(id -u)" -ne 0 ]; then
    skip "a file system that fills: mounting a tmpfs needs root"
    small=
elif ! mkdir "$small" || ! mount -t tmpfs -o size=1m popchan-test "$small"; then
    skip "a file system that fills: cannot mount a tmpfs here"
    small=
fi

for option in --per-day --spins --plot; do
    "$batch" --days 5 --seed 1 "$option" /dev/full >"$dir/out" 2>"$dir/err"
    check "$option /dev/full exits 1" test $? -eq 1
    check "$option /dev/full says so" said "$full"
done
"$batch" --days 5 --seed 1 >/dev/full 2>"$dir/err"
check "summary to a full device exits 1" test $? -eq 1
check "summary to a full device says so" said "$stdout_full"
"$batch" --days 5 --seed 1 --json >/dev/full 2>"$dir/err"
check "--json to a full device exits 1" test $? -eq 1
check "--json to a full device says so" said "$stdout_full"
"$batch" --help >/dev/full 2>"$dir/err"
check "--help to a full device exits 1" test $? -eq 1

"$batch" --days 5 --seed 1 >&- 2>"$dir/err"
check "closed standard output exits 1" test $? -eq 1
check "closed standard output says so" \
    said "popchan-batch: cannot write standard output: Bad file descriptor"
"$batch" --days 300 --seed 1 --per-day "$dir/piped.csv" 2>"$dir/err" | head -c 1 >/dev/null
status=${PIPESTATUS[0]}
check "a reader that stops early ends the run quietly" test ! -s "$dir/err"
check "... with success or SIGPIPE" test "$status" -eq 0 -o "$status" -eq 141

# A file system that fills: the run stops at the first failed write, long
# before its last day (the days it played reach standard output as they go).
if [ -n "$small" ]; then
    echo "$previous" >"$small/spins.csv"
    "$batch" --days 20000 --seed 1 --threads 2 --per-day /dev/stdout --spins "$small/spins.csv" \
        2>"$dir/err" | wc -l >"$dir/lines"
    status=${PIPESTATUS[0]}
    played=$(($(cat "$dir/lines") - 1))
    check "a file system that fills: exits 1" test "$status" -eq 1
    check "... says so" said "popchan-batch: cannot write $small/spins.csv: No space left on device"
    check "... stops at once ($played of 20000 days played)" test "$played" -lt 2000
    check "... the previous file is unchanged" unchanged "$small/spins.csv"
    check "... no temporary file remains" holds "$small" spins.csv
    dd if=/dev/zero of="$small/filler" bs=64k 2>/dev/null # until it is full
fi

# One output that fails replaces no other: not when the plot, written last,
# or standard output cannot be written.
while IFS='|' read -r what plot stdout message; do
    test -z "$what" && continue
    fresh "$dir/all" days.csv
    "$batch" --days 3 --seed 1 --per-day "$dir/all/days.csv" ${plot:+--plot "$plot"} \
        >"$stdout" 2>"$dir/err"
    check "$what: exits 1" test $? -eq 1
    check "$what: says so" said "$message"
    check "$what: the days are not replaced" unchanged "$dir/all/days.csv"
    check "$what: no temporary file remains" holds "$dir/all" days.csv
done <<EOF
plot to a full device|/dev/full|/dev/null|$full
standard output full||/dev/full|$stdout_full
${small:+plot to a full file system|$small/plot.svg|/dev/null|popchan-batch: cannot write $small/plot.svg: No space left on device}
EOF
test -n "$small" && check "the full file system holds no temporary file" holds "$small" filler spins.csv

# An interrupted run leaves the previous file and no temporary file behind; a
# signal the caller ignores (nohup) stays ignored. A script's background job
# starts with SIGINT and SIGQUIT ignored: env gives them back.
stopped() { # what, the status expected
    wait "$pid"
    check "$1: ends by its signal" test $? -eq "$2"
    check "$1: the previous file is unchanged" unchanged "$dir/sig/$file"
    check "$1: no temporary file remains" holds "$dir/sig" "$file"
}
file=plot.svg
while read -r status ignored signal launcher; do
    what="${launcher:-run}, SIG$signal"
    fresh "$dir/sig" "$file"
    rm -f "$dir/seen"
    $launcher "$batch" --days 100000000 --seed 1 --threads 1 --per-day /dev/stdout \
        --plot "$dir/sig/$file" >"$dir/seen" 2>/dev/null &
    pid=$!
    check "$what: under way" beyond "$dir/seen" 0
    if [ "$ignored" != - ]; then # the run goes on by far more than a buffer
        size=$(stat -c %s "$dir/seen")
        kill -"$ignored" "$pid"
        check "$what: goes on after SIG$ignored" beyond "$dir/seen" $((size + 65536))
    fi
    kill -"$signal" "$pid"
    stopped "$what" "$status"
done <<EOF
143 - TERM
129 - HUP
130 - INT env --default-signal=INT
131 - QUIT env --default-signal=QUIT
143 HUP TERM nohup
143 HUP TERM env --ignore-signal=HUP
EOF
# The spins outgrow the largest file allowed: SIGXFSZ.
file=spins.csv
fresh "$dir/sig" "$file"
(
    ulimit -f 2000
    exec "$batch" --days 100000 --seed 1 --spins "$dir/sig/$file" >/dev/null 2>&1
) &
pid=$!
stopped "a file too large (SIGXFSZ)" 153

# Outputs that cannot be created are named before any day is played: the days
# written through to standard output have not even begun with their header.
for target in "$dir/no-such-folder/plot.svg" "$dir" /proc/plot.svg; do
    "$batch" --days 3 --seed 1 --per-day /dev/stdout --plot "$target" >"$dir/out" 2>"$dir/err"
    check "$target: exits 1" test $? -eq 1
    check "$target: names the file" grep -q "^popchan-batch: cannot write $target: " "$dir/err"
    check "$target: before any day is played" test ! -s "$dir/out"
done

# The same file named for two outputs, by any path or link, and an empty name.
mkdir -p "$dir/same/sub"
echo "$previous" >"$dir/same/a.csv"
ln -s a.csv "$dir/same/link.csv"
while IFS='|' read -r options message; do
    (cd "$dir/same" && exec "$batch" --days 3 --seed 1 $options) >"$dir/out" 2>"$dir/err"
    status=$?
    check "$options: exits 2" test $status -eq 2
    check "$options: says so" test "$(head -1 "$dir/err")" = "popchan-batch: $message"
    check "$options: writes nothing" holds "$dir/same" a.csv link.csv sub
    check "$options: replaces nothing" unchanged "$dir/same/a.csv"
done <<'EOF'
--per-day a.csv --plot a.csv|--per-day a.csv and --plot a.csv are the same file
--per-day a.csv --spins ./sub/../a.csv|--per-day a.csv and --spins ./sub/../a.csv are the same file
--spins link.csv --plot a.csv|--spins link.csv and --plot a.csv are the same file
--per-day new.csv --spins sub/../new.csv|--per-day new.csv and --spins sub/../new.csv are the same file
--sweep spin-rate=20,30 --csv s.csv --plot ./s.csv|--plot ./s.csv and --csv s.csv are the same file
--per-day=|--per-day needs a file name
--spins= --per-day x.csv|--spins needs a file name
EOF

# Two outputs into one pipe or terminal would tear each other's lines: refused
# as one file is, before anything is written. Another device may take two.
ln -s /proc/self/fd/1 "$dir/same/out"
mkfifo "$dir/same/fifo"
cat "$dir/same/fifo" >/dev/null & # a reader, should anything write to the pipe
reader=$!
while IFS='|' read -r options message; do
    (cd "$dir/same" && exec "$batch" --days 3 --seed 1 $options) 2>"$dir/err" | cat >"$dir/out"
    status=${PIPESTATUS[0]}
    check "$options into a pipe: exits 2" test "$status" -eq 2
    check "$options into a pipe: says so" test "$(head -1 "$dir/err")" = "popchan-batch: $message"
    check "$options into a pipe: writes nothing" test ! -s "$dir/out"
done <<'END'
--per-day out --spins out|--per-day out and --spins out are the same pipe
--per-day /dev/stdout --plot out|--per-day /dev/stdout and --plot out are the same pipe
--spins fifo --plot ./fifo|--spins fifo and --plot ./fifo are the same pipe
END
kill "$reader" 2>/dev/null
wait "$reader" 2>/dev/null
"$batch" --days 3 --seed 1 --per-day /dev/null --spins /dev/null >/dev/null 2>"$dir/err"
check "/dev/null for two outputs: exits 0" test $? -eq 0
if command -v script >/dev/null; then
    # A terminal of its own (script's), named as /dev/tty and as standard output.
    script -qec "'$batch' --days 3 --seed 1 --per-day /dev/tty --spins /dev/stdout; echo status \$?" \
        /dev/null </dev/null >"$dir/out" 2>&1
    check "one terminal for two outputs: exits 2" grep -q '^status 2' "$dir/out"
    check "one terminal for two outputs: says so" grep -qF \
        'popchan-batch: --per-day /dev/tty and --spins /dev/stdout are the same terminal' "$dir/out"
else
    skip "one terminal for two outputs: script (util-linux) is not there"
fi

# A good run replaces the file whole, a new one with the usual permissions,
# an old one with its mode and, where this user may give them, its owner and
# group (the set-user-ID bit survives the change of owner).
"$batch" --days 3 --seed 1 --per-day "$dir/days.csv" >/dev/null 2>&1
check "a good run replaces the file" days_in "$dir/days.csv" 3
check "with the usual permissions" test "$(stat -c %a "$dir/days.csv")" = "$(printf '%o' $((0666 & ~$(umask))))"
owner=$(id -u):$(id -g)
test "$(id -u)" -eq 0 && owner=65534:65534
for mode in 600 640 4755; do
    fresh "$dir/mode" days.csv
    chown "$owner" "$dir/mode/days.csv"
    chmod "$mode" "$dir/mode/days.csv"
    "$batch" --days 3 --seed 1 --per-day "$dir/mode/days.csv" >/dev/null 2>&1
    check "a $mode file owned by $owner is replaced" days_in "$dir/mode/days.csv" 3
    check "... and keeps mode and owner" test "$(stat -c '%a %u:%g' "$dir/mode/days.csv")" = "$mode $owner"
done

# While the run goes on, the temporary file is never open to more than the
# file it will replace: from its first byte it has that file's mode, or less,
# and its group.
group=$(id -g)
test "$(id -u)" -eq 0 && group=65534
for mode in 600 640 400 4750; do
    fresh "$dir/private" days.csv
    chgrp "$group" "$dir/private/days.csv"
    chmod "$mode" "$dir/private/days.csv"
    "$batch" --days 100000000 --seed 1 --threads 1 --per-day "$dir/private/days.csv" >/dev/null 2>&1 &
    pid=$!
    temporary=
    for i in $(seq 600); do
        temporary=$(find "$dir/private" -name '.pb*' -size +0 | head -1)
        test -n "$temporary" && break
        sleep 0.1
    done
    seen=$(stat -c '%a %g' "$temporary" 2>/dev/null)
    kill -TERM "$pid"
    wait "$pid"
    check "a $mode file: while it is written, its temporary is found" test -n "$temporary"
    check "... with mode $mode or less and group $group (got $seen)" \
        test -n "$seen" -a "$((0${seen% *} & ~0$mode))" -eq 0 -a "${seen#* }" = "$group"
    check "... the file is unchanged" unchanged "$dir/private/days.csv"
done

# A file that this user may write but not replace: another user's in a folder
# with the sticky bit (as /tmp), which only its owner may rename over. It is
# refused before any day is played, and left as it was.
if [ "$(id -u)" -ne 0 ] || ! command -v setpriv >/dev/null; then
    skip "another user's file in a sticky folder: needs root, to act as two users"
else
    mkdir -m 1777 "$dir/sticky"
    chmod 755 "$dir"
    echo "$previous" >"$dir/sticky/days.csv"
    chown 65533 "$dir/sticky/days.csv"
    chmod 666 "$dir/sticky/days.csv"
    setpriv --reuid=65534 --regid=65534 --clear-groups "$batch" --days 2000 --seed 1 \
        --per-day "$dir/sticky/days.csv" >"$dir/out" 2>"$dir/err"
    check "another user's file in a sticky folder: exits 1" test $? -eq 1
    check "... says why" said "popchan-batch: cannot write $dir/sticky/days.csv: Operation not permitted\
 (another user's file in a folder with the sticky bit, which only its owner may replace)"
    check "... before any day is played" test ! -s "$dir/out"
    check "... the file is unchanged" unchanged "$dir/sticky/days.csv"
    check "... no temporary file remains" holds "$dir/sticky" days.csv
    chmod 700 "$dir"
fi

# A link to a file: the file it leads to is replaced and the link stays. The
# link may lead through another link, to another folder, to a file to create.
while read -r to replaced; do
    fresh "$dir/links" real.csv
    mkdir "$dir/links/sub"
    echo "$previous" >"$dir/links/sub/real.csv"
    ln -s real.csv "$dir/links/chain.csv"
    ln -s "$to" "$dir/links/days.csv"
    before=$(cd "$dir/links" && find . | LC_ALL=C sort)
    "$batch" --days 3 --seed 1 --per-day "$dir/links/days.csv" >/dev/null 2>&1
    check "a link to $to: exits 0" test $? -eq 0
    check "a link to $to: stays that link" test "$(readlink "$dir/links/days.csv")" = "$to"
    check "a link to $to: $replaced is replaced" days_in "$dir/links/$replaced" 3
    check "a link to $to: no other file changes" \
        test "$(cd "$dir/links" && find . | LC_ALL=C sort)" = \
        "$(printf '%s\n' $before "./$replaced" | LC_ALL=C sort -u)"
done <<EOF
real.csv real.csv
sub/real.csv sub/real.csv
chain.csv real.csv
$dir/links/sub/real.csv sub/real.csv
new.csv new.csv
EOF
ln -s /dev/null "$dir/null"
"$batch" --days 3 --seed 1 --per-day "$dir/null" >/dev/null 2>&1
check "a link to /dev/null: exits 0" test $? -eq 0
check "... stays a link to /dev/null" test "$(readlink "$dir/null")" = /dev/null
check "... and /dev/null a device" test -c /dev/null

# Standard output named as a file: the days are written through it, ahead of
# the summary, whether it goes to a file or a pipe; the link stays. Our own
# link to it first, then the system's, which only a run that kept ours may
# touch.
ln -s /proc/self/fd/1 "$dir/stdout"
for target in "$dir/stdout" /dev/stdout; do
    link=$(readlink "$target")
    for to in file pipe; do
        before=$failures
        if [ $to = file ]; then
            "$batch" --days 3 --seed 1 --per-day "$target" >"$dir/out" 2>"$dir/err"
        else
            "$batch" --days 3 --seed 1 --per-day "$target" 2>"$dir/err" | cat >"$dir/out"
        fi
        check "$target to a $to: exits 0" test "${PIPESTATUS[0]}" -eq 0
        check "$target to a $to: the days come first" \
            test "$(head -4 "$dir/out" | cut -d, -f1 | tr '\n' ' ')" = "day 1 2 3 "
        check "$target to a $to: then the summary" grep -q "3 days, seed 1" "$dir/out"
        check "$target to a $to: stays the link it was" test "$(readlink "$target")" = "$link"
        test $failures -eq "$before" || break 2
    done
done

# Names as long as a folder allows.
mkdir "$dir/names"
for length in 250 255; do
    name=$(printf "%${length}s" "" | tr ' ' x)
    "$batch" --days 3 --seed 1 --per-day "$dir/names/$name" >/dev/null 2>"$dir/err"
    check "a name of $length bytes: exits 0" test $? -eq 0
    check "a name of $length bytes: is written" days_in "$dir/names/$name" 3
done

# Each file reaches the disk before it takes its place, and its folder's new
# entry after.
if ! strace -qq -o /dev/null true 2>/dev/null; then
    skip "the syncs: strace is not there or may not trace"
else
    fresh "$dir/sync" days.csv
    strace -f -qq -y -e trace=fsync,fdatasync,rename,renameat,renameat2 -o "$dir/trace" \
        "$batch" --days 3 --seed 1 --per-day "$dir/sync/days.csv" --plot "$dir/sync/plot.svg" \
        >/dev/null 2>&1
    for file in days.csv plot.svg; do
        # The temporary file synced before the rename, the folder after it.
        check "$file: synced, renamed, its folder synced" awk -F'"' -v target="$dir/sync/$file" \
            -v folder="$dir/sync" '
            /sync\(/ { fd = $0; sub(/^[^<]*</, "", fd); sub(/>.*$/, "", fd); synced[fd] = NR }
            /rename/ && $4 == target { temporary = $2; renamed = NR }
            END {
                sub(/^[^\/]/, folder "/&", temporary)
                ok = renamed && synced[temporary] && synced[temporary] < renamed
                exit !(ok && synced[folder] > renamed)
            }' "$dir/trace"
    done
fi

echo "$failures failed"
test "$failures" -eq 0 || exit 1
test "$skipped" -eq 0 || exit 77
