# e2e-matrix
"""Editing in a real terminal: typing, moving, splitting, joining, deleting, a line wider than the
screen, line drawing, whose box characters depend on the locale, the upper-case lock on the End
key in both its forms, and typed characters the store cannot hold."""
import os

import oruterm

LEFT, RIGHT, UP, DOWN = "\x1b[D", "\x1b[C", "\x1b[A", "\x1b[B"
SPLIT, JOIN, BEGLINE, ENDLINE = "\x1b[s", "\x1b[j", "\x1b[b", "\x1b[f"
RUBOUT, DELWORD, RECWORD, INSERT, FLIP = "\x7f", "\x1b\x04", "\x1b\x14", "\x17", "\x0c"
LOCALE = os.environ.get("LC_ALL") or os.environ.get("LC_CTYPE") or os.environ.get("LANG", "")
UTF8 = "UTF-8" in LOCALE.upper() or "UTF8" in LOCALE.upper()

def start(files=None):
    o, d = oruterm.start_in_scratch("oru-editing-", files=files)
    o.send("FEnotes.txt\r\r" if files else "\r")  # a Return alone closes the command line
    o.wait_screen(lambda s: "Typing" in s.row(23), "typing mode")
    return o, d


def row(line, expected):
    return lambda s: s.row(1 + line).rstrip() == expected, f"line {line} to read {expected!r}"


def status(needle):
    return lambda s: needle in s.row(0), f"status {needle!r}"


def steps(o, table):
    """Sends each row's keys and waits for each of its screen conditions."""
    for keys, *conditions in table:
        o.send(keys)
        for seen, what in conditions:
            o.wait_screen(seen, what)


def test_typing_moving_splitting_joining_and_deleting():
    o, _ = start()
    with o:
        o.send("hello world")
        o.wait_screen(*status("(    1,   12)"))
        assert (o.screen.cursor.y, o.screen.cursor.x) == (2, 13), o.screen.cursor
        steps(o, [
            (LEFT * 5 + SPLIT, row(1, "  hello"), row(2, "  world"), status("Lines: 2")),
            # Back up and join: the blank that ended the first part goes.
            (UP + JOIN, row(1, "  helloworld")),
            # Down past the last line adds lines; typing beyond the end pads.
            (DOWN + DOWN + BEGLINE + RIGHT * 4 + "x", row(3, "      x"), status("Lines: 3")),
            # Insert mode pushes the rest of the line to the right; a word deleted comes back at
            # the end; rubout at the line's end works as a backspace, on the first letter it
            # deletes it.
            (UP + UP + BEGLINE + INSERT + "one " + INSERT + DELWORD + ENDLINE + " " + RECWORD,
             row(1, "  one helloworld")),
            (ENDLINE + RUBOUT + RUBOUT + BEGLINE + RUBOUT + FLIP, row(1, "  Ne hellowor")),
            # An empty line in column 1 is removed by rubout.
            (DOWN + BEGLINE + RUBOUT, row(2, "      x"), status("Lines: 2"))])


def test_line_drawing_shows_box_characters():
    o, _ = start()
    with o:
        steps(o, [(RIGHT * 2 + "\x1b[g", status("GRAPHICS")), (RIGHT * 2 + DOWN + LEFT * 2 + UP,)])
        if UTF8:
            steps(o, [("", row(1, "    \u250c\u2500\u2510"), row(2, "    \u2514\u2500\u2518"))])
        else:  # the 8-bit terminal gets the drawing cells' own bytes
            o.wait_screen(lambda s: b"\xc1\xe8\xc2" in s.raw and b"\xc4\xe8\xc3" in s.raw, "the box")
        # Return leaves line drawing; typing then works again.
        steps(o, [("\r", status("TEXT")), (DOWN + DOWN + BEGLINE + "ok", row(3, "  ok"))])
        # A long line: past the right edge the window moves by 59 columns and the flags turn to
        # '-'; back at its start, '+' says there is more to the right.
        text = "".join(chr(ord("a") + i % 26) for i in range(100))
        o.send(DOWN + BEGLINE + text)
        o.wait_screen(lambda s: "(    4,  101)" in s.row(0) and s.row(5)[:2] == "--", "the shift")
        assert o.row(5)[2:2 + 41] == text[59:] and o.row(1)[2] == ".", o.text()
        o.send("\x1bD")
        o.wait_screen(lambda s: s.row(5) == " +" + text[:78] and s.row(1)[2] == "<", "the start")


def test_upper_case_lock_shows_and_wide_characters_are_ignored():
    o, folder = start({"notes.txt": "first line of the notes\n"})
    with o:
        # End, the upper-case lock as the key table binds it, then End in application mode.
        steps(o, [("\x1b[F", (lambda s: s.row(22).startswith("-CAPS-"), "the lock's mark"))])
        assert o.row(0).index("Lines:") == 49 and o.row(0).index("View:") == 63, o.row(0)
        steps(o, [("ab1", (lambda s: s.row(2).startswith("  AB1st line"), "capitals")),
                  ("\x1bOFcd", (lambda s: s.row(2).startswith("  AB1cd line")
                                and s.row(22) == "-" * 80, "small letters again"))])
        if UTF8:
            # oe, l with stroke, de, alpha and a euro sign have no byte in the store: ignored,
            # not typed as another character; e acute has one.
            o.send("\u0153\u0142\u0434\u03b1\u20ac\u00e9".encode("utf-8"))
            o.wait_screen(lambda s: s.row(2).startswith("  AB1cd\u00e9line"), "only the e acute")
        else:
            o.send("\x1be")  # the accent key gives e acute on an 8-bit terminal, sent as one byte
            o.wait_screen(lambda s: "(    1,    7)" in s.row(0) and b"\xe9" in s.raw, "the e acute")
        o.send("\x03OVnotes.txt\r")
        o.wait_screen(lambda s: "Expecting Command" in s.row(23) and "OVERWRITE" not in s.row(23),
                      "the file written")
    with open(os.path.join(folder, "notes.txt"), "rb") as f:
        first = f.read().split(b"\n")[0]
    assert first in (b"AB1cd\xc3\xa9line of the notes", b"AB1cd\xe9line of the notes"), first


if __name__ == "__main__":
    oruterm.main()
