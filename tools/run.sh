#!/usr/bin/env bash
# Installs what is missing, builds the Linux program and starts the cone
# builder on the user's display. Without a display, run it inside a private
# X server: tools/with-xvfb.sh build/linux/app/cone_builder
set -euo pipefail
cd "$(dirname "$0")/.."

tools/setup.sh
cmake --preset linux >/dev/null
cmake --build --preset linux --target cone_builder
exec build/linux/app/cone_builder "$@"
