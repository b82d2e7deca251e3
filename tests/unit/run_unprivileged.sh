#!/usr/bin/env bash
# Runs a test program as an unprivileged user when started as root, so that
# tests of file permissions mean something (root passes every permission).
# Usage: run_unprivileged.sh PROGRAM [ARGS...]
set -euo pipefail
if [ "$(id -u)" -eq 0 ]; then
    exec setpriv --reuid=65534 --regid=65534 --clear-groups "$@"
fi
exec "$@"
