#!/usr/bin/env bash
# The batch tool as a user runs it: exit statuses, messages and files.
set -u
batch=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
failures=0
passes=0
# A build with AddressSanitizer reserves address space of its own: no bound on
# memory (ulimit -v) can be set for it.
asan=$(ldd "$batch" 2>/dev/null | grep -c libasan)
check() { # description, then a command that must succeed
    local what=$1
    shift
    if "$@"; then
        echo "ok: $what"
        passes=$((passes + 1))
    else
        echo "FAILED: $what"
        failures=$((failures + 1))
    fi
}

"$batch" --help >"$dir/help" 2>&1
check "--help exits 0" test $? -eq 0
check "--help names the premises" grep -q -- '--give-up VALUE' "$dir/help"
check "--help names the most days" grep -q -- '--days N .*at most 100,000,000,000' "$dir/help"
check "--help names the most threads" grep -q -- '256 start' "$dir/help"
check "--help names what the digest guards" grep -q 'the digest catches damage and edits' "$dir/help"

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

# The exact figures alone, as a table or as JSON.
"$batch" --exact --limiter 5 >"$dir/exact" 2>"$dir/err"
check "--exact exits 0" test $? -eq 0
check "--exact is a table" grep -qx '  大当り確率 (通常時)           1/310.00' "$dir/exact"
"$batch" --exact --json --limiter 5 >"$dir/exact.json" 2>"$dir/err"
check "--exact --json exits 0" test $? -eq 0
check "--exact --json is JSON" grep -qx '  "jackpot_chance_normal": 0.0032258064516129032,' "$dir/exact.json"

# A run plays its premises: days of one hour end within it, but for the last spin and its payout.
"$batch" --hours 1 --days 10 --seed 1 --per-day "$dir/hour.csv" >/dev/null 2>&1
check "one-hour days end within their hour" awk -F, 'NR > 1 && $13 == "hours" { n++ }
    NR > 1 && $13 == "hours" && ($12 < 3600 || $12 > 3600 + 400) { bad = 1 }
    END { exit bad || n == 0 || NR != 11 }' "$dir/hour.csv"

"$batch" --days 2 >/dev/null 2>"$dir/err"
check "a clock seed is printed" grep -q '^popchan-batch: seed [0-9]' "$dir/err"

# Sweeps: the rows in the order of the values, as a table, CSV, JSON and a plot.
"$batch" --days 40 --seed 3 --sweep spin-rate=20:30:5 --csv "$dir/sweep.csv" \
    --plot "$dir/sweep.svg" >"$dir/sweep" 2>"$dir/err"
check "sweep exits 0" test $? -eq 0
check "sweep CSV header" test "$(head -1 "$dir/sweep.csv")" = \
    "value,days,mean,low,high,winning_share,winning_low,winning_high,balance_per_hour,jackpots_per_day"
check "sweep CSV values in order" test "$(cut -d, -f1,2 "$dir/sweep.csv" | tail -n +2 | tr '\n' ' ')" = \
    "20,40 25,40 30,40 "
check "sweep table rows in order" test "$(awk '$1 ~ /^(20|25|30)$/ { printf "%s ", $1 }' "$dir/sweep")" = \
    "20 25 30 "
check "sweep plot has its band" grep -q '<polygon' "$dir/sweep.svg"
"$batch" --days 40 --seed 3 --sweep form=1,3 --json >"$dir/sweep.json"
check "sweep JSON has a row per value" test "$(grep -c '{"value": ' "$dir/sweep.json")" -eq 2
# Command lines that cannot be honoured: status 2, the reason, nothing played. A
# sweep's values are bounded, so none of these may take more than a little memory.
# A run that would eat memory without end meets a bound on its memory, where
# one can be set, and one that would play without end a bound on its time.
bounded() {
    if [ "$asan" -gt 0 ]; then
        timeout 120 "$batch" "$@"
    else
        (ulimit -v 2000000 && exec timeout 120 "$batch" "$@")
    fi
}

while IFS='|' read -r args message; do
    # shellcheck disable=SC2086 # the words are the options
    bounded $args >"$dir/out" 2>"$dir/err"
    check "$args: exits 2" test $? -eq 2
    check "$args: says why" grep -qxF -- "popchan-batch: $message" "$dir/err"
    check "$args: prints nothing" test ! -s "$dir/out"
