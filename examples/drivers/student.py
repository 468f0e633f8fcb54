#!/usr/bin/python3
"""An example driver program for oru.

Start it from this folder with

    oru -d capitalise.py

oru runs this program and reads its standard output as keystrokes, exactly as if they were typed;
what oru has to tell the program (ASK answers, EMIT blocks, acknowledgements) arrives on the
program's standard input, one line at a time. Both pipes carry oru's characters as they are, one
byte each (Latin-1), whatever the files are written in: the program encodes what it types and
decodes what it reads that way, and writes its own files in UTF-8.

This driver fetches letter.txt, changes every "learner" into "student", asks where the cursor
was left and what the first line now says, has the whole file sent back with EMIT, writes what
it learnt to letter.report, saves the changed text as letter.out and ends the editor.
"""
import sys

RETURN = "\r"


def keys(text):
    """Types keys into the editor: one byte a character (Latin-1)."""
    sys.stdout.buffer.write(text.encode("latin-1"))
    sys.stdout.buffer.flush()


def command(text):
    """Types a command (two letters, its parameters separated by |) and Return."""
    keys(text + RETURN)


def answer():
    """Reads one answer line from the editor."""
    line = sys.stdin.buffer.readline()
    if not line:
        sys.exit("oru went away")
    return line.decode("latin-1").rstrip("\n")


def emitted_lines():
    """Reads an EMIT block: the lines of a core file range, ended by a line $$$."""
    lines = []
    while True:
        line = answer().rstrip("\r")
        if line == "$$$":
            return lines
        lines.append(line)


def main():
    # oru starts us from its command line, which is still open.
    command("FEletter.txt")
    command("CHlearner|student")  # CHANGE: pattern | replacement, over the whole file
    command("AS3")                # ASK 3: the cursor's line
    line = answer()
    command("AS4")                # ASK 4: the cursor's column
    column = answer()
    command("PO1|1")              # POSITION: line 1, column 1
    command("AS13")               # ASK 13: the rest of the line from the cursor
    first = answer()
    command("EM1|1|200000|1")     # EMIT core file 1, all lines, to this program
    text = emitted_lines()
    with open("letter.report", "w", encoding="utf-8") as report:
        report.write(f"first line is now: {first}\n")
        report.write(f"cursor was at line {line}, column {column}\n")
        report.write(f"{len(text)} lines came back; the last is: {text[-1]}\n")
    command("SAletter.out")       # SAVE
    command("GO")                 # GOODBYE


if __name__ == "__main__":
    main()
