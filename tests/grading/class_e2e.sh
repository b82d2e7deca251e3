#!/usr/bin/env bash
# Grading a small class in the sandbox, against the installed package: a
# correct and a wrong submission, one that does not compile, and one of each
# hostile kind (loops, crashes, forks without end, writes a huge file, reads
# another submission's folder, opens a network connection, takes all memory),
# with a script it plays and one that stops at a line it cannot play. Each
# must get exactly its result; the report's files and a merge of two parts
# are checked too. Needs root (the sandbox's user ids).
# (the class: make_class.sh)
# Usage: class_e2e.sh SOURCE-DIR BUILD-DIR
set -uo pipefail
source_dir=$1 build=$2
if [ "$(id -u)" -ne 0 ]; then
    echo "class grading needs root: skipped"
    exit 77
fi
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
[ -n "${DOVRA_KEEP_CLASS:-}" ] && trap 'echo "kept: $work"' EXIT
chmod 755 "$work"
prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null || { echo "FAIL: cmake --install"; exit 1; }

class="$work/class"
"$source_dir/tests/grading/make_class.sh" "$class"

# Short limits keep the hostile runs short. The memory limit is low too: on
# a machine where page faults are slow, filling 1 GB takes more than the
# 2 s of processor time, and the run that takes all memory would meet the
# time limit first.
SECONDS=0
"$source_dir/tools/grade.sh" class "$class/submissions" --reference "$class/reference.cpp" \
    --scripts "$class/scripts" --out "$work/report" --package "$prefix" -j 2 --time 4 --memory 256
status=$?
echo "graded in about $SECONDS s"
[ "$status" -eq 0 ] || fail "class grading exit code $status"

# Each submission's result for the script it can play (clicks), and for the
# script that stops at line 2 (broken): submission,script,result,reason (start).
expected=(
    "correct,clicks,equal,"
    "correct,ticks,equal,"
    "wrong,clicks,different,"
    "wrong,ticks,different,"
    "no_compile,clicks,no picture,does not build"
    "loops,clicks,no picture,time limit"
    "crashes,clicks,no picture,crashed (SIGSEGV)"
    "forks,clicks,no picture,process limit: forks without end"
    "huge_file,clicks,no picture,file size limit"
    "reads_other,clicks,forbidden,reads files outside its sandbox: ../correct.cpp, $class/submissions/correct.cpp, /root/.bashrc"
    "network,clicks,no picture,network: opened a network connection"
    "memory,clicks,no picture,memory limit"
    "correct,broken,no picture,script stops at line 2: DOVRA_NOTHING;"
    "wrong,broken,no picture,script stops at line 2"
    "no_compile,broken,no picture,does not build"
)
csv="$work/report/results.csv"
for line in "${expected[@]}"; do
    IFS=, read -r who script result reason <<<"$line"
    got=$(python3 -c '
import csv, sys
for row in csv.DictReader(open(sys.argv[1])):
    if row["submission"] == sys.argv[2] and row["script"] == sys.argv[3]:
        print(row["result"] + "|" + row["reason"] + "|" + row["pixels"])' "$csv" "$who" "$script")
    got_result=${got%%|*}
    rest=${got#*|}
    got_reason=${rest%|*}
    if [ "$got_result" != "$result" ] || [[ $got_reason != "$reason"* ]]; then
        fail "$who with $script: got \"$got_result: $got_reason\", expected \"$result: $reason\""
    fi
done
# The wrong submission differs in its two small circles only.
wrong_pixels=$(grep '^wrong,clicks,' "$csv" | cut -d, -f4)
[ "${wrong_pixels:-0}" -gt 100 ] && [ "${wrong_pixels:-0}" -lt 1000 ] ||
    fail "the wrong submission differs in $wrong_pixels pixels"
# Nothing a submission wrote is left in the report's folder or outside it.
[ ! -e "$work/report/.work" ] || fail "the sandbox's folders are left in the report"
find "$work" -name huge.bin | grep -q . && fail "a submission's huge file is left behind"

# The report: every row and picture there, JUnit counts right.
python3 - "$work/report" <<'PY' || fail "the report's files"
import os, re, sys, xml.etree.ElementTree as ET
out = sys.argv[1]
page = open(os.path.join(out, "index.html")).read()
assert page.count("<tr><th>") == 11, "rows: %d" % page.count("<tr><th>")  # and the head
for src in re.findall(r'src="([^"]+)"', page):
    assert os.path.isfile(os.path.join(out, src)), "missing picture " + src
assert "http:" not in page and "https:" not in page, "the page loads from elsewhere"
suite = ET.parse(os.path.join(out, "junit.xml")).getroot()
assert suite.get("tests") == "30", suite.attrib
assert suite.get("failures") == "2", suite.attrib  # wrong, clicks and ticks
print("report: 10 rows, every picture there, junit", suite.attrib)
PY

# What the teacher sees in a browser.
if command -v chromium >/dev/null 2>&1; then
    NODE_PATH=/usr/share/nodejs node --no-warnings \
        "$source_dir/tests/grading/report_in_browser.mjs" "$work/report/index.html" 10 ||
        fail "the report in the browser"
else
    fail "chromium is not installed (tools/setup.sh installs it)"
fi

# Two parts merged give the same results as the whole.
mkdir -p "$work/part1/submissions" "$work/part2/submissions"
cp -r "$work/report/expected" "$work/part1/"
for dir in "$work/report/submissions/"*; do
    case $(basename "$dir") in [a-m]*) part=part1 ;; *) part=part2 ;; esac
    cp -r "$dir" "$work/$part/submissions/"
done
"$source_dir/tools/grade.sh" merge --out "$work/merged" "$work/part1" "$work/part2" >/dev/null ||
    fail "merge"
cmp -s "$csv" "$work/merged/results.csv" || fail "the merged results differ from the whole"

[ "$failures" -eq 0 ] && echo "class grading: all checks passed"
exit $((failures > 0))
