#!/bin/sh
# Builds FreeType for WebAssembly from Debian's own source package (the
# version of the machine's libfreetype6, with Debian's patches), so that the
# web build renders glyphs exactly as the native build does. The result is
# cached under build/web-deps/; a second run does nothing.
#
# The source package is fetched through a private apt directory whose
# deb-src entries are derived, at run time, from the machine's own apt
# sources: neither the system's configuration nor any file of ours names a
# mirror.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
deps="$root/build/web-deps"
prefix="$deps/freetype"
export NODE_PATH="${NODE_PATH:-/usr/share/nodejs}"

if [ -f "$prefix/lib/libfreetype.a" ]; then
    exit 0
fi

die() {
    echo "web-deps.sh: $*" >&2
    exit 1
}

command -v emcmake >/dev/null || die "emcmake not found (install the package emscripten: tools/setup.sh)"
command -v dpkg-source >/dev/null || die "dpkg-source not found (install the package dpkg-dev)"
version=$(dpkg-query -W -f='${source:Version}' libfreetype6 2>/dev/null) ||
    die "libfreetype6 is not installed: its version names the source to build"

apt_dir="$deps/apt"
mkdir -p "$apt_dir/sources.list.d" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"

# deb-src twins of the system's binary entries, in both of apt's formats.
: > "$apt_dir/sources.list.d/system.list"
: > "$apt_dir/sources.list.d/system.sources"
if [ -f /etc/apt/sources.list ]; then
    sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' /etc/apt/sources.list \
        >> "$apt_dir/sources.list.d/system.list"
fi
for f in /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] || continue
    sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$f" >> "$apt_dir/sources.list.d/system.list"
done
for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    sed 's/^Types:.*/Types: deb-src/' "$f" >> "$apt_dir/sources.list.d/system.sources"
    echo >> "$apt_dir/sources.list.d/system.sources"
done

apt_private() {
    apt-get -q \
        -o Dir::Etc::sourcelist=/dev/null \
        -o Dir::Etc::sourceparts="$apt_dir/sources.list.d" \
        -o Dir::State::Lists="$apt_dir/lists" \
        -o Dir::Cache="$apt_dir/cache" \
        -o APT::Sandbox::User=root \
        "$@"
}

src="$deps/src"
if [ ! -d "$src/freetype-$version" ]; then
    echo "web-deps.sh: fetching the source of freetype $version" >&2
    apt_private update >/dev/null || die "apt-get update of the deb-src entries failed"
    rm -rf "$src.tmp" && mkdir -p "$src.tmp"
    (cd "$src.tmp" && apt_private source "freetype=$version" >/dev/null) ||
        die "apt-get source freetype=$version failed"
    tree=$(find "$src.tmp" -mindepth 1 -maxdepth 1 -type d -name 'freetype-*' | head -n 1)
    [ -n "$tree" ] || die "the source package holds no freetype tree"
    mkdir -p "$src"
    mv "$tree" "$src/freetype-$version"
    # The licence files go beside nothing else of ours; keep them with the tree.
    rm -rf "$src.tmp"
fi

echo "web-deps.sh: building freetype $version for WebAssembly" >&2
build="$deps/freetype-build"
rm -rf "$build"
emcmake cmake -S "$src/freetype-$version" -B "$build" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DFT_DISABLE_ZLIB=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON \
    -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON >/dev/null
cmake --build "$build" -j2 >/dev/null
cmake --install "$build" >/dev/null
echo "web-deps.sh: freetype installed in $prefix" >&2
