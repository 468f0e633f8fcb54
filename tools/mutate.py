#!/usr/bin/python3
"""Mutation testing for oru: which plausible faults would the test suite miss?

Each mutation in the list (tools/mutations.txt by default) replaces one piece of text on one line
of one source file. The tool copies the tree to a scratch folder, builds the unit tests there
once, checks that they pass, and then for each mutation in turn: applies it, rebuilds only what
changed, runs the unit tests (and, with --e2e, the end-to-end tests when the unit tests miss it),
and puts the file back. A mutation is "killed" when some test fails, "survived" when every test
passes, "no build" when the mutated code does not compile (a fault in the list, not in the
tests), and "stale" when its text is not found exactly once (the code moved on; update the list).

    tools/mutate.py                  every mutation, against the working tree
    tools/mutate.py --rev HEAD~3     against a committed revision instead
    tools/mutate.py --only store     mutations whose file or description contains "store"
    tools/mutate.py --skip gento/,scan  all but those whose file or description contains either
    tools/mutate.py --e2e            also run the end-to-end tests on unit-test survivors
    tools/mutate.py --keep DIR       use and keep DIR as the scratch folder: a later run brings
                                     it up to date and rebuilds only what changed
    tools/mutate.py --check          only check that the list still fits the code

List format: a header line "[path] description", then a line "- old text" and a line
"+ new text". Blank lines and lines starting with "#" between entries are ignored.
"""
import argparse
import filecmp
import os
import shutil
import subprocess
import sys
import tempfile
import time
from dataclasses import dataclass

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)


@dataclass
class Mutation:
    path: str
    what: str
    old: str
    new: str
    where: int  # line of the list file, for messages


def parse_list(path):
    mutations, header, old = [], None, None
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if header is None:
                if not line.strip() or line.startswith("#"):
                    continue
                if not (line.startswith("[") and "]" in line):
                    sys.exit(f"{path}:{number}: expected '[file] description'")
                close = line.index("]")
                header = (line[1:close], line[close + 1:].strip(), number)
            elif old is None:
                if not line.startswith("- "):
                    sys.exit(f"{path}:{number}: expected '- old text'")
                old = line[2:]
            else:
                if not line.startswith("+ "):
                    sys.exit(f"{path}:{number}: expected '+ new text'")
                mutations.append(Mutation(header[0], header[1], old, line[2:], header[2]))
                header, old = None, None
    if header is not None:
        sys.exit(f"{path}: the last entry is incomplete")
    return mutations


def copy_tree(dest, rev):
    """Makes `dest` hold exactly the tracked and untracked-but-not-ignored files of the tree (or
    of a revision), leaving its build folder alone. Files whose contents did not change are left
    as they are, and the others are written afresh with the time of copying, so a scratch folder
    that is reused rebuilds exactly what changed, even after a run against an older revision."""
    if rev:
        archive = subprocess.run(["git", "-C", ROOT, "archive", rev], check=True,
                                 capture_output=True).stdout
        source = tempfile.mkdtemp(prefix="oru-mutate-src-")
        subprocess.run(["tar", "-x", "-C", source], input=archive, check=True)
        names = [os.path.relpath(os.path.join(d, f), source)
                 for d, _, files in os.walk(source) for f in files]
    else:
        source = ROOT
        listed = subprocess.run(["git", "-C", ROOT, "ls-files", "-z", "-c", "-o",
                                 "--exclude-standard"], check=True, capture_output=True).stdout
        names = [os.fsdecode(n) for n in listed.split(b"\0") if n]
    wanted = set()
    for name in names:
        src = os.path.join(source, name)
        if not os.path.isfile(src):
            continue
        wanted.add(name)
        dst = os.path.join(dest, name)
        if os.path.isfile(dst):
            if filecmp.cmp(src, dst, shallow=False):
                continue
        os.makedirs(os.path.dirname(dst), exist_ok=True)
        shutil.copyfile(src, dst)
        shutil.copymode(src, dst)
    for d, dirs, files in os.walk(dest):
        if d == dest and "build" in dirs:
            dirs.remove("build")
        for f in files:
            rel = os.path.relpath(os.path.join(d, f), dest)
            if rel not in wanted:
                os.remove(os.path.join(d, f))
    if rev:
        shutil.rmtree(source, ignore_errors=True)


def run(cmd, cwd, timeout, env=None):
    try:
        done = subprocess.run(cmd, cwd=cwd, capture_output=True, timeout=timeout, env=env)
        return done.returncode == 0, (done.stdout + done.stderr).decode(errors="replace")
    except subprocess.TimeoutExpired:
        return False, "timed out"


