#!/bin/sh
# DOVRA programs as web pages.
#
#   tools/web.sh              build the cone builder's page and serve it on
#                             127.0.0.1 (port 8000, or $PORT); Ctrl+C stops
#   tools/web.sh FILE.cpp [FOLDER]
#                             build a one-file DOVRA program as a page folder,
#                             FOLDER (default: FILE-web beside FILE.cpp), that
#                             any static web server serves
#
# Needs emscripten and FreeType for WebAssembly, which tools/web-deps.sh
# builds on first use (tools/setup.sh installs emscripten).
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
export NODE_PATH="${NODE_PATH:-/usr/share/nodejs}"

die() {
    echo "web.sh: $*" >&2
    exit 1
}

command -v emcmake >/dev/null ||
    die "emscripten is not installed: tools/setup.sh (or apt-get install emscripten)"
"$root/tools/web-deps.sh"

if [ $# -eq 0 ]; then
    cmake --preset web -S "$root" >/dev/null
    cmake --build "$root/build/web" --target cone_builder -j2 >/dev/null
    port=${PORT:-8000}
    command -v python3 >/dev/null || die "python3 is needed to serve the page"
    echo "The cone builder: http://127.0.0.1:$port/cone_builder/  (Ctrl+C stops the server)"
    exec python3 -m http.server --bind 127.0.0.1 --directory "$root/build/web" "$port"
fi

[ $# -le 2 ] || die "usage: tools/web.sh [FILE.cpp [FOLDER]]"
source_file=$1
[ -f "$source_file" ] || die "no such file: $source_file"
source_file=$(cd "$(dirname "$source_file")" && pwd)/$(basename "$source_file")
name=$(basename "$source_file")
name=${name%.*}
case $name in
*[!A-Za-z0-9_]* | "") die "$source_file: name the file with letters, digits and _ only (it names the page)" ;;
esac
folder=${2:-$(dirname "$source_file")/$name-web}

build="$root/build/web-program"
cmake -S "$root" -B "$build" \
    -DCMAKE_TOOLCHAIN_FILE=/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake \
    -DCMAKE_BUILD_TYPE=Release -DDOVRA_BUILD_TESTS=OFF -DDOVRA_BUILD_BENCHMARKS=OFF \
    -DDOVRA_WEB_PROGRAM="$source_file" >/dev/null
cmake --build "$build" --target "$name" -j2
mkdir -p "$folder"
cp "$build/$name/index.html" "$build/$name/$name.js" "$build/$name/$name.wasm" \
    "$build/$name/$name.data" "$build/$name/LICENSE-fonts.txt" "$folder/"
echo "web.sh: the page is in $folder"
echo "web.sh: serve it, e.g. python3 -m http.server --bind 127.0.0.1 --directory \"$folder\" 8000,"
echo "        and open http://127.0.0.1:8000/"
