# e2e-matrix
"""Typing into the text zone: characters, accented letters, a line longer than the screen, and
what is left on disk when the terminal goes away."""
import os
import re
import signal
import time

import oruterm

UTF8 = "UTF-8" in (os.environ.get("LC_ALL") or os.environ.get("LC_CTYPE") or os.environ.get("LANG", ""))


def start(rows=24, cols=80, cwd=None, args=()):
    o = oruterm.Oru(list(args), rows=rows, cols=cols, cwd=cwd or oruterm.scratch("oru-e2e-"))
    o.wait_screen(lambda s: "TEXT" in s.row(0) and re.match(r"Expecting (Command|Typing)",
                                                           s.row(rows - 1)), "the screen")
    if "Command" in o.row(rows - 1):
        o.send("\r")  # a Return alone closes the command line opened at start-up
        o.wait_screen(lambda s: "Typing" in s.row(rows - 1), "typing mode")
    return o


def column(o):
    m = re.search(r"\(\s*(\d+),\s*(\d+)\)", o.row(0))
    return int(m.group(2)) if m else None


def test_typed_characters_show_and_move_the_cursor():
    o = start()
    try:
        o.send("Hello, world")
        o.wait_screen(lambda s: s.row(2).startswith("  Hello, world"), "the typed text")
        o.wait_screen(lambda s: column(s) == 13, "column 13 in the status line")
        assert o.screen.cursor.y == 2 and o.screen.cursor.x == 14, (o.screen.cursor.y,
                                                                      o.screen.cursor.x)
    finally:
        o.close()


def test_accented_letter_shows_as_that_letter():
    o = start()
    try:
        if UTF8:
            o.send("caf\xc3\xa9".encode("latin-1"))  # typed as UTF-8
            o.wait_screen(lambda s: s.row(2).startswith("  caf\u00e9"), "the accented letter")
            assert b"\xc3\xa9" in o.raw
        else:
            # An 8-bit terminal: the accent key ESC e gives the letter, sent as one byte.
            o.send("caf\x1be")
            o.wait_screen(lambda s: column(s) == 5, "four characters typed")
            assert b"caf" in o.raw and b"\xe9" in o.raw
    finally:
        o.close()


def test_long_line_shows_plus_flag_and_shifts_the_window():
    o = start()
    try:
        text = "".join(chr(ord("a") + i % 26) for i in range(100))
        o.send(text[:70])
        o.wait_screen(lambda s: column(s) == 71, "70 characters")
        assert o.row(2)[:2] == "  ", repr(o.row(2))
        # Past the right edge: the window moves by 59 columns and the flags turn to '-'.
        o.send(text[70:])
        o.wait_screen(lambda s: column(s) == 101, "100 characters")
        o.wait_screen(lambda s: s.row(2)[:2] == "--", "the shifted flags")
        assert o.row(2)[2:2 + 41] == text[59:], repr(o.row(2))
        assert o.row(1)[2] == ".", "the ruler shifted too"
        # Back to the start of the line: unshifted, and '+' says there is more to the right.
        o.send("\x1bD")
        o.wait_screen(lambda s: column(s) == 1, "the line start")
        o.wait_screen(lambda s: s.row(2)[:2] == " +", "the '+' flag")
        assert o.row(2)[2:] == text[:78], repr(o.row(2))
        assert o.row(1)[2] == "<"
    finally:
        o.close()


def saved_copy(path, timeout=oruterm.TIMEOUT):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        if os.path.exists(path):
            with open(path, "rb") as f:
                data = f.read()
            if data.endswith(b"\n"):
                return data
        time.sleep(0.05)
    raise AssertionError(f"no emergency copy {path}")


def test_closing_the_terminal_leaves_an_emergency_copy():
    # Closing the terminal sends a hang-up; with hang-ups ignored the keyboard simply ends. Both
    # keep the edits.
    for ignore_hangup in (False, True):
        cwd = oruterm.scratch("oru-e2e-")
        with open(os.path.join(cwd, "oru-core-1.save"), "w") as f:
            f.write("an older copy\n")
        old = signal.signal(signal.SIGHUP, signal.SIG_IGN) if ignore_hangup else None
        try:
            o = start(cwd=cwd)
        finally:
            if ignore_hangup:
                signal.signal(signal.SIGHUP, old)
        o.send("kept text")
        o.wait_screen(lambda s: s.row(2).startswith("  kept text"), "the typed text")
        o.child.close(force=False)
        data = saved_copy(os.path.join(cwd, "oru-core-1.save.1"))
        assert data == b"kept text\n", (ignore_hangup, data)
        with open(os.path.join(cwd, "oru-core-1.save")) as f:
            assert f.read() == "an older copy\n", "an existing file is never replaced"
        assert o.child.exitstatus == 1 or o.child.signalstatus is not None, (
            o.child.exitstatus, o.child.signalstatus)


if __name__ == "__main__":
    oruterm.main()
