#!/bin/sh
# Layers point one way: the core never reaches the Qt layer or the web page,
# the web page uses the core alone (no Qt, no batch tool), the Qt layer's
# shared widgets reach neither the windows nor the shell, the shell does not
# reach the main window, and the display reaches the reach presentations only
# through the entry it is given.
# usage: layers_test.sh SOURCE_DIR
cd "$1" || exit 2
fail=0
forbid() { # folders, pattern, why
    hits=$(grep -rnE "#include[[:space:]]*[<\"]($2)" $1 2>/dev/null)
    if [ -n "$hits" ]; then
        echo "$3:"
        echo "$hits"
        fail=1
    fi
}
core="common machine parlour display presentations stats premises batch"
forbid "$core" "Q[A-Za-z]*>|app/|shell/|widgets/" "the core includes the Qt layer"
forbid "$core app shell widgets" "web/" "the core or the Qt layer includes the web page"
forbid "web" "Q[A-Za-z]*>|app/|shell/|widgets/|batch/" "the web page includes a Qt layer or the batch tool"
forbid "widgets" "app/|shell/" "the shared widgets include a window"
forbid "shell" "app/" "the shell includes the main window"
forbid "display" "presentations/" "the display includes the presentations"
forbid "common machine" "display/|parlour/|presentations/|stats/" "a lower core folder includes a higher one"
for f in $(grep -rlE '#include[[:space:]]*<Q' . ); do
    case "$f" in
    ./app/* | ./shell/* | ./widgets/*) ;;
    *) echo "Qt source outside the Qt layer: $f"; fail=1 ;;
    esac
done
[ $fail -eq 0 ] && echo "layers point one way"
exit $fail
