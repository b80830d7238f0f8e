#!/usr/bin/env bash
# The batch tool as a user runs it: exit statuses, messages and files.
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

"$batch" --help >"$dir/help" 2>&1
check "--help exits 0" test $? -eq 0
check "--help names the premises" grep -q -- '--give-up VALUE' "$dir/help"

"$batch" --probability 0 --hours 15 >"$dir/out" 2>"$dir/err"
check "bad premises exit 2" test $? -eq 2
check "check 6 message" grep -q '確率入力エラーです。' "$dir/err"
check "check 18 message" grep -q '時間は最高１４時間です。' "$dir/err"
check "nothing simulated" test ! -s "$dir/out"

"$batch" --no-such-option >/dev/null 2>"$dir/err"
check "unknown option exits 2" test $? -eq 2
"$batch" --days >/dev/null 2>&1
check "missing value exits 2" test $? -eq 2

"$batch" --days 30 --seed 5 --threads 2 --per-day "$dir/days.csv" --spins "$dir/spins.csv" \
    --plot "$dir/plot.svg" >"$dir/summary" 2>"$dir/err"
check "run exits 0" test $? -eq 0
check "per-day header" test "$(head -1 "$dir/days.csv")" = \
    "day,spins,spins_normal,jackpots,first_hits,max_hamari,max_chain,balls,exchanged,spent,balance,end_seconds,ended_by"
check "spins header" test "$(head -1 "$dir/spins.csv")" = \
    "day,spin,kakuhen,atari_flag,atari_egara,shoukaku_egara,reach_kind,suberi_flag,yokoku_chara,yokoku_level,kakuhen_zan"
check "one row per day" test "$(($(wc -l <"$dir/days.csv") - 1))" -eq 30
spins_total=$(awk -F, 'NR > 1 { s += $2 } END { print s }' "$dir/days.csv")
check "one spin row per spin" test "$(($(wc -l <"$dir/spins.csv") - 1))" -eq "$spins_total"
check "day rows hold together" awk -F, 'NR > 1 && ($2 < $3 || $5 > $4 || $10 % 100 != 0 ||
    ($13 != "hours" && $13 != "give-up")) { bad = 1 } END { exit bad }' "$dir/days.csv"
check "plot written" grep -q '<svg' "$dir/plot.svg"
check "summary names the seed" grep -q 'seed 5' "$dir/summary"
mean=$(awk -F, 'NR > 1 { s += $11; n++ } END { printf "%.2f", s / n }' "$dir/days.csv")
"$batch" --days 30 --seed 5 --threads 1 --json >"$dir/json"
check "JSON mean equals the mean of the day rows" grep -q "\"mean\": $mean," "$dir/json"

"$batch" --days 2 >/dev/null 2>"$dir/err"
check "a clock seed is printed" grep -q '^popchan-batch: seed [0-9]' "$dir/err"

echo "$((17 - failures)) passed, $failures failed"
test "$failures" -eq 0
