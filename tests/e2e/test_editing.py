# e2e-matrix
"""Editing in a real terminal: typing, moving, splitting, joining, deleting, a line wider than the
screen, and line drawing, whose box characters depend on the locale."""
import os

import oruterm

LEFT, RIGHT, UP, DOWN = "\x1b[D", "\x1b[C", "\x1b[A", "\x1b[B"
SPLIT, JOIN, BEGLINE, ENDLINE = "\x1b[s", "\x1b[j", "\x1b[b", "\x1b[f"
RUBOUT, DELWORD, RECWORD, INSERT, FLIP = "\x7f", "\x1b\x04", "\x1b\x14", "\x17", "\x0c"
LDENTER, RETURN = "\x1b[g", "\r"
UTF8 = "UTF-8" in (os.environ.get("LC_ALL") or os.environ.get("LC_CTYPE") or os.environ.get("LANG", ""))


def start():
    o, _ = oruterm.start_in_scratch("oru-editing-")
    o.send("\r")  # a Return alone closes the command line opened at start-up
    o.wait_screen(lambda s: "Typing" in s.row(23), "typing mode")
    return o


def wait_row(o, line, expected):
    o.wait_screen(lambda s: s.row(1 + line).rstrip() == expected, f"line {line} to read {expected!r}")


def wait_status(o, needle):
    o.wait_screen(lambda s: needle in s.row(0), f"status {needle!r}")


def test_typing_moving_splitting_joining_and_deleting():
    with start() as o:
        o.send("hello world")
        wait_row(o, 1, "  hello world")
        wait_status(o, "(    1,   12)")
        assert (o.screen.cursor.y, o.screen.cursor.x) == (2, 13), o.screen.cursor
        o.send(LEFT * 5 + SPLIT)
        o.wait_screen(lambda s: s.row(2).rstrip() == "  hello" and s.row(3).rstrip() == "  world"
                      and "Lines: 2" in s.row(0), "the split")
        # Back up and join: the blank that ended the first part goes.
        o.send(UP + JOIN)
        wait_row(o, 1, "  helloworld")
        wait_status(o, "Lines: 1")
        # Down past the last line adds lines; typing beyond the end pads.
        o.send(DOWN + DOWN + BEGLINE + RIGHT * 4 + "x")
        wait_row(o, 3, "      x")
        wait_status(o, "Lines: 3")
        # Insert mode pushes the rest of the line to the right; a word deleted comes back at the
        # end; rubout at the line's end works as a backspace, on the first letter it deletes it.
        o.send(UP + UP + BEGLINE + INSERT + "one " + INSERT + DELWORD + ENDLINE + " " + RECWORD)
        wait_row(o, 1, "  one helloworld")
        o.send(ENDLINE + RUBOUT + RUBOUT + BEGLINE + RUBOUT + FLIP)
        wait_row(o, 1, "  Ne hellowor")
        # An empty line in column 1 is removed by rubout.
        o.send(DOWN + BEGLINE + RUBOUT)
        wait_row(o, 2, "      x")
        wait_status(o, "Lines: 2")


def test_long_line_shows_its_flags_and_shifts_the_window():
    with start() as o:
        text = "".join(chr(ord("a") + i % 26) for i in range(100))
        o.send(text[:70])
        wait_status(o, "(    1,   71)")
        assert o.row(2)[:2] == "  ", repr(o.row(2))
        # Past the right edge: the window moves by 59 columns and the flags turn to '-'.
        o.send(text[70:])
        o.wait_screen(lambda s: "(    1,  101)" in s.row(0) and s.row(2)[:2] == "--", "the shift")
        assert o.row(2)[2:2 + 41] == text[59:] and o.row(1)[2] == ".", o.text()
        # Back to the start of the line: unshifted, and '+' says there is more to the right.
        o.send("\x1bD")
        o.wait_screen(lambda s: s.row(2) == " +" + text[:78] and s.row(1)[2] == "<", "the start")


def test_line_drawing_shows_box_characters():
    with start() as o:
        o.send(RIGHT * 2 + LDENTER)
        wait_status(o, "GRAPHICS")
        o.send(RIGHT + RIGHT + DOWN + LEFT + LEFT + UP)
        if UTF8:
            wait_row(o, 1, "    \u250c\u2500\u2510")
            wait_row(o, 2, "    \u2514\u2500\u2518")
        else:
            # The 8-bit terminal gets the drawing cells' own bytes.
            o.wait_screen(lambda s: b"\xc1\xe8\xc2" in s.raw and b"\xc4\xe8\xc3" in s.raw, "the box")
        # Return leaves line drawing; typing then works again.
        o.send(RETURN)
        wait_status(o, "TEXT")
        o.send(DOWN + DOWN + BEGLINE + "ok")
        wait_row(o, 3, "  ok")


if __name__ == "__main__":
    oruterm.main()
