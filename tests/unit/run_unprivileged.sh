#!/usr/bin/env bash
# Runs a test program as an unprivileged user when started as root, so that
# tests of file permissions mean something (root passes every permission).
# The program (and a leak checker's suppressions file) are copied to a
# directory of their own first: the build tree may lie where that user
# cannot go.
# Usage: run_unprivileged.sh PROGRAM [ARGS...]
set -euo pipefail
if [ "$(id -u)" -ne 0 ]; then
    exec "$@"
fi
program=$1
shift
here=$(mktemp -d)
trap 'rm -rf "$here"' EXIT
chmod 755 "$here"
cp "$program" "$here/"
if [[ "${LSAN_OPTIONS:-}" =~ suppressions=([^:]*) ]]; then
    cp "${BASH_REMATCH[1]}" "$here/lsan.supp"
    LSAN_OPTIONS=${LSAN_OPTIONS/suppressions=${BASH_REMATCH[1]}/suppressions=$here/lsan.supp}
    export LSAN_OPTIONS
fi
chmod -R a+rX "$here"
cd "$here"
setpriv --reuid=65534 --regid=65534 --clear-groups "$here/$(basename "$program")" "$@"
