#!/usr/bin/env bash
# Compares the portable layer's GDI pixels with Wine's, case by case: runs
# the gdi_probe program of the linux and windows-x64 builds and lists the
# cases whose checksums differ; with a case name, shows both pictures.
set -euo pipefail
cd "$(dirname "$0")/.."

native=build/linux/tests/gdi_probe
windows=build/windows-x64/tests/gdi_probe.exe
for f in "$native" "$windows"; do
    [ -e "$f" ] || { echo "gdi-diff: build $f first (linux and windows-x64 presets)" >&2; exit 2; }
done
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
"$native" --pictures >"$out/layer.txt"
tools/with-xvfb.sh tools/wine-exec.sh "$windows" --pictures 2>/dev/null | tr -d '\r' >"$out/wine.txt"

if [ $# -gt 0 ]; then
    for name in "$@"; do
        paste <(awk -v n="$name" '$1==n{p=1;print "layer " $0;next} /^[a-z]/{p=0} p' "$out/layer.txt") \
              <(awk -v n="$name" '$1==n{p=1;print "wine  " $0;next} /^[a-z]/{p=0} p' "$out/wine.txt")
    done
    exit 0
fi
grep -v '^ ' "$out/layer.txt" | sort >"$out/layer.sums"
grep -v '^ ' "$out/wine.txt" | sort >"$out/wine.sums"
total=$(wc -l <"$out/wine.sums")
differing=$(join "$out/layer.sums" "$out/wine.sums" | awk '$2 != $3 {print $1}')
count=$(printf '%s' "$differing" | grep -c . || true)
echo "$((total - count)) of $total cases agree with Wine"
[ -z "$differing" ] || { echo "differ:"; echo "$differing" | column -c 120; }
[ "$count" -eq 0 ]
