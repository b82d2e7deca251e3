#!/usr/bin/env bash
# Programs whose entry is main, not WinMain, behave as WinMain programs do:
# a headless replay gives their picture, without a display they say so in
# one line and exit 1, and on a display their window opens, answers a click
# and closes with the close box.
# Usage: main_program_e2e.sh X11_CLOSE PROGRAM...
set -uo pipefail
x11_close=$1
shift
source "$(dirname "$0")/e2e_lib.sh"
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}print_suppressions=0"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
pixel() {
    convert "$1" -crop "1x1+$2+$3" -depth 8 txt:- | tail -1 | grep -o '#[0-9A-F]\{6\}'
}

printf 'DOVRA_MOUSE(100, 100);\n' >"$work/click.scr"
for program in "$@"; do
    name=$(basename "$program")
    # Headless replay: the circle at the centre (297, 248) and the click's.
    env -u DISPLAY DOVRA_REPLAY="$work/click.scr" DOVRA_REPLAY_PICTURE="$work/$name.png" \
        timeout 60 "$program" </dev/null
    status=$?
    if [ "$status" -ne 0 ] || [ ! -s "$work/$name.png" ]; then
        fail "$name replayed: exit code $status"
    else
        [ "$(pixel "$work/$name.png" 297 248)" = '#FF0000' ] || fail "$name: no red circle"
        [ "$(pixel "$work/$name.png" 397 148)" = '#0000FF' ] || fail "$name: no blue circle"
    fi
    # No display: one line that says so, and exit code 1, at once.
    said=$(env -u DISPLAY timeout 20 "$program" 2>&1 </dev/null)
    status=$?
    [ "$status" -eq 1 ] && [ "$(printf '%s\n' "$said" | wc -l)" -eq 1 ] &&
        [[ $said == *"no display (DISPLAY is not set)"* ]] ||
        fail "$name without a display: exit code $status, said: $said"
    # On the display: the window opens, and the close box ends the program.
    "$program" </dev/null &
    pid=$!
    if window=$(find_window "DOVRA Graphics" "$pid"); then
        "$x11_close" "$window"
        wait_for_exit "$pid"
        [ "$exit_code" = 0 ] || fail "$name after the close box: exit code ${exit_code:-none}"
    else
        fail "$name shows no window on the display"
    fi
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
done
[ "$failures" -eq 0 ] && echo "main programs: all checks passed"
exit $((failures > 0))
