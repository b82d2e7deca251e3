#!/usr/bin/env bash
# The cone builder in a real X server, used as a person would: clicks on the
# buttons and the scoops, the Run menu's shortcuts, Alt+R with a mnemonic,
# recording and playing a script, and the close box; checked by screenshots
# at known pixels. Runs under tools/with-xvfb.sh (no window manager: the
# close box is asked for as a window manager asks, by WM_DELETE_WINDOW).
#
# Usage: cone_builder_e2e.sh NAME MENU-BAR-HEIGHT OUT-DIR X11-CLOSE -- PROGRAM [ARGS...]
# Leaves OUT-DIR/NAME-start.png, the client area of the start scene.
set -uo pipefail
source "$(dirname "$0")/e2e_lib.sh"

name=$1
menu_height=$2
out_dir=$3
x11_close=$4
shift 5
mkdir -p "$out_dir"

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

run_dir=$(mktemp -d)
cleanup() {
    [ -n "${program_pid:-}" ] && kill "$program_pid" 2>/dev/null
    rm -rf "$run_dir"
}
trap cleanup EXIT

(cd "$run_dir" && exec "$@") &
program_pid=$!

if ! window=$(find_window "DOVRA Graphics" "$program_pid"); then
    echo "FAIL: no window \"DOVRA Graphics\""
    exit 1
fi
eval "$(xdotool getwindowgeometry --shell "$window")"
wx=$X
wy=$((Y + menu_height))

# Package coordinates (origin at the client area's centre, y upwards) to
# screen coordinates.
sx() { echo $((wx + 297 + $1)); }
sy() { echo $((wy + 248 - $1)); }

# The colour at package coordinates (x, y), as #RRGGBB.
pixel() {
    import -window root -crop "1x1+$(sx "$1")+$(sy "$2")" -depth 8 txt:- 2>/dev/null |
        grep -o '#[0-9A-F]\{6\}' | head -n 1
}

# A checksum of the pixels in a package rectangle (left, top, width, height).
area() {
    import -window root -crop "$3x$4+$(sx "$1")+$(sy "$2")" rgb:- 2>/dev/null | md5sum
}
drip() { area -70 26 21 280; }

expect_pixel() {
    local what=$1 x=$2 y=$3 want=$4 got=""
    for _ in $(seq 30); do
        got=$(pixel "$x" "$y")
        [ "$got" = "$want" ] && return 0
        sleep 0.1
    done
    fail "$what: pixel ($x, $y) is $got, expected $want"
}

click() {
    xdotool mousemove "$(sx "$1")" "$(sy "$2")" click 1
    sleep 0.3
}

key() {
    xdotool key "$1"
    sleep 0.3
}

# The first frame: the cone is drawn.
expect_pixel "start scene" 0 -50 "#996633"
import -window root -crop "595x496+$wx+$wy" +repage "$out_dir/$name-start.png"
expect_pixel "the lowest scoop is magenta" 0 50 "#FF00FF"
expect_pixel "background" 200 -100 "#FFFFFF"
expect_pixel "the pulsing circle" 280 225 "#FFFF00"
expect_pixel "a button's outline" -295 150 "#000000"
expect_pixel "no second scoop" 0 125 "#FFFFFF"

# The animation runs: the drip moves.
before=$(drip)
sleep 0.5
[ "$(drip)" != "$before" ] || fail "the drip does not move while the animation runs"

# Ctrl+H halts it; Ctrl+F advances one frame; Ctrl+A runs it again.
click 200 -100 # the window takes the keyboard
key ctrl+h
halted=$(drip)
sleep 0.6
[ "$(drip)" = "$halted" ] || fail "Ctrl+H does not stop the drip"
key ctrl+f
stepped=$(drip)
[ "$stepped" != "$halted" ] || fail "Ctrl+F does not advance a frame"
sleep 0.6
[ "$(drip)" = "$stepped" ] || fail "Ctrl+F advances more than one frame"
key ctrl+a
sleep 0.5
[ "$(drip)" != "$stepped" ] || fail "Ctrl+A does not restart the animation"

# Buttons and scoops.
click -240 232 # Add Scoop
expect_pixel "Add Scoop adds an ice blue scoop" 0 125 "#99FFFF"
click 0 40 # on the scoops: a red circle topping
expect_pixel "the new topping is red" -5 44 "#FF0000"
click -240 207 # Remove Scoop
expect_pixel "Remove Scoop removes it" 0 125 "#FFFFFF"

# A script: Ctrl+R, Add Scoop, Ctrl+R; then Remove Scoop by hand and Ctrl+P
# plays the recorded click back.
key ctrl+r
click -240 232
key ctrl+r
expect_pixel "recorded Add Scoop" 0 125 "#99FFFF"
# (Written on Windows, its lines end in CR LF.)
if ! tr -d '\r' <"$run_dir/DOVRA.SCR" 2>/dev/null | grep -qx 'DOVRA_MOUSE(-240, 232);'; then
    fail "DOVRA.SCR does not hold the recorded click: $(cat "$run_dir/DOVRA.SCR" 2>&1)"
fi
click -240 207
expect_pixel "Remove Scoop before playback" 0 125 "#FFFFFF"
key ctrl+p
expect_pixel "playback adds the scoop again" 0 125 "#99FFFF"

# Alt+R opens the Run menu; its mnemonic h halts the animation.
key ctrl+a
key alt+r
key h
halted=$(drip)
sleep 0.6
[ "$(drip)" = "$halted" ] || fail "Alt+R, H does not halt the animation"

# Ctrl+L switches logging, and the Run menu's Logging item shows it (the
# log window itself stays hidden, as the program started it). The animation
# is halted, so only the menu can change the picture.
# (On Windows one Escape closes the menu and leaves the menu bar selected;
# a second leaves the menu bar.)
key alt+r
menu_before=$(area -297 248 320 280)
key Escape
key Escape
key ctrl+l
key alt+r
menu_after=$(area -297 248 320 280)
key Escape
key Escape
[ "$menu_after" != "$menu_before" ] || fail "Ctrl+L does not change the Logging check mark"

# The close box ends the run with exit code 0.
"$x11_close" "$window"
wait_for_exit "$program_pid"
status=$exit_code
program_pid=""
if [ -z "$status" ]; then
    fail "the close box does not end the program"
elif [ "$status" -ne 0 ]; then
    fail "the program ended with exit code $status"
fi

if [ "$failures" -gt 0 ]; then
    echo "$name: $failures check(s) failed"
    exit 1
fi
echo "$name: all checks passed"
