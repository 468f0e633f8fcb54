"""Layout in a real terminal: reformat and justify, centring, decimal tabs and rectangles, each
saved and compared byte for byte."""
import os

import oruterm

REFORMAT, TAB, TABSET, DOWN, UP = "\x12", "\t", "\x16", "\x0b", "\x1a"
CENTRE, FLUSHRIGHT, BEGLINE = "\x1b[c", "\x1b[r", "\x1b[b"
FLUSHLEFT, ALIGN, RIGHT = "\x1b[l", "\x1b[k", "\x18"
STAR, COLSTAR, CUT, INSERT_RECT, CLEARSTARS = "\x05", "\x1b[\x05", "\x1b[\x04", "\x1b[\x14", "\x1b[\x13"
BLANK_RECT, COPY_RECT, MOVE_RECT, OVERLAY, INSERT_COLS = (
    "\x1b[\x03", "\x1b[\x02", "\x1b[\r", "\x1b[\x0f", "\x1b[\x06")
COMMAND = "\x03"
TEXT_ROW = 2


def write(path, text):
    with open(path, "wb") as f:
        f.write(text.encode("latin-1"))


def read(path):
    with open(path, "rb") as f:
        return f.read().decode("latin-1")


def start(d, *args):
    o = oruterm.Oru(list(args), cwd=d)
    o.wait_screen(lambda s: "Command" in s.row(s.rows - 1), "the command line")
    return o


def commands(o, *lines):
    """Types commands on the open command line, then closes it for typing."""
    for line in lines:
        o.send(line + "\r")
    o.send("\r")
    o.wait_screen(lambda s: "Typing" in s.row(s.rows - 1), "typing mode")


def row_text(o, line):
    return o.row(TEXT_ROW + line - 1)[2:].rstrip()


def wait_row(o, line, expected):
    o.wait_screen(lambda s: row_text(s, line) == expected, f"line {line} to read {expected!r}")


def saved(o, d, name, expected):
    """Saves the current core file as `name` and waits for the file to hold `expected`."""
    path = os.path.join(d, name)
    o.send(COMMAND)
    commands(o, "SA" + name)
    o.wait_screen(lambda _: os.path.exists(path) and read(path) == expected,
                  f"{name} to hold {expected!r}")


def ruler(o):
    return o.row(1)[2:]


def test_reformat_justifies_and_a_line_is_centred():
    d = oruterm.scratch("oru-e2e-layout-")
    write(os.path.join(d, "para.txt"),
          "Teachers write exercises\nfor their students, and\nthe editor keeps every\n"
          "paragraph tidy when asked to.\n\nTitle\n")
    with start(d, "para.txt") as o:
        commands(o, "MA1|30", "JU1")
        o.wait_screen(lambda s: ruler(s)[29:30] == ">", "the right margin on the ruler")
        o.send(REFORMAT)
        wait_row(o, 1, "Teachers  write  exercises for")
        wait_row(o, 2, "their students, and the editor")
        wait_row(o, 3, "keeps  every   paragraph  tidy")
        wait_row(o, 4, "when asked to.")
        o.wait_for("Lines: 6")
        # The title, centred between the margins.
        o.send(DOWN * 5 + CENTRE)
        wait_row(o, 6, " " * 12 + "Title")
        saved(o, d, "out.txt", "Teachers  write  exercises for\ntheir students, and the editor\n"
              "keeps  every   paragraph  tidy\nwhen asked to.\n\n" + " " * 12 + "Title\n")
        # Keys act after the save: flush the title right.
        o.send(FLUSHRIGHT)
        wait_row(o, 6, " " * 25 + "Title")


def test_decimal_tab_column_typed_with_dtab_on():
    d = oruterm.scratch("oru-e2e-layout-")
    with start(d) as o:
        commands(o, "DT1")
        # A stop of our own at column 20, shown on the ruler.
        o.send(TAB + TAB + "\x1b[C" * 3 + TABSET)
        o.wait_screen(lambda s: ruler(s)[19:20] == "!", "the new stop on the ruler")
        o.send(BEGLINE + "Item" + TAB + TAB + TAB + "12.5\r")
        o.send("Total" + TAB + TAB + TAB + "1234.75")
        wait_row(o, 1, "Item" + " " * 13 + "12.5")
        wait_row(o, 2, "Total" + " " * 10 + "1234.75")
        saved(o, d, "sums.txt", "Item" + " " * 13 + "12.5\nTotal" + " " * 10 + "1234.75\n")


