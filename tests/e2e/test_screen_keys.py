# e2e-matrix
"""Keys as today's terminals send them: function, cursor, Home, End and modified keys of xterm and
vt100 never change the text; the upper-case lock shows while it is on; typed characters the store
cannot hold are ignored."""
import os

import oruterm

TEXT = ["first line of the notes", "second line", "", "fourth, after an empty one", "last"]

# What xterm and vt100 send, in normal and application cursor mode, plain and with Shift, Ctrl
# and Alt. End and Insert each come twice in two forms, so the upper-case lock and the insert
# mode end as they began. F3 opens the command line and comes last; Delete (ESC [ 3 ~) is rubout.
SEQUENCES = (
    ["\x1b[A", "\x1b[B", "\x1b[C", "\x1b[D", "\x1bOA", "\x1bOB", "\x1bOC", "\x1bOD"]
    + ["\x1b[H", "\x1bOH", "\x1b[1~", "\x1b[4~", "\x1b[F", "\x1bOF", "\x1b[2~", "\x1b[2~"]
    + ["\x1b[5~", "\x1b[6~", "\x1bOP", "\x1bOQ", "\x1bOS"]
    + [f"\x1b[{n}~" for n in (15, 17, 18, 19, 20, 21, 23, 24)]
    + [f"\x1b[1;{m}{k}" for m in (2, 3, 5, 6) for k in "ABCDHFPQRS"]
    + [f"\x1b[{n};{m}~" for n in (2, 5, 6, 15, 17, 24) for m in (2, 5)]
)


def start(folder, lines):
    with open(os.path.join(folder, "notes.txt"), "w", encoding="latin-1") as f:
        f.write("\n".join(lines) + "\n")
    o = oruterm.Oru(["notes.txt"], cwd=folder)
    o.wait_screen(lambda s: "Command" in s.row(23) and f"Lines: {len(lines)}" in s.row(0),
                  "the first screen")
    o.send("\r")
    o.wait_screen(lambda s: "Typing" in s.row(23), "typing mode")
    return o


def text_rows(o, n):
    return [o.row(r)[2:].rstrip() for r in range(2, 2 + n)]


def test_function_cursor_and_modified_keys_never_change_the_text():
    # In the middle of a long file, where no cursor key reaches its ends (moving past them
    # adds a line there, as the editor does).
    lines = [f"line {n} of a hundred" for n in range(1, 101)] + TEXT
    folder = oruterm.scratch("oru-keys-")
    with start(folder, lines) as o:
        o.send("\x11\x11" + "\x0b" * 10)
        o.wait_screen(lambda s: "(   51," in s.row(0), "line 51")
        o.send("".join(SEQUENCES))
        o.send("\x1bOR")  # F3: the command line
        o.wait_screen(lambda s: "Expecting Command" in s.row(23), "the command line from F3")
        o.send("\r")
        o.wait_screen(lambda s: "Expecting Typing" in s.row(23), "typing mode again")
        assert f"Lines: {len(lines)}" in o.row(0) and "CAPS" not in o.row(22), o.text()
        o.send("\x10" * 6)  # back to the top of the file
        o.wait_screen(lambda s: text_rows(s, 20) == lines[:20], "the text as it was")
        # Nothing was edited: GOODBYE ends at once, without asking about an unsaved core file.
        o.send("\x03GO\r")
        assert o.wait_exit() == 0, o.text()
        assert "WARNING" not in o.raw.decode("latin-1")


def utf8_locale():
    loc = os.environ.get("LC_ALL") or os.environ.get("LC_CTYPE") or os.environ.get("LANG", "")
    return "UTF-8" in loc.upper() or "UTF8" in loc.upper()


def test_upper_case_lock_shows_and_wide_characters_are_ignored():
    folder = oruterm.scratch("oru-keys-")
    with start(folder, TEXT) as o:
        o.send("\x1b[F")  # End: the upper-case lock, as the key table binds it
        o.wait_screen(lambda s: s.row(22).startswith("-CAPS-"), "the lock's mark")
        assert o.row(0).index("Lines:") == 49 and o.row(0).index("View:") == 63, o.row(0)
        o.send("ab1")
        o.wait_screen(lambda s: s.row(2).startswith("  AB1st line"), "capitals while locked")
        o.send("\x1bOF")  # End in application mode: the same key
        o.wait_screen(lambda s: s.row(22) == "-" * 80, "the mark gone")
        o.send("cd")
        o.wait_screen(lambda s: s.row(2).startswith("  AB1cd line"), "small letters again")
        if utf8_locale():
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
