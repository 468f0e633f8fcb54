# e2e-matrix
"""Editing in a real terminal: typing, moving, splitting, joining, deleting and line drawing."""
import os

import oruterm

LEFT, RIGHT, UP, DOWN = "\x1b[D", "\x1b[C", "\x1b[A", "\x1b[B"
SPLIT, JOIN, BEGLINE, ENDLINE = "\x1b[s", "\x1b[j", "\x1b[b", "\x1b[f"
RUBOUT, DELWORD, RECWORD, INSERT, FLIP = "\x7f", "\x1b\x04", "\x1b\x14", "\x17", "\x0c"
LDENTER, RETURN = "\x1b[g", "\r"
TEXT_ROW = 2  # the first line of the text window


def utf8_locale():
    loc = os.environ.get("LC_ALL") or os.environ.get("LC_CTYPE") or os.environ.get("LANG", "")
    return "UTF-8" in loc.upper() or "UTF8" in loc.upper()


def start():
    o = oruterm.Oru([])
    # Keys typed before the terminal is set up may be dropped: wait for the first screen.
    o.wait_for("Lines:")
    # oru starts in the command line; Return alone closes it for typing.
    o.wait_screen(lambda s: "Command" in s.row(s.rows - 1), "the command line")
    o.send("\r")
    o.wait_screen(lambda s: "Typing" in s.row(s.rows - 1), "typing mode")
    return o


def row_text(o, line):
    return o.row(TEXT_ROW + line - 1)


def wait_row(o, line, expected):
    o.wait_screen(lambda s: row_text(s, line).rstrip() == expected,
                  f"line {line} to read {expected!r}")


def wait_status(o, needle):
    o.wait_screen(lambda s: needle in s.row(0), f"status {needle!r}")


def test_typing_moving_splitting_and_joining():
    o = start()
    try:
        o.send("hello world")
        wait_row(o, 1, "  hello world")
        o.send(LEFT * 5 + SPLIT)
        wait_row(o, 2, "  world")
        wait_row(o, 1, "  hello")
        wait_status(o, "Lines: 2")
        # Back up and join: the blank that ended the first part goes.
        o.send(UP + JOIN)
        wait_row(o, 1, "  helloworld")
        wait_status(o, "Lines: 1")
        # Down past the last line adds lines; typing beyond the end pads.
        o.send(DOWN + DOWN)
        wait_status(o, "Lines: 3")
        o.send(BEGLINE + RIGHT * 4 + "x")
        wait_row(o, 3, "      x")
        # Insert mode pushes the rest of the line to the right.
        o.send(UP + UP + BEGLINE + INSERT + ">>")
        wait_row(o, 1, "  >>helloworld")
    finally:
        o.close()


def test_deleting_characters_words_and_lines():
    o = start()
    try:
        o.send("one two three")
        wait_row(o, 1, "  one two three")
        o.send(BEGLINE + RIGHT * 4 + DELWORD)
        wait_row(o, 1, "  one three")
        o.send(ENDLINE + " " + RECWORD)
        wait_row(o, 1, "  one three two")
        # Rubout at the line's end works as a backspace; on the first letter it deletes it.
        o.send(ENDLINE + RUBOUT + RUBOUT)
        wait_row(o, 1, "  one three t")
        o.send(BEGLINE + RUBOUT)
        wait_row(o, 1, "  ne three t")
        o.send(FLIP)
        wait_row(o, 1, "  Ne three t")
        # An empty line in column 1 is removed by rubout.
        o.send(DOWN + BEGLINE)
        wait_status(o, "Lines: 2")
        o.send(DOWN + "last")
        wait_row(o, 3, "  last")
        o.send(UP + BEGLINE + RUBOUT)
        wait_row(o, 2, "  last")
        wait_status(o, "Lines: 2")
    finally:
        o.close()


def test_line_drawing_shows_box_characters():
    o = start()
    try:
        o.send(RIGHT * 2 + LDENTER)
        wait_status(o, "GRAPHICS")
        o.send(RIGHT + RIGHT + DOWN)
        if utf8_locale():
            wait_row(o, 1, "    \u2576\u2500\u2510")
            wait_row(o, 2, "      \u2575")
        o.send(LEFT + LEFT + UP)
        if utf8_locale():
            wait_row(o, 1, "    \u250c\u2500\u2510")
            wait_row(o, 2, "    \u2514\u2500\u2518")
        # Return leaves line drawing; typing then works again.
        o.send(RETURN)
        wait_status(o, "TEXT")
        o.send(DOWN + DOWN + BEGLINE + "ok")
        wait_row(o, 3, "  ok")
    finally:
        o.close()


if __name__ == "__main__":
    oruterm.main()
