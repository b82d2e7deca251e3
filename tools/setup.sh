#!/usr/bin/env bash
# Installs what DOVRA needs on Debian 12, and nothing that is already there.
# Uses sudo when not run as root.
#
#   tools/setup.sh run    building and running the programs (tools/run.sh)
#   tools/setup.sh        everything the tests need besides (tools/test.sh):
#                         GoogleTest, Google Benchmark, the Windows cross
#                         compilers, Wine, xdotool, ImageMagick, clang, and
#                         the web build's emscripten, Node.js, Chromium and
#                         dpkg-dev (tools/web-deps.sh fetches FreeType's
#                         source), and what grading a class needs (Python 3,
#                         bubblewrap, strace)
set -euo pipefail

packages=(
    cmake g++ make pkg-config
    libfltk1.3-dev libfreetype-dev libfontconfig-dev libpng-dev
    fonts-liberation2 fonts-dejavu-core
    xvfb xauth
)
if [ "${1:-test}" != run ]; then
    packages+=(
        libgtest-dev libbenchmark-dev
        g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
        wine64 xdotool imagemagick
        clang libclang-rt-14-dev
        emscripten nodejs chromium dpkg-dev
        python3 bubblewrap strace
    )
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

sudo=()
if [ "$(id -u)" -ne 0 ]; then
    sudo=(sudo)
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}" </dev/null
