#!/usr/bin/env bash
# Spins per second of popchan-batch on one core and on two.
# Usage: bench/batch.sh BUILD_DIR [DAYS]
set -euo pipefail
batch=${1:-build/release}/src/popchan-batch
days=${2:-20000}
run() { # threads -> "seconds spins"
    local start end json
    start=$(date +%s.%N)
    json=$("$batch" --days "$days" --seed 1 --threads "$1" --json)
    end=$(date +%s.%N)
    local per_day
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