done <<'EOF'
--sweep spin-rate=nan:10:1 --days 20|--sweep needs numbers FROM:TO:STEP with FROM <= TO, STEP > 0 and at most 1000 values: spin-rate=nan:10:1
--sweep spin-rate=10:nan:1 --days 20|--sweep needs numbers FROM:TO:STEP with FROM <= TO, STEP > 0 and at most 1000 values: spin-rate=10:nan:1
--sweep spin-rate=10:20:nan --days 20|--sweep needs numbers FROM:TO:STEP with FROM <= TO, STEP > 0 and at most 1000 values: spin-rate=10:20:nan
--sweep spin-rate=inf:inf:1 --days 20|--sweep needs numbers FROM:TO:STEP with FROM <= TO, STEP > 0 and at most 1000 values: spin-rate=inf:inf:1
--sweep spin-rate=10:20:inf|--sweep needs numbers FROM:TO:STEP with FROM <= TO, STEP > 0 and at most 1000 values: spin-rate=10:20:inf
--sweep spin-rate=-1e308:1e308:1e300|--sweep needs numbers FROM:TO:STEP with FROM <= TO, STEP > 0 and at most 1000 values: spin-rate=-1e308:1e308:1e300
--sweep spin-rate=30:20:1|--sweep needs numbers FROM:TO:STEP with FROM <= TO, STEP > 0 and at most 1000 values: spin-rate=30:20:1
--sweep spin-rate=20x:30:5|--sweep needs numbers FROM:TO:STEP with FROM <= TO, STEP > 0 and at most 1000 values: spin-rate=20x:30:5
--sweep spin-rate=20:30:-0|--sweep needs numbers FROM:TO:STEP with FROM <= TO, STEP > 0 and at most 1000 values: spin-rate=20:30:-0
--sweep spin-rate=0:1000:1|--sweep needs numbers FROM:TO:STEP with FROM <= TO, STEP > 0 and at most 1000 values: spin-rate=0:1000:1
--sweep spin-rate=1:2:3:4|--sweep needs numbers FROM:TO:STEP with FROM <= TO, STEP > 0 and at most 1000 values: spin-rate=1:2:3:4
--sweep spin-rate=1:2|--sweep needs numbers FROM:TO:STEP with FROM <= TO, STEP > 0 and at most 1000 values: spin-rate=1:2
--sweep spin-rate=20,,30|--sweep has an empty value: spin-rate=20,,30
--form 0|入力エラー: 営業形態は８形態だけです。
--form 9|入力エラー: 営業形態は８形態だけです。
--sweep spin-rate=nan,inf --days 20|入力エラー: 回転率は数字を入力して下さい。 (--sweep spin-rate=nan)
--sweep payout=nan --days 20|入力エラー: 出玉入力エラーです。 (--sweep payout=nan)
--sweep nothing=1,2|--sweep needs a premise's option name, e.g. spin-rate=20:40:1: nothing=1,2
--sweep spin-rate=0,10|入力エラー: 回転率入力エラーです。 (--sweep spin-rate=0)
--csv x.csv|--csv writes the rows of a --sweep
--shard 5/4|--shard needs I/N with 1 <= I <= N: 5/4
--days 9223372036854775807|--days needs a whole number from 1 to 100,000,000,000: 9223372036854775807
--days 100000000001 --json|--days needs a whole number from 1 to 100,000,000,000: 100000000001
--shard 1/2 --days 9223372036854775807|--days needs a whole number from 1 to 100,000,000,000: 9223372036854775807
--sweep form=1,2 --days 100000000001|--days needs a whole number from 1 to 100,000,000,000: 100000000001
--border --days 100000000001|--days needs a whole number from 1 to 100,000,000,000: 100000000001
--shard 1/4 --days 3|--shard needs at least one day for each shard
--exact --json --plot x.svg|--exact and --plot do not go together: --exact plays no days
--exact --per-day d.csv|--exact and --per-day do not go together: --exact plays no days
--exact --spins s.csv|--exact and --spins do not go together: --exact plays no days
--exact --csv x.csv --sweep form=1,2|--exact and --csv do not go together: --exact plays no days
--exact --shard 1/2|--exact and --shard do not go together: --exact plays no days
--exact --sweep form=1,2|--exact and --sweep do not go together: --exact plays no days
--exact --border|--exact and --border do not go together: --exact plays no days
--exact --days 10|--exact and --days do not go together: --exact plays no days
--exact --seed 3|--exact and --seed do not go together: --exact plays no days
--exact --threads 2|--exact and --threads do not go together: --exact plays no days
--sweep form=1,2 --sweep spin-rate=20,30|--sweep and --sweep do not go together: a sweep plays one premise at several values
--sweep spin-rate=20,30 --spin-rate 25|--sweep and --spin-rate do not go together: the sweep gives spin-rate its values
--border --sweep form=1,2|--sweep and --border do not go together: the border is a sweep of the spin rate of its own
--border --spin-rate 25|--border and --spin-rate do not go together: the border tries spin rates of its own
--sweep form=1,2 --shard 1/2|--sweep and --shard do not go together: --shard splits a run, not a sweep
--border --shard 1/2|--border and --shard do not go together: --shard splits a run, not the border's runs
--sweep form=1,2 --per-day d.csv|--sweep and --per-day do not go together: --per-day writes the days of a run, not of a sweep
--sweep form=1,2 --spins s.csv|--sweep and --spins do not go together: --spins writes the spins of a run, not of a sweep
--border --per-day d.csv|--border and --per-day do not go together: --per-day writes the days of a run, not of the border's runs
--border --spins s.csv|--border and --spins do not go together: --spins writes the spins of a run, not of the border's runs
--border --plot x.svg|--border and --plot do not go together: --plot draws a run or a sweep
--border --csv x.csv|--border and --csv do not go together: --csv writes the rows of a sweep
EOF

