#!/usr/bin/env bash
# Measures class grading: COUNT generated submissions (correct and wrong
# ones, one that does not compile, one of each hostile kind) x 3 scripts,
# graded at -j 1 and at -j 2 from an installed package, with the wall time,
# the speed-up, the grader's peak memory (largest resident set of any of its
# processes), the processor time it took (which a busy machine does not
# change much) and whether both runs gave the same results. Also the headless
# replay's frames per second for the cone builder. Needs root (the sandbox).
# Usage: bench/grade_class.sh [BUILD-DIR] [COUNT]   (default build/linux, 200)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/linux}
count=${2:-200}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
cmake --install "$build" --prefix "$work/prefix" >/dev/null
"$root/tests/grading/make_class.sh" "$work/class" "$count"
echo "class: $(ls "$work/class/submissions" | wc -l) submissions x $(ls "$work/class/scripts" | wc -l) scripts"
for jobs in 1 2; do
    /usr/bin/time -f "%e %M %U %S" -o "$work/time-$jobs" \
        "$root/tools/grade.sh" class "$work/class/submissions" \
        --reference "$work/class/reference.cpp" --scripts "$work/class/scripts" \
        --out "$work/report-$jobs" --package "$work/prefix" -j "$jobs" >"$work/said-$jobs"
    read -r seconds kb user system <"$work/time-$jobs"
    echo "-j $jobs: $seconds s wall, $user s user + $system s system processor time," \
        "peak memory $((kb / 1024)) MB; $(sed 's/; report.*//' "$work/said-$jobs")"
done
read -r one _ _ _ <"$work/time-1"
read -r two _ _ _ <"$work/time-2"
echo "speed-up at -j 2: $(python3 -c "print(round($one / $two, 2))")"
# The results without the time each run took.
results() {
    python3 -c 'import csv, sys
for row in csv.reader(open(sys.argv[1])): print(row[:-1])' "$1"
}
if [ "$(results "$work/report-1/results.csv")" = "$(results "$work/report-2/results.csv")" ]; then
    echo "results at -j 1 and -j 2: the same"
else
    echo "results at -j 1 and -j 2: DIFFERENT"
    diff <(results "$work/report-1/results.csv") <(results "$work/report-2/results.csv") | head
fi

# Headless replay speed: a script of 20,000 ticks through the cone builder.
printf 'DOVRA_PERIODIC(20000);\n' >"$work/frames.scr"
best=""
for _ in 1 2 3 4 5; do
    start=$(date +%s%N)
    DOVRA_REPLAY="$work/frames.scr" DOVRA_REPLAY_PICTURE="$work/frames.png" \
        "$build/app/cone_builder" </dev/null
    ns=$(($(date +%s%N) - start))
    [ -z "$best" ] || [ "$ns" -lt "$best" ] && best=$ns
done
echo "headless replay of the cone builder: $((20000 * 1000000000 / best)) frames/s (best of 5)"
