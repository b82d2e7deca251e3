#!/usr/bin/env bash
# The soak: one million periodic events (or EVENTS) replayed headless through
# the cone builder's passes, the scene repainted for each, in the ASan and
# UBSan build with leak checking; prints resident memory and live objects
# every tenth and fails when they grow after the first tenth. ASan's
# quarantine of freed memory is capped at 32 MB so that its filling up is
# not taken for growth.
# Usage: tools/soak.sh [EVENTS]
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset linux-asan >/dev/null
cmake --build --preset linux-asan --target soak_playback >/dev/null
ASAN_OPTIONS=detect_leaks=1:quarantine_size_mb=32 \
    LSAN_OPTIONS="suppressions=$(pwd)/tests/lsan.supp:print_suppressions=0" \
    build/linux-asan/tests/soak_playback "${1:-1000000}"
