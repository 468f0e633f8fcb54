# e2e-matrix
"""The screen a user sees: status line, ruler, text zone, help line and command line, at two
terminal sizes, and after the terminal changes size."""
import re

import oruterm


def check_layout(o, rows, cols):
    status = o.row(0)
    assert re.match(r"^  Core: +1 \(    1,    1\) ", status), repr(status)
    assert status[49:56] == "Lines: ", repr(status)
    assert status[63:69] == "View: " and status[70:78] == "TEXT    ", repr(status)
    ruler = o.row(1)
    # Left margin at column 1, right margin at 72, tab stops every 8 columns in between.
    assert ruler[2] == "<" and ruler[2 + 71] == ">", repr(ruler)
    assert ruler[2 + 8] == "!" and ruler[2 + 64] == "!", repr(ruler)
    assert len(ruler.rstrip()) == cols, repr(ruler)
    assert o.row(rows - 2) == "-" * cols, repr(o.row(rows - 2))
    assert o.row(rows - 1).startswith("Expecting "), repr(o.row(rows - 1))
    for r in range(2, rows - 2):
        assert o.row(r).strip() == "", (r, o.row(r))


def layout_complete(rows, cols):
    def complete(o):
        try:
            check_layout(o, rows, cols)
            return True
        except AssertionError:
            return False
    return complete


def test_layout_at_80x24_and_100x30():
    for rows, cols in ((24, 80), (30, 100)):
        o = oruterm.Oru([], rows=rows, cols=cols, cwd="/tmp")
        try:
            o.wait_screen(layout_complete(rows, cols), f"the layout at {rows} x {cols}")
        finally:
            o.close()


def test_resized_terminal_is_redrawn_at_its_new_size():
    o = oruterm.Oru([], rows=24, cols=80, cwd="/tmp")
    try:
        o.wait_screen(lambda s: "TEXT" in s.row(0), "the status line")
        o.screen.resize(30, 100)
        o.child.setwinsize(30, 100)
        o.wait_screen(layout_complete(30, 100), "the layout at 30 x 100")
    finally:
        o.close()


def test_interrupt_key_opens_the_command_line():
    o = oruterm.Oru([], rows=24, cols=80, cwd="/tmp")
    try:
        o.wait_screen(layout_complete(24, 80), "the layout")
        if o.row(23).startswith("Expecting Command"):
            o.send("\r")  # a Return alone closes the command line opened at start-up
        o.wait_screen(lambda s: s.row(23).startswith("Expecting Typing"), "typing mode")
        o.send("\x1f")  # Ctrl-_: the terminal's interrupt key
        o.wait_screen(lambda s: s.row(23).startswith("Expecting Command"), "the command line")
        o.send("FE")
        o.wait_screen(lambda s: s.row(23)[19:].startswith("FETCH"), "the command's name")
    finally:
        o.close()


if __name__ == "__main__":
    oruterm.main()
