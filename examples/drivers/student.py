#!/usr/bin/python3
"""An example driver program for oru.

Start it from this folder with

    oru -d student.py

or from any other folder with its path, for example oru -d examples/drivers/student.py. It
reads letter.txt from its own folder and writes letter.out and letter.report into the folder
oru was started in, replacing them when they are there from an earlier run.

oru runs this program and reads its standard output as keystrokes, exactly as if they were typed;
what oru has to tell the program (ASK answers, EMIT blocks, acknowledgements) arrives on the
program's standard input, one line at a time. Both pipes carry oru's characters as they are, one
byte each (Latin-1), whatever the files are written in: the program encodes what it types and
decodes what it reads that way, and writes its own files in UTF-8.

This driver fetches letter.txt, changes every "learner" into "student", asks where the cursor
was left and what the first line now says, has the whole file sent back with EMIT, writes the
changed text to letter.out, writes what it learnt to letter.report and ends the editor.

A command that fails shows a message that waits for Return, and the next key oru reads comes
from this program: the message would swallow the letters of the next command and take its
Return as the answer. So the driver asks first (ASK 9, 10 and 11 answer silently) and only
gives commands that will succeed.
"""
import os
import sys

RETURN = "\r"
NAME_LIMIT = 48  # the longest file name an oru command takes


def keys(text):
    """Types keys into the editor: one byte a character (Latin-1)."""
    sys.stdout.buffer.write(text.encode("latin-1"))
    sys.stdout.buffer.flush()


def command(text):
    """Types a command (two letters, its parameters separated by |) and Return; the command
    line is open the whole time, since oru starts the driver from it."""
    keys(text + RETURN)


def answer():
    """Reads one answer line from the editor."""
    line = sys.stdin.buffer.readline()
    if not line:
        sys.exit("student.py: oru went away")
    return line.decode("latin-1").rstrip("\n")


def emitted_lines():
    """Reads an EMIT block: the lines of a core file range, ended by a line $$$."""
    lines = []
    while True:
        line = answer().rstrip("\r")
        if line == "$$$":
            return lines
        lines.append(line)


def name_for_oru(path):
    """The shorter of the path relative to the current folder (which is oru's too) and the
    absolute path, as long as oru takes it."""
    name = min(os.path.relpath(path), os.path.abspath(path), key=len)
    if len(name) > NAME_LIMIT:
        give_up(f"the path {name} is longer than the {NAME_LIMIT} characters oru takes")
    return name


def give_up(why):
    """Ends the editor, which has nothing unsaved yet, and this program."""
    command("GO")                 # GOODBYE
    sys.exit("student.py: " + why)


def main():
    here = os.path.dirname(sys.argv[0]) or "."
    letter = name_for_oru(os.path.join(here, "letter.txt"))
    command("AS9|" + letter)      # ASK 9: 1 when the file can be read
    if answer() != "1":
        give_up(f"cannot read {letter}")
    command("FE" + letter)        # FETCH it into core file 1
    command("CHlearner|student")  # CHANGE: pattern | replacement, from the cursor to the end
    command("AS3")                # ASK 3: the cursor's line
    line = answer()
    command("AS4")                # ASK 4: the cursor's column
    column = answer()
    command("PO1|1")              # POSITION: line 1, column 1
    command("AS13")               # ASK 13: the rest of the line from the cursor
    first = answer()
    command("EM1|1|200000|1")     # EMIT core file 1, all lines, to this program
    text = emitted_lines()

    # SAVE only makes new files, so a second run would be refused. Instead: make the file when
    # it is not there (ASK 11 creates it), then replace its contents with OVERWRITE.
    command("NAletter.out")       # NAME: the core file is called letter.out from now on
    command("AS10|letter.out")    # ASK 10: 1 when letter.out exists and may be written
    writable = answer() == "1"
    if not writable:
        command("AS11|letter.out")  # ASK 11: 1 when it could be made, and makes it
        writable = answer() == "1"
    if writable:
        command("OV*")            # OVERWRITE the file the core file is named after
    else:
        command("CL")             # CLEAR the core file, so GOODBYE has nothing to ask

    with open("letter.report", "w", encoding="utf-8") as report:
        report.write(f"first line is now: {first}\n")
        report.write(f"cursor was at line {line}, column {column}\n")
        report.write(f"{len(text)} lines came back; the last is: {text[-1]}\n")
        if not writable:
            report.write("letter.out could not be written here\n")
    command("GO")                 # GOODBYE


if __name__ == "__main__":
    main()
