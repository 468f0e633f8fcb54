"""Layout and records in a real terminal: reformat and justify, centring, decimal tabs, rectangles,
sorting, record templates and merges, the views and the dump; what the user sees and what lands
in files, compared byte for byte."""
import os
import signal
import time

import oruterm
from oruterm import command

REFORMAT, TAB, TABSET, DOWN, UP, RIGHT = "\x12", "\t", "\x16", "\x0b", "\x1a", "\x18"
CENTRE, BEGLINE, ALIGN = "\x1b[c", "\x1b[b", "\x1b[k"
STAR, COLSTAR, CUT, INSERT_RECT = "\x05", "\x1b[\x05", "\x1b[\x04", "\x1b[\x14"
CLEARSTARS, CTRL_C, ESC = "\x1b[\x13", "\x03", "\x1b"


def start(files=None, *args):
    o, d = oruterm.start_in_scratch("oru-e2e-layout-", files=files)
    for name in args:
        command(o, "FE", name)
    return o, d


def commands(o, *lines):
    """Types commands on the open command line, then closes it for typing."""
    for line in lines:
        o.send(line + "\r")
    o.send("\r")
    o.wait_screen(lambda s: "Typing" in s.row(s.rows - 1), "typing mode")


def rows(o, count, first=2):
    return [o.row(r)[2:].rstrip() for r in range(first, first + count)]


def wait_rows(o, want, first=2):
    o.wait_screen(lambda o: rows(o, len(want), first) == want, repr(want))


def wait_file(o, d, name, want):
    path = os.path.join(d, name)
    o.wait_screen(lambda _: os.path.exists(path) and open(path, encoding="latin-1").read() == want,
                  f"{name} to hold {want!r}")


def saved(o, d, name, expected):
    """Saves the current core file as `name` and waits for the file to hold `expected`."""
    o.send(CTRL_C)
    commands(o, "SA" + name)
    wait_file(o, d, name, expected)


def test_reformat_justifies_a_line_is_centred_and_numbers_align():
    o, d = start({"para.txt": "Teachers write exercises\nfor their students, and\nthe editor keeps "
                  "every\nparagraph tidy when asked to.\n\nTitle\n12.5\n"}, "para.txt")
    with o:
        commands(o, "MA1|30", "JU1")
        o.wait_screen(lambda s: s.row(1)[31] == ">", "the right margin on the ruler")
        o.send(REFORMAT)
        para = ["Teachers  write  exercises for", "their students, and the editor",
                "keeps  every   paragraph  tidy", "when asked to."]
        wait_rows(o, para)
        o.wait_for("Lines: 7")
        o.send(DOWN * 5 + CENTRE + DOWN + ALIGN + ".")
        wait_rows(o, [" " * 12 + "Title", " " * 27 + "12.5"], 7)
        saved(o, d, "out.txt", "\n".join(para) + "\n\n" + " " * 12 + "Title\n" + " " * 27 + "12.5\n")


def test_decimal_tab_column_typed_with_dtab_on():
    o, d = start()
    with o:
        commands(o, "DT1")
        o.send(TAB + TAB + "\x1b[C" * 3 + TABSET)  # a stop of our own at column 20
        o.wait_screen(lambda s: s.row(1)[21] == "!", "the new stop on the ruler")
        o.send(BEGLINE + "Item" + TAB * 3 + "12.5\rTotal" + TAB * 3 + "1234.75")
        want = ["Item" + " " * 13 + "12.5", "Total" + " " * 10 + "1234.75"]
        wait_rows(o, [want[1]], 3)
        saved(o, d, "sums.txt", "\n".join(want) + "\n")


def test_rectangle_cut_in_one_core_file_is_inserted_in_another():
    o, d = start({"table.txt": "name  age town\nAnn   31  Oslo\nBob   4   Rome\n"}, "table.txt")
    with o:
        commands(o)
        o.send(STAR + DOWN + DOWN + STAR + RIGHT * 6 + COLSTAR + RIGHT * 3 + COLSTAR)
        o.wait_screen(lambda s: s.row(1)[8] == "*" and s.row(1)[11] == "*", "column stars")
        o.send(CUT)
        wait_rows(o, ["Bob   Rome"], 4)
        saved(o, d, "cut.txt", "name  town\nAnn   Oslo\nBob   Rome\n")
        o.send("\x03")
        commands(o, "CO2")
        o.send("ages:" + BEGLINE + DOWN + INSERT_RECT)
        wait_rows(o, ["4"], 5)
        saved(o, d, "ages.txt", "ages:\nage\n31\n4\n")
        # Back in core file 1 the stars are cleared with one key and typing goes on.
        o.send("\x03")
        commands(o, "CO1")
        o.wait_screen(lambda s: "*" in s.row(1), "the column stars of core file 1")
        o.send(CLEARSTARS)
        o.wait_screen(lambda s: "*" not in s.row(1), "no column stars")
        o.send(UP * 2 + BEGLINE + "#")
        wait_rows(o, ["#ame  town"], 2)


