#!/usr/bin/python3
"""A driver program that makes French exercise sentences with oru.

Start it from this folder with

    oru -d french.py

or from any other folder with its path, for example oru -d examples/drivers/french.py.

It loads the French rule files of ../french (beside this program's folder) through oru's
generation commands, presses the generate key a few times, reads each question and its answer
back with QTALK, writes them to french.report (in UTF-8) in the folder oru was started in and ends
the editor. Put a number on the first line of a file french.seed in that folder to make the run
repeatable (RANDOM SEED); without it every run differs.
"""
import os
import select
import sys

RETURN = "\r"
ESC = "\x1b"
CTRL_C = "\x03"          # opens the command line
GENERATE = ESC + "g"     # the generate key
ROUNDS = 5
NAME_LIMIT = 48          # the longest file name an oru command takes


def keys(text):
    """Types keys into the editor. The pipe carries oru's characters one byte each (Latin-1),
    whatever the rule files are written in."""
    sys.stdout.buffer.write(text.encode("latin-1"))
    sys.stdout.buffer.flush()


def command(text):
    """Types a command (two letters and its parameter) and Return; the command line is open."""
    keys(text + RETURN)


_pending = b""


def answer(wait=20):
    """Reads one line that oru sent to this program (its text is Latin-1, one byte a character).
    Gives up after `wait` seconds of silence rather than hang, for example when QTALK is asked
    for a sentence that was not generated."""
    global _pending
    while b"\n" not in _pending:
        ready, _, _ = select.select([0], [], [], wait)
        chunk = os.read(0, 4096) if ready else b""
        if not chunk:
            sys.exit("oru went away or sent nothing")
        _pending += chunk
    line, _pending = _pending.split(b"\n", 1)
    return line.decode("latin-1").rstrip("\r")


def talk(number):
    """QTALK: oru sends START, the generated sentence of that number, and END."""
    command("QT%d" % number)
    text = []
    while True:
        line = answer()
        if line.startswith("START"):
            line = line[len("START"):]
        done = line.endswith("END")
        if done:
            line = line[: -len("END")]
        if line.strip():
            text.append(line.strip())
        if done:
            return " ".join(text)


def name_for_oru(path):
    """The shorter of the path relative to the current folder (which is oru's too) and the
    absolute path, as long as oru takes it."""
    name = min(os.path.relpath(path), os.path.abspath(path), key=len)
    if len(name) > NAME_LIMIT:
        command("GO")            # GOODBYE: nothing is loaded or changed yet
        sys.exit(f"french.py: the path {name} is longer than the {NAME_LIMIT} characters "
                 "oru takes")
    return name


def main():
    # oru starts us from its command line, which is still open.
    rules = os.path.join(os.path.dirname(sys.argv[0]) or ".", "..", "french")
    for letters, suffix in (("AT", "att"), ("TM", "tm"), ("LE", "lex"), ("MO", "mor"),
                            ("TB", "tbl"), ("SY", "syn")):
        # A rule file that cannot be read would leave a message waiting for a key; ASK 9
        # answers silently whether it can.
        name = name_for_oru(os.path.join(rules, "french." + suffix))
        command("AS9|" + name)
        if answer() != "1":
            command("GO")
            sys.exit(f"french.py: cannot read {name}")
        command(letters + name)
    if os.path.exists("french.seed"):
        with open("french.seed") as f:
            command("RA" + f.readline().strip())   # RANDOM SEED
    pairs = []
    for _ in range(ROUNDS):
        keys(RETURN)              # a Return alone closes the command line
        keys(GENERATE)
        keys(CTRL_C)
        pairs.append((talk(1), talk(2)))   # 1 is the question, 2 its answer
    with open("french.report", "w", encoding="utf-8") as report:
        for question, reply in pairs:
            report.write("Question: %s\nAnswer: %s\n" % (question, reply))
    command("GO")                 # GOODBYE


if __name__ == "__main__":
    main()