"$batch" merge >/dev/null 2>&1
check "merge without files exits 2" test $? -eq 2

# Four shards merged are one run, table and JSON alike, to the last byte.
"$batch" --days 50 --seed 8 --threads 2 >"$dir/whole.txt"
"$batch" --days 50 --seed 8 --threads 2 --json >"$dir/whole.json"
for i in 1 2 3 4; do
    "$batch" --days 50 --seed 8 --threads 1 --shard "$i/4" --json >"$dir/part$i.json"
done
"$batch" merge "$dir"/part{4,2,3,1}.json >"$dir/merged.txt"
check "merged table is the run's" cmp "$dir/whole.txt" "$dir/merged.txt"
"$batch" merge --json "$dir"/part*.json >"$dir/merged.json"
check "merged JSON is the run's" cmp "$dir/whole.json" "$dir/merged.json"
"$batch" merge "$dir"/part{1,2,4}.json >"$dir/out" 2>"$dir/err"
check "a missing shard exits 2" test $? -eq 2
check "a missing shard is named" grep -q '^popchan-batch: day 26 is in no file$' "$dir/err"
"$batch" merge "$dir/nothing.json" >/dev/null 2>"$dir/err"
check "an unreadable file exits 2" test $? -eq 2
check "... and says why" grep -qxF "popchan-batch: cannot read $dir/nothing.json: No such file or directory" \
    "$dir/err"
"$batch" merge "$dir" >/dev/null 2>"$dir/err"
check "a directory exits 2" test $? -eq 2
check "... and is called one" grep -qxF "popchan-batch: cannot read $dir: Is a directory" "$dir/err"

# Shard files that no run can write: one member edited (in the first shard, or in
# both for a sum that overflows only when added), refused with the file and the
# member, status 2. Shard 1 of this run holds days 1-10.
for i in 1 2; do
    "$batch" --days 20 --seed 4 --threads 1 --shard "$i/2" --json >"$dir/s$i.json"
done
"$batch" --days 20 --seed 4 --threads 1 >"$dir/s.txt"
"$batch" merge "$dir/s2.json" "$dir/s1.json" >"$dir/merged.txt"
check "two shards merge into the run" cmp "$dir/s.txt" "$dir/merged.txt"
big=9223372036854775807
# A shard's digest made anew, as anybody can make it without the tool: the
# SHA-256 of its days, its seed and its members from "format" to "sums", laid
# out as a JSON object (its numbers as the tool writes them).
reseal() {
    local digest
    digest=$({
        head -n 3 "$1"
        sed -n '/^  "format": /,/^  "digest": /p' "$1" | sed '$d' | sed '$s/,$//'
        echo '}'
    } | sha256sum | cut -d' ' -f1)
    sed -i -E "s/^  \"digest\": \"[^\"]*\"/  \"digest\": \"$digest\"/" "$1"
}
cp "$dir/s1.json" "$dir/r1.json"
reseal "$dir/r1.json"
check "a shard's digest is the SHA-256 of what merge reads" cmp "$dir/s1.json" "$dir/r1.json"
# Shard 1's own figures, for edits that add to them.
sums_value() { sed -n "s/^  \"sums\": {.*\"$1\": \([0-9]*\).*/\1/p" "$dir/s1.json"; }
giveups=$(sums_value giveups)
first_hits=$(sums_value first_hits)
jackpots=$(sums_value jackpots)
last_hour=$(sed -n 's/^    "hourly": .*, \(-\{0,1\}[0-9]*\)\],$/\1/p' "$dir/s1.json")
check "shard 1's figures are read" test -n "$giveups" -a -n "$first_hits" -a -n "$jackpots" \
    -a -n "$last_hour"
