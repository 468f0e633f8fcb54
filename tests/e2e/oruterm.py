"""Runs the real oru program in a pseudo-terminal under a terminal emulator (pyte, sized like the
pseudo-terminal): a test sends keys and waits for what a user would see, never a fixed time."""
import atexit
import os
import shutil
import sys
import tempfile
import time

import pexpect
import pyte

ORU = os.path.abspath(sys.argv[1]) if len(sys.argv) > 1 else os.environ.get("ORU", "oru")
SOURCE_DIR = os.environ.get("ORU_SOURCE_DIR", os.path.join(os.path.dirname(__file__), "..", ".."))
TIMEOUT = 20.0


class Oru:
    def __init__(self, args=(), rows=24, cols=80, cwd=None, env=None):
        self.rows, self.cols = rows, cols
        self.screen = pyte.Screen(cols, rows)
        self.stream = pyte.ByteStream(self.screen)
        full_env = {"TERM": "xterm", **os.environ, **(env or {})}
        self.child = pexpect.spawn(ORU, list(args), dimensions=(rows, cols), cwd=cwd, env=full_env)
        self.raw = b""

    def send(self, keys):
        self.child.send(keys.encode("latin-1") if isinstance(keys, str) else keys)

    def _pump(self, timeout):
        try:
            data = self.child.read_nonblocking(65536, timeout=timeout)
        except (pexpect.TIMEOUT, pexpect.EOF) as e:
            return False if isinstance(e, pexpect.TIMEOUT) else None
        self.raw += data
        self.stream.feed(data)
        return True

    def text(self): return "\n".join(self.screen.display)

    def row(self, n): return self.screen.display[n]

    def wait_screen(self, predicate, what, timeout=TIMEOUT):
        end = time.monotonic() + timeout
        while True:
            if predicate(self):
                return
            left = end - time.monotonic()
            if left <= 0:
                raise AssertionError(f"timed out waiting for {what}; screen:\n{self.text()}")
            if self._pump(min(left, 0.2)) is None and not predicate(self):
                raise AssertionError(f"oru ended while waiting for {what}; screen:\n{self.text()}")

    def wait_for(self, needle, timeout=TIMEOUT):
        self.wait_screen(lambda o: needle in o.text(), repr(needle), timeout)

    def wait_exit(self, timeout=TIMEOUT):
        end = time.monotonic() + timeout
        while self.child.isalive():
            if time.monotonic() > end:
                raise AssertionError("oru did not end; screen:\n" + self.text())
            self._pump(0.2)
        while self._pump(0.2):  # what it wrote just before it ended
            pass
        self.child.close()
        return self.child.exitstatus

    def close(self):
        if self.child.isalive():
            self.child.terminate(force=True)

    def __enter__(self): return self

    def __exit__(self, *exc): self.close()


def scratch(prefix):
    """A new directory for a test's files, removed when the script ends."""
    d = tempfile.mkdtemp(prefix=prefix)
    atexit.register(shutil.rmtree, d, ignore_errors=True)
    return d


def start_in_scratch(prefix, examples=(), files=None):
    """(oru, its new scratch directory) with the command line open; the directory holds copies of
    the named files of examples/ and the files of `files` ({name: text}, written as Latin-1)."""
    work = scratch(prefix)
    for name in examples:
        shutil.copy(os.path.join(SOURCE_DIR, "examples", name), work)
    for name, text in (files or {}).items():
        with open(os.path.join(work, name), "w", encoding="latin-1") as f:
            f.write(text)
    oru = Oru([], cwd=work)
    oru.wait_screen(lambda s: s.row(23).startswith("Expecting Command"), "the command prompt")
    return oru, work


def command(oru, letters, parameter):
    """Types a command's two letters and its parameter on the open command line."""
    oru.send(letters + parameter + "\r")


def run_plain(args, cwd=None):
    """Runs oru without a terminal emulator and returns (exit status, output)."""
    out, status = pexpect.run(ORU, args=list(args), withexitstatus=True, cwd=cwd, timeout=TIMEOUT)
    return status, out.decode("latin-1").replace("\r\n", "\n")


def main():
    """Runs every test_* function of the calling script in the order they are written."""
    tests = [f for name, f in vars(sys.modules["__main__"]).items()  # in the order defined
             if name.startswith("test_") and callable(f)]
    assert tests, "no test_* functions found"
    failed = 0
    for t in tests:
        try:
            t()
            print(f"ok   {t.__name__}")
        except Exception as e:  # noqa: BLE001 - report every failure and go on
            failed += 1
            print(f"FAIL {t.__name__}: {e}")
    print(f"{len(tests) - failed} passed, {failed} failed")
    sys.exit(1 if failed else 0)
