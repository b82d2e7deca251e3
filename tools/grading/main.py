"""dovra-grade class and dovra-grade merge: grading a whole class.

  dovra-grade class SUBMISSIONS --reference REF --scripts DIR --out REPORT
                    [-j N] [--tolerance PIXELS[,CHANNEL]] [--package PREFIX]
  dovra-grade merge --out REPORT PART...

Exit code 0 when the report was written (whatever the grades), 2 when it
could not be (bad arguments, no sandbox, a reference without a picture)."""

import argparse
import os
import shutil
import subprocess
import sys

import class_grade
import png
import report
import sandbox


def fail(message):
    print("dovra-grade: " + message, file=sys.stderr)
    sys.exit(2)


def package_flags(prefix):
    """The compiler's flags for the installed package, from its pkg-config
    file, and the prefix the sandbox must see."""
    env = dict(os.environ)
    paths = [os.path.join(prefix, "lib", "pkgconfig")] if prefix else []
    if env.get("PKG_CONFIG_PATH"):
        paths.append(env["PKG_CONFIG_PATH"])
    env["PKG_CONFIG_PATH"] = ":".join(paths)
    try:
        flags = subprocess.run(["pkg-config", "--cflags", "--libs", "dovra"], env=env,
                               capture_output=True, text=True, check=True).stdout.split()
        variable = subprocess.run(["pkg-config", "--variable=prefix", "dovra"], env=env,
                                  capture_output=True, text=True, check=True).stdout.strip()
    except (OSError, subprocess.CalledProcessError):
        fail("the installed DOVRA package is not found (pkg-config dovra); give --package PREFIX")
    return flags, os.path.realpath(variable)


def installed_prefix():
    """The prefix this command was installed under (bin/dovra-grade and
    share/dovra/grading/), if it was."""
    here = os.path.dirname(os.path.realpath(__file__))
    prefix = os.path.realpath(os.path.join(here, "..", "..", ".."))
    if os.path.isfile(os.path.join(prefix, "lib", "pkgconfig", "dovra.pc")):
        return prefix
    return None


def make_expected(setup, reference, out):
    """The expected picture of each script: from a folder of pictures, or by
    replaying a reference program (source or built) in the sandbox. A script
    without one is noted in `setup.ungradable`: every submission's result
    for it is "cannot grade"."""
    folder = os.path.join(out, "expected")
    os.makedirs(folder, exist_ok=True)
    if os.path.isdir(reference) and not any(
            f.endswith(class_grade.SOURCE_SUFFIXES) for f in os.listdir(reference)):
        for name, _ in setup.scripts:
            source = os.path.join(reference, name + ".png")
            try:
                png.read_png(source)
            except png.PictureError as e:
                setup.ungradable[name] = str(e)
                continue
            shutil.copyfile(source, os.path.join(folder, name + ".png"))
        return
    work = os.path.join(out, ".work", "reference")
    program = os.path.join(out, ".work", "reference-program")
    if os.path.isfile(reference) and os.access(reference, os.X_OK) and \
            not reference.endswith(class_grade.SOURCE_SUFFIXES):
        shutil.copyfile(reference, program)
        os.chmod(program, 0o755)
    else:
        ok, detail = class_grade.build(setup, 0, work, reference, program,
                                       os.path.join(out, ".work", "reference-build.txt"))
        if not ok:
            fail("the reference %s: %s\n%s" % (reference, detail, class_grade.read_bounded(
                os.path.join(out, ".work", "reference-build.txt"), 4000)))
    scratch = os.path.join(out, ".work", "reference-pictures")
    os.makedirs(scratch, exist_ok=True)
    for name, path in setup.scripts:
        result = class_grade.replay(setup, 0, work, program, path, name, scratch, graded=False)
        if "got" not in result:
            setup.ungradable[name] = result.get("reason", "no picture")
            continue
        shutil.copyfile(os.path.join(scratch, result["got"]), os.path.join(folder, name + ".png"))
    shutil.rmtree(os.path.join(out, ".work"), ignore_errors=True)


def parse_tolerance(text):
    try:
        parts = [int(p) for p in text.split(",")]
        if len(parts) > 2 or min(parts) < 0:
            raise ValueError
    except ValueError:
        fail("--tolerance takes PIXELS or PIXELS,CHANNEL (whole numbers from 0): %s" % text)
    return parts[0], parts[1] if len(parts) > 1 else 0


