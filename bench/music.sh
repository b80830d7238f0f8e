#!/usr/bin/env bash
# Prints the music player's CPU use and its time to quit, with an ALSA device
# that takes samples as fast as they come (the null device), where nothing but
# the player itself keeps it to real time.
# Usage: bench/music.sh BUILD_DIR [RUN_SECONDS]
set -euo pipefail
build=${1:-build/release}
seconds=${2:-20}
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
printf 'pcm.!default { type null }\n' > "$home/.asoundrc"
# No sound server either, so the ALSA default is the device played to.
HOME=$home XDG_RUNTIME_DIR=$home PULSE_SERVER=unix:$home/none \
  "$build/bench/music_bench" "$(dirname "$0")/../assets/music" "$seconds"
