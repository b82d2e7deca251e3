#!/usr/bin/env bash
# DOVRA as other programs get it: installs a build tree into a fresh prefix,
# then builds each example as a CMake project of its own against it
# (find_package(DOVRA)) and the smallest program with one pkg-config line,
# outside the source tree, and runs each once: on Linux as a headless
# replay, for Windows under Wine (in the display the suite runs in). Also
# checks the names the installed libraries define (check_symbols.sh) and
# builds a program with globals of everyday names the same way.
# Usage: install_and_build.sh linux|windows SOURCE-DIR BUILD-DIR
set -uo pipefail
kind=$1 source=$2 build=$3
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}print_suppressions=0"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"
if ! cmake --install "$build" --prefix "$prefix" >"$work/install.log"; then
    cat "$work/install.log"
    echo "FAIL: cmake --install"
    exit 1
fi
for file in include/dovra/dovra/dovra.h include/dovra/platform/win32.h \
    lib/cmake/DOVRA/DOVRAConfig.cmake lib/pkgconfig/dovra.pc; do
    [ -f "$prefix/$file" ] || fail "not installed: $file"
done
symbol_kind=linux
[ "$kind" = windows ] && symbol_kind=windows-x64
"$source/tests/install/check_symbols.sh" "$prefix" "$symbol_kind" ||
    fail "the installed libraries define names outside the package's namespaces"

cmake_options=(-DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_BUILD_TYPE=Release)
if [ "$kind" = windows ]; then
    # Cross-compiling finds packages only under the root paths.
    cmake_options+=(-DCMAKE_TOOLCHAIN_FILE="$source/cmake/mingw-w64-x86_64.cmake"
        -DCMAKE_FIND_ROOT_PATH="$prefix")
    suffix=.exe
else
    suffix=
fi

# Runs a built program once with a script: a click, a character, ticks; its
# log goes to NAME.log through DOVRA_LOG.
printf 'DOVRA_MOUSE(10, 20);\nDOVRA_KBD(99);\nDOVRA_PERIODIC(5);\nDOVRA_KBD(113);\n' >"$work/run.scr"
run_once() { # NAME PROGRAM
    local name=$1 program=$2 status
    if [ "$kind" = windows ]; then
        # Copied, with the script, to a directory of its own: Wine runs it there.
        mkdir -p "$work/run-$name"
        cp "$program" "$work/run.scr" "$work/run-$name/"
        (cd "$work/run-$name" && DOVRA_REPLAY=run.scr DOVRA_LOG=run.log timeout 120 \
            "$source/tools/wine-exec.sh" "./$(basename "$program")" </dev/null)
        status=$?
        cp "$work/run-$name/run.log" "$work/$name.log" 2>/dev/null
        [ "$status" -eq 0 ] || fail "$name under Wine: exit code $status"
    else
        DOVRA_REPLAY="$work/run.scr" DOVRA_REPLAY_PICTURE="$work/$name.png" \
            DOVRA_LOG="$work/$name.log" timeout 120 "$program" </dev/null
        status=$?
        [ "$status" -eq 0 ] || fail "$name replayed: exit code $status"
        [ -s "$work/$name.png" ] || fail "$name replayed: no picture"
    fi
}

# Each example from a copy outside the source tree, so that nothing of the
# tree can be found but through the installed package.
for example in bouncing_ball click_shapes; do
    cp -r "$source/examples/$example" "$work/$example-source"
    if ! cmake -S "$work/$example-source" -B "$work/$example-build" "${cmake_options[@]}" \
        >"$work/$example.log" 2>&1 ||
        ! cmake --build "$work/$example-build" -j2 >>"$work/$example.log" 2>&1; then
        cat "$work/$example.log"
        fail "$example does not build against the installed package"
        continue
    fi
    run_once "$example" "$work/$example-build/$example$suffix"
done

# On Linux the same program opens its real window on a display.
if [ "$kind" = linux ] && [ -x "$work/bouncing_ball-build/bouncing_ball" ]; then
    "$source/tools/with-xvfb.sh" bash -c '
        source "$1"
        "$2" </dev/null &
        find_window "DOVRA Graphics" $! >/dev/null
        shown=$?
        kill $! 2>/dev/null
        wait $! 2>/dev/null
        exit $shown' _ "$source/tests/e2e/e2e_lib.sh" "$work/bouncing_ball-build/bouncing_ball" ||
        fail "bouncing_ball built against the package shows no window on the display"
fi

# Outside the source tree, the program without a display names a command
# that exists where it runs.
if [ "$kind" = linux ] && [ -x "$work/bouncing_ball-build/bouncing_ball" ]; then
    said=$(env -u DISPLAY "$work/bouncing_ball-build/bouncing_ball" 2>&1 </dev/null)
    status=$?
    [ "$status" -eq 1 ] && [[ $said == *"xvfb-run -a $work/bouncing_ball-build/bouncing_ball"* ]] ||
        fail "the installed program without a display said (exit code $status): $said"
fi

# Programs of one file, each built with one pkg-config line and run once.
export PKG_CONFIG_PATH="$prefix/lib/pkgconfig"
build_one() { # NAME SOURCE [COMPILER OPTIONS...]: what it is, for the message
    local name=$1 file=$2 compile
    shift 2
    cp "$file" "$work/$name.cpp"
    if [ "$kind" = windows ]; then
        compile=(x86_64-w64-mingw32-g++-posix "$work/$name.cpp" -o "$work/$name.exe"
            $(pkg-config --cflags --libs dovra) -static "$@")
    else
        compile=(g++ "$work/$name.cpp" -o "$work/$name" $(pkg-config --cflags --libs dovra) "$@")
    fi
    if "${compile[@]}"; then
        run_once "$name" "$work/$name$suffix"
    else
        fail "$name does not build with pkg-config: ${compile[*]}"
    fi
}
gui=()
[ "$kind" = windows ] && gui=(-mwindows)
build_one smallest "$source/tests/install/smallest_program.cpp" "${gui[@]}"
# (a text file: lines end in CR LF on Windows)
tr -d '\r' <"$work/smallest.log" 2>/dev/null | grep -q '^red circle at (0,0), radius 50$' ||
    fail "the smallest program's log (DOVRA_LOG) lacks its circle: $(head -c 300 "$work/smallest.log" 2>&1)"
# A program whose own globals have everyday names: it must link and keep them.
build_one user_globals "$source/tests/install/user_globals.cpp" "${gui[@]}"
# Entry points of a newcomer's: main as a GUI program, main(argc, argv) as a
# console program (on Windows each is a program of its own kind).
build_one main_program "$source/tests/e2e/main_program.cpp" "${gui[@]}"
build_one main_with_arguments "$source/tests/e2e/main_program.cpp" -DMAIN_WITH_ARGUMENTS

[ "$failures" -eq 0 ] && echo "install ($kind): the package builds and runs programs"
exit $((failures > 0))
