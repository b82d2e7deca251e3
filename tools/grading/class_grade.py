"""Grading a class: every submission built against the installed package and
every script replayed headless, each in the sandbox; one result file per
submission, which the report is made from."""

import json
import os
import re
import shutil
import signal
import stat
import subprocess
import threading
import time
from concurrent.futures import ThreadPoolExecutor

import png
import sandbox

SOURCE_SUFFIXES = (".cpp", ".cc", ".cxx", ".c++")
MAX_SUBMISSION_BYTES = 50 * 1024 * 1024
MAX_PICTURE_BYTES = 16 * 1024 * 1024
# A replay's picture is the client area (595 x 496); a program may write any
# file there, so a picture is read only up to this size.
MAX_PICTURE_PIXELS = 4096 * 4096
FIRST_LINES = 8


class Setup:
    """What every job needs: the package, the scripts, the limits."""

    def __init__(self, package_prefix, compile_flags, scripts, out, protected, limits,
                 build_limits, tolerance_pixels, tolerance_channel):
        self.package_prefix = package_prefix
        self.compile_flags = compile_flags
        self.scripts = scripts  # [(name, path)]
        self.out = out
        self.protected = protected  # absolute paths a run may not look at
        self.limits = limits
        self.build_limits = build_limits
        self.tolerance_pixels = tolerance_pixels
        self.tolerance_channel = tolerance_channel
        self.ungradable = {}  # script name: why the reference gives no picture


def safe_name(name):
    """A file name of the submission's own name, for the report's files."""
    cleaned = re.sub(r"[^A-Za-z0-9._-]", "_", name).strip(".")
    return cleaned or "submission"


def find_submissions(folder):
    """Each folder, or each single source file, in `folder`: (name, path)."""
    found = []
    for entry in sorted(os.listdir(folder)):
        path = os.path.join(folder, entry)
        if entry.startswith("."):
            continue
        if os.path.isdir(path) and not os.path.islink(path):
            found.append((entry, path))
        elif os.path.isfile(path) and entry.endswith(SOURCE_SUFFIXES):
            found.append((os.path.splitext(entry)[0], path))
    return found


def find_scripts(folder):
    scripts = [
        (os.path.splitext(e)[0], os.path.join(folder, e))
        for e in sorted(os.listdir(folder))
        if e.lower().endswith(".scr") and os.path.isfile(os.path.join(folder, e))
    ]
    return scripts


def first_lines(text, count=FIRST_LINES, width=300):
    lines = [line[:width] for line in text.splitlines() if line.strip()]
    return lines[:count]


def read_bounded(path, limit=65536):
    try:
        with open(path, "rb") as f:
            return f.read(limit).decode("utf-8", "replace")
    except OSError:
        return ""


def _copy_sources(source, destination):
    """Copies a submission's folders and regular files; a link stays a link
    (which the sandbox cannot follow out), and anything else (a pipe, a
    device) is left out, so that nothing blocks or reaches outside."""
    os.makedirs(destination)
    if os.path.isfile(source):
        shutil.copyfile(source, os.path.join(destination, os.path.basename(source)),
                        follow_symlinks=False)
        return
    total = 0
    for root, dirs, files in os.walk(source):
        target = os.path.join(destination, os.path.relpath(root, source))
        os.makedirs(target, exist_ok=True)
        for name in dirs + files:
            path = os.path.join(root, name)
            st = os.lstat(path)
            if stat.S_ISLNK(st.st_mode):
                os.symlink(os.readlink(path), os.path.join(target, name))
            elif stat.S_ISREG(st.st_mode):
                total += st.st_size
                if total > MAX_SUBMISSION_BYTES:
                    raise ValueError("the submission holds more than 50 MB")
                shutil.copyfile(path, os.path.join(target, name), follow_symlinks=False)


def _own_tree(path, slot):
    for root, dirs, files in os.walk(path):
        for name in dirs + files:
            try:
                os.lchown(os.path.join(root, name), sandbox.FIRST_ID + slot,
                          sandbox.FIRST_ID + slot)
            except OSError:
                pass
    os.lchown(path, sandbox.FIRST_ID + slot, sandbox.FIRST_ID + slot)


