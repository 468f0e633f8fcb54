"""Layout in a real terminal: reformat and justify, centring, decimal tabs and rectangles, each
saved and compared byte for byte."""
import os

import oruterm

REFORMAT, TAB, TABSET, DOWN, UP, RIGHT = "\x12", "\t", "\x16", "\x0b", "\x1a", "\x18"
CENTRE, FLUSHRIGHT, BEGLINE, ALIGN = "\x1b[c", "\x1b[r", "\x1b[b", "\x1b[k"
STAR, COLSTAR, CUT, INSERT_RECT, CLEARSTARS = "\x05", "\x1b[\x05", "\x1b[\x04", "\x1b[\x14", "\x1b[\x13"


def start(files=None, *args):
    o, d = oruterm.start_in_scratch("oru-e2e-layout-", files=files)
    for name in args:
        oruterm.command(o, "FE", name)
    return o, d


def commands(o, *lines):
    """Types commands on the open command line, then closes it for typing."""
    for line in lines:
        o.send(line + "\r")
    o.send("\r")
    o.wait_screen(lambda s: "Typing" in s.row(s.rows - 1), "typing mode")


def wait_row(o, line, expected):
    o.wait_screen(lambda s: s.row(line + 1)[2:].rstrip() == expected, f"line {line}: {expected!r}")


def saved(o, d, name, expected):
    """Saves the current core file as `name` and waits for the file to hold `expected`."""
    path = os.path.join(d, name)
    o.send("\x03")
    commands(o, "SA" + name)
    o.wait_screen(lambda _: os.path.exists(path) and open(path, encoding="latin-1").read() == expected,
                  f"{name} to hold {expected!r}")


def test_reformat_justifies_a_line_is_centred_and_numbers_align():
    o, d = start({"para.txt": "Teachers write exercises\nfor their students, and\nthe editor keeps "
                  "every\nparagraph tidy when asked to.\n\nTitle\n12.5\n"}, "para.txt")
    with o:
        commands(o, "MA1|30", "JU1")
        o.wait_screen(lambda s: s.row(1)[31] == ">", "the right margin on the ruler")
        o.send(REFORMAT)
        para = ["Teachers  write  exercises for", "their students, and the editor",
                "keeps  every   paragraph  tidy", "when asked to."]
        for i, line in enumerate(para):
            wait_row(o, i + 1, line)
        o.wait_for("Lines: 7")
        o.send(DOWN * 5 + CENTRE + DOWN + ALIGN + ".")
        wait_row(o, 6, " " * 12 + "Title")
        wait_row(o, 7, " " * 27 + "12.5")
        saved(o, d, "out.txt", "\n".join(para) + "\n\n" + " " * 12 + "Title\n" + " " * 27 + "12.5\n")
        o.send(UP + FLUSHRIGHT)  # keys act after the save
        wait_row(o, 6, " " * 25 + "Title")


def test_decimal_tab_column_typed_with_dtab_on():
    o, d = start()
    with o:
        commands(o, "DT1")
        o.send(TAB + TAB + "\x1b[C" * 3 + TABSET)  # a stop of our own at column 20
        o.wait_screen(lambda s: s.row(1)[21] == "!", "the new stop on the ruler")
        o.send(BEGLINE + "Item" + TAB * 3 + "12.5\rTotal" + TAB * 3 + "1234.75")
        want = ["Item" + " " * 13 + "12.5", "Total" + " " * 10 + "1234.75"]
        wait_row(o, 2, want[1])
        saved(o, d, "sums.txt", "\n".join(want) + "\n")


def test_rectangle_cut_in_one_core_file_is_inserted_in_another():
    o, d = start({"table.txt": "name  age town\nAnn   31  Oslo\nBob   4   Rome\n"}, "table.txt")
    with o:
        commands(o)
        o.send(STAR + DOWN + DOWN + STAR + RIGHT * 6 + COLSTAR + RIGHT * 3 + COLSTAR)
        o.wait_screen(lambda s: s.row(1)[8] == "*" and s.row(1)[11] == "*", "column stars")
        o.send(CUT)
        wait_row(o, 3, "Bob   Rome")
        saved(o, d, "cut.txt", "name  town\nAnn   Oslo\nBob   Rome\n")
        o.send("\x03")
        commands(o, "CO2")
        o.send("ages:" + BEGLINE + DOWN + INSERT_RECT)
        wait_row(o, 4, "4")
        saved(o, d, "ages.txt", "ages:\nage\n31\n4\n")
        # Back in core file 1 the stars are cleared with one key and typing goes on.
        o.send("\x03")
        commands(o, "CO1")
        o.wait_screen(lambda s: "*" in s.row(1), "the column stars of core file 1")
        o.send(CLEARSTARS)
        o.wait_screen(lambda s: "*" not in s.row(1), "no column stars")
        o.send(UP * 2 + BEGLINE + "#")
        wait_row(o, 1, "#ame  town")


if __name__ == "__main__":
    oruterm.main()
