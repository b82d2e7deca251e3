#!/usr/bin/env bash
# Compares the start scene of the Linux program with the Windows program's
# under Wine (both left by cone_builder_e2e.sh): every pixel outside the
# texts and the two animated figures must be the same.
# Usage: compare_start_scenes.sh LINUX.png WINE.png DIFF.png
# Exit code 77 (skipped) when one of the pictures is missing.
set -euo pipefail

linux=$1
wine=$2
diff_out=$3
for picture in "$linux" "$wine"; do
    if [ ! -f "$picture" ]; then
        echo "compare_start_scenes: $picture is missing (run both end-to-end tests first)"
        exit 77
    fi
done

# Client pixels: the six button labels inside their outlines, the status
# line, the pulsing circle and the drip's column.
masks=()
for row in 0 1 2 3 4 5; do
    top=$((5 + 25 * row))
    masks+=(-draw "rectangle 4,$top 110,$((top + 21))")
done
masks+=(-draw "rectangle 150,432 500,482")
masks+=(-draw "rectangle 488,0 594,108")
masks+=(-draw "rectangle 224,218 250,495")

convert "$linux" -fill black "${masks[@]}" /tmp/compare-linux.$$.png
convert "$wine" -fill black "${masks[@]}" /tmp/compare-wine.$$.png
differing=$(compare -metric AE /tmp/compare-linux.$$.png /tmp/compare-wine.$$.png "$diff_out" 2>&1 || true)
rm -f /tmp/compare-linux.$$.png /tmp/compare-wine.$$.png
if [ "$differing" != "0" ]; then
    echo "compare_start_scenes: $differing pixels differ outside text and animation (see $diff_out)"
    exit 1
fi
echo "compare_start_scenes: identical outside text and animation"
