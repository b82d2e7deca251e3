#!/usr/bin/env bash
# The desktop backend's windows and keyboard as a user meets them, through
# a small program that reports what reaches it: characters typed (also
# outside ASCII, and keys that make none), clicks at client coordinates,
# the log window resized and closed by its close box (the program goes on),
# and the graphics window's close box (the program ends with exit code 0).
# Runs in an X server without a window manager: resizes and close boxes are
# asked for as a window manager asks for them.
# Usage: desktop_probe_e2e.sh X11-CLOSE PROGRAM
set -uo pipefail
source "$(dirname "$0")/e2e_lib.sh"
x11_close=$1
program=$2

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
out=$(mktemp)
run_dir=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null; rm -rf "$out" "$run_dir"' EXIT
(cd "$run_dir" && exec "$program") >"$out" 2>&1 &
pid=$!

# The window titled $1, or a failure that says what the program said.
window_of() {
    find_window "$1" "$pid" && return 0
    echo "FAIL: no window \"$1\"; the program said: $(cat "$out")" >&2
    return 1
}

# Waits until the program has reported a line matching $1.
expect_line() {
    for _ in $(seq 50); do
        grep -qx "$1" "$out" && return 0
        sleep 0.1
    done
    fail "the program did not report \"$1\"; it reported: $(tr '\n' '|' <"$out")"
}

graphics=$(window_of "DOVRA Graphics") || exit 1
log=$(window_of "DOVRA Text") || exit 1
eval "$(xdotool getwindowgeometry --shell "$graphics")"
gx=$X
gy=$((Y + 20))

# A click at client (10, 20) is package (10 - 297, 248 - 20).
xdotool mousemove $((gx + 10)) $((gy + 20)) click 1
expect_line "click -287 228"

# Characters: ASCII, Windows-1252 beyond it, and keys that make none.
xdotool type --delay 50 'a1'
expect_line "key 97"
expect_line "key 49"
xdotool type --delay 50 'é€'
expect_line "key 233"
expect_line "key 128"
before=$(grep -c '^key' "$out")
xdotool key F5 Left shift
sleep 0.5
[ "$(grep -c '^key' "$out")" -eq "$before" ] || fail "keys without a character gave a character"
# Ctrl with a letter is a shortcut, not a character.
xdotool key ctrl+h
sleep 0.3
[ "$(grep -c '^key' "$out")" -eq "$before" ] || fail "Ctrl+H gave a character"

# The log window: resized, the program hears of it; keys typed in it reach
# the program; closed, it goes on.
xdotool windowsize "$log" 700 300
sleep 0.3
xdotool mousemove $((gx + 100)) $((gy + 100)) click 1
expect_line "log 700x300"
# A character typed with the log window focused reaches the program too.
eval "$(xdotool getwindowgeometry --shell "$log")"
xdotool mousemove $((X + 50)) $((Y + 50)) click 1
xdotool type --delay 50 'b'
expect_line "key 98"
"$x11_close" "$log"
sleep 0.5
kill -0 "$pid" 2>/dev/null || fail "closing the log window ended the program"
xdotool mousemove $((gx + 297)) $((gy + 248)) click 1
expect_line "click 0 0"

# The graphics window's close box ends the run.
"$x11_close" "$graphics"
wait_for_exit "$pid"
status=$exit_code
if [ "$status" != "0" ]; then
    fail "the close box did not end the program with exit code 0 (status ${status:-still running})"
fi
expect_line "exit"

if [ "$failures" -gt 0 ]; then
    echo "desktop probe: $failures check(s) failed"
    exit 1
fi
echo "desktop probe: all checks passed"