zeros="0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0"
while IFS='|' read -r edited edit message; do
    for i in 1 2; do cp "$dir/s$i.json" "$dir/e$i.json"; done
    # Made anew, the digest lets the edit by: what a shard holds must be possible anyway.
    for i in $edited; do sed -E -i "$edit" "$dir/e$i.json" && reseal "$dir/e$i.json"; done
    check "$edit: changes the file" test -n "$(diff "$dir/s1.json" "$dir/e1.json")"
    "$batch" merge "$dir/e1.json" "$dir/e2.json" >"$dir/out" 2>"$dir/err"
    check "$edit: exits 2" test $? -eq 2
    check "$edit: names the file and the member" test "$(cat "$dir/err")" = "popchan-batch: $dir/$message"
    check "$edit: prints nothing" test ! -s "$dir/out"
done <<EOF
1|s/"hourly": \[0, /"hourly": [/|e1.json: not a JSON summary of popchan-batch (--json)
1|s/"first_day": 1/"first_day": "1"/|e1.json: not a JSON summary of popchan-batch (--json)
1|s/"wins": ([0-9]+)/"wins": \1.5/|e1.json: not a JSON summary of popchan-batch (--json)
1|s/"giveups": [0-9]+, //|e1.json: not a JSON summary of popchan-batch (--json)
1|s/"  310"/310/|e1.json: not a JSON summary of popchan-batch (--json)
1|s/"reach": \[\[([0-9]+), ([0-9]+)\]/"reach": [[\1, \2, 0]/|e1.json: not a JSON summary of popchan-batch (--json)
1|s/"balances": \[\[(-?[0-9]+), ([0-9]+)\]/"balances": [[\1, \2, 0]/|e1.json: not a JSON summary of popchan-batch (--json)
1|s/"balances": .*/"balances": [[0, 5], [0, 5]],/|e1.json: not a JSON summary of popchan-batch (--json)
1|s/("seconds_kakuhen": \[[^]]*), 10\]/\1]/|e1.json: not a JSON summary of popchan-batch (--json)
1|s/"chain_at_2": \[[^]]*\], //|e1.json: not a JSON summary of popchan-batch (--json)
1|s/"  310"/"  0"/|e1.json: premises must pass their checks: 確率入力エラーです。
1|s/"first_day": 1/"first_day": 0/|e1.json: first_day must be at least 1
1|s/^  "days": 10/  "days": 0/|e1.json: days must be at least 1
1|s/"run_days": 20/"run_days": 9/|e1.json: run_days must be at least first_day + days - 1
1|s/"wins": [0-9]+/"wins": -5/|e1.json: sums.wins must be at least 0
1|s/"giveups": [0-9]+/"giveups": -1/|e1.json: sums.giveups must be at least 0
1|s/"seconds": [0-9]+/"seconds": -1/|e1.json: sums.seconds must be at least 0
1|s/"jackpots": [0-9]+/"jackpots": -1/|e1.json: sums.jackpots must be at least 0
1|s/"first_hits": [0-9]+/"first_hits": -1/|e1.json: sums.first_hits must be at least 0
1|s/"max_chain": [0-9]+/"max_chain": -1/|e1.json: sums.max_chain must be at least 0
1|s/"spins": [0-9]+/"spins": -1/|e1.json: sums.spins must be at least 0
1|s/"wins": [0-9]+/"wins": 11/|e1.json: sums.wins must be at most days
1|s/"giveups": [0-9]+/"giveups": 11/|e1.json: sums.giveups must be at most days
1|s/"jackpots": [0-9]+/"jackpots": 99999999/|e1.json: sums.jackpots must be at most sums.spins
1|s/"first_hits": [0-9]+/"first_hits": 99999999/|e1.json: sums.first_hits must be at most sums.jackpots
1|s/"max_chain": [0-9]+/"max_chain": 99999999/|e1.json: sums.max_chain must be at most sums.jackpots
1|s/"reach": \[\[[0-9]+, [0-9]+\]/"reach": [[5, 3]/|e1.json: sums.reach must be jackpots from 0 to the reaches of each row
1|s/"reach": \[\[[0-9]+, [0-9]+\]/"reach": [[-1, 3]/|e1.json: sums.reach must be jackpots from 0 to the reaches of each row
1|s/"balances": .*/"balances": [[-10, -49], [5, 59]],/|e1.json: sums.balances must be counts of at least 0 adding up to days, of a balance within 64 bits
1|s/"balances": .*/"balances": [[-10, 3], [5, 3]],/|e1.json: sums.balances must be counts of at least 0 adding up to days, of a balance within 64 bits
1|s/"balances": .*/"balances": [[-1, 12], [0, $big], [1, $big]],/|e1.json: sums.balances must be counts of at least 0 adding up to days, of a balance within 64 bits
1|s/"balances": .*/"balances": [[0, 5], [4611686018427387904, 5]],/|e1.json: sums.balances must be counts of at least 0 adding up to days, of a balance within 64 bits
1|s/"balances": .*/"balances": [[0, 8], [4611686018427387904, 1], [4611686018427387905, 1]],/|e1.json: sums.balances must be counts of at least 0 adding up to days, of a balance within 64 bits
1|s/"atari_tsujo": \[[0-9]+,/"atari_tsujo": [1e15,/|e1.json: sums.exact.atari_tsujo must be jackpots at most its spins and sums.jackpots
1|s/"atari_kakuhen": \[[0-9]+,/"atari_kakuhen": [1000,/|e1.json: sums.exact.atari_kakuhen must be jackpots at most its spins and sums.jackpots
1|s/"atari_tsujo": \[([0-9]+), [0-9]+,/"atari_tsujo": [\1, 1e15,/|e1.json: sums.exact.atari_tsujo must be sums of at least 0 over days, of at most the spins
1|s/"seconds_tsujo": \[[0-9]+,/"seconds_tsujo": [-1,/|e1.json: sums.exact.seconds_tsujo must be sums of at least 0 over days, of at most the spins
1|s/("seconds_kakuhen": \[[^]]*, )10\]/\19]/|e1.json: sums.exact.seconds_kakuhen must be sums of at least 0 over days, of at most the spins
1|s/"chain_at_2": \[[0-9]+,/"chain_at_2": [99999,/|e1.json: sums.exact.chain_at_2 must be jackpots at most its first hits and sums.jackpots
1|s/"kakuhen_first": \[[0-9]+, /"kakuhen_first": [-1, /|e1.json: sums.exact.kakuhen_first must be sums of at least 0 over days, of at most the first hits
1|s/"jackpots_per_day": \[([0-9]+), [0-9]+,/"jackpots_per_day": [\1, 11,/|e1.json: sums.exact.jackpots_per_day must be sums of at least 0 over days, of at most the days
1|s/"wins": [0-9]+/"wins": 10/|e1.json: sums.wins must be the days of sums.balances above 0
1|s/"giveups": [0-9]+/"giveups": $((giveups + 5))/|e1.json: sums.giveups must be at most the days of sums.balances below minus the give-up amount
1|s/"seconds": [0-9]+/"seconds": 1/|e1.json: sums.seconds must be at least the days not given up times their hours
1|s/"hourly": \[0,/"hourly": [100,/|e1.json: sums.hourly must be whole hundreds of yen, 0 at 9:00
1|/"hourly"/ s/, (-?[0-9]+)\],$/, \150],/|e1.json: sums.hourly must be whole hundreds of yen, 0 at 9:00
1|/"hourly"/ s/, (-?[0-9]+)\],$/, $((last_hour + 100000))],/|e1.json: sums.hourly must be the yen of sums.balances at each hour after the day's hours
1|s/"reach": \[\[([0-9]+), ([0-9]+)\]/"reach": [[\1, 1\2]/|e1.json: sums.reach must be rows of the kinds 1 to 11 of each state and their totals, and no other rows
1|s/("reach": \[(\[[^]]*\], ){12}\[)0, 0\]/\10, 5]/|e1.json: sums.reach must be rows of the kinds 1 to 11 of each state and their totals, and no other rows
1|s/"first_hits": [0-9]+/"first_hits": $((first_hits - 1))/|e1.json: sums.reach must be jackpots of sums.first_hits in the normal state and of the other sums.jackpots in the probability-up state
1|s/"jackpots": $jackpots,/"jackpots": $((jackpots + 1)),/|e1.json: sums.reach must be jackpots of sums.first_hits in the normal state and of the other sums.jackpots in the probability-up state
1|s/"run_days": 20/"run_days": 100000000001/|e1.json: run_days must be at most 100,000,000,000
1 2|s/"seconds": [0-9]+/"seconds": $big/|e1.json: sums.seconds must be at most days times the hours, the longest spin and a payout (36,350 s a day)
1|s/"seconds": [0-9]+/"seconds": 363501/|e1.json: sums.seconds must be at most days times the hours, the longest spin and a payout (36,350 s a day)
1 2|s/"hourly": \[0, -?[0-9]+,/"hourly": [0, 9223372036854775800,/|e2.json: sums.hourly overflows with the files before it
1 2|s/"reach": \[\[([0-9]+), [0-9]+\], \[([0-9]+), [0-9]+\]/"reach": [[\1, 1.5e+308], [\2, 1.5e+308]/|e2.json: sums.reach overflows with the files before it
1 2|s/("seconds_tsujo": \[[0-9]+, [0-9]+, )[0-9]+/\11.5e+308/|e2.json: sums.exact.seconds_tsujo overflows with the files before it
1 2|s/"balances": .*/"balances": [[-1500000000000000000, 5], [1500000000000000000, 5]],/; s/"wins": [0-9]+/"wins": 5/; s/"giveups": [0-9]+/"giveups": 0/; s/"seconds": [0-9]+/"seconds": 360010/; s/"hourly": \[[^]]*\]/"hourly": [$zeros]/|e2.json: sums.balances overflows with the files before it
EOF

# A shard's seconds lie between its spins at the shortest a spin lasts (5 s
# in the probability-up state) and its days of 10 hours, each ended by a spin
# of at most 50 s (a reach) and a payout of 300 s; these days all end at the
# give-up amount, so their hours tell nothing.
for i in 1 2; do
    "$batch" --days 20 --seed 1 --threads 1 --give-up 100 --shard "$i/2" --json >"$dir/g$i.json"
done
g_giveups=$(sed -n 's/^  "sums": {.*"giveups": \([0-9]*\).*/\1/p' "$dir/g1.json")
g_spins=$(sed -n 's/^  "sums": {.*"spins": \([0-9]*\).*/\1/p' "$dir/g1.json")
check "a shard of days that all end at the give-up amount" test "$g_giveups" = 10 -a -n "$g_spins"
while IFS='|' read -r seconds message; do
    sed -E "s/\"seconds\": [0-9]+/\"seconds\": $seconds/" "$dir/g1.json" >"$dir/g.json"
    reseal "$dir/g.json"
    "$batch" merge "$dir/g.json" "$dir/g2.json" >"$dir/out" 2>"$dir/err"
    status=$?
    if [ -z "$message" ]; then
        check "seconds $seconds of $g_spins spins: merges" test "$status" -eq 0
    else
        check "seconds $seconds of $g_spins spins: exits 2" test "$status" -eq 2
        check "seconds $seconds of $g_spins spins: says why" test "$(cat "$dir/err")" = "popchan-batch: $dir/$message"
        check "seconds $seconds of $g_spins spins: prints nothing" test ! -s "$dir/out"
    fi
done <<EOF
1|g.json: sums.seconds must be at least sums.spins times the shortest a spin lasts (5 s)
$((g_spins * 5 - 1))|g.json: sums.seconds must be at least sums.spins times the shortest a spin lasts (5 s)
$((g_spins * 5))|
363500|
363501|g.json: sums.seconds must be at most days times the hours, the longest spin and a payout (36,350 s a day)
EOF

# The same option twice: the last would silently win, so it is refused by
# name, as a second --sweep is, and nothing is played or written.
while IFS='|' read -r options message; do
    (cd "$dir" && exec "$batch" $options) >"$dir/out" 2>"$dir/err"
    check "$options: exits 2" test $? -eq 2
    check "$options: says so" test "$(head -1 "$dir/err")" = "popchan-batch: $message"
    check "$options: plays nothing" test ! -s "$dir/out" -a ! -e "$dir/twice-a.csv" -a ! -e "$dir/twice-b.csv"
done <<'EOF'
--per-day twice-a.csv --per-day twice-b.csv|--per-day and --per-day do not go together: --per-day takes one value
--days 3 --spins twice-a.csv --spins=twice-b.csv|--spins and --spins do not go together: --spins takes one value
--days 3 --days 4|--days and --days do not go together: --days takes one value
--limiter 5 --limiter=6|--limiter and --limiter do not go together: --limiter takes one value
--exact --form 1 --form 3|--form and --form do not go together: --form takes one value
--sweep spin-rate=20,30 --csv twice-a.csv --csv twice-b.csv|--csv and --csv do not go together: --csv takes one value
EOF

# Edits that leave a shard possible, which only its digest tells: status 2 and
# the file named. Made anew, the digest lets them by: it tells damage and
# edits, and is no signature.
while IFS='|' read -r what edit; do
    cp "$dir/s1.json" "$dir/e1.json"
    sed -E -i "$edit" "$dir/e1.json"
    check "$what: changes the file" test -n "$(diff "$dir/s1.json" "$dir/e1.json")"
    "$batch" merge "$dir/e1.json" "$dir/s2.json" >"$dir/out" 2>"$dir/err"
    check "$what: exits 2" test $? -eq 2
    check "$what: names the file" test "$(cat "$dir/err")" = \
        "popchan-batch: $dir/e1.json: its digest does not match its sums (the file was damaged or edited)"
    check "$what: prints nothing" test ! -s "$dir/out"
    reseal "$dir/e1.json"
    "$batch" merge "$dir/e1.json" "$dir/s2.json" >/dev/null 2>&1
    check "$what, the digest made anew: merges" test $? -eq 0
done <<EOF
the spins + 1|s/"spins": $(sums_value spins),/"spins": $(($(sums_value spins) + 1)),/
the longest chains + 1|s/"max_chain": $(sums_value max_chain),/"max_chain": $(($(sums_value max_chain) + 1)),/
the balance after the first hour × 100|s/"hourly": \[0, (-?[0-9]+)/"hourly": [0, \100/
the hours written otherwise|s/"   10"/"10"/
a damaged digest|s/"digest": "./"digest": "g/
EOF

# What this version does not write, and other versions' summaries.
while IFS='|' read -r edit message; do
    cp "$dir/s1.json" "$dir/e1.json"
    sed -E -i "$edit" "$dir/e1.json"
    check "$edit: changes the file" test -n "$(diff "$dir/s1.json" "$dir/e1.json")"
    "$batch" merge "$dir/e1.json" "$dir/s2.json" >"$dir/out" 2>"$dir/err"
    check "$edit: exits 2" test $? -eq 2
    check "$edit: says why" test "$(cat "$dir/err")" = "popchan-batch: $dir/e1.json: $message"
    check "$edit: prints nothing" test ! -s "$dir/out"
done <<'EOF'
s/"format": 1/"format": 2/|written by another version of popchan-batch (format 2, this one reads 1)
/^  "format": 1,$/d|written by another version of popchan-batch (no format, this one reads 1)
s/"format": 1/"format": "1"/|not a JSON summary of popchan-batch (--json)
s/^  "format": 1,$/  "format": 1,\n  "version": 1,/|unknown member version
s/"sums": \{/"sums": {"foo": 1, /|unknown member sums.foo
s/"exact": \{/"exact": {"bar": [], /|unknown member sums.exact.bar
s/"balance": \{/"balance": {"median": 0, /|unknown member balance.median
s/\{"kind": 1, /{"kind": 1, "x": 0, /|unknown member reach.normal.x
s/"sums": \{"wins": ([0-9]+)/"sums": {"wins": \1, "wins": 0/|member sums.wins given twice
EOF

# Premises are one run's by their values, however they were written.
"$batch" --days 20 --seed 4 --threads 1 --shard 1/2 --hours 10.0 --json >"$dir/h1.json"
"$batch" merge "$dir/h1.json" "$dir/s2.json" >"$dir/merged.txt" 2>"$dir/err"
check "--hours 10.0 and --hours 10 merge" test $? -eq 0
check "... into the run" cmp <(grep -v '^前提' "$dir/s.txt") <(grep -v '^前提' "$dir/merged.txt")
"$batch" --days 20 --seed 4 --threads 1 --shard 1/2 --hours 9.9 --json >"$dir/h1.json"
"$batch" merge "$dir/h1.json" "$dir/s2.json" >/dev/null 2>"$dir/err"
check "--hours 9.9 and --hours 10 do not" grep -qxF \
    "popchan-batch: $dir/s2.json: another run than $dir/h1.json (its seed, premises or days differ)" \
    "$dir/err"

# A summary is a few kilobytes: a file past 16 MiB is refused unread, a pipe
# once it has given that much, in little memory (where a bound can be set);
# one of 16 MiB is read.
in_200_mb() {
    if [ "$asan" -gt 0 ]; then "$@"; else (ulimit -v 200000 && exec "$@"); fi
}
pad() { # file, size: shard 1 with blanks after its text up to the size
    cp "$dir/s1.json" "$1"
    head -c $(($2 - $(wc -c <"$dir/s1.json"))) /dev/zero | tr '\0' ' ' >>"$1"
}
pad "$dir/p1.json" 16777216
"$batch" merge "$dir/p1.json" "$dir/s2.json" >/dev/null 2>"$dir/err"
check "a summary of 16 MiB merges" test $? -eq 0
pad "$dir/p1.json" 16777217
truncate -s 5G "$dir/huge.json"
for file in "$dir/p1.json" "$dir/huge.json" /dev/zero; do
    in_200_mb "$batch" merge "$file" "$dir/s2.json" >"$dir/out" 2>"$dir/err"
    check "$file: exits 2" test $? -eq 2
    check "$file: says why" grep -qxF \
        "popchan-batch: $file: more than 16 MiB, more than a shard's summary takes" "$dir/err"
done
head -c 17000000 /dev/zero | in_200_mb "$batch" merge /dev/stdin 2>"$dir/err"
check "a pipe past 16 MiB: exits 2" test $? -eq 2
check "... and says why" grep -qxF \
    "popchan-batch: /dev/stdin: more than 16 MiB, more than a shard's summary takes" "$dir/err"

# Threads: no more start than the days keep busy, 256 at most, and a thread or
# memory that cannot be had ends the run with a message and status 1, never an
# abort. Each thread holds a machine of about 2 MB; ulimit -s sets the stacks of
# the threads, MALLOC_ARENA_MAX keeps them to one heap.
if [ "$asan" -gt 0 ]; then
    echo "skipped: threads under ulimit -v (AddressSanitizer reserves memory of its own)"
else
    (ulimit -v 400000 && exec "$batch" --days 3 --threads 1000 --seed 1) >"$dir/out" 2>"$dir/err"
    check "3 days with --threads 1000 in 400 MB: exits 0" test $? -eq 0
    check "... says the threads were capped" grep -qxF \
        "popchan-batch: --threads 1000 capped to 256, the most a run starts" "$dir/err"
    check "... plays the 3 days" grep -q '^ＣＲぽぷちゃん batch: 3 days, seed 1$' "$dir/out"
    (ulimit -v 1500000 -s 1024 && MALLOC_ARENA_MAX=1 exec "$batch" --days 40000 --threads 1000 \
        --seed 1) >"$dir/out" 2>"$dir/err"
    check "40,000 days with --threads 1000 in 1.5 GB: exits 0" test $? -eq 0
    (ulimit -v 200000 && exec "$batch" --days 40000 --threads 200 --seed 1) >"$dir/out" 2>"$dir/err"
    check "200 threads in 200 MB: exits 1" test $? -eq 1
    check "... says they could not start" grep -q '^popchan-batch: cannot start 200 worker threads: ' \
        "$dir/err"
    check "... prints nothing" test ! -s "$dir/out"
fi

# The border, with the exact ones beside it.
"$batch" --border --days 30 --seed 2 --form 1 --time-service なし >"$dir/border" 2>"$dir/err"
check "border exits 0" test $? -eq 0
check "border by simulation" grep -q 'シミュレーション (1日の平均収支が 0) *[0-9]*\.[0-9][0-9]  (95 % 区間' "$dir/border"
check "exact borders" grep -q '理論値 (持ち玉)' "$dir/border"

echo "$passes passed, $failures failed"
test "$failures" -eq 0
