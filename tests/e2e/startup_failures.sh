#!/usr/bin/env bash
# The desktop program where it cannot run: without a display, with a display
# that does not answer, and without any font. Each time one line on standard
# error that says what is wrong, and exit code 1.
# Usage: startup_failures.sh PROGRAM
set -uo pipefail
program=$1
failures=0
# Under the leak checker, its list of suppressions used is no output of ours.
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}print_suppressions=0"

check() {
    local what=$1 pattern=$2
    shift 2
    local output status
    output=$("$@" 2>&1 </dev/null)
    status=$?
    if [ "$status" -ne 1 ] || [ "$(printf '%s\n' "$output" | wc -l)" -ne 1 ] ||
        ! printf '%s\n' "$output" | grep -q "$pattern"; then
        echo "FAIL: $what: exit code $status, output: $output"
        failures=$((failures + 1))
    fi
}

check "no DISPLAY" "no display (DISPLAY is not set).*tools/with-xvfb.sh" env -u DISPLAY "$program"
check "a display that is not there" "cannot open the display \":4242\".*tools/with-xvfb.sh" \
    env DISPLAY=:4242 "$program"
fonts=$(mktemp -d)
printf '<?xml version="1.0"?>\n<fontconfig><dir>%s</dir><cachedir>%s</cachedir></fontconfig>\n' \
    "$fonts" "$fonts" >"$fonts/fonts.conf"
check "no font" "no usable font" env FONTCONFIG_FILE="$fonts/fonts.conf" "$program"
rm -rf "$fonts"
[ "$failures" -eq 0 ] && echo "start-up failures: all reported"
exit $((failures > 0))
