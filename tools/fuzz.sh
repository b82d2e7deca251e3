#!/usr/bin/env bash
# Builds the fuzz target (clang, libFuzzer, ASan, UBSan) and fuzzes script
# playback for a bounded time: arbitrary bytes as DOVRA.SCR, played to the
# end through DOVRA_next_event. Seeds come from tests/fuzz/corpus; what the
# fuzzer finds new is kept in build/fuzz/corpus, a crash or hang in
# build/fuzz/artifacts/ (make it a unit test).
# Usage: tools/fuzz.sh [SECONDS]   (default 60)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
seconds=${1:-60}

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target fuzz_script_playback
mkdir -p build/fuzz/corpus build/fuzz/artifacts
# The target works in a scratch directory of its own, so every path is absolute.
ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0" \
    build/fuzz/tests/fuzz/fuzz_script_playback -max_total_time="$seconds" -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$root/build/fuzz/artifacts/" \
    "$root/build/fuzz/corpus" "$root/tests/fuzz/corpus" 2>&1 |
    grep -v '^#[0-9]' | grep -v 'Uses: ' | tail -n 30
