#!/usr/bin/env bash
# Checks the names the installed static libraries define for the programs
# they are linked into: a program has the global namespace to itself, so
# the package may define there only its public DOVRA_ calls, main (in the
# entry libraries) and, on Linux, the layer's Win32 functions (those the
# installed headers declare WINAPI). Everything else must live in the
# namespaces dovra::, portable_win32:: or cone::, or belong to the C++
# runtime (std::, __gnu_cxx::, __cxxabiv1, operator new and delete), or be
# an inline member of an FLTK class (Fl_...) that the compiler emitted weak.
# Weak symbols are checked like any other: a template or inline function of
# the package outside its namespaces collides as surely as a variable.
#
#   check_symbols.sh PREFIX linux|windows-x64|windows-x86
#
# Exit code 0: only allowed names. 1: each other name is printed with its
# library. 2: nothing to check (no libraries, no tools, no headers).
set -uo pipefail

if [ $# -ne 2 ]; then
    echo "usage: $(basename "$0") PREFIX linux|windows-x64|windows-x86" >&2
    exit 2
fi
prefix=$1 kind=$2
case $kind in
linux) nm=nm demangle=(c++filt -n) ;;
windows-x64) nm=x86_64-w64-mingw32-nm demangle=(x86_64-w64-mingw32-c++filt) ;;
windows-x86) nm=i686-w64-mingw32-nm demangle=(i686-w64-mingw32-c++filt) ;;
*)
    echo "check_symbols: unknown kind \"$kind\" (linux, windows-x64 or windows-x86)" >&2
    exit 2
    ;;
esac
for tool in "$nm" "${demangle[0]}"; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "check_symbols: $tool is not installed" >&2
        exit 2
    fi
done

