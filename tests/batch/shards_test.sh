#!/bin/sh
# The README's recipes for shards, run for real: its GNU parallel line on two
# cores, and its Slurm job-array script once for each task id. Each merged
# result must be the whole run's, to the byte. Only the day counts are cut
# down, to keep the test short.
# usage: shards_test.sh POPCHAN_BATCH README
batch=$(realpath "$1")
readme=$2
command -v parallel >/dev/null || {
    echo "GNU parallel missing: skipped"
    exit 77
}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
mkdir "$dir/bin" "$dir/parallel" "$dir/array"
ln -s "$batch" "$dir/bin/popchan-batch"
PATH=$dir/bin:$PATH
failures=0
check() { # what, then the command that must succeed
    what=$1
    shift
    if "$@"; then echo "ok: $what"; else
        echo "FAILED: $what"
        failures=$((failures + 1))
    fi
}

# GNU parallel: the README's line, with 800 days instead of a million, on two cores.
line=$(grep '^parallel popchan-batch' "$readme")
check "the README has its parallel line" test -n "$line"
small=$(printf '%s\n' "$line" | sed 's/--days 1000000 /--days 800 /; s/^parallel /parallel -j2 /')
check "... and it plays 800 days" test "$small" != "$line"
(cd "$dir/parallel" && eval "$small" && popchan-batch merge part*.json >merged)
check "parallel: eight shard files" test "$(ls "$dir"/parallel/part*.json | wc -l)" -eq 8
popchan-batch --days 800 --seed 7 >"$dir/whole800"
check "parallel: the merged shards are the whole run" cmp "$dir/parallel/merged" "$dir/whole800"

# A Slurm job array: the README's script for each SLURM_ARRAY_TASK_ID of
# --array=1-100, with 1,000 days instead of ten million.
awk '/^```sh$/ { block = ""; inside = 1; next }
     /^```$/ { if (inside && block ~ /SLURM_ARRAY_TASK_ID/) printf "%s", block; inside = 0; next }
     inside { block = block $0 "\n" }' "$readme" >"$dir/shard.sh"
check "the README has its job-array script" grep -q 'SLURM_ARRAY_TASK_ID' "$dir/shard.sh"
sed -i 's/--days 10000000 /--days 1000 /' "$dir/shard.sh"
check "... and it plays 1,000 days" grep -q -- '--days 1000 ' "$dir/shard.sh"
(
    cd "$dir/array" || exit 1
    for task in $(seq 100); do SLURM_ARRAY_TASK_ID=$task sh "$dir/shard.sh" || exit 1; done
    popchan-batch merge part*.json >merged
)
check "job array: a hundred shard files" test "$(ls "$dir"/array/part*.json | wc -l)" -eq 100
popchan-batch --days 1000 --seed 7 >"$dir/whole1000"
check "job array: the merged shards are the whole run" cmp "$dir/array/merged" "$dir/whole1000"

[ "$failures" -eq 0 ]
