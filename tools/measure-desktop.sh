#!/usr/bin/env bash
# Measures the Linux cone builder on screen, from outside the process, in a
# private Xvfb: the time from start to the first frame (median of 5 starts),
# the processor time it uses over 10 seconds untouched with the animation
# running, its peak resident memory, and the ticks it delivers in 10 seconds
# (counted by recording them to a script with Ctrl+R).
# Usage: tools/measure-desktop.sh   (builds the linux preset first)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ -z "${DOVRA_MEASURE_INSIDE_XVFB:-}" ]; then
    (cd "$root" && cmake --preset linux >/dev/null &&
        cmake --build --preset linux --target cone_builder first_frame >/dev/null)
    DOVRA_MEASURE_INSIDE_XVFB=1 exec "$root/tools/with-xvfb.sh" "$0"
fi
program=$root/build/linux/app/cone_builder
first_frame=$root/build/linux/bench/first_frame
run_dir=$(mktemp -d)
trap 'rm -rf "$run_dir"' EXIT
cd "$run_dir"

times=()
for _ in 1 2 3 4 5; do
    times+=("$("$first_frame" 20 "$program" | sed 's/.*first frame \([0-9.]*\) ms/\1/')")
done
median=$(printf '%s\n' "${times[@]}" | sort -n | sed -n 3p)
echo "start to first frame: median $median ms (runs: ${times[*]} ms)"

wait_for_window() {
    for _ in $(seq 300); do
        xdotool search --name '^DOVRA Graphics$' 2>/dev/null | head -n 1 && return 0
        sleep 0.1
    done
    return 1
}
cpu_ns() { awk '{print $1}' "/proc/$1/schedstat"; }

"$program" &
pid=$!
wait_for_window >/dev/null
sleep 1
before=$(cpu_ns "$pid")
sleep 10
after=$(cpu_ns "$pid")
peak=$(awk '/VmHWM/ {print $2}' "/proc/$pid/status")
kill "$pid"
wait "$pid" 2>/dev/null || true
awk -v ns=$((after - before)) 'BEGIN {
    printf "processor time over 10 s untouched, animation running: %.1f ms (%.2f%% of one core)\n",
        ns / 1e6, ns / 1e8 }'
echo "peak resident memory: $((peak / 1024)).$(((peak % 1024) * 10 / 1024)) MB ($peak kB)"

"$program" &
pid=$!
window=$(wait_for_window)
eval "$(xdotool getwindowgeometry --shell "$window")"
xdotool mousemove $((X + 500)) $((Y + 20 + 400)) click 1
sleep 0.5
xdotool key ctrl+r
sleep 10
xdotool key ctrl+r
sleep 0.3
kill "$pid"
wait "$pid" 2>/dev/null || true
ticks=$(sed -n 's/^DOVRA_PERIODIC(\([0-9]*\));$/\1/p' DOVRA.SCR | awk '{s += $1} END {print s + 0}')
echo "ticks delivered in 10 s (recorded between Ctrl+R and Ctrl+R): $ticks"
