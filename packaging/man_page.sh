#!/bin/sh
# Writes a gzipped manual page from its roff template: @VERSION@ becomes the
# version, and an @OPTIONS@ line becomes the options of PROGRAM --help, so the
# page lists what the program itself says it takes. The Japanese words of the
# help are written as \*[J "word" "romanized (gloss)"]: a UTF-8 terminal shows
# the word, any other (LANG=C, ASCII) its romanized form, where the word itself
# could not be drawn and would vanish.
#   man_page.sh TEMPLATE VERSION OUTPUT.gz [PROGRAM]
set -eu
template=$1 version=$2 output=$3 program=${4:-}
options=$(mktemp) glosses=$(mktemp)
trap 'rm -f "$options" "$glosses"' EXIT
if [ -n "$program" ]; then
    # The help text after its first blank line: headings ("Run:") become
    # subsections, "  --name ARG  text" and "  --name ARG" with the text on
    # indented lines below become tagged paragraphs, other lines paragraphs,
    # lines that follow each other without a blank one the same paragraph.
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
        /^$/ { plain = 0; next }
        /^[^ ].*:$/ { plain = 0; sub(/:$/, ""); print ".SS " roff($0); next }
        /^  [-a-z]/ {
            plain = 0
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
        { if (!plain) print ".PP"; plain = 1; print roff($0) }
    ' > "$options"
    test -s "$options" || { echo "man_page.sh: no options in $program --help" >&2; exit 1; }
fi
# Japanese word, tab, its romanized form and gloss; a longer word before the
# shorter ones it holds.
cat > "$glosses" <<'END'
ＣＲぽぷちゃん	CR Popchan
大当り確率	oatari kakuritsu
大当り出玉	oatari dedama
確変率	kakuhen ritsu
最高継続回数	saiko keizoku kaisu
確変後無制限	kakuhengo museigen (unlimited after a probability-up chain)
無制限	museigen (unlimited)
回転率	kaiten ritsu
プレイ時間	purei jikan
換金率	kankin ritsu
ギブアップ金額	gibu appu kingaku
営業形態	eigyo keitai
規制なし	kisei nashi (no limit)
理論値	rironchi (exact figures)
初当り	hatsuatari
連荘	renchan
なし	nashi (none)
END
awk -v version="$version" -v options="$options" -v glosses="$glosses" '
    BEGIN { while ((getline line < glosses) > 0) { split(line, f, "\t"); n++; word[n] = f[1]; gloss[n] = f[2] } }
    # Each word becomes a mark first, so that a shorter word is not found again
    # inside a longer one already written out.
    function japanese(s,   i, p, mark) {
        for (i = 1; i <= n; i++)
            while ((p = index(s, word[i])) > 0)
                s = substr(s, 1, p - 1) "\001" i "\002" substr(s, p + length(word[i]))
        for (i = 1; i <= n; i++) {
            mark = "\001" i "\002"
            while ((p = index(s, mark)) > 0)
                s = substr(s, 1, p - 1) "\\*[J \"" word[i] "\" \"" gloss[i] "\"]" substr(s, p + length(mark))
        }
        return s
    }
    /^\.TH / {
        gsub(/@VERSION@/, version); print
        print ".\\\" Japanese words: drawn on a UTF-8 terminal, romanized on any other."
        print ".ie \047\\*[.T]\047utf8\047 .ds J \\\\$1"
        print ".el .ds J \\\\$2"
        next
    }
    /^@OPTIONS@$/ { while ((getline line < options) > 0) print japanese(line); next }
    { gsub(/@VERSION@/, version); print japanese($0) }
' "$template" | gzip -9n > "$output"
