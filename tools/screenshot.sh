#!/usr/bin/env bash
# Starts the cone builder inside a private Xvfb (the Linux program, or the
# Windows program under Wine), waits for its graphics window, saves a
# screenshot of it (menu bar and client area) once the start scene is
# shown, and ends the program as a user would (a click, then Ctrl+Q).
# Usage: tools/screenshot.sh linux|wine [output.png]
#        (default: docs/cone_builder_linux.png or docs/cone_builder_wine.png)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

target=${1:-linux}
case "$target" in
linux)
    program=("$root/build/linux/app/cone_builder")
    preset=linux
    menu_height=20
    ;;
wine)
    program=("$root/tools/wine-exec.sh" "$root/build/windows-x64/app/cone_builder.exe")
    preset=windows-x64
    menu_height=19
    ;;
*)
    echo "usage: tools/screenshot.sh linux|wine [output.png]" >&2
    exit 2
    ;;
esac
out=$(realpath -m "${2:-$root/docs/cone_builder_$target.png}")
if [ ! -f "${program[-1]}" ]; then
    (cd "$root" && cmake --preset "$preset" >/dev/null &&
        cmake --build --preset "$preset" --target cone_builder)
fi
if [ -z "${DOVRA_SCREENSHOT_INSIDE_XVFB:-}" ]; then
    DOVRA_SCREENSHOT_INSIDE_XVFB=1 exec "$root/tools/with-xvfb.sh" "$0" "$target" "$out"
fi

# The program runs in a directory of its own: a script it writes lands there.
run_dir=$(mktemp -d)
(cd "$run_dir" && exec "${program[@]}") &
program=$!
cleanup() {
    kill "$program" 2>/dev/null || true
    rm -rf "$run_dir"
}
trap cleanup EXIT

window=""
for _ in $(seq 300); do
    window=$(xdotool search --name '^DOVRA Graphics$' 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    if ! kill -0 "$program" 2>/dev/null; then
        echo "screenshot: the program ended before its window appeared" >&2
        exit 1
    fi
    sleep 0.1
done
if [ -z "$window" ]; then
    echo "screenshot: no window \"DOVRA Graphics\" within 30 s" >&2
    exit 1
fi
# The first frame can take seconds under Wine (its fonts load on first use):
# wait until the cone's middle is no longer the white of an empty window.
# The X window holds the client area below the menu bar.
shown=""
for _ in $(seq 300); do
    pixel=$(import -window "$window" -crop "1x1+297+$((298 + menu_height))" -depth 8 txt:- \
        2>/dev/null | tail -n 1 || true)
    case "$pixel" in
    *"#FFFFFF"* | "") sleep 0.1 ;;
    *) shown=1 && break ;;
    esac
done
if [ -z "$shown" ]; then
    echo "screenshot: the start scene did not appear within 30 s" >&2
    exit 1
fi
sleep 0.3
mkdir -p "$(dirname "$out")"
import -window "$window" "$out"
echo "screenshot: wrote $out ($(identify -format '%wx%h' "$out"))"

# A click on an empty part of the scene gives the window the keyboard, then
# Ctrl+Q ends the run.
eval "$(xdotool getwindowgeometry --shell "$window")"
xdotool mousemove $((X + 500)) $((Y + 400)) click 1
sleep 0.3
xdotool key ctrl+q
for _ in $(seq 100); do
    kill -0 "$program" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$program" 2>/dev/null; then
    echo "screenshot: the program did not end on Ctrl+Q" >&2
    exit 1
fi
wait "$program"