class Workspace:
    def __init__(self, scratch, e2e):
        self.scratch, self.e2e = scratch, e2e
        self.unit_timeout = 900  # until the unmutated suite has been timed
        self.build = os.path.join(scratch, "build")
        self.targets = ["oru_tests"] + (["oru"] if e2e else [])

    def configure(self):
        ok, out = run(["cmake", "-S", ".", "-B", "build", "-G", "Ninja",
                       "-DCMAKE_BUILD_TYPE=RelWithDebInfo", "-DORU_SANITIZE=OFF",
                       "-DORU_BENCH=OFF"], self.scratch, 600)
        if not ok:
            sys.exit("configuring the scratch tree failed:\n" + out)

    def compile(self):
        return run(["cmake", "--build", "build", "--target", *self.targets], self.scratch, 1800)

    def unit(self):
        return run([os.path.join(self.build, "oru_tests"), "--gtest_brief=1"], self.build,
                   self.unit_timeout)

    def end_to_end(self):
        return run(["ctest", "--test-dir", "build", "-R", "^e2e_", "-j", "2"], self.scratch, 1800)


def try_mutation(ws, m):
    path = os.path.join(ws.scratch, m.path)
    try:
        with open(path, "rb") as f:
            original = f.read()
    except OSError:
        return "stale", "no such file"
    text = original.decode("latin-1")
    if text.count(m.old) != 1:
        return "stale", f"text found {text.count(m.old)} times"
    line = text[:text.index(m.old)].count("\n") + 1
    try:
        with open(path, "wb") as f:
            f.write(text.replace(m.old, m.new).encode("latin-1"))
        ok, out = ws.compile()
        if not ok:
            return "no build", out.strip().splitlines()[-1] if out.strip() else ""
        ok, out = ws.unit()
        if not ok:
            return "killed", f"line {line}: unit tests"
        if ws.e2e:
            ok, out = ws.end_to_end()
            if not ok:
                return "killed", f"line {line}: end-to-end tests"
        return "survived", f"line {line}"
    finally:
        with open(path, "wb") as f:
            f.write(original)


def check_only(mutations):
    bad = 0
    for m in mutations:
        try:
            with open(os.path.join(ROOT, m.path), encoding="latin-1") as f:
                found = f.read().count(m.old)
        except OSError:
            found = -1
        if found != 1:
            bad += 1
            print(f"stale: {m.path}: {m.what} (found {found} times)")
    print(f"{len(mutations)} mutations, {bad} stale")
    return 1 if bad else 0


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--list", default=os.path.join(HERE, "mutations.txt"))
    ap.add_argument("--rev", help="mutate this git revision instead of the working tree")
    ap.add_argument("--only", help="only mutations whose file or description contains this "
                    "(several words separated by commas: any of them)")
    ap.add_argument("--skip", help="leave out mutations whose file or description contains this "
                    "(several words separated by commas: any of them)")
    ap.add_argument("--e2e", action="store_true", help="also run the end-to-end tests")
    ap.add_argument("--keep", help="scratch folder to use and keep (reused if it exists)")
    ap.add_argument("--check", action="store_true",
                    help="only check that every mutation's text is found once, without building")
    args = ap.parse_args()

    mutations = parse_list(args.list)
    def matches(m, words):
        return any(w in m.path or w in m.what for w in words.split(","))

    if args.only:
        mutations = [m for m in mutations if matches(m, args.only)]
    if args.skip:
        mutations = [m for m in mutations if not matches(m, args.skip)]
    if args.check:
        return check_only(mutations)
    scratch = args.keep or tempfile.mkdtemp(prefix="oru-mutate-", dir=os.path.dirname(ROOT))
    os.makedirs(scratch, exist_ok=True)
    try:
        copy_tree(scratch, args.rev)
        ws = Workspace(scratch, args.e2e)
        ws.configure()
        ok, out = ws.compile()
        if not ok:
            sys.exit("the unmutated tree does not build:\n" + out[-3000:])
        start = time.monotonic()
        ok, out = ws.unit()
        if not ok:
            sys.exit("the unmutated tree fails its unit tests:\n" + out[-3000:])
        # A mutation that makes the suite loop is a killed one: waiting many times the suite's
        # own time to say so is enough.
        ws.unit_timeout = max(60, 10 * (time.monotonic() - start))
        if args.e2e:
            ok, out = ws.end_to_end()
            if not ok:
                sys.exit("the unmutated tree fails its end-to-end tests:\n" + out[-3000:])

        counts = {}
        for i, m in enumerate(mutations, 1):
            start = time.monotonic()
            verdict, detail = try_mutation(ws, m)
            counts[verdict] = counts.get(verdict, 0) + 1
            print(f"[{i}/{len(mutations)}] {verdict:8} {m.path}: {m.what} ({detail}, "
                  f"{time.monotonic() - start:.0f} s)", flush=True)
        ws.compile()  # leave the scratch build matching the unmutated tree

        killed, survived = counts.get("killed", 0), counts.get("survived", 0)
        tried = killed + survived
        rate = f"{100.0 * killed / tried:.1f}%" if tried else "n/a"
        print(f"\n{killed} killed, {survived} survived, {counts.get('no build', 0)} no build, "
              f"{counts.get('stale', 0)} stale; kill rate {rate}")
        return 0 if survived == 0 else 1
    finally:
        if not args.keep:
            shutil.rmtree(scratch, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
