#!/usr/bin/env bash
# Headless replay of real programs, without a display: the cone builder and
# both examples replay scripts into PNG pictures whose pixels are checked at
# known points; two runs give the same bytes; pictures every N frames; and
# each bad input gives its one-line message and exit code.
# Usage: replay_e2e.sh CONE_BUILDER BOUNCING_BALL CLICK_SHAPES ENDLESS_PROGRAM
set -uo pipefail
cone=$1 ball=$2 shapes=$3 endless=$4
grade="$(cd "$(dirname "$0")/../../tools" && pwd)/grade.sh"
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
# Under the leak checker, its list of suppressions used is no output of ours.
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}print_suppressions=0"
unset DISPLAY

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1

# The colour of one pixel of a picture, as #RRGGBB.
pixel() {
    convert "$1" -crop "1x1+$2+$3" -depth 8 txt:- | tail -1 | grep -o '#[0-9A-F]\{6\}'
}
expect_pixels() {
    local picture=$1
    shift
    while [ $# -ge 4 ]; do
        local got
        got=$(pixel "$picture" "$1" "$2")
        [ "$got" = "$3" ] || fail "$picture at ($1, $2), $4: $got, expected $3"
        shift 4
    done
}
replay() { # PROGRAM SCRIPT PICTURE [VAR=VALUE...]
    local program=$1 script=$2 picture=$3
    shift 3
    env "$@" DOVRA_REPLAY="$script" DOVRA_REPLAY_PICTURE="$picture" "$program" </dev/null
}

# The cone builder: two scoops added, a topping put on the first, 30 ticks.
printf 'DOVRA_MOUSE(-240, 232);\nDOVRA_MOUSE(-240, 232);\nDOVRA_MOUSE(0, 40);\nDOVRA_PERIODIC(30);\n' \
    >cone.scr
replay "$cone" cone.scr cone1.png || fail "cone builder replay: exit code $?"
replay "$cone" cone.scr cone2.png DOVRA_REPLAY_EVERY=10 || fail "second replay: exit code $?"
expect_pixels cone1.png \
    297 300 '#996633' "the cone, brown" \
    297 190 '#FF00FF' "the first scoop, magenta" \
    297 140 '#99FFFF' "the second scoop, ice blue" \
    297 80 '#0000FF' "the third scoop, blue" \
    297 208 '#FF0000' "the topping, red" \
    500 300 '#FFFFFF' "the background"
cmp -s cone1.png cone2.png || fail "two replays of one script gave different pictures"
[ "$(identify -format '%w x %h' cone1.png)" = "595 x 496" ] ||
    fail "the picture is not the graphics window's client area: $(identify cone1.png)"
for frame in 000010 000020 000030; do
    [ -s "cone2-$frame.png" ] || fail "no picture of frame $frame"
done
[ -e cone2-000040.png ] && fail "a picture of a frame that was never shown"

# The examples: the ball after 20 ticks, a colour change and 10 more; four
# shapes, changed between clicks.
printf 'DOVRA_PERIODIC(20);\nDOVRA_KBD(99);\nDOVRA_PERIODIC(10);\n' >ball.scr
replay "$ball" ball.scr ball.png || fail "bouncing ball replay: exit code $?"
expect_pixels ball.png \
    507 98 '#0000FF' "the ball, blue after the key c, where 30 steps took it" \
    297 248 '#FFFFFF' "where the ball started"
printf '%s\n' 'DOVRA_MOUSE(-100, 50);' 'DOVRA_KBD(116);' 'DOVRA_KBD(110);' 'DOVRA_MOUSE(0, 50);' \
    'DOVRA_KBD(114);' 'DOVRA_KBD(111);' 'DOVRA_MOUSE(100, 50);' 'DOVRA_KBD(99);' \
    'DOVRA_MOUSE(0, -100);' >shapes.scr
replay "$shapes" shapes.scr shapes.png || fail "click shapes replay: exit code $?"
expect_pixels shapes.png \
    197 198 '#0000FF' "the filled blue circle" \
    297 210 '#FF0000' "the red triangle" \
    397 186 '#FF0000' "the outlined rectangle's top edge" \
    397 198 '#FFFFFF' "inside the outlined rectangle" \
    297 325 '#FF0000' "the ring" \
    297 348 '#FFFFFF' "inside the ring"

# Bad input: one line on standard error, the exit code, no picture.
check() { # WHAT EXPECTED-STATUS PATTERN PROGRAM SCRIPT PICTURE [VAR=VALUE...]
    local what=$1 expected=$2 pattern=$3
    shift 3
    local output status existed=no
    [ -e "$3" ] && existed=yes
    output=$(replay "$@" 2>&1)
    status=$?
    if [ "$status" -ne "$expected" ] || [ "$(printf '%s\n' "$output" | wc -l)" -ne 1 ] ||
        ! printf '%s\n' "$output" | grep -q -- "$pattern"; then
        fail "$what: exit code $status (expected $expected), output: $output"
    fi
    [ "$existed" = no ] && [ -e "$3" ] && fail "$what: a picture was left at $3"
}
mkdir folder
printf 'DOVRA_PERIODIC(999999);\n' >long.scr
check "a missing script" 1 'cannot read the script "missing.scr": No such file' \
    "$cone" missing.scr bad.png
check "a script that is a folder" 1 'cannot read the script "folder": it is a directory' \
    "$cone" folder bad.png
check "a picture in a missing folder" 1 'cannot write the picture "nowhere/bad.png"' \
    "$cone" cone.scr nowhere/bad.png
check "a picture that is a folder" 1 'cannot write the picture "folder"' "$cone" cone.scr folder
check "a bad frame limit" 1 'DOVRA_REPLAY_FRAMES=ten is not a whole number' \
    "$cone" cone.scr bad.png DOVRA_REPLAY_FRAMES=ten
check "a bad picture period" 1 'DOVRA_REPLAY_EVERY=0 is not a whole number' \
    "$cone" cone.scr bad.png DOVRA_REPLAY_EVERY=0
check "a script longer than the limit" 2 'did not end within 200 frames' \
    "$cone" long.scr bad.png DOVRA_REPLAY_FRAMES=200
check "a program that never ends" 2 'did not end within 50 frames' \
    "$endless" cone.scr bad.png DOVRA_REPLAY_FRAMES=50
printf 'DOVRA_MOUSE(-240, 232);\nDOVRA_NOTHING;\nDOVRA_PERIODIC(3);\n' >broken.scr
check "a script with a line it cannot play" 3 \
    'stops at line 2, which it cannot play: DOVRA_NOTHING;' "$cone" broken.scr bad.png
[ -d folder ] || fail "the folder named as the picture is gone"

# Grading: the same picture, a different one (with its difference picture),
# and no grade at all.
output=$("$grade" "$cone" cone.scr cone1.png diff.png)
[ $? -eq 0 ] && [[ $output == equal:* ]] || fail "grading an equal picture: $output"
[ -e diff.png ] && fail "a difference picture for equal pictures"
printf 'DOVRA_MOUSE(-240, 232);\nDOVRA_PERIODIC(30);\n' >other.scr
output=$("$grade" "$cone" other.scr cone1.png diff.png)
[ $? -eq 1 ] && [[ $output == different:*pixels* ]] || fail "grading a different picture: $output"
[ "$(identify -format '%w x %h' diff.png 2>&1)" = "595 x 496" ] || fail "no difference picture"
for example in "$ball ball" "$shapes shapes"; do
    set -- $example
    output=$("$grade" "$1" "$2.scr" "$2.png" diff.png)
    [ $? -eq 0 ] && [[ $output == equal:* ]] || fail "grading $2 against its own picture: $output"
done
output=$("$grade" "$ball" shapes.scr ball.png diff.png)
[ $? -eq 1 ] || fail "grading the ball with another script: $output"
output=$("$grade" "$cone" broken.scr cone1.png diff.png 2>/dev/null)
[ $? -eq 2 ] && [[ $output == "cannot grade: script file broken.scr stops at line 2"* ]] ||
    fail "grading with a script that stops at a line it cannot play: $output"
output=$("$grade" "$cone" missing.scr cone1.png diff.png 2>&1)
[ $? -eq 2 ] || fail "grading with a missing script: $output"

[ "$failures" -eq 0 ] && echo "replay: all checks passed"
exit $((failures > 0))
