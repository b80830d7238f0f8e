#!/usr/bin/env bash
# Prints the program's CPU use and the clock's pace at each play speed, a
# seeded day with the display shown, under Xvfb.
# Usage: bench/speed.sh BUILD_DIR [RUN_SECONDS] [SEED]
set -euo pipefail
build=${1:-build/release}
seconds=${2:-60}
seed=${3:-2026}
export XDG_RUNTIME_DIR=$(mktemp -d)
xvfb-run -a -s "-screen 0 1024x768x24" "$build/bench/speed_bench" "$seed" "$seconds"
