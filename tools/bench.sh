#!/usr/bin/env bash
# Builds the linux and windows-x64 presets and runs every benchmark: the
# package's calls under Google Benchmark (medians of repeated runs), the same
# calls with the plain timing program natively and under Wine (so Wine's GDI
# is measured in the same run), the layer's own GDI benchmarks, and the event
# loop natively and under Wine. Prints one table with the ratios: each case
# against the memset of the surface's bytes, and Wine against the layer.
#
#   tools/bench.sh              build and run everything
#   tools/bench.sh --no-build   run what is built
#
# DOVRA_BENCH_LINUX_DIR and DOVRA_BENCH_WINDOWS_DIR choose other build
# directories (defaults: build/linux and build/windows-x64, the presets').
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

linux_dir=${DOVRA_BENCH_LINUX_DIR:-build/linux}
windows_dir=${DOVRA_BENCH_WINDOWS_DIR:-build/windows-x64}
repetitions=${DOVRA_BENCH_REPETITIONS:-5}

if [ "${1:-}" != "--no-build" ]; then
    if [ "$linux_dir" = build/linux ]; then
        cmake --preset linux >/dev/null && cmake --build --preset linux
    else
        cmake --build "$linux_dir" -j2
    fi
    if [ "$windows_dir" = build/windows-x64 ]; then
        cmake --preset windows-x64 >/dev/null && cmake --build --preset windows-x64
    else
        cmake --build "$windows_dir" -j2
    fi
fi
case $linux_dir in /*) ;; *) linux_dir="$root/$linux_dir" ;; esac
case $windows_dir in /*) ;; *) windows_dir="$root/$windows_dir" ;; esac

# The programs write their scripts into the current directory: a private one.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

echo
echo "=== Package calls: Google Benchmark, median of $repetitions repetitions"
"$linux_dir/bench/bench_package" --benchmark_repetitions="$repetitions" \
    --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null |
    awk -F, '$1 ~ /_median"?$/ { name = $1; gsub(/"/, "", name); sub(/_median$/, "", name);
             print name, $3 }' >gbench.txt

echo "=== Package calls: plain timing program, portable layer and Wine (median of 15 batches)"
"$linux_dir/bench/drawing_calls_timing" >layer.txt
"$root/tools/wine-exec.sh" "$windows_dir/bench/drawing_calls_timing.exe" | tr -d '\r' >wine.txt

echo
awk '
    FILENAME == "gbench.txt" { gb[$1] = $2; next }
    FILENAME == "layer.txt" && $2 ~ /^[0-9.]+$/ { layer[$1] = $2; order[++n] = $1; next }
    FILENAME == "wine.txt" && $2 ~ /^[0-9.]+$/ { wine[$1] = $2; next }
    END {
        printf "%-18s %12s %8s %12s %8s %12s %8s %10s\n", "case", "gbench ns", "/memset",
               "layer ns", "/memset", "Wine ns", "/memset", "Wine/layer"
        for (i = 1; i <= n; i++) {
            c = order[i]
            printf "%-18s %12.0f %8.2f %12.0f %8.2f %12.0f %8.2f %10.2f\n", c, gb[c],
                   gb[c] / gb["memset_surface"], layer[c], layer[c] / layer["memset_surface"],
                   wine[c], wine[c] / wine["memset_surface"], wine[c] / layer[c]
        }
    }' gbench.txt layer.txt wine.txt

echo
echo "=== The layer's GDI: Google Benchmark, median of $repetitions repetitions"
"$linux_dir/bench/bench_gdi" --benchmark_repetitions="$repetitions" \
    --benchmark_report_aggregates_only=true 2>/dev/null | grep -E "^BM_.*_median|^Benchmark"

echo
echo "=== Event loop: portable layer (headless backend)"
"$linux_dir/bench/event_loop_timing"
echo
echo "=== Event loop: Wine"
"$root/tools/wine-exec.sh" "$windows_dir/bench/event_loop_timing.exe" | tr -d '\r'
