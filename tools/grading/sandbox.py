"""The sandbox that submissions are built and run in: bubblewrap with no
network, no view of the file system but the system's read-only folders, the
installed package and one private writable folder, a user id of its own per
worker, and limits on time, memory, processes and file size.

Why bubblewrap: it is Debian's, needs no daemon, and gives each run new
mount, PID, network, IPC and UTS namespaces; with the user id of its worker
slot (not root), the kernel enforces the process limit, and the PID
namespace ends every process a run leaves behind. A seccomp filter kills a
process that opens an internet socket, so that an attempt is named, not
only refused."""

import os
import select
import shutil
import signal
import struct
import subprocess
import time

# Worker slot K runs as user and group FIRST_ID + K.
FIRST_ID = 61000


class Limits:
    def __init__(self, wall=20.0, cpu=10, memory_mb=1024, processes=64, file_mb=64):
        self.wall = wall
        self.cpu = cpu
        self.memory_mb = memory_mb
        self.processes = processes
        self.file_mb = file_mb


def check_tools():
    """A one-line reason why sandboxed grading cannot run here, or None."""
    if os.geteuid() != 0:
        return (
            "grading a class needs root for its sandbox (a user id per worker): "
            "run it with sudo"
        )
    for tool in ("bwrap", "prlimit", "setpriv", "strace"):
        if not shutil.which(tool):
            return "%s is not installed (apt-get install bubblewrap util-linux strace)" % tool
    return None


def _seccomp_filter():
    """Classic BPF for seccomp: kill the process on socket() for an internet
    or packet family, on io_uring (which can open sockets too) and on any
    x32 system call; allow everything else. x86-64 only: elsewhere, None
    (the empty network namespace still refuses every connection)."""
    if os.uname().machine != "x86_64":
        return None
    LD_ABS_W, JEQ, JGE, RET = 0x20, 0x15, 0x35, 0x06
    ALLOW, KILL = 0x7FFF0000, 0x80000000
    AUDIT_ARCH_X86_64 = 0xC000003E
    SOCKET, IO_URING_SETUP = 41, 425
    program = [
        (LD_ABS_W, 0, 0, 4),  # arch
        (JEQ, 1, 0, AUDIT_ARCH_X86_64),
        (RET, 0, 0, KILL),
        (LD_ABS_W, 0, 0, 0),  # system call number
        (JGE, 8, 0, 0x40000000),  # x32
        (JEQ, 7, 0, IO_URING_SETUP),
        (JEQ, 0, 5, SOCKET),
        (LD_ABS_W, 0, 0, 16),  # first argument: the family
        (JEQ, 4, 0, 2),  # AF_INET
        (JEQ, 3, 0, 10),  # AF_INET6
        (JEQ, 2, 0, 17),  # AF_PACKET
        (RET, 0, 0, ALLOW),
        (RET, 0, 0, ALLOW),
        (RET, 0, 0, KILL),
    ]
    return b"".join(struct.pack("<HBBI", *op) for op in program)


SECCOMP = _seccomp_filter()


class Outcome:
    """How a sandboxed command ended."""

    def __init__(self):
        self.exit_code = None  # when it exited
        self.signal = None  # when a signal ended it
        self.timed_out = False
        self.processes_at_limit = False
        self.seconds = 0.0


def _processes(uid):
    """The live processes of a user (zombies, which hold nothing and end
    when their parent collects them, are left out)."""
    found = []
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                if os.stat("/proc/" + entry).st_uid != uid:
                    continue
                with open("/proc/%s/stat" % entry, "rb") as f:
                    state = f.read().rsplit(b")", 1)[1].split()[0]
                if state not in (b"Z", b"X"):
                    found.append(int(entry))
            except (OSError, IndexError):
                pass
    return found


def _kill_user(uid):
    """Ends every process of the slot's user (a run's leftovers; those of a
    run that ended are usually on their way out already)."""
    for _ in range(400):
        left = _processes(uid)
        if not left:
            return
        for pid in left:
            try:
                os.kill(pid, signal.SIGKILL)
            except OSError:
                pass
        time.sleep(0.005)


def prepare_slot(folder, slot):
    """An empty private folder owned by the slot's user."""
    uid = FIRST_ID + slot
    _kill_user(uid)
    if os.path.isdir(folder):
        shutil.rmtree(folder)
    os.makedirs(folder, mode=0o700)
    os.chown(folder, uid, uid)
    return folder


def give(path, slot):
    """Makes a file copied into the slot's folder the slot user's."""
    uid = FIRST_ID + slot
    os.chown(path, uid, uid)


