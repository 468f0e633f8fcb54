"""The manual's first session, walked key for key as it is written: each step's words are looked
up in the manual in order, its keys are typed into the real program, and the screen and the file
are checked as the manual says they are. A change to the session in the manual that the program
does not follow, or to the program that the manual does not say, fails here."""
import os
import re
import shutil

import oruterm

CTRL_C = "\x03"
CTRL_W = "\x17"
DOWN = "\x1b[B"
ESC = "\x1b"
DEMO = os.path.join(oruterm.SOURCE_DIR, "examples", "demo.txt")


def squeeze(text):
    return re.sub(r"\s+", " ", text)


def first_session():
    with open(os.path.join(oruterm.SOURCE_DIR, "docs", "manual.md"), encoding="utf-8") as f:
        manual = f.read()
    start = manual.index("\n## 1. A first session")
    return squeeze(manual[start:manual.index("\n## ", start + 1)])


def read(folder, name):
    with open(os.path.join(folder, name), encoding="latin-1") as f:
        return f.read()


def practice(prefix):
    folder = oruterm.scratch(prefix)
    shutil.copy(DEMO, os.path.join(folder, "practice.txt"))
    return folder


def bottom(o):
    return o.row(23).rstrip()


def status(o, line, column):
    return f"({line:5d},{column:5d})" in o.row(0)


def test_the_first_session_as_the_manual_writes_it():
    session = first_session()
    original = read(os.path.dirname(DEMO), "demo.txt")
    folder = practice("oru-first-")
    at = 0

    def says(*phrases):
        """The manual's next words: each phrase must follow the one before."""
        nonlocal at
        for phrase in phrases:
            found = session.find(squeeze(phrase), at)
            assert found >= 0, f"the manual's first session no longer says {phrase!r} here"
            at = found + len(squeeze(phrase))

    says("cp examples/demo.txt practice.txt", "oru practice.txt")
    oru = oruterm.Oru(["practice.txt"], cwd=folder)
    with oru:
        says("Core: 1 (    1,    1)   practice.txt           Lines: 9      View:  TEXT",
             "Welcome to oru.", "Expecting Command")
        oru.wait_screen(lambda o: bottom(o) == "Expecting Command", "the open command line")
        row0 = squeeze(oru.row(0))
        for part in ("Core: 1", "practice.txt", "Lines: 9", "View: TEXT"):
            assert part in row0, row0
        assert status(oru, 1, 1), oru.row(0)
        assert oru.row(2)[2:].rstrip() == "Welcome to oru.", oru.text()
        assert oru.row(4)[2:].startswith("This is a plain text file"), oru.text()

        says("Press Return.", '"Expecting Typing"')
        oru.send("\r")
        oru.wait_screen(lambda o: bottom(o) == "Expecting Typing", "typing mode")

        says("Press Ctrl-W", '"Expecting Insert"')
        oru.send(CTRL_W)
        oru.wait_screen(lambda o: bottom(o) == "Expecting Insert", "insert mode")
        says("Type `Hello! `", '"Hello! Welcome to oru."', "`(    1,    8)`")
        oru.send("Hello! ")
        oru.wait_screen(lambda o: o.row(2)[2:].rstrip() == "Hello! Welcome to oru."
                        and status(o, 1, 8), "the inserted words")

        says("Press Ctrl-W again", '("Expecting Typing")', "the Down arrow twice",
             "line 3, column 8")
        oru.send(CTRL_W)
        oru.wait_screen(lambda o: bottom(o) == "Expecting Typing", "typing mode again")
        oru.send(DOWN + DOWN)
        oru.wait_screen(lambda o: status(o, 3, 8), "line 3, column 8")
        says("Press ESC, then D (capital)", "start of the line")
        oru.send(ESC + "D")
        oru.wait_screen(lambda o: status(o, 3, 1), "the start of line 3")
        says("Type `That`", '"That is a plain text file"', "`(    3,    5)`")
        oru.send("That")
        oru.wait_screen(lambda o: o.row(4)[2:].startswith("That is a plain text file")
                        and status(o, 3, 5), "the word typed over")
        assert oru.row(2)[2:].rstrip() == "Hello! Welcome to oru.", oru.text()

        says("Press Ctrl-C", '("Expecting Command")')
        oru.send(CTRL_C)
        oru.wait_screen(lambda o: bottom(o) == "Expecting Command", "the command line")
        says("letters `UP`", "UPDATE", "`Expecting <return>`")
        oru.send("UP")
        oru.wait_screen(lambda o: bottom(o) == "Expecting <return> UPDATE", "UPDATE's name")
        says("Press Return.", "practice.txt now holds the changed text",
             "practice.txt.bak the text as it was before", "stays open")
        oru.send("\r")
        changed = original.replace("Welcome", "Hello! Welcome", 1).replace("This is", "That is", 1)
        bak = os.path.join(folder, "practice.txt.bak")
        oru.wait_screen(lambda o: os.path.exists(bak) and read(folder, "practice.txt") == changed,
                        "the file written back")
        assert read(folder, "practice.txt.bak") == original
        oru.wait_screen(lambda o: bottom(o) == "Expecting Command", "the command line, open")

        says("Type `GO` (GOODBYE) and press Return", "oru ends")
        oru.send("GO\r")
        assert oru.wait_exit() == 0
    assert read(folder, "practice.txt") == changed
    assert sorted(os.listdir(folder)) == ["practice.txt", "practice.txt.bak"]


def test_the_other_ways_of_writing_back_that_the_session_names():
    """SAVE refuses the fetched file, OV* replaces it without a copy, and BYE leaves: the claims
    the first session makes besides its steps (GOODBYE's question has its own tests)."""
    session = first_session()
    for claim in ('"File already exists (or no write permission)"', "`OV*` and Return",
                  "`WARNING: corefile 1 not saved. <del> aborts`", "Delete (or Backspace) cancels",
                  "`BY` (BYE) does the same as GO"):
        assert squeeze(claim) in session, claim
    original = read(os.path.dirname(DEMO), "demo.txt")
    folder = practice("oru-writeback-")
    oru = oruterm.Oru(["practice.txt"], cwd=folder)
    with oru:
        oru.wait_for("Expecting Command")
        oru.send("\r" + "X")
        oru.wait_screen(lambda o: o.row(2)[2:].startswith("Xelcome"), "the change")
        oru.send(CTRL_C + "SApractice.txt\r")
        oru.wait_for("File already exists (or no write permission)")
        oru.send("\r")
        oru.wait_screen(lambda o: "File already exists" not in o.text(), "the message answered")
        assert read(folder, "practice.txt") == original, "SAVE wrote nothing"
        oru.send("OV*\r")
        oru.wait_screen(lambda o: read(folder, "practice.txt").startswith("Xelcome"),
                        "OVERWRITE of the file itself")
        assert not os.path.exists(os.path.join(folder, "practice.txt.bak"))
        # Written back, so BYE leaves without a question.
        oru.send("BY\r")
        assert oru.wait_exit() == 0


if __name__ == "__main__":
    oruterm.main()
