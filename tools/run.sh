#!/usr/bin/env bash
# Installs what building and running need (not the test tools), builds the
# Linux programs and starts the cone builder on the user's display. Without
# a display, run it inside a private X server:
# tools/with-xvfb.sh build/linux-app/app/cone_builder
set -euo pipefail
cd "$(dirname "$0")/.."

tools/setup.sh run
cmake --preset linux-app >/dev/null
cmake --build --preset linux-app --target cone_builder
exec build/linux-app/app/cone_builder "$@"