def run(slot, folder, command, limits, read_only=(), env=None, stdout=None, stderr=None,
        trace=None):
    """Runs `command` in the sandbox, in `folder` (seen as /work, the only
    writable place), with the system's folders and `read_only` paths bound
    read-only at their own places. With `trace` (a file name in the folder),
    file accesses that failed are traced there."""
    uid = FIRST_ID + slot
    bwrap = [
        "setpriv", "--reuid=%d" % uid, "--regid=%d" % uid, "--clear-groups",
        "--inh-caps=-all", "--bounding-set=-all",
        "bwrap", "--unshare-all", "--die-with-parent", "--new-session",
        "--ro-bind", "/usr", "/usr",
        "--symlink", "usr/lib", "/lib", "--symlink", "usr/lib64", "/lib64",
        "--symlink", "usr/bin", "/bin", "--symlink", "usr/sbin", "/sbin",
        "--proc", "/proc", "--dev", "/dev", "--tmpfs", "/tmp",
        "--bind", folder, "/work", "--chdir", "/work",
    ]
    for path in ("/etc/ld.so.cache", "/etc/fonts", "/etc/alternatives", "/var/cache/fontconfig"):
        if os.path.exists(path):
            bwrap += ["--ro-bind", path, path]
    for path in read_only:
        bwrap += ["--ro-bind", path, path]
    seccomp_read = None
    if SECCOMP:
        seccomp_read, seccomp_write = os.pipe()
        os.write(seccomp_write, SECCOMP)
        os.close(seccomp_write)
        bwrap += ["--seccomp", str(seccomp_read)]
    limited = [
        "prlimit",
        "--cpu=%d:%d" % (limits.cpu, limits.cpu + 1),
        "--as=%d" % (limits.memory_mb * 1024 * 1024),
        "--nproc=%d" % limits.processes,
        "--fsize=%d" % (limits.file_mb * 1024 * 1024),
        "--core=0",
        "--",
    ]
    if trace:
        # Only the calls that open, run or enter a path stop the program
        # (--seccomp-bpf): reading anything starts with one of them, while
        # the calls that only look (stat, access, readlink), which font
        # look-up makes by the hundred, would double the trace's cost and
        # learn nothing here, where nothing outside exists to be seen.
        calls = "open,openat,openat2,creat,execve,execveat,chdir"
        limited += ["strace", "-f", "-qq", "--seccomp-bpf", "-e", "trace=" + calls,
                    "-e", "status=failed", "-o", "/work/" + trace]
    clean_env = {"PATH": "/usr/bin:/bin", "HOME": "/work", "LANG": "C.UTF-8"}
    clean_env.update(env or {})
    outcome = Outcome()
    start = time.monotonic()
    process = subprocess.Popen(
        bwrap + ["--"] + limited + command,
        env=clean_env,
        stdin=subprocess.DEVNULL,
        stdout=stdout,
        stderr=stderr,
        pass_fds=(seccomp_read,) if seccomp_read is not None else (),
        start_new_session=True,
    )
    if seccomp_read is not None:
        os.close(seccomp_read)
    # Waits in short steps, watching the slot user's processes: a run seen
    # near the process limit forks without end, and once it has stayed there
    # for a second it is ended.
    code = None
    at_limit = 0
    deadline = start + limits.wall
    # The process's descriptor wakes the wait the moment it ends.
    ended = os.pidfd_open(process.pid)
    while code is None:
        if select.select([ended], [], [], 0.2)[0]:
            code = process.wait()
        else:
            # Half the limit already: a DOVRA program is one process (and
            # the sandbox's three), and a program that forks without end may
            # fork slowly under the trace.
            at_limit = at_limit + 1 if len(_processes(uid)) >= limits.processes // 2 else 0
            if at_limit:
                outcome.processes_at_limit = True  # however the run ends
            if at_limit >= 5 or time.monotonic() >= deadline:
                outcome.timed_out = at_limit < 5
                try:
                    os.killpg(process.pid, signal.SIGKILL)
                except OSError:
                    pass
                _kill_user(uid)
                code = process.wait()
    os.close(ended)
    outcome.seconds = time.monotonic() - start
    _kill_user(uid)
    if code < 0:
        outcome.signal = -code
    elif code > 128 and code - 128 < 65:
        # prlimit, strace and the shell report a signal death as 128 + signal
        outcome.signal = code - 128
    else:
        outcome.exit_code = code
    return outcome
