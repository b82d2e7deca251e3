"""The class grader's own parts: PNG reading (every row filter, as other
tools write them) and writing, comparison with a tolerance, how a run's end
is named, and which traced paths count as reaching outside the sandbox."""

import os
import signal
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "tools", "grading"))
import class_grade  # noqa: E402
import png  # noqa: E402
import sandbox  # noqa: E402


def gradient(width, height):
    rows = [bytes((x * 7 + y) % 256 for x in range(width) for _ in range(3)) for y in range(height)]
    return png.Picture(width, height, rows)


class Pictures(unittest.TestCase):
    def test_round_trip_and_every_filter_that_other_tools_write(self):
        with tempfile.TemporaryDirectory() as d:
            picture = gradient(37, 23)
            path = os.path.join(d, "p.png")
            png.write_png(path, picture)
            self.assertEqual(png.read_png(path).rows, picture.rows)
            # ImageMagick: each filter (0 none .. 4 Paeth) and RGBA and grey.
            for option in (["-define", "png:compression-filter=%d" % f] for f in range(5)):
                out = os.path.join(d, "f.png")
                subprocess.run(["convert", path] + option + [out], check=True)
                self.assertEqual(png.read_png(out).rows, picture.rows, option)
            subprocess.run(["convert", path, "-alpha", "on", "PNG32:" + out], check=True)
            self.assertEqual(png.read_png(out).rows, picture.rows)

    def test_what_is_not_a_picture_is_refused(self):
        with tempfile.TemporaryDirectory() as d:
            path = os.path.join(d, "p.png")
            png.write_png(path, gradient(64, 64))
            with open(path, "rb") as f:
                data = f.read()
            cases = {"not png": b"hello", "cut short": data[:60], "empty": b""}
            for name, content in cases.items():
                with open(path, "wb") as f:
                    f.write(content)
                with self.assertRaises(png.PictureError, msg=name):
                    png.read_png(path)
            with open(path, "wb") as f:
                f.write(data)
            with self.assertRaises(png.PictureError):
                png.read_png(path, max_pixels=64 * 63)  # larger than allowed

    def test_comparison_and_tolerance(self):
        a = gradient(10, 4)
        rows = [bytearray(r) for r in a.rows]
        rows[1][0:3] = bytes(v ^ 1 for v in rows[1][0:3])  # off by one in each channel
        rows[2][9:12] = b"\x00\x00\x00"
        b = png.Picture(10, 4, [bytes(r) for r in rows])
        self.assertEqual(png.compare(a, a), (0, None))
        count, difference = png.compare(a, b)
        self.assertEqual(count, 2)
        self.assertEqual(difference.rows[1][0:3], b"\xff\x00\x00")
        self.assertEqual(png.compare(a, b, channel_tolerance=1)[0], 1)
        self.assertEqual(png.compare(a, gradient(10, 5))[0], 50)  # sizes differ


class Runs(unittest.TestCase):
    def test_how_a_run_ended(self):
        limits = sandbox.Limits(wall=8, cpu=4, memory_mb=512, file_mb=64)

        def outcome(**fields):
            o = sandbox.Outcome()
            o.exit_code = 0
            for k, v in fields.items():
                setattr(o, k, v)
            return o

        cases = [
            (outcome(), "", None),
            (outcome(exit_code=None, signal=signal.SIGSEGV), "", "crashed (SIGSEGV)"),
            (outcome(timed_out=True), "", "time limit: ran past 8 s"),
            (outcome(processes_at_limit=True), "", "process limit: forks without end"),
            (outcome(exit_code=None, signal=signal.SIGXCPU), "", "time limit: more than 4 s"),
            (outcome(exit_code=None, signal=signal.SIGXFSZ), "", "file size limit"),
            (outcome(exit_code=None, signal=signal.SIGSYS), "", "network:"),
            (outcome(exit_code=None, signal=signal.SIGABRT),
             "terminate called after throwing an instance of 'std::bad_alloc'", "memory limit"),
            (outcome(exit_code=3),
             "DOVRA replay: script file /work/script.scr stops at line 4, which it cannot play: "
             "DOVRA_X;", "script stops at line 4: DOVRA_X;"),
            (outcome(exit_code=7), "", "exited with code 7"),
        ]
        for o, output, reason in cases:
            got = class_grade.classify(o, output, limits)
            if reason is None:
                self.assertIsNone(got)
            else:
                self.assertTrue(got and got.startswith(reason), (got, reason))

    def test_report_folders_never_meet(self):
        names = [("a b", ""), ("a_b", ""), ("A_B", ""), ("../x", ""), ("", "")]
        self.assertEqual(class_grade.unique_keys(names),
                         ["a_b", "a_b-2", "A_B-3", "_x", "submission"])

    def test_which_paths_reach_outside(self):
        protected = ["/class/submissions", "/root", "/home"]
        trace = "\n".join([
            '12 openat(AT_FDCWD, "/usr/lib/x86_64-linux-gnu/tls/libc.so.6", O_RDONLY) = -1 ENOENT',
            '12 openat(AT_FDCWD, "log.txt", O_WRONLY) = -1 EACCES',
            '12 openat(AT_FDCWD, "../bob/main.cpp", O_RDONLY) = -1 ENOENT',
            '12 newfstatat(AT_FDCWD, "/class/submissions/bob", 0x7ff, 0) = -1 ENOENT',
            '12 openat(AT_FDCWD, "/root/.ssh/id_rsa", O_RDONLY) = -1 ENOENT',
            '12 openat(AT_FDCWD, "/classroom", O_RDONLY) = -1 ENOENT',
            '12 openat(AT_FDCWD, "sub/../../x", O_RDONLY) = -1 ENOENT',
        ])
        self.assertEqual(class_grade._outside_accesses(trace, protected),
                         ["../bob/main.cpp", "/class/submissions/bob", "/root/.ssh/id_rsa",
                          "sub/../../x"])


if __name__ == "__main__":
    unittest.main()
