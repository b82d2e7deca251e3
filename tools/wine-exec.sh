#!/usr/bin/env bash
# Runs a Windows program under Wine (64-bit): the test emulator of the
# windows-x64 build. Uses a prefix of its own, created once, and Xvfb when
# there is no display.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
export WINEDEBUG=-all
export WINEPREFIX="${DOVRA_WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/dovra/wineprefix}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

wine=""
for candidate in wine64 /usr/lib/wine/wine64 wine; do
    if command -v "$candidate" >/dev/null 2>&1; then
        wine=$(command -v "$candidate")
        break
    fi
done
if [ -z "$wine" ]; then
    echo "wine-exec: Wine is not installed (tools/setup.sh installs it)" >&2
    exit 127
fi

# Create the prefix once, under a lock, so that parallel tests do not race.
mkdir -p "$(dirname "$WINEPREFIX")"
(
    flock 8
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        "$wine" wineboot --init >/dev/null 2>&1 || true
        "$(dirname "$wine")/wineserver" -w 2>/dev/null || wineserver -w 2>/dev/null || true
    fi
) 8>"$WINEPREFIX.lock"

if [ -n "${DISPLAY:-}" ]; then
    exec "$wine" "$@"
fi

# No display: one program at a time gets a private Xvfb, and its wineserver is
# stopped with it, so no Wine process outlives the server it was shown on.
exec 7>"$WINEPREFIX.xvfb.lock"
flock 7
status=0
"$here/with-xvfb.sh" "$wine" "$@" || status=$?
"$(dirname "$wine")/wineserver" -k 2>/dev/null || true
exit "$status"
