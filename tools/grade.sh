#!/usr/bin/env bash
# Grades a DOVRA program by what it draws: replays SCRIPT through PROGRAM
# without a display (DOVRA_REPLAY) and compares its last picture with
# EXPECTED, pixel for pixel. When they differ, writes a difference picture
# (the differing pixels in red over a faded copy of the expected picture).
#
#   tools/grade.sh PROGRAM SCRIPT EXPECTED.png [DIFFERENCE.png]
#
# Exit code 0: equal. 1: they differ (the difference picture is written).
# 2: no grade: "cannot grade" when the script stops at a line it cannot play
# (the replay's exit code 3), or the replay failed, or a picture cannot be read.
# DOVRA_REPLAY_FRAMES in the environment sets the replay's limit, as always.
# Needs ImageMagick (compare).
#
#   tools/grade.sh class SUBMISSIONS --reference REF --scripts DIR --out REPORT [-j N]
#   tools/grade.sh merge --out REPORT PART...
#
# grade a whole class in a sandbox, or merge reports (docs/grading.md).
set -uo pipefail

if [ "${1:-}" = class ] || [ "${1:-}" = merge ]; then
    here=$(dirname "$(readlink -f "$0")")
    for grading in "$here/grading" "$here/../share/dovra/grading"; do
        if [ -f "$grading/main.py" ]; then
            exec python3 "$grading/main.py" "$@"
        fi
    done
    echo "grade: the class grader is not installed beside $0" >&2
    exit 2
fi

if [ $# -lt 3 ] || [ $# -gt 4 ]; then
    echo "usage: $(basename "$0") PROGRAM SCRIPT EXPECTED.png [DIFFERENCE.png]" >&2
    exit 2
fi
program=$1 script=$2 expected=$3 difference=${4:-difference.png}
if ! command -v compare >/dev/null 2>&1; then
    echo "grade: ImageMagick's compare is not installed (apt-get install imagemagick)" >&2
    exit 2
fi
if [ ! -r "$expected" ]; then
    echo "grade: cannot read the expected picture \"$expected\"" >&2
    exit 2
fi
case $program in */*) ;; *) program=./$program ;; esac

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
actual="$work/actual.png"
DOVRA_REPLAY="$script" DOVRA_REPLAY_PICTURE="$actual" "$program" </dev/null 2>"$work/replay.err"
status=$?
# The replay's own messages stay visible; a broken script is named as such.
cat "$work/replay.err" >&2
if [ "$status" -eq 3 ]; then
    stop=$(grep -m1 'stops at line' "$work/replay.err" | sed 's/^DOVRA replay: //')
    echo "cannot grade: ${stop:-the script \"$script\" stops at a line it cannot play}"
    exit 2
fi
if [ "$status" -ne 0 ]; then
    echo "grade: the replay of \"$script\" through $program failed (exit code $status)" >&2
    exit 2
fi

expected_size=$(identify -format '%w x %h' "$expected" 2>/dev/null)
actual_size=$(identify -format '%w x %h' "$actual")
if [ -z "$expected_size" ]; then
    echo "grade: \"$expected\" is not a picture" >&2
    exit 2
fi
if [ "$expected_size" != "$actual_size" ]; then
    convert "$actual" "$difference" 2>/dev/null
    echo "different: the program's picture is $actual_size, the expected one $expected_size" \
        "(the program's picture is in $difference)"
    exit 1
fi
pixels=$(compare -metric AE "$expected" "$actual" "$difference" 2>&1 >/dev/null)
status=$?
if [ "$status" -eq 0 ]; then
    rm -f "$difference"
    echo "equal: $actual_size pixels, all the same"
    exit 0
fi
if [ "$status" -eq 1 ]; then
    echo "different: $pixels of $actual_size pixels differ (difference picture: $difference)"
    exit 1
fi
echo "grade: cannot compare the pictures: $pixels" >&2
exit 2
