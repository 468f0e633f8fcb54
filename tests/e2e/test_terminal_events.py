# e2e-matrix
"""The terminal after a resize, a stop and resume, a shell escape and a driver's suspension: the
pseudo-terminal is in the editor's mode exactly as at start-up, the screen is whole, the cursor
stands on the text cursor, KEY and FONT changes are kept, and keys act at once, Ctrl-\\, Ctrl-Z,
Ctrl-S and Ctrl-Q among them."""
import os
import re
import signal
import termios
import time

import oruterm

LEFT, RIGHT, DOWN = "\x1b[D", "\x1b[C", "\x1b[B"
CTRL_S, CTRL_Q, CTRL_Z, CTRL_BACKSLASH, CTRL_X = "\x13", "\x11", "\x1a", "\x1c", "\x18"
SUSPEND, COMMAND_KEY, LDENTER = "\x01", "\x03", "\x1b[g"
LINES = [f"line {n}" for n in range(1, 61)]


def utf8_locale():
    loc = os.environ.get("LC_ALL") or os.environ.get("LC_CTYPE") or os.environ.get("LANG", "")
    return "UTF-8" in loc.upper() or "UTF8" in loc.upper()


def tty_modes(o):
    """The pseudo-terminal's own settings, read from the terminal oru writes to."""
    fd = os.open(os.readlink(f"/proc/{o.child.pid}/fd/1"), os.O_RDONLY | os.O_NOCTTY)
    try:
        return termios.tcgetattr(fd)
    finally:
        os.close(fd)


def status(o):
    """(line, column) of the status line."""
    m = re.search(r"\(\s*(\d+),\s*(\d+)\)", o.row(0))
    return (int(m.group(1)), int(m.group(2))) if m else None


def start(folder):
    """oru on a 60-line file, typing, with Ctrl-S bound to the line-start operation."""
    with open(os.path.join(folder, "notes.txt"), "w") as f:
        f.write("\n".join(LINES) + "\n")
    o = oruterm.Oru(["notes.txt"], cwd=folder)
    o.wait_screen(lambda s: "Command" in s.row(s.rows - 1) and "Lines:" in s.row(0),
                  "the first screen")
    o.send("KE19|66\r")  # Ctrl-S: to the start of the line
    o.send("\r")
    o.wait_screen(lambda s: "Typing" in s.row(s.rows - 1), "typing mode")
    o.start_modes = tty_modes(o)
    lflag, cc = o.start_modes[3], o.start_modes[6]
    assert not lflag & (termios.ICANON | termios.ECHO) and lflag & termios.ISIG
    assert cc[termios.VINTR] == b"\x1f" and cc[termios.VSUSP] == b"\x01"
    assert all(cc[i] == b"\x00" for i in (termios.VQUIT, termios.VSTART, termios.VSTOP))
    return o


def wait_status(o, line, col, when):
    o.wait_screen(lambda s: status(s) == (line, col),
                  f"line {line}, column {col} {when} (status {status(o)})")


def cursor_on_text(o):
    """True when the terminal's cursor stands where the status line puts the text cursor, on a
    text row that shows that line."""
    where = status(o)
    y, x = o.screen.cursor.y, o.screen.cursor.x
    return (where is not None and x == where[1] + 1 and 2 <= y <= o.screen.lines - 3
            and re.search(rf"(?<!\d){where[0]}\s*$", o.row(y)) is not None)


def wait_cursor_on_text(o, when):
    o.wait_screen(cursor_on_text, f"the cursor on the text cursor {when} (status {status(o)}, "
                  f"cursor at {o.screen.cursor.y},{o.screen.cursor.x})")


def resize(o, rows, cols):
    """Resizes the terminal; the emulator starts blank, so only a redraw can fill it."""
    o.screen.resize(rows, cols)
    o.screen.reset()
    o.child.setwinsize(rows, cols)


def keys_act(o, folder, when):
    """The editor's own mode, then keys acting at once: Ctrl-Q pages down, Ctrl-Z goes up a line,
    Ctrl-X right, Ctrl-S (bound by KEY) to the line start, Ctrl-\\ writes the diagnostic dump, and
    typing with a cursor key between shows the editor's result, not the keys."""
    assert tty_modes(o) == o.start_modes, when
    wait_cursor_on_text(o, when)
    line, _ = status(o)
    o.send(CTRL_Q)
    o.wait_screen(lambda s: status(s)[0] > line, f"page down {when}")
    line = status(o)[0]
    o.send(CTRL_Z + CTRL_S + CTRL_X * 3)
    wait_status(o, line - 1, 4, when)
    o.send(CTRL_S)
    wait_status(o, line - 1, 1, when)
    dump = os.path.join(folder, "test.file")
    if os.path.exists(dump):
        os.remove(dump)
    o.send(CTRL_BACKSLASH)
    o.wait_screen(lambda s: "test done" in s.row(s.screen.lines - 2), f"the dump's message {when}")
    assert os.path.exists(dump), when
    o.send("ab" + LEFT + "X")
    wait_status(o, line - 1, 3, when)
    o.wait_screen(lambda s: s.row(s.screen.cursor.y)[:6] == "  aXne", f"typed text {when}")
    wait_cursor_on_text(o, when)


