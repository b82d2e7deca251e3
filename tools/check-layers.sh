#!/usr/bin/env bash
# Checks which parts of the source tree may include which headers, by
# reading the #include lines of every source file under dovra/, platform/
# and app/. The layering it keeps:
#   - platform/gdi/ knows nothing of core's windows (no window_internal.h,
#     no core_internal.h);
#   - platform/backend/ sees core only through its public Win32 headers;
#   - dovra/draw/ and dovra/events/ do not reach into the shell's windows
#     or Run menu;
#   - dovra/ sees the layer only through platform/win32.h;
#   - app/ sees the package only through dovra/dovra.h.
#
#   tools/check-layers.sh [SOURCE-DIR]    (default: the tree this script is in)
#
# Exit code 0: no violation ("layers: ok (N files checked)"). 1: violations,
# one line each, FILE:LINE: what is wrong. 2: nothing to check.
set -uo pipefail

if [ $# -gt 1 ]; then
    echo "usage: $(basename "$0") [SOURCE-DIR]" >&2
    exit 2
fi
root=${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
if [ ! -d "$root" ]; then
    echo "layers: no such directory: $root" >&2
    exit 2
fi
cd "$root" || exit 2

# Collapses "." and ".." in a relative path; the result goes to $normalized.
normalize() {
    local part out=()
    local IFS=/
    for part in $1; do
        case $part in
        "" | .) ;;
        ..) if [ ${#out[@]} -gt 0 ]; then unset 'out[${#out[@]}-1]'; else out+=(..); fi ;;
        *) out+=("$part") ;;
        esac
    done
    normalized="${out[*]}"
}

# The tree path an include names, into $normalized: a quoted include is
# looked up next to the including file first (as the compiler does),
# otherwise from the tree's root, which is the project's include directory.
resolve() { # FILE DELIMITER PATH
    local dir=${1%/*}
    if [ "$2" = '"' ] && [ -e "$dir/$3" ]; then
        normalize "$dir/$3"
    else
        normalize "$3"
    fi
}

violations=0
violation() { # FILE LINE MESSAGE
    echo "$1:$2: $3"
    violations=$((violations + 1))
}

# Every rule an include of TARGET by FILE breaks.
check_include() { # FILE LINE TARGET
    local file=$1 line=$2 target=$3
    case $file in
    platform/gdi/*)
        case $target in
        platform/core/window_internal.h | platform/core/core_internal.h)
            violation "$file" "$line" "includes $target: GDI must know nothing of core's windows" ;;
        esac ;;
    esac
    case $file in
    platform/backend/*)
        case $target in
        platform/core/win32_types.h | platform/core/win32_user.h | platform/core/win32_kernel.h) ;;
        platform/core/*)
            violation "$file" "$line" "includes $target: a backend may use only core's public Win32 headers (platform/win32.h, platform/core/win32_*.h)" ;;
        esac ;;
    esac
    case $file in
    dovra/draw/* | dovra/events/*)
        case $target in
        dovra/shell/run_menu.h | dovra/shell/windows.h)
            violation "$file" "$line" "includes $target: drawing and events must not reach into the shell's windows or Run menu" ;;
        esac ;;
    esac
    case $file in
    dovra/*)
        case $target in
        platform/win32.h) ;;
        platform/*)
            violation "$file" "$line" "includes $target: the package may use the layer only through platform/win32.h" ;;
        esac ;;
    esac
    case $file in
    app/*)
        case $target in
        dovra/dovra.h) ;;
        dovra/* | platform/*)
            violation "$file" "$line" "includes $target: the program may use the package only through dovra/dovra.h" ;;
        esac ;;
    esac
}

checked=0
while IFS= read -r -d '' file; do
    file=${file#./}
    checked=$((checked + 1))
    while IFS= read -r hit; do
        line=${hit%%:*}
        text=${hit#*:}
        # text is: optional blanks, #, blanks, include, blanks, then "path" or <path>
        [[ $text =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*([\"\<])([^\"\>]+)[\"\>] ]] || continue
        resolve "$file" "${BASH_REMATCH[1]}" "${BASH_REMATCH[2]}"
        check_include "$file" "$line" "$normalized"
    done < <(grep -nE '^[[:space:]]*#[[:space:]]*include' "$file")
done < <(find dovra platform app -type f \( -name '*.h' -o -name '*.hpp' -o -name '*.hh' \
    -o -name '*.inl' -o -name '*.c' -o -name '*.cpp' -o -name '*.cc' -o -name '*.cxx' \) \
    -print0 2>/dev/null | sort -z)

if [ "$checked" -eq 0 ]; then
    echo "layers: no source files under dovra/, platform/ or app/ in $root" >&2
    exit 2
fi
if [ "$violations" -gt 0 ]; then
    echo "layers: $violations violation(s) in $checked files checked"
    exit 1
fi
echo "layers: ok ($checked files checked)"
