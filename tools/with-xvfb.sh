#!/usr/bin/env bash
# Runs a command inside a private Xvfb server (1024 x 768, 24 bits), with
# DISPLAY pointing at it, and stops the server afterwards.
set -euo pipefail

# Xvfb chooses a free display itself and writes its number once it accepts
# connections (-displayfd), so parallel callers never meet, not even a
# server of another user that is just shutting down. Without -noreset the
# server resets each time its last client leaves and refuses connections
# meanwhile: a test's first xdotool call that ends just as the program
# starts then leaves the program with "cannot open the display".
ready=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$ready" >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; rm -f "$ready"' EXIT
n=""
for _ in $(seq 400); do
    # Complete once the number's line has ended.
    n=$(tr -dc 0-9 <"$ready")
    if [ -n "$n" ] && [ -z "$(tail -c1 "$ready")" ]; then
        break
    fi
    n=""
    if ! kill -0 "$xvfb_pid" 2>/dev/null; then
        echo "with-xvfb: Xvfb did not start" >&2
        exit 1
    fi
    sleep 0.05
done
if [ -z "$n" ]; then
    echo "with-xvfb: Xvfb did not say its display within 20 s" >&2
    exit 1
fi

export DISPLAY=":$n"
status=0
"$@" || status=$?
exit "$status"
