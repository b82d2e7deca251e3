#!/usr/bin/env bash
# Tests tools/check-layers.sh on small fake source trees: a clean tree
# passes, and each case adds one include to it that the checker must either
# report (as FILE:LINE: with the rule) or accept.
# Usage: check_layers_test.sh [CHECKER]   (default: tools/check-layers.sh of this tree)
set -uo pipefail
checker=${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/tools/check-layers.sh}
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A clean tree: one file in each part, each with the includes it may have.
make_clean_tree() { # DIR
    local dir=$1 file
    for file in dovra/dovra.h dovra/shell/windows.h dovra/shell/run_menu.h \
        platform/win32.h platform/core/win32_types.h platform/core/win32_user.h \
        platform/core/win32_kernel.h platform/core/window_internal.h \
        platform/core/core_internal.h platform/core/handle_table.h \
        platform/gdi/device_context.h app/cone_model.h; do
        mkdir -p "$dir/$(dirname "$file")"
        echo "// $file" >"$dir/$file"
    done
    printf '#include "dovra/dovra.h"\n#include "dovra/shell/windows.h"\n#include "dovra/shell/run_menu.h"\n#include "platform/win32.h"\n' \
        >"$dir/dovra/shell/startup.cpp"
    mkdir -p "$dir/dovra/draw" "$dir/platform/backend/headless"
    printf '#include "platform/win32.h"\n#include <vector>\n' >"$dir/dovra/draw/renderer.cpp"
    printf '#include "platform/core/win32_types.h"\n#include "platform/core/win32_user.h"\n#include "platform/core/win32_kernel.h"\n#include "platform/win32.h"\n#include "platform/gdi/device_context.h"\n' \
        >"$dir/platform/backend/headless/headless.cpp"
    printf '#include "platform/core/window_internal.h"\n#include "platform/gdi/device_context.h"\n' \
        >"$dir/platform/core/window.cpp"
    printf '#include "platform/core/handle_table.h"\n#include "device_context.h"\n' \
        >"$dir/platform/gdi/device_context.cpp"
    printf '#include "app/cone_model.h"\n#include "dovra/dovra.h"\n#include <cstdio>\n' >"$dir/app/main.cpp"
}

# FILE | INCLUDE LINE | what the checker says: "ok", or words of the rule it reports.
cases=(
    "platform/gdi/text.cpp|#include \"platform/core/window_internal.h\"|GDI must know nothing"
    "platform/gdi/text.cpp|#include \"platform/core/core_internal.h\"|GDI must know nothing"
    "platform/gdi/text.cpp|#include \"../core/window_internal.h\"|GDI must know nothing"
    "platform/gdi/text.cpp|#include \"platform/core/handle_table.h\"|ok"
    "platform/backend/replay/replay.cpp|#include \"platform/core/window_internal.h\"|a backend may use only"
    "platform/backend/fltk/fltk.cpp|#  include <platform/core/handle_table.h>|a backend may use only"
    "platform/backend/wayland/wayland.cpp|#include \"platform/core/core_internal.h\"|a backend may use only"
    "platform/backend/backend_select.cpp|#include \"platform/core/accounting.h\"|a backend may use only"
    "platform/backend/fltk/fltk.cpp|#include \"platform/core/win32_user.h\"|ok"
    "dovra/draw/palette.cpp|#include \"dovra/shell/windows.h\"|must not reach into the shell"
    "dovra/events/script.cpp|#include \"dovra/shell/run_menu.h\"|must not reach into the shell"
    "dovra/events/script.cpp|#include \"../shell/windows.h\"|must not reach into the shell"
    "dovra/shell/log_window.cpp|#include \"platform/gdi/device_context.h\"|only through platform/win32.h"
    "dovra/dovra.h|#include \"platform/core/win32_types.h\"|only through platform/win32.h"
    "app/scene.cpp|#include \"dovra/shell/windows.h\"|only through dovra/dovra.h"
    "app/scene.h|#include \"platform/win32.h\"|only through dovra/dovra.h"
    "app/scene.cpp|#include \"app/cone_model.h\"|ok"
)

make_clean_tree "$work/clean"
output=$(bash "$checker" "$work/clean" 2>&1)
status=$?
if [ "$status" -ne 0 ] || [[ $output != "layers: ok ("*" files checked)" ]]; then
    fail "clean tree: exit code $status, output: $output"
fi

number=0
for entry in "${cases[@]}"; do
    IFS='|' read -r file include expected <<<"$entry"
    number=$((number + 1))
    tree="$work/case$number"
    cp -r "$work/clean" "$tree"
    mkdir -p "$tree/$(dirname "$file")"
    # The include goes on line 3 of the file, after a comment and a blank line.
    printf '// %s\n\n%s\n' "$file" "$include" >"$tree/$file"
    output=$(bash "$checker" "$tree" 2>&1)
    status=$?
    if [ "$expected" = ok ]; then
        [ "$status" -eq 0 ] || fail "$file with $include: should pass, got exit code $status: $output"
        continue
    fi
    reports=$(grep -c ':[0-9]*: ' <<<"$output")
    if [ "$status" -ne 1 ]; then
        fail "$file with $include: exit code $status, expected 1: $output"
    elif [ "$reports" -ne 1 ] || ! grep -q "^$file:3: .*$expected" <<<"$output"; then
        fail "$file with $include: expected one report \"$file:3: ...$expected...\", got: $output"
    fi
done

# A directory without sources is an error, not a pass.
mkdir -p "$work/empty"
bash "$checker" "$work/empty" >/dev/null 2>&1
status=$?
[ "$status" -eq 2 ] || fail "a tree without sources: exit code $status, expected 2"

[ "$failures" -eq 0 ] && echo "check-layers: ${#cases[@]} cases and the clean tree as expected"
exit $((failures > 0))
