#!/usr/bin/env bash
# Runs a command inside a private Xvfb server (1024 x 768, 24 bits), with
# DISPLAY pointing at it, and stops the server afterwards.
set -euo pipefail

# Choosing a free display and starting the server happen under one lock, so
# that parallel callers never pick the same number.
exec 9>/tmp/.dovra-xvfb.lock
flock 9
n=90
while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do
    n=$((n + 1))
done
Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true' EXIT
for _ in $(seq 200); do
    [ -e "/tmp/.X11-unix/X$n" ] && break
    if ! kill -0 "$xvfb_pid" 2>/dev/null; then
        echo "with-xvfb: Xvfb :$n did not start" >&2
        exit 1
    fi
    sleep 0.05
done
flock -u 9
exec 9>&-

export DISPLAY=":$n"
status=0
"$@" || status=$?
exit "$status"
