#!/bin/sh
# Writes a gzipped manual page from its roff template: @VERSION@ becomes the
# version, and an @OPTIONS@ line becomes the options of PROGRAM --help, so the
# page lists what the program itself says it takes.
#   man_page.sh TEMPLATE VERSION OUTPUT.gz [PROGRAM]
set -eu
template=$1 version=$2 output=$3 program=${4:-}
options=$(mktemp)
trap 'rm -f "$options"' EXIT
if [ -n "$program" ]; then
    # The help text after its first blank line: headings ("Run:") become
    # subsections, "  --name ARG  text" and "  --name ARG" with the text on
    # indented lines below become tagged paragraphs, other lines paragraphs.
    "$program" --help | awk '
        function roff(s) { gsub(/\\/, "\\e", s); sub(/^[.\047]/, "\\\\&&", s); return s }
        function term(s,   n, w, i, out) {
            n = split(s, w, " ")
            out = "\\fB" w[1] "\\fR"
            for (i = 2; i <= n; i++) out = out " \\fI" w[i] "\\fR"
            gsub(/-/, "\\-", out)
            return out
        }
        !body { if ($0 == "") body = 1; next }
        /^$/ { next }
        /^[^ ].*:$/ { sub(/:$/, ""); print ".SS " roff($0); next }
        /^  -/ {
            line = substr($0, 3)
            if (match(line, /  +/)) {
                print ".TP"; print term(substr(line, 1, RSTART - 1))
                print roff(substr(line, RSTART + RLENGTH))
            } else {
                print ".TP"; print term(line)
            }
            next
        }
        /^   / { sub(/^ +/, ""); print roff($0); next }
        { print ".PP"; print roff($0) }
    ' > "$options"
    test -s "$options" || { echo "man_page.sh: no options in $program --help" >&2; exit 1; }
fi
awk -v version="$version" -v options="$options" '
    /^@OPTIONS@$/ { while ((getline line < options) > 0) print line; next }
    { gsub(/@VERSION@/, version); print }
' "$template" | gzip -9n > "$output"