def build(setup, slot, slot_dir, source, program_out, messages_out):
    """Builds one submission in the sandbox; (True, seconds) when it built,
    else (False, reason)."""
    sandbox.prepare_slot(slot_dir, slot)
    src = os.path.join(slot_dir, "src")
    _copy_sources(source, src)
    _own_tree(src, slot)
    files = []
    for root, dirs, names in os.walk(src):
        for n in sorted(names):
            if n.endswith(SOURCE_SUFFIXES):
                files.append("/work/" + os.path.relpath(os.path.join(root, n), slot_dir))
    if not files:
        return False, "no source file (.cpp) in the submission"
    # g++'s own defaults (no optimisation), as a student's build has them;
    # without the package's debug information, which nobody reads here and
    # which makes the program 16 times larger and its link half as fast.
    command = ["g++", "-std=c++17", "-Wl,--strip-debug", "-o", "/work/program"] + sorted(files)
    if shutil.which("ld.gold"):
        command.append("-fuse-ld=gold")  # links in half the time of the default linker
    command += setup.compile_flags
    with open(messages_out, "wb") as messages:
        outcome = sandbox.run(slot, slot_dir, command, setup.build_limits,
                              read_only=[setup.package_prefix] if setup.package_prefix else [],
                              stdout=messages, stderr=subprocess.STDOUT)
    built = os.path.join(slot_dir, "program")
    if outcome.timed_out:
        return False, "does not build: the compiler ran past %d s" % setup.build_limits.wall
    if outcome.exit_code != 0 or not os.path.isfile(built) or os.path.islink(built):
        return False, "does not build"
    shutil.copyfile(built, program_out, follow_symlinks=False)
    os.chmod(program_out, 0o755)
    return True, outcome.seconds


def _outside_accesses(trace_text, protected):
    """Paths outside the sandbox that the run tried to open or look at: a
    relative path that climbs out of its folder, or anything under a
    protected folder (other submissions, the reference, the scripts, homes)."""
    found = []
    for line in trace_text.splitlines():
        m = re.search(r'"((?:[^"\\]|\\.)*)"', line)
        if not m:
            continue
        path = m.group(1)
        resolved = os.path.normpath(path if path.startswith("/") else "/work/" + path)
        outside = not path.startswith("/") and not (resolved + "/").startswith("/work/")
        for root in protected:
            if (resolved + "/").startswith(root.rstrip("/") + "/"):
                outside = True
        if outside and path not in found:
            found.append(path)
    return found


def _signal_name(number):
    try:
        return signal.Signals(number).name
    except ValueError:
        return "signal %d" % number


def classify(outcome, output, limits):
    """The reason a run gave no picture, or None when it ended normally."""
    if outcome.processes_at_limit:
        return "process limit: forks without end"
    if outcome.timed_out:
        return "time limit: ran past %g s" % limits.wall
    if outcome.signal:
        s = outcome.signal
        if s == signal.SIGXCPU or (s == signal.SIGKILL and outcome.seconds >= limits.cpu):
            return "time limit: more than %d s of processor time" % limits.cpu
        if s == signal.SIGXFSZ:
            return "file size limit: wrote a file of more than %d MB" % limits.file_mb
        if s == signal.SIGSYS:
            return "network: opened a network connection (stopped)"
        if s == signal.SIGABRT and re.search(r"bad_alloc|Cannot allocate memory|out of memory",
                                             output):
            return "memory limit: more than %d MB" % limits.memory_mb
        return "crashed (%s)" % _signal_name(s)
    code = outcome.exit_code
    if code == 3:
        m = re.search(r"stops at line (\d+), which it cannot play: (.*)", output)
        if m:
            return "script stops at line %s: %s" % (m.group(1), m.group(2).strip())
        return "script stops at a line it cannot play"
    if code != 0:
        if re.search(r"bad_alloc|Cannot allocate memory|out of memory", output):
            return "memory limit: more than %d MB" % limits.memory_mb
        if "did not end within" in output:
            return "time limit: did not end within the replay's frame limit"
        return "exited with code %d" % code
    return None


