#!/usr/bin/env bash
# Installs what is missing, builds and runs every test: the Linux suite, the
# same suite with AddressSanitizer and UndefinedBehaviorSanitizer, the Windows
# suite under Wine, the 32-bit Windows build (built and linked only), and a
# bounded fuzzing run of script playback, and the web pages in headless
# Chromium (against the linux build's replay pictures).
set -uo pipefail
cd "$(dirname "$0")/.."

tools/setup.sh || exit 1

failed=()
stage() {
    local name=$1
    shift
    echo
    echo "=== $name"
    if ! "$@"; then
        failed+=("$name")
    fi
}
build() {
    cmake --preset "$1" >/dev/null && cmake --build --preset "$1"
}

stage "linux: build" build linux
stage "linux: test" ctest --preset linux
stage "linux-asan: build" build linux-asan
stage "linux-asan: test" ctest --preset linux-asan
stage "windows-x64: build" build windows-x64
stage "windows-x64: test under Wine" tools/with-xvfb.sh ctest --preset windows-x64
stage "windows-x86: build" build windows-x86
stage "fuzz: script playback, 60 s" tools/fuzz.sh 60
stage "web: FreeType for WebAssembly" tools/web-deps.sh
stage "web: build" build web
stage "web: browser tests" ctest --preset web

echo
if [ ${#failed[@]} -gt 0 ]; then
    printf 'FAILED: %s\n' "${failed[@]}"
    exit 1
fi
echo "All stages passed."
