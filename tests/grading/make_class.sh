#!/usr/bin/env bash
# Writes a class to grade into DEST: DEST/reference.cpp, DEST/scripts (three
# scripts: two it plays, one that stops at line 2) and DEST/submissions: a
# correct and a wrong one, one that does not compile and one of each hostile
# kind; with COUNT, as many more correct and wrong ones (alternately) as make
# COUNT submissions in all.
# Usage: make_class.sh DEST [COUNT]
set -euo pipefail
dest=$1 count=${2:-0}
here="$(cd "$(dirname "$0")" && pwd)/class"
mkdir -p "$dest/submissions" "$dest/scripts"
cp "$here/clicks.scr" "$here/ticks.scr" "$here/broken.scr" "$dest/scripts/"
cp "$here/reference.cpp" "$dest/reference.cpp"
wrong() { sed 's/DOVRA_draw_circle(4, x, y, 10)/DOVRA_draw_circle(3, x, y, 10)/' "$here/reference.cpp"; }
cp "$here/reference.cpp" "$dest/submissions/correct.cpp"
wrong >"$dest/submissions/wrong.cpp"
printf 'int main() { return missing_name; }\n' >"$dest/submissions/no_compile.cpp"
kinds=(loops crashes forks huge_file reads_other network memory)
for i in "${!kinds[@]}"; do
    kind=${kinds[$i]}
    file="$dest/submissions/$kind.cpp"
    if [ "$kind" = reads_other ]; then
        mkdir -p "$dest/submissions/$kind" # a submission that is a folder
        file="$dest/submissions/$kind/main.cpp"
    fi
    { printf '#define HOSTILE %d\n#define CLASS_FOLDER "%s"\n' $((i + 1)) "$dest/submissions"
        cat "$here/hostile.cpp"; } >"$file"
done
made=$((3 + ${#kinds[@]}))
for ((n = made; n < count; n++)); do
    if ((n % 2)); then
        wrong >"$dest/submissions/student_$n.cpp"
    else
        cp "$here/reference.cpp" "$dest/submissions/student_$n.cpp"
    fi
done