shopt -s nullglob
libraries=("$prefix"/lib/lib*.a)
if [ ${#libraries[@]} -eq 0 ]; then
    echo "check_symbols: no static libraries in $prefix/lib" >&2
    exit 2
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The layer's Win32 functions: every "TYPE WINAPI Name(" of the installed headers.
: >"$work/win32"
if [ "$kind" = linux ]; then
    headers="$prefix/include/dovra/platform"
    if [ -d "$headers" ]; then
        grep -rhE --include='*.h' \
            '^[[:space:]]*[A-Za-z_][A-Za-z0-9_[:space:]*]*[[:space:]*]WINAPI[[:space:]]+[A-Za-z_][A-Za-z0-9_]*[[:space:]]*\(' \
            "$headers" |
            sed -E 's/.*WINAPI[[:space:]]+([A-Za-z_][A-Za-z0-9_]*).*/\1/' | sort -u >"$work/win32"
    fi
    if [ ! -s "$work/win32" ]; then
        echo "check_symbols: no WINAPI functions declared under $headers" >&2
        exit 2
    fi
fi

# One line per defined external symbol: library, member, type, raw name.
for library in "${libraries[@]}"; do
    if ! "$nm" --defined-only -g "$library" >"$work/nm.out" 2>"$work/nm.err"; then
        echo "check_symbols: $nm cannot read $library:" >&2
        cat "$work/nm.err" >&2
        exit 2
    fi
    awk -v library="$(basename "$library")" '
        /:$/ { member = substr($0, 1, length($0) - 1); next }
        NF == 3 { print library "\t" member "\t" $2 "\t" $3 }' "$work/nm.out"
done >"$work/symbols"
# Demangled apart from nm (as nm -C would, with the target's demangler), so
# that a name the demangler leaves alone is known to be a C name.
cut -f4 "$work/symbols" | "${demangle[@]}" >"$work/demangled"
if [ "$(wc -l <"$work/symbols")" -ne "$(wc -l <"$work/demangled")" ]; then
    echo "check_symbols: ${demangle[*]} lost names" >&2
    exit 2
fi
paste "$work/symbols" "$work/demangled" >"$work/table"

awk -F '\t' -v kind="$kind" -v libraries=${#libraries[@]} -v win32_file="$work/win32" '
# The name an entity is known by in a demangled symbol, without the return
# type of a template instance, the parameter list and the words the
# demangler puts before vtables, typeinfo, guard variables and thunks.
function entity(s,    depth, i, c, cut, last) {
    while (match(s, /^(typeinfo name for|typeinfo for|vtable for|VTT for|construction vtable for|guard variable for|non-virtual thunk to|virtual thunk to|covariant return thunk to|TLS init function for|TLS wrapper function for|transaction clone for|reference temporary #[0-9]+ for) /))
        s = substr(s, RLENGTH + 1)
    # Operators whose characters would read as brackets, and the spaced
    # operator names, become single words.
    gsub(/\(anonymous namespace\)/, "{anonymous}", s)
    gsub(/operator\(\)/, "operator@call", s)
    gsub(/operator<=> ?/, "operator@cmp", s)
    gsub(/operator<<= ?/, "operator@shleq", s)
    gsub(/operator<< ?/, "operator@shl", s)
    gsub(/operator<= ?/, "operator@le", s)
    gsub(/operator< ?/, "operator@lt", s)
    gsub(/operator>>= ?/, "operator@shreq", s)
    gsub(/operator>> ?/, "operator@shr", s)
    gsub(/operator>= ?/, "operator@ge", s)
    gsub(/operator->\* ?/, "operator@arrowstar", s)
    gsub(/operator-> ?/, "operator@arrow", s)
    gsub(/operator> ?/, "operator@gt", s)
    gsub(/operator new\[\]/, "operator@new[]", s)
    gsub(/operator delete\[\]/, "operator@delete[]", s)
    gsub(/operator new/, "operator@new", s)
    gsub(/operator delete/, "operator@delete", s)
    # Up to the parameter list: the first "(" outside brackets.
    depth = 0; cut = length(s) + 1; last = 0
    for (i = 1; i <= length(s); i++) {
        c = substr(s, i, 1)
        if (c == "<" || c == "(" || c == "{") {
            if (c == "(" && depth == 0) { cut = i; break }
            depth++
        } else if (c == ">" || c == ")" || c == "}") {
            depth--
        } else if (c == " " && depth == 0) {
            last = i
        }
    }
    s = substr(s, 1, cut - 1)
    # A template instance is shown after its return type; a conversion
    # operator ("X::operator bool") has spaces of its own and no return type.
    if (last > 0 && s ~ />$/ && index(s, "operator ") == 0)
        s = substr(s, last + 1)
    return s
}
function allowed(raw, name, type) {
    if (kind != "linux" && (raw ~ /^\.refptr\./ || raw ~ /^\.weak\./ || raw ~ /^__imp_/))
        return 1
    # mingw-w64 defines the printf and scanf family of the C library inline in its
    # headers, so every object that formats text carries a copy.
    if (kind != "linux" && name ~ /^v?(s|f|sn)?w?(printf|scanf)$/)
        return 1
    if (name ~ /^(dovra|portable_win32|cone|std|__gnu_cxx)::/ || name ~ /^__cxxabiv1/)
        return 1
    if (name ~ /^DOVRA_/ || name == "main" || name == "DW.ref.__gxx_personality_v0")
        return 1
    if (name ~ /^operator@(new|delete)(\[\])?$/)
        return 1
    if (name ~ /^Fl_/ && type ~ /^[WwVv]$/)
        return 1
    return kind == "linux" && (name in win32)
}
BEGIN {
    while ((getline line < win32_file) > 0)
        win32[line] = 1
}
{
    library = $1; member = $2; type = $3; raw = $4; shown = $5
    # 32-bit Windows names carry a leading underscore (and stdcall ones a
    # trailing @bytes); the demangler drops it from C++ names only.
    if (kind == "windows-x86" && shown == raw && raw ~ /^_/ && raw !~ /^__imp_/) {
        shown = substr(raw, 2)
        sub(/@[0-9]+$/, "", shown)
    }
    if (!((library, shown) in seen)) {
        seen[library, shown] = 1
        names++
    }
    if (allowed(raw, entity(shown), type))
        next
    if ((library, shown) in reported)
        next
    reported[library, shown] = 1
    bad++
    bad_in[library]++
    printf "%s: %s  (%s, %s)\n", library, shown, type, member | "sort"
}
END {
    close("sort")
    if (bad > 0) {
        for (library in bad_in)
            printf "symbols (%s): %s defines %d name(s) outside the package namespaces\n", kind, library, bad_in[library] | "sort"
        close("sort")
        printf "symbols (%s): FAIL, %d of %d names in %d libraries are not allowed\n", kind, bad, names, libraries
        exit 1
    }
    printf "symbols (%s): ok, %d names in %d libraries\n", kind, names, libraries
}' "$work/table"
