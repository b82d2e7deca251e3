#!/usr/bin/env bash
# Installs what is missing, builds the Linux program and starts the cone builder.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/setup.sh
cmake --preset linux >/dev/null
cmake --build --preset linux

program=build/linux/app/cone_builder
if [ ! -x "$program" ]; then
    cat >&2 <<'MSG'
The cone builder cannot start yet. What exists: the cone model (clicks on
buttons and scoops), the palette, the drawing calls, renderer and log, and
the portable Win32 layer (windows, messages, timers, menus, memory, shapes
and text) on its headless backend, with their tests (tools/test.sh). Still
missing: the FLTK backend that shows windows on a desktop, events and
scripts, the Run menu, start-up, the scene drawing and the main loop.
MSG
    exit 1
fi
exec "$program"