def test_rectangle_cut_in_one_core_file_is_inserted_in_another():
    d = oruterm.scratch("oru-e2e-layout-")
    write(os.path.join(d, "table.txt"), "name  age town\nAnn   31  Oslo\nBob   4   Rome\n")
    with start(d, "table.txt") as o:
        commands(o)
        o.send(STAR + DOWN + DOWN + STAR)
        o.send("\x18" * 6 + COLSTAR + "\x18" * 3 + COLSTAR)
        o.wait_screen(lambda s: ruler(s)[6] == "*" and ruler(s)[9] == "*", "column stars")
        o.send(CUT)
        wait_row(o, 1, "name  town")
        wait_row(o, 3, "Bob   Rome")
        saved(o, d, "cut.txt", "name  town\nAnn   Oslo\nBob   Rome\n")
        o.send(COMMAND)
        commands(o, "CO2")
        o.wait_screen(lambda s: s.row(0).split()[1] == "2", "core file 2")
        o.send("ages:" + BEGLINE + DOWN + INSERT_RECT)
        wait_row(o, 2, "age")
        wait_row(o, 3, "31")
        wait_row(o, 4, "4")
        saved(o, d, "ages.txt", "ages:\nage\n31\n4\n")
        # Back in core file 1 the stars are cleared with one key and typing goes on.
        o.send(COMMAND)
        commands(o, "CO1")
        o.wait_screen(lambda s: "*" in ruler(s), "the column stars of core file 1")
        o.send(CLEARSTARS)
        o.wait_screen(lambda s: "*" not in ruler(s), "no column stars")
        o.send(UP * 2 + BEGLINE + "#")
        wait_row(o, 1, "#ame  town")


def test_typing_wraps_and_hyphenates_and_lines_align():
    d = oruterm.scratch("oru-e2e-layout-")
    with start(d) as o:
        commands(o, "MA1|20", "HY1", "AU1")
        o.send("We are misunderstanding it")
        # The word broken after its prefix and S rule; the soft hyphen shows as '-'.
        wait_row(o, 1, "We are misunder-")
        wait_row(o, 2, "standing it")
        o.send("\r   12.5" + FLUSHLEFT)
        wait_row(o, 3, "12.5")
        o.send(ALIGN + ".")
        wait_row(o, 3, " " * 17 + "12.5")
        o.send(BEGLINE + "x")
        wait_row(o, 3, "x" + " " * 16 + "12.5")


def test_rectangles_copied_moved_overlaid_blanked_and_columns_inserted():
    d = oruterm.scratch("oru-e2e-layout-")
    write(os.path.join(d, "grid.txt"), "abcdef\nghijkl\nmnopqr\n")
    with start(d, "grid.txt") as o:
        commands(o)
        # Lines 1 and 2, columns 2 and 3: bc over hi.
        o.send(STAR + DOWN + STAR + RIGHT + COLSTAR + RIGHT + COLSTAR)
        o.send(UP + COPY_RECT)
        wait_row(o, 1, "abbccdef")
        wait_row(o, 2, "ghhiijkl")
        # Moved to the start of line 3: blanks stay behind, and the file grows by a line.
        o.send(DOWN + DOWN + BEGLINE + MOVE_RECT)
        wait_row(o, 1, "a  ccdef")
        wait_row(o, 3, "bbopqr")
        wait_row(o, 4, "hh")
        o.send(RIGHT * 4 + OVERLAY)
        wait_row(o, 3, "bbopbb")
        wait_row(o, 4, "hh  hh")
        # New stars: line 3, columns 1 and 2, blanked; then two blank columns at column 3.
        o.send(CLEARSTARS + STAR + BEGLINE + COLSTAR + RIGHT + COLSTAR + BLANK_RECT)
        wait_row(o, 3, "  opbb")
        o.send(RIGHT + INSERT_COLS + "2\r")
        wait_row(o, 3, "    opbb")
        saved(o, d, "out.txt", "a  ccdef\ng  iijkl\n    opbb\nhh  hh\n")


if __name__ == "__main__":
    oruterm.main()
