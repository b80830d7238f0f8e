#!/usr/bin/env bash
# Prints the desktop program's figures under Xvfb.
# Usage: bench/window.sh BUILD_DIR [RUN_SECONDS]
set -euo pipefail
build=${1:-build/release}
seconds=${2:-60}
export XDG_RUNTIME_DIR=$(mktemp -d)
xvfb-run -a -s "-screen 0 1024x768x24" sh -c \
  "exec '$build/bench/window_bench' \$(date +%s%N) $seconds"
