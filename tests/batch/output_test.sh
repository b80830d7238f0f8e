#!/usr/bin/env bash
# A failed write is an error, never a success: each output to a full device,
# an interrupted run, outputs that cannot be created, and standard output
# closed or piped to a reader that stops early.
set -u
batch=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
failures=0
check() { # description, then a command that must succeed
    local what=$1
    shift
    if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}
said() { # the one message expected on stderr
    test "$(cat "$dir/err")" = "$1"
}
full="popchan-batch: cannot write /dev/full: No space left on device"
stdout_full="popchan-batch: cannot write standard output: No space left on device"

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

# An interrupted run leaves the previous file and no temporary file behind.
echo "the previous run" >"$dir/days.csv"
"$batch" --days 100000000 --seed 1 --threads 1 --per-day "$dir/days.csv" >/dev/null 2>&1 &
pid=$!
sleep 1
kill -TERM "$pid"
wait "$pid"
check "SIGTERM ends the run by the signal" test $? -eq 143
check "the previous file is unchanged" test "$(cat "$dir/days.csv")" = "the previous run"
check "no temporary file remains" test -z "$(find "$dir" -name '.days.csv.tmp-*')"

# Outputs that cannot be created are named before any day is played.
for target in "$dir/no-such-folder/days.csv" "$dir" /proc/days.csv; do
    start=$(date +%s%N)
    "$batch" --days 100000000 --seed 1 --per-day "$target" >"$dir/out" 2>"$dir/err"
    status=$?
    ms=$((($(date +%s%N) - start) / 1000000))
    check "$target: exits 1" test $status -eq 1
    check "$target: names the file" grep -q "^popchan-batch: cannot write $target: " "$dir/err"
    check "$target: fails before playing ($ms ms)" test $ms -lt 1000
    check "$target: no summary" test ! -s "$dir/out"
done

# A good run replaces the file whole.
"$batch" --days 3 --seed 1 --per-day "$dir/days.csv" >/dev/null 2>&1
check "a good run replaces the file" test "$(wc -l <"$dir/days.csv")" -eq 4
check "with the usual permissions" test "$(stat -c %a "$dir/days.csv")" = "$(printf '%o' $((0666 & ~$(umask))))"

echo "$failures failed"
test "$failures" -eq 0