def test_resize_to_several_sizes():
    folder = oruterm.scratch("oru-events-")
    with start(folder) as o:
        # A line-drawing cell shown as '=' by FONT: a resize keeps it.
        o.send("\x03FO20|61\r\r")
        o.wait_screen(lambda s: "Typing" in s.row(s.rows - 1), "typing mode")
        o.send(RIGHT * 2 + LDENTER + RIGHT * 2 + DOWN + "\r")
        o.wait_screen(lambda s: s.row(2)[5] == "=", "the line drawn with '='")
        for rows, cols in ((30, 100), (10, 40), (24, 80)):
            resize(o, rows, cols)
            o.wait_screen(lambda s: s.row(0).startswith("  Core:")
                          and s.row(rows - 1).startswith("Expecting Typing")
                          and s.row(rows - 2) == "-" * cols, f"the screen at {rows}x{cols}")
            keys_act(o, folder, f"after resizing to {rows}x{cols}")
        o.send("\x10" * 5)  # back to the top: the drawn line still shows '='
        o.wait_screen(lambda s: s.row(2)[5] == "=", "the '=' after the resizes")

        # Narrower than the layout: clipped, never wrapped onto the next row.
        resize(o, 8, 15)
        o.wait_screen(lambda s: s.row(0) == "  Core: 1 (    " and s.row(7) == "Expecting Typin"
                      and re.fullmatch(r"  [.<!>]{13}", s.row(1)) and s.row(6) == "-" * 15,
                      "the clipped screen")
        assert tty_modes(o) == o.start_modes
        o.send("\x10" * 5 + "\x0b" + CTRL_S + "zz")
        o.wait_screen(lambda s: s.row(3).startswith("  zzne"), "typing on the small screen")
        assert (o.screen.cursor.y, o.screen.cursor.x) == (3, 4)
        resize(o, 24, 80)
        o.wait_screen(lambda s: "View:" in s.row(0) and "Typing" in s.row(23),
                      "the whole status line again")
        keys_act(o, folder, "after the small screen")


def test_suspend_and_resume():
    folder = oruterm.scratch("oru-events-")
    with start(folder) as o:
        o.send(CTRL_Q * 2 + CTRL_X * 2)
        wait_status(o, 41, 3, "before the stop")
        for round in (1, 2):
            o.send(SUSPEND)
            end = time.monotonic() + oruterm.TIMEOUT
            while process_state(o.child.pid) != "T":
                assert time.monotonic() < end, "oru did not stop"
                o._pump(0.05)
            # Stopped, the terminal is the shell's again: line mode, echo, its own controls.
            lflag, cc = tty_modes(o)[3], tty_modes(o)[6]
            assert lflag & termios.ICANON and lflag & termios.ECHO, round
            assert cc[termios.VSUSP] != b"\x01", round
            o.screen.reset()
            os.kill(o.child.pid, signal.SIGCONT)
            o.wait_screen(lambda s: "Expecting Typing" in s.row(23) and "Lines: 60" in s.row(0),
                          "the screen after resuming")
            keys_act(o, folder, f"after resume {round}")


def test_shell_escape_and_back():
    folder = oruterm.scratch("oru-events-")
    with start(folder) as o:
        # A shell command that changes the terminal's control characters and modes: the
        # editor's mode comes back all the same.
        for command in ("echo shell-ran", "stty intr ^X quit ^X susp ^X start ^X stop ^Y echo"):
            o.send(COMMAND_KEY)
            o.wait_screen(lambda s: "Command" in s.row(23), "the command line")
            o.send(f"SH{command}\r")
            o.wait_for("Type [return] to continue")
            assert tty_modes(o) == o.start_modes, "the editor's mode while waiting for Return"
            o.send("\r")
            o.wait_screen(lambda s: "Expecting Command" in s.row(23) and "Core:" in s.row(0),
                          "the screen after the shell")
            assert o.screen.cursor.y == 23 and o.screen.cursor.x >= 19, o.screen.cursor
            o.send("\r")
            o.wait_screen(lambda s: "Typing" in s.row(23), "typing mode")
            keys_act(o, folder, f"after SHELL {command}")


def test_driver_suspended_by_the_suspend_key():
    folder = oruterm.scratch("oru-events-")
    driver = os.path.join(folder, "slow-driver")
    with open(driver, "w") as f:
        f.write("#!/bin/sh\nprintf '\\r'\nexec sleep 600\n")
    os.chmod(driver, 0o755)
    o = oruterm.Oru(["-d", "slow-driver"], cwd=folder)
    with o:
        o.wait_screen(lambda s: "Typing" in s.row(23), "the driver's Return")
        start_modes = tty_modes(o)
        o.send(SUSPEND)  # the driver is stopped and the keyboard takes over
        o.send(COMMAND_KEY)
        o.wait_screen(lambda s: "Command" in s.row(23), "the command line from the keyboard")
        with open(os.path.join(folder, "notes.txt"), "w") as f:
            f.write("\n".join(LINES) + "\n")
        o.send("FEnotes.txt\rKE19|66\r\r")
        o.wait_screen(lambda s: "Lines: 60" in s.row(0) and "Typing" in s.row(23),
                      "the file fetched from the keyboard")
        o.start_modes = start_modes
        keys_act(o, folder, "after the driver's suspension")
        o.send("\x03SW2\r")  # end the driver


def process_state(pid):
    with open(f"/proc/{pid}/stat") as f:
        return f.read().rsplit(")", 1)[1].split()[0]


if __name__ == "__main__":
    oruterm.main()
