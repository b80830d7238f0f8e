#!/bin/sh
# One phase of `make test`: runs the command and notes in build/phases.txt how
# many seconds it took.
# usage: phase.sh NAME COMMAND...
name=$1
shift
start=$(date +%s)
"$@"
status=$?
mkdir -p build
printf '%s\t%d\n' "$name" $(($(date +%s) - start)) >>build/phases.txt
exit $status