def replay(setup, slot, slot_dir, program, script_path, script_name, folder, graded=True):
    """Replays one script through one built program in the sandbox; compares
    its picture with the expected one unless it is not `graded` (the
    reference's own replay)."""
    sandbox.prepare_slot(slot_dir, slot)
    shutil.copyfile(program, os.path.join(slot_dir, "program"))
    shutil.copyfile(script_path, os.path.join(slot_dir, "script.scr"))
    for f in ("program", "script.scr"):
        sandbox.give(os.path.join(slot_dir, f), slot)
    os.chmod(os.path.join(slot_dir, "program"), 0o755)
    output_path = os.path.join(folder, script_name + "-output.txt")
    env = {
        "DOVRA_REPLAY": "/work/script.scr",
        "DOVRA_REPLAY_PICTURE": "/work/picture.png",
        "DOVRA_LOG": "/work/log.txt",
    }
    with open(output_path, "wb") as output:
        outcome = sandbox.run(slot, slot_dir, ["/work/program"], setup.limits,
                              read_only=[setup.package_prefix] if setup.package_prefix else [],
                              env=env, stdout=output, stderr=subprocess.STDOUT,
                              trace=".trace")
    said = read_bounded(output_path)
    result = {
        "script": script_name,
        "seconds": round(outcome.seconds, 3),
        "output": first_lines(said),
        "log": first_lines(read_bounded(os.path.join(slot_dir, "log.txt")), 5),
    }
    reason = classify(outcome, said, setup.limits)
    outside = _outside_accesses(read_bounded(os.path.join(slot_dir, ".trace"), 1 << 20),
                                setup.protected)
    picture = os.path.join(slot_dir, "picture.png")
    got = None
    if reason is None:
        try:
            st = os.lstat(picture)
            if not os.path.isfile(picture) or os.path.islink(picture):
                raise OSError("not a file")
            if st.st_size > MAX_PICTURE_BYTES:
                raise OSError("too large")
            got_path = os.path.join(folder, script_name + "-got.png")
            shutil.copyfile(picture, got_path, follow_symlinks=False)
            got = png.read_png(got_path, MAX_PICTURE_PIXELS)
            result["got"] = os.path.basename(got_path)
        except (OSError, png.PictureError):
            reason = "no picture: the replay wrote none"
    if outside:
        result["outside"] = outside[:5]
    if reason is not None:
        result["result"] = "no picture"
        result["reason"] = reason
    elif not graded:
        result["result"] = "picture"
    elif script_name in setup.ungradable:
        result["result"] = "cannot grade"
        result["reason"] = "the reference gives no picture: " + setup.ungradable[script_name]
    else:
        expected = png.read_png(os.path.join(setup.out, "expected", script_name + ".png"))
        count, difference = png.compare(expected, got, setup.tolerance_channel)
        result["pixels"] = count
        if count <= setup.tolerance_pixels:
            result["result"] = "equal"
        else:
            result["result"] = "different"
            if difference:
                diff_path = os.path.join(folder, script_name + "-difference.png")
                png.write_png(diff_path, difference)
                result["difference"] = os.path.basename(diff_path)
    if outside:
        # Containment held (the files were not there to read); the attempt
        # is what the teacher must see.
        result["result"] = "forbidden"
        result["reason"] = "reads files outside its sandbox: " + ", ".join(outside[:3])
    return result


def unique_keys(submissions):
    """Each submission's folder name in the report: its own name made safe,
    with a number added where two would meet."""
    keys, used = [], set()
    for name, _ in submissions:
        key = base = safe_name(name)
        n = 2
        while key.lower() in used:
            key = "%s-%d" % (base, n)
            n += 1
        used.add(key.lower())
        keys.append(key)
    return keys


def grade_submission(setup, slot, name, source, key):
    """Builds and replays one submission; writes its result file and
    returns it."""
    folder = os.path.join(setup.out, "submissions", key)
    if os.path.isdir(folder):
        shutil.rmtree(folder)
    os.makedirs(folder)
    slot_dir = os.path.join(setup.out, ".work", "slot-%d" % slot)
    program = os.path.join(folder, "program")
    messages_path = os.path.join(folder, "build.txt")
    start = time.monotonic()
    record = {"name": name, "key": key, "scripts": []}
    try:
        ok, detail = build(setup, slot, slot_dir, source, program, messages_path)
    except (OSError, ValueError) as e:
        ok, detail = False, "cannot be read: %s" % e
    messages = read_bounded(messages_path)
    record["build"] = {"ok": ok, "errors": [l for l in first_lines(messages, 40)
                                            if "error" in l][:5] or first_lines(messages, 5)}
    if not ok:
        record["build"]["reason"] = detail
        for script_name, _ in setup.scripts:
            record["scripts"].append({"script": script_name, "result": "no picture",
                                      "reason": detail, "seconds": 0})
    else:
        record["build"]["seconds"] = round(detail, 3)
        for script_name, script_path in setup.scripts:
            record["scripts"].append(replay(setup, slot, slot_dir, program, script_path,
                                            script_name, folder))
        os.remove(program)
    record["seconds"] = round(time.monotonic() - start, 3)
    with open(os.path.join(folder, "result.json"), "w") as f:
        json.dump(record, f, indent=1, sort_keys=True)
    shutil.rmtree(slot_dir, ignore_errors=True)
    return record


def grade_all(setup, submissions, jobs):
    """Grades every submission, `jobs` at a time; each worker has a slot."""
    free = list(range(jobs))
    lock = threading.Lock()

    def one(item):
        (name, source), key = item
        with lock:
            slot = free.pop()
        try:
            return grade_submission(setup, slot, name, source, key)
        finally:
            with lock:
                free.append(slot)

    with ThreadPoolExecutor(max_workers=jobs) as pool:
        return list(pool.map(one, zip(submissions, unique_keys(submissions))))
