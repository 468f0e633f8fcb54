#!/usr/bin/python3
"""A driver program that makes French exercise sentences with oru.

Start it from this folder with

    oru -d french.py

It loads the French rule files of ../french through oru's generation commands, presses the
generate key a few times, reads each question and its answer back with QTALK, writes them to
french.report (in UTF-8) and ends the editor. Give a number as the first line of a file french.seed to
make the run repeatable (RANDOM SEED); without it every run differs.
"""
import os
import select
import sys

RETURN = "\r"
ESC = "\x1b"
CTRL_C = "\x03"          # opens the command line
GENERATE = ESC + "g"     # the generate key
RULES = "../french/"
ROUNDS = 5


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


def main():
    # oru starts us from its command line, which is still open.
    for letters, suffix in (("AT", "att"), ("TM", "tm"), ("LE", "lex"), ("MO", "mor"),
                            ("TB", "tbl"), ("SY", "syn")):
        command(letters + RULES + "french." + suffix)
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
