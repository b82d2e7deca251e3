"""The class report, made from the result files alone: an HTML page to look
at (nothing in it loads from elsewhere), results.csv and JUnit XML."""

import csv
import html
import json
import os
from xml.sax.saxutils import quoteattr, escape


def load_results(out):
    """Every submission's result file under `out`, by name."""
    records = []
    folder = os.path.join(out, "submissions")
    if not os.path.isdir(folder):
        return records
    for key in sorted(os.listdir(folder)):
        path = os.path.join(folder, key, "result.json")
        if os.path.isfile(path):
            with open(path) as f:
                records.append(json.load(f))
    records.sort(key=lambda r: r["name"])
    return records


def summary(result):
    kind = result["result"]
    if kind == "equal":
        return "equal" if not result.get("pixels") else "equal (%d pixels within tolerance)" % result["pixels"]
    if kind == "different":
        return "different: %d pixels" % result["pixels"]
    return "%s: %s" % (kind, result.get("reason", ""))


def write_csv(out, records):
    with open(os.path.join(out, "results.csv"), "w", newline="") as f:
        w = csv.writer(f)
        w.writerow(["submission", "script", "result", "pixels", "reason", "seconds"])
        for r in records:
            for s in r["scripts"]:
                w.writerow([r["name"], s["script"], s["result"], s.get("pixels", ""),
                            s.get("reason", ""), s.get("seconds", "")])


def write_junit(out, records):
    cases = []
    failures = errors = 0
    for r in records:
        for s in r["scripts"]:
            body = ""
            if s["result"] == "different":
                failures += 1
                body = "<failure message=%s/>" % quoteattr(summary(s))
            elif s["result"] != "equal":
                errors += 1
                body = "<error message=%s/>" % quoteattr(summary(s))
            cases.append('  <testcase classname=%s name=%s time="%s">%s</testcase>' % (
                quoteattr(r["name"]), quoteattr(s["script"]), s.get("seconds", 0), body))
    with open(os.path.join(out, "junit.xml"), "w") as f:
        f.write('<?xml version="1.0" encoding="UTF-8"?>\n')
        f.write('<testsuite name="dovra-grade" tests="%d" failures="%d" errors="%d">\n' % (
            len(cases), failures, errors))
        f.write("\n".join(cases) + ("\n" if cases else ""))
        f.write("</testsuite>\n")


STYLE = """
body { font-family: sans-serif; margin: 1em; }
table { border-collapse: collapse; }
td, th { border: 1px solid #bbb; padding: 4px; vertical-align: top; }
img { width: 150px; image-rendering: pixelated; display: block; }
.equal { background: #dfd; } .different { background: #fdd; }
.no-picture, .forbidden, .cannot-grade { background: #fec; }
pre { margin: 0; font-size: 11px; max-width: 40em; white-space: pre-wrap; }
"""


def _picture(path, label):
    if not path:
        return "<span>%s: none</span>" % label
    p = html.escape(path, quote=True)
    return '<a href="%s"><img src="%s" alt="%s"></a>' % (p, p, label)


def write_html(out, records, scripts):
    rows = []
    for r in records:
        cells = []
        for name in scripts:
            s = next((x for x in r["scripts"] if x["script"] == name), None)
            if not s:
                cells.append("<td>not graded</td>")
                continue
            base = "submissions/%s/" % r["key"]
            klass = s["result"].replace(" ", "-")
            cells.append(
                '<td class="%s"><b>%s</b><div style="display:flex;gap:4px">%s%s%s</div>'
                "<pre>%s</pre></td>" % (
                    klass, html.escape(summary(s)),
                    _picture("expected/%s.png" % name if os.path.isfile(
                        os.path.join(out, "expected", name + ".png")) else None, "expected"),
                    _picture(base + s["got"] if s.get("got") else None, "got"),
                    _picture(base + s["difference"] if s.get("difference") else None,
                             "difference"),
                    html.escape("\n".join(s.get("log", [])[:5]))))
        build = r.get("build", {})
        errors = "" if build.get("ok") else html.escape("\n".join(build.get("errors", [])))
        rows.append("<tr><th>%s</th><td>%s<pre>%s</pre></td>%s<td>%.2f s</td></tr>" % (
            html.escape(r["name"]), "built" if build.get("ok") else
            html.escape(build.get("reason", "does not build")), errors, "".join(cells),
            r.get("seconds", 0)))
    head = "".join("<th>%s</th>" % html.escape(n) for n in scripts)
    page = ("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>DOVRA grades</title>"
            "<style>%s</style></head><body><h1>DOVRA grades</h1><p>%d submissions, %d "
            "scripts. Each script: expected, got, difference.</p><table><tr><th>submission"
            "</th><th>build</th>%s<th>time</th></tr>\n%s\n</table></body></html>\n") % (
                STYLE, len(records), len(scripts), head, "\n".join(rows))
    with open(os.path.join(out, "index.html"), "w") as f:
        f.write(page)


def write_report(out):
    records = load_results(out)
    scripts = sorted({s["script"] for r in records for s in r["scripts"]})
    write_csv(out, records)
    write_junit(out, records)
    write_html(out, records, scripts)
    return records
