"""Starting oru: the manual's first session, walked key for key as it is written (each step's words
are looked up in the manual in order, its keys typed, the screen and the file checked as the manual
says); help, version, missing names and too many arguments end it before the terminal is touched."""
import os
import re
import shutil

import oruterm

DEMO = os.path.join(oruterm.SOURCE_DIR, "examples", "demo.txt")


def squeeze(text): return re.sub(r"\s+", " ", text)


def read(folder, name):
    with open(os.path.join(folder, name), encoding="latin-1") as f:
        return f.read()


def shows(mode, line=None, column=None, row=None, text=None):
    """The screen shows the mode, the cursor's line and column, and `text` at the start of `row`."""
    return lambda o: (o.row(23).rstrip() == "Expecting " + mode
                      and (line is None or f"({line:5d},{column:5d})" in o.row(0))
                      and (row is None or o.row(row)[2:].startswith(text)))


ORIGINAL = read(os.path.dirname(DEMO), "demo.txt")
CHANGED = ORIGINAL.replace("Welcome", "Hello! Welcome", 1).replace("This is", "That is", 1)
# The manual's words for a step, the keys typed, and what the screen then shows.
STEPS = [
    (("cp examples/demo.txt practice.txt", "oru practice.txt",
      "Core: 1 (    1,    1)   practice.txt           Lines: 9      View:  TEXT",
      "Welcome to oru.", "Expecting Command"), "",
     lambda o: shows("Command", 1, 1, 2, "Welcome to oru.")(o) and squeeze(o.row(0)).strip()
     == "Core: 1 ( 1, 1) practice.txt Lines: 9 View: TEXT"),
    (("Press Return.", '"Expecting Typing"'), "\r", shows("Typing")),
    (("Press Ctrl-W", '"Expecting Insert"'), "\x17", shows("Insert")),
    (("Type `Hello! `", '"Hello! Welcome to oru."', "`(    1,    8)`"), "Hello! ",
     shows("Insert", 1, 8, 2, "Hello! Welcome to oru.")),
    (("Press Ctrl-W again", '("Expecting Typing")', "the Down arrow twice", "line 3, column 8"),
     "\x17\x1b[B\x1b[B", shows("Typing", 3, 8)),
    (("Press ESC, then D (capital)", "start of the line"), "\x1bD", shows("Typing", 3, 1)),
    (("Type `That`", '"That is a plain text file"', "`(    3,    5)`"), "That",
     shows("Typing", 3, 5, 4, "That is a plain text file")),
    (("Press Ctrl-C", '("Expecting Command")'), "\x03", shows("Command", row=2, text="Hello! W")),
    (("letters `UP`", "UPDATE", "`Expecting <return>`"), "UP", shows("<return> UPDATE")),
    (("Press Return.", "practice.txt now holds the changed text",
      "practice.txt.bak the text as it was before", "stays open"), "\r", shows("Command")),
]


def test_the_first_session_as_the_manual_writes_it():
    manual = read(os.path.join(oruterm.SOURCE_DIR, "docs"), "manual.md")
    start = manual.index("\n## 1. A first session")
    session = squeeze(manual[start:manual.index("\n## ", start + 1)])
    folder = oruterm.scratch("oru-first-")
    shutil.copy(DEMO, os.path.join(folder, "practice.txt"))
    at = 0
    with oruterm.Oru(["practice.txt"], cwd=folder) as oru:
        for phrases, keys, screen in STEPS:
            for phrase in phrases:  # each phrase must follow the one before
                found = session.find(squeeze(phrase), at)
                assert found >= 0, f"the manual's first session no longer says {phrase!r} here"
                at = found + len(squeeze(phrase))
            oru.send(keys)
            oru.wait_screen(screen, f"the screen after {phrases[0]!r}")
        assert squeeze("Type `GO` (GOODBYE) and press Return") in session[at:]
        oru.send("GO\r")
        assert oru.wait_exit() == 0
    assert read(folder, "practice.txt") == CHANGED and read(folder, "practice.txt.bak") == ORIGINAL
    assert sorted(os.listdir(folder)) == ["practice.txt", "practice.txt.bak"]


def test_help_version_and_faulty_arguments_print_and_exit():
    status, out = oruterm.run_plain(["-h"])
    assert status == 0 and "\x1b" not in out, (status, "the terminal was touched")
    assert out.startswith("\nTo start oru, use one of the following:") and out.endswith("\n\n")
    for form in ("oru <filename>", "oru -p <procedurefilename>", "oru -d <driverfilename>",
                 "oru -h  or  oru --help", "oru --version", "man oru", "./--help",
                 "(1) You MUST provide the exact path to <driverfilename> if",
                 "(2) To use palom, replace oru by palom.", "(3) For more help, see"):
        assert form in out, form
    assert oruterm.run_plain(["--help"]) == (0, out), "--help prints what -h prints"
    status, out = oruterm.run_plain(["--version"])
    assert status == 0 and out.startswith("oru ALPHA (built ") and out.count("\n") == 1, out
    for args, message in ((["-d"], "You need to give the name of the driver file."),
                          (["-p"], "You need to give the name of the procedure file."),
                          (["a", "b", "c"], "Too many arguments.")):
        status, out = oruterm.run_plain(args)
        assert (status, out.strip()) == (0, message + " Type oru -h for details."), (args, out)


if __name__ == "__main__":
    oruterm.main()