def grade_class(args):
    problem = sandbox.check_tools()
    if problem:
        fail(problem)
    for what, path in (("submissions", args.submissions), ("scripts", args.scripts)):
        if not os.path.isdir(path):
            fail("the %s folder %s is not there" % (what, path))
    if not os.path.exists(args.reference):
        fail("the reference %s is not there" % args.reference)
    pixels, channel = parse_tolerance(args.tolerance)
    prefix = os.path.realpath(args.package) if args.package else installed_prefix()
    flags, package_prefix = package_flags(prefix)
    scripts = class_grade.find_scripts(args.scripts)
    if not scripts:
        fail("no scripts (*.scr) in %s" % args.scripts)
    submissions = class_grade.find_submissions(args.submissions)
    out = os.path.realpath(args.out)
    os.makedirs(out, exist_ok=True)
    protected = [os.path.realpath(p) for p in (args.submissions, args.reference, args.scripts, out)]
    protected += ["/root", "/home"]
    if package_prefix.startswith(("/root/", "/home/")):
        protected = [p for p in protected if p not in ("/root", "/home")]
    setup = class_grade.Setup(
        package_prefix=None if package_prefix.startswith("/usr/") else package_prefix,
        compile_flags=flags, scripts=scripts, out=out, protected=protected,
        limits=sandbox.Limits(wall=args.time, cpu=max(1, int(args.time / 2)),
                              memory_mb=args.memory),
        build_limits=sandbox.Limits(wall=args.build_time, cpu=int(args.build_time),
                                    memory_mb=4096),
        tolerance_pixels=pixels, tolerance_channel=channel)
    make_expected(setup, os.path.realpath(args.reference), out)
    jobs = args.jobs or os.cpu_count() or 1
    class_grade.grade_all(setup, submissions, jobs)
    shutil.rmtree(os.path.join(out, ".work"), ignore_errors=True)
    records = report.write_report(out)
    counts = {}
    for r in records:
        for s in r["scripts"]:
            counts[s["result"]] = counts.get(s["result"], 0) + 1
    print("graded %d submissions x %d scripts: %s; report: %s" % (
        len(records), len(scripts), ", ".join("%d %s" % (n, k) for k, n in sorted(counts.items())),
        os.path.join(out, "index.html")))


def merge(args):
    out = os.path.realpath(args.out)
    os.makedirs(os.path.join(out, "submissions"), exist_ok=True)
    for part in args.parts:
        if not os.path.isdir(os.path.join(part, "submissions")):
            fail("%s is not a grading report (no submissions folder)" % part)
        expected = os.path.join(part, "expected")
        if os.path.isdir(expected):
            shutil.copytree(expected, os.path.join(out, "expected"), dirs_exist_ok=True)
        for key in os.listdir(os.path.join(part, "submissions")):
            target = os.path.join(out, "submissions", key)
            if os.path.isdir(target):
                shutil.rmtree(target)
            shutil.copytree(os.path.join(part, "submissions", key), target)
    records = report.write_report(out)
    print("merged %d submissions; report: %s" % (len(records), os.path.join(out, "index.html")))


def main(argv):
    parser = argparse.ArgumentParser(prog="dovra-grade")
    commands = parser.add_subparsers(dest="command", required=True)
    c = commands.add_parser("class", help="grade a folder of submissions")
    c.add_argument("submissions")
    c.add_argument("--reference", required=True,
                   help="a reference program (source or built) or a folder of pictures")
    c.add_argument("--scripts", required=True, help="a folder of scripts (*.scr)")
    c.add_argument("--out", required=True, help="the report's folder")
    c.add_argument("-j", "--jobs", type=int, default=0)
    c.add_argument("--tolerance", default="0", help="PIXELS[,CHANNEL] allowed to differ")
    c.add_argument("--package", help="the installed package's prefix")
    c.add_argument("--time", type=float, default=10.0, help="wall seconds per replay")
    c.add_argument("--build-time", type=float, default=120.0, help="wall seconds per build")
    c.add_argument("--memory", type=int, default=1024, help="MB of memory per run")
    m = commands.add_parser("merge", help="one report from several parts")
    m.add_argument("--out", required=True)
    m.add_argument("parts", nargs="+")
    args = parser.parse_args(argv)
    if args.command == "class":
        if args.jobs < 0:
            fail("-j takes a number of jobs from 1")
        grade_class(args)
    else:
        merge(args)


if __name__ == "__main__":
    main(sys.argv[1:])
