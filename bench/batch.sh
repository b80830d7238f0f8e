#!/usr/bin/env bash
# popchan-batch's speed as a ratio to a yardstick: the popchan-batch of commit
# 4e9b677, built once from the repository's own history into build/yardstick.
# Both play the same days with the same seed on one thread, in alternating
# pairs; each pair prints the ratio of their CPU times (user + system) and
# whether their per-day rows are byte-identical. Then spins per second on one
# core and on two.
# Usage: bench/batch.sh BUILD_DIR [DAYS] [PAIRS]
set -euo pipefail
build=${1:-build/release}
days=${2:-20000}
pairs=${3:-5}
batch=$build/src/popchan-batch
yardstick_commit=4e9b677
yardstick_build=build/yardstick
yardstick=$yardstick_build/src/popchan-batch

if [ ! -x "$yardstick" ]; then
    git cat-file -e "$yardstick_commit^{commit}" 2>/dev/null || {
        echo "the yardstick's commit $yardstick_commit is not in this clone's history (fetch it, or clone without --depth)" >&2
        exit 1
    }
    echo "Building the yardstick, popchan-batch of $yardstick_commit, into $yardstick_build"
    source=build/yardstick-source
    rm -rf "$source"
    mkdir -p "$source"
    git archive "$yardstick_commit" | tar -x -C "$source"
    cmake -S "$source" -B "$yardstick_build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DPOPCHAN_BUILD_APP=OFF -DPOPCHAN_BUILD_BENCH=OFF -DBUILD_TESTING=OFF >/dev/null
    cmake --build "$yardstick_build" --target popchan-batch >/dev/null
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Every run on one and the same CPU: the two CPUs of a shared machine can
# differ in speed from minute to minute, and a pair must compare programs,
# not CPUs.
pin=()
if command -v taskset >/dev/null; then
    first_cpu=$(taskset -cp $$ | sed 's/.*: //; s/[-,].*//')
    pin=(taskset -c "$first_cpu")
fi
cpu() { # program, per-day file -> its CPU seconds
    local TIMEFORMAT='%U %S'
    { time "${pin[@]}" "$1" --days "$days" --seed 1 --threads 1 --per-day "$2" >/dev/null 2>&1; } 2>&1 |
        awk '{ print $1 + $2 }'
}

echo "popchan-batch against the yardstick ($yardstick_commit), $days days, seed 1, one thread${pin:+ on CPU ${pin[2]}}, CPU time"
ratios=()
for pair in $(seq "$pairs"); do
    if [ $((pair % 2)) -eq 1 ]; then
        old=$(cpu "$yardstick" "$work/old.csv")
        new=$(cpu "$batch" "$work/new.csv")
    else
        new=$(cpu "$batch" "$work/new.csv")
        old=$(cpu "$yardstick" "$work/old.csv")
    fi
    same=identical
    cmp -s "$work/old.csv" "$work/new.csv" || same=DIFFERENT
    ratio=$(awk -v o="$old" -v n="$new" 'BEGIN { printf "%.2f", o / n }')
    ratios+=("$ratio")
    printf '  pair %d: yardstick %6.2f s, today %6.2f s, ratio %s, per-day rows %s\n' \
        "$pair" "$old" "$new" "$ratio" "$same"
    [ "$same" = identical ] || exit 1
done
printf '%s\n' "${ratios[@]}" | sort -n | awk '{ r[NR] = $1 } END {
    printf "  median ratio: %.2f (today is %.2f times as fast)\n", r[int((NR + 1) / 2)], r[int((NR + 1) / 2)] }'

run() { # threads -> "seconds spins"
    local start end json per_day
    start=$(date +%s.%N)
    json=$("$batch" --days "$days" --seed 1 --threads "$1" --json)
    end=$(date +%s.%N)
    per_day=$(printf '%s\n' "$json" | sed -n 's/.*"spins": \([0-9.]*\).*/\1/p')
    awk -v s="$start" -v e="$end" -v p="$per_day" -v d="$days" 'BEGIN { print e - s, p * d }'
}
read -r t1 spins < <(run 1)
read -r t2 _ < <(run 2)
awk -v t1="$t1" -v t2="$t2" -v n="$spins" -v d="$days" 'BEGIN {
    printf "popchan-batch, %d days (%.0f spins)\n", d, n
    printf "  1 thread : %6.2f s  %6.2f million spins/s\n", t1, n / t1 / 1e6
    printf "  2 threads: %6.2f s  %6.2f million spins/s  (speed-up %.2f)\n", t2, n / t2 / 1e6, t1 / t2
}'
