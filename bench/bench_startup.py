"""Time from start to the first whole screen, measured through a pseudo-terminal: oru on an empty
core file and on a 20-line file, beside a small common editor (mg, else nano) started the same way
in the same run. Runs alternate between the programs so that a busy machine slows both alike.

Each run starts the program on a new 80 x 24 pseudo-terminal (TERM=xterm) and reads what it writes
until the screen shows what the user waits for: for oru the command prompt and, with the file,
the file's last line; for the other editor its mode line and the file's last line. The output is
searched as bytes while it arrives, so the measuring costs the same for both programs.

Run: /usr/bin/python3 bench/bench_startup.py build/oru [runs]
"""
import fcntl
import os
import select
import shutil
import signal
import statistics
import struct
import subprocess
import sys
import tempfile
import termios
import time

LAST_LINE = "the twentieth line ends the small file"


def small_file(folder):
    path = os.path.join(folder, "small.txt")
    with open(path, "w") as f:
        for i in range(1, 20):
            f.write(f"line {i} of a small file that a teacher might keep\n")
        f.write(LAST_LINE + "\n")
    return path


def started_child(argv, cwd):
    master, slave = os.openpty()
    fcntl.ioctl(slave, termios.TIOCSWINSZ, struct.pack("HHHH", 24, 80, 0, 0))
    env = dict(os.environ, TERM="xterm", LC_ALL="C.UTF-8")
    env.pop("LINES", None)
    env.pop("COLUMNS", None)

    def own_terminal():
        os.setsid()
        fcntl.ioctl(0, termios.TIOCSCTTY, 0)

    child = subprocess.Popen(argv, stdin=slave, stdout=slave, stderr=slave, cwd=cwd, env=env,
                             preexec_fn=own_terminal, close_fds=True)
    os.close(slave)
    return child, master


def time_to_screen(argv, cwd, needles, timeout=20.0):
    """(wall, cpu): seconds from the start of `argv` until every byte string of `needles` has been
    written, and the processor time the program had used by then (user and system)."""
    start = time.perf_counter()
    child, master = started_child(argv, cwd)
    seen = b""
    try:
        while not all(n in seen for n in needles):
            left = timeout - (time.perf_counter() - start)
            if left <= 0:
                raise RuntimeError(f"{argv[0]} never showed {needles}: {seen[-400:]!r}")
            ready, _, _ = select.select([master], [], [], left)
            if ready:
                try:
                    seen += os.read(master, 65536)
                except OSError:
                    raise RuntimeError(f"{argv[0]} ended before its first screen")
        wall = time.perf_counter() - start
    finally:
        child.send_signal(signal.SIGKILL)
        _, _, usage = os.wait4(child.pid, 0)
        child.returncode = -signal.SIGKILL
        os.close(master)
    return wall, usage.ru_utime + usage.ru_stime


def other_editor():
    for name in ("mg", "nano"):
        path = shutil.which(name)
        if path:
            return name, path
    return None, None


def cases(oru, folder, name, path):
    """(label, argv, needles) for every measured start."""
    small = small_file(folder)
    tail = LAST_LINE.encode()
    out = [("oru, empty", [oru], [b"Command"]),
           ("oru, 20-line file", [oru, small], [b"Command", tail])]
    if name == "mg":
        out += [("mg, empty", [path, "-n"], [b"*scratch*"]),
                ("mg, 20-line file", [path, "-n", small], [b"small.txt", tail])]
    elif name == "nano":
        out += [("nano, empty", [path, "--ignorercfiles"], [b"New Buffer"]),
                ("nano, 20-line file", [path, "--ignorercfiles", small], [b"small.txt", tail])]
    return out


def main():
    oru = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build/oru")
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 40
    name, path = other_editor()
    if name is None:
        print("neither mg nor nano is installed: oru is measured alone "
              "(apt-get install mg to compare)")
    folder = tempfile.mkdtemp(prefix="oru-bench-startup-")
    try:
        measured = cases(oru, folder, name, path)
        walls = {label: [] for label, _, _ in measured}
        cpus = {label: [] for label, _, _ in measured}
        for label, argv, needles in measured:  # one run each first: caches, page cache
            time_to_screen(argv, folder, needles)
        for _ in range(runs):
            for label, argv, needles in measured:
                wall, cpu = time_to_screen(argv, folder, needles)
                walls[label].append(wall)
                cpus[label].append(cpu)
        load = os.getloadavg()[0]
        print(f"start to first screen, {runs} runs each, 80 x 24 xterm, C.UTF-8, load average "
              f"{load:.1f} on {os.cpu_count()} cores, in ms: wall time (median, least) and the "
              f"processor time used when the program was stopped just after (median)")
        for label, _, _ in measured:
            w = walls[label]
            print(f"  {label:22s} wall {statistics.median(w) * 1e3:7.2f} {min(w) * 1e3:7.2f}"
                  f"   cpu {statistics.median(cpus[label]) * 1e3:7.2f}")
        if name is not None:
            for what in ("empty", "20-line file"):
                ours, theirs = walls[f"oru, {what}"], walls[f"{name}, {what}"]
                print(f"  oru / {name}, {what}: {statistics.median(ours) / statistics.median(theirs):.2f}"
                      f" (medians), {min(ours) / min(theirs):.2f} (least)")
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    main()