def test_sort_a_file_by_a_column_and_save_it():
    o, d = start({"s.txt": "smith   42\nadams   17\njones   99\nbrown   05\n"}, "s.txt")
    with o:
        command(o, "PO", "1|9")  # the key starts at the cursor's column: 9, the scores
        command(o, "SO", "1")  # descending
        wait_rows(o, ["jones   99", "smith   42", "adams   17", "brown   05"])
        command(o, "SA", "sorted.txt")
        wait_file(o, d, "sorted.txt", "jones   99\nsmith   42\nadams   17\nbrown   05\n")
        commands(o)
        o.send("X")  # the cursor is on the first line of the range
        wait_rows(o, ["Xones   99"])


def test_record_template_typing_and_merges_into_core_file_16():
    o, d = oruterm.start_in_scratch("oru-merge-", files={
        "person.tpl": "{r1,c1}Name:{c10}#1/12\n{r2,c1}Age:{c10}#2/3/j\n",
        "letter.mrg": "Dear #1,\nyou are #2."})
    with o:
        for line in ("TE0|person.tpl", "TE2|letter.mrg", "OB2"):
            o.send(line + "\r")
        o.wait_screen(lambda o: o.row(3).startswith("  Name:") and o.row(4).startswith("  Age:"),
                      "the template's labels")
        commands(o)
        o.send("Ann" + DOWN + "4x2")  # letters are refused in the digits-only age field
        o.wait_screen(lambda o: o.row(3)[11:14] == "Ann" and o.row(4)[11:13] == "42", "the record")
        # The record merge (ESC F), the text merge (ESC M with the MERGE string), and an
        # assignment in core file 17 that adds one to the age (ESC $).
        o.send(ESC + "F" + CTRL_C)
        command(o, "ME", "#2 years: #1")
        commands(o)
        o.send(ESC + "M" + CTRL_C)
        command(o, "CO", "17")
        o.send("\r#2: #2+1" + CTRL_C)
        command(o, "CO", "1")
        commands(o)
        o.send(ESC + "$")
        o.wait_screen(lambda o: o.row(4)[11:13] == "43", "the assigned age")
        o.send(CTRL_C)
        command(o, "CO", "16")
        command(o, "SA", "letters.txt")
        wait_file(o, d, "letters.txt", "\nDear Ann,\nyou are 42.\n42 years: Ann\n")


def test_view_0_changes_a_function_string_that_then_works():
    o, d = oruterm.start_in_scratch("oru-view0-")
    with o:
        command(o, "VI", "0")
        o.wait_for("Hyphenation Level:")
        # Suspended and resumed, the page is drawn again and typing goes on into it.
        o.send("\x01")
        end = time.monotonic() + oruterm.TIMEOUT
        while open(f"/proc/{o.child.pid}/stat").read().rsplit(")", 1)[1].split()[0] != "T":
            assert time.monotonic() < end, "oru did not stop"
            o._pump(0.1)
        o.screen.reset()
        os.kill(o.child.pid, signal.SIGCONT)
        o.wait_screen(lambda o: o.row(3).startswith("  Function 0:"), "the page drawn again")
        o.send("hello")
        o.wait_screen(lambda o: "Function 0:  hello" in o.row(3), "the new function string")
        o.send("\r")
        o.wait_for("Expecting Command")
        commands(o)
        o.send(ESC + "0")
        wait_rows(o, ["hello"])


def test_view_1_lists_the_fetched_files_until_return_and_the_dump_lands_in_test_file():
    o, d = oruterm.start_in_scratch("oru-view1-", files={"a.txt": "one\ntwo\n", "b.txt": "xyz\n"})
    with o:
        command(o, "FE", "a.txt")
        command(o, "CO", "2")
        command(o, "FE", "b.txt")
        command(o, "VI", "1")
        o.wait_for("Expecting <return>")
        o.wait_screen(lambda o: "Total Chars = " in o.row(2), "the total")
        chars = lambda r: int(o.row(r).split("Chars = ")[1].split("^")[0])
        assert chars(2) == sum(chars(r) for r in range(3, 22)), o.text()  # core 7's messages too
        assert o.row(4).startswith("  Core 1:  a.txt") and "Lines = 2" in o.row(4), o.text()
        assert o.row(5).startswith("  Core 2:  b.txt") and (chars(4), chars(5)) == (6, 3), o.text()
        o.send("\r")
        wait_rows(o, ["xyz"])
        command(o, "CO", "1")  # the command line is still open and acts
        commands(o)
        # The dump key writes every core file's records; the screen stays whole and keys act.
        o.send("\x1c")
        o.wait_for("test done")
        dump = open(os.path.join(d, "test.file"), encoding="latin-1").read()
        assert "\nCOREFILE #18" in dump and "\nnumber of lineheaders = 3\n" in dump
        assert rows(o, 3) == ["one", "two", ""] and "Lines: 2" in o.row(0), o.text()
        o.send("Z")
        wait_rows(o, ["Zne"])



if __name__ == "__main__":
    oruterm.main()
