# e2e-matrix
"""The terminal after a resize, a stop and resume, the interrupt key, a shell escape and a
driver's suspension: the pseudo-terminal is in the editor's mode exactly as at start-up, the screen
is whole, the cursor stands on the text cursor, KEY and FONT changes are kept, and keys act at once.
Also a missing or unknown TERM, and closing the terminal."""
import os
import re
import signal
import termios
import time

import pexpect

import oruterm

CTRL_S, CTRL_Q, CTRL_Z, CTRL_X, SUSPEND = "\x13", "\x11", "\x1a", "\x18", "\x01"
NOTES = "".join(f"line {n}\n" for n in range(1, 61))
SETUP = "KE19|66\r\r"  # on the command line: Ctrl-S to the line start, then close it


def tty_modes(o):
    """The pseudo-terminal's own settings, read from the terminal oru writes to."""
    fd = os.open(os.readlink(f"/proc/{o.child.pid}/fd/1"), os.O_RDONLY | os.O_NOCTTY)
    try:
        return termios.tcgetattr(fd)
    finally:
        os.close(fd)


def status(o):
    m = re.search(r"\(\s*(\d+),\s*(\d+)\)", o.row(0))
    return (int(m.group(1)), int(m.group(2))) if m else None


def typing(s):
    return "Typing" in s.row(23) and "Lines: 60" in s.row(0)


def start(folder, args=("notes.txt",)):
    with open(os.path.join(folder, "notes.txt"), "w") as f:
        f.write(NOTES)
    o = oruterm.Oru(list(args), cwd=folder)
    o.dump = os.path.join(folder, "test.file")
    if args[0] != "-d":
        o.wait_screen(lambda s: "Command" in s.row(23) and "Lines:" in s.row(0), "the first screen")
        o.send(SETUP)
    o.wait_screen(typing, "typing mode")
    o.start_modes = tty_modes(o)
    lflag, cc = o.start_modes[3], o.start_modes[6]
    assert not lflag & (termios.ICANON | termios.ECHO) and lflag & termios.ISIG
    assert (cc[termios.VINTR], cc[termios.VSUSP]) == (b"\x1f", b"\x01")
    assert all(cc[i] == b"\x00" for i in (termios.VQUIT, termios.VSTART, termios.VSTOP))
    return o


def wait_status(o, line, col, when):
    o.wait_screen(lambda s: status(s) == (line, col), f"line {line}, column {col} {when}")


def cursor_on_text(o):
    """The terminal's cursor stands on the text cursor, on a text row that shows that line."""
    where, y, x = status(o), o.screen.cursor.y, o.screen.cursor.x
    return (where is not None and x == where[1] + 1 and 2 <= y <= o.screen.lines - 3
            and re.search(rf"(?<!\d){where[0]}\s*$", o.row(y)) is not None)


def keys_act(o, when):
    """The mode of start-up, the cursor on the text, and keys acting at once: Ctrl-Q pages down,
    Ctrl-Z goes up, Ctrl-X right, Ctrl-S (bound by KEY) to the line start, Ctrl-\\ writes the
    diagnostic dump, and typing with a cursor key between shows the editor's result."""
    assert tty_modes(o) == o.start_modes, when
    o.wait_screen(cursor_on_text, f"the cursor on the text cursor {when}")
    line = status(o)[0]
    o.send(CTRL_Q)
    o.wait_screen(lambda s: status(s)[0] > line, f"page down {when}")
    line = status(o)[0] - 1
    o.send(CTRL_Z + CTRL_S + CTRL_X * 3)
    wait_status(o, line, 4, when)
    if os.path.exists(o.dump):
        os.remove(o.dump)
    o.send(CTRL_S + "\x1c")
    o.wait_screen(lambda s: "test done" in s.row(s.screen.lines - 2), f"the dump {when}")
    assert os.path.exists(o.dump), when
    o.send("ab\x1b[DX")
    o.wait_screen(lambda s: status(s) == (line, 3) and s.row(s.screen.cursor.y)[:6] == "  aXne"
                  and cursor_on_text(s), f"typed text {when}")


def resize(o, rows, cols, screen):
    """Resizes the terminal and waits for the redraw (the emulator starts blank)."""
    o.screen.resize(rows, cols)
    o.screen.reset()
    o.child.setwinsize(rows, cols)
    o.wait_screen(screen, f"the screen at {rows}x{cols}")


def layout(rows, cols):
    """Status line, ruler (margins 1 and 72, tabs every 8), help line and command line; at 80
    columns or more the status fields and right margin too."""
    def whole(s):
        status, ruler = s.row(0), s.row(1)
        return (status.startswith("  Core:") and ruler[2] == "<" and ruler[10] == "!"
                and s.row(rows - 2) == "-" * cols and s.row(rows - 1).startswith("Expecting Typing")
                and (cols < 80 or (status[49:56] == "Lines: " and status[63:78] == "View:  TEXT    "
                                   and ruler[73] == ">" and len(ruler.rstrip()) == cols)))
    return whole


def test_resize_to_several_sizes():
    with start(oruterm.scratch("oru-events-")) as o:
        # A line-drawing cell shown as '=' by FONT: resizing keeps it.
        o.send("\x03FO20|61\r\r\x1b[C\x1b[C\x1b[g\x1b[C\x1b[C\x1b[B\r")
        o.wait_screen(lambda s: s.row(2)[5] == "=" and "TEXT" in s.row(0), "the drawn '='")
        for rows, cols in ((30, 100), (10, 40), (24, 80)):
            resize(o, rows, cols, layout(rows, cols))
            keys_act(o, f"after resizing to {rows}x{cols}")
        o.send("\x10" * 5)
        o.wait_screen(lambda s: s.row(2)[5] == "=", "the '=' after the resizes")
        # Smaller than the layout: clipped, never wrapped onto the next row.
        resize(o, 8, 15, lambda s: s.row(0) == "  Core: 1 (    " and s.row(6) == "-" * 15
               and s.row(7) == "Expecting Typin" and re.fullmatch(r"  [.<!>]{13}", s.row(1)))
        o.send("\x0b" + CTRL_S + "zz")
        o.wait_screen(lambda s: s.row(3).startswith("  zzne")
                      and (s.screen.cursor.y, s.screen.cursor.x) == (3, 4), "typing, small")
        resize(o, 24, 80, lambda s: "View:" in s.row(0) and "Typing" in s.row(23))
        keys_act(o, "after the small screen")


def test_suspend_and_resume():
    with start(oruterm.scratch("oru-events-")) as o:
        for n in (1, 2):
            o.send(SUSPEND)
            end = time.monotonic() + oruterm.TIMEOUT
            while open(f"/proc/{o.child.pid}/stat").read().rsplit(")", 1)[1].split()[0] != "T":
                assert time.monotonic() < end, "oru did not stop"
                o._pump(0.05)
            # Stopped, the terminal is the shell's again: line mode, echo, its own controls.
            modes = tty_modes(o)
            assert modes[3] & termios.ICANON and modes[3] & termios.ECHO, n
            assert modes[6][termios.VSUSP] != b"\x01", n
            o.screen.reset()
            os.kill(o.child.pid, signal.SIGCONT)
            o.wait_screen(typing, "resumed")
            keys_act(o, f"after resume {n}")


def test_interrupt_key_and_shell_escape():
    folder = oruterm.scratch("oru-events-")
    with start(folder) as o:
        # Ctrl-_, the terminal's interrupt key, opens the command line.
        for keys, shown in (("\x1f", "Expecting Command"), ("FE", "FETCH"), ("\x7f" * 3 + "\r", "Typing")):
            o.send(keys)
            o.wait_screen(lambda s: shown in s.row(23), shown)
        keys_act(o, "after the interrupt key")
        # The second command changes the terminal's control characters and modes: the editor's
        # mode comes back all the same.
        for command in ("echo made > shell.out", "stty intr ^X quit ^X susp ^X start ^X stop ^Y echo"):
            o.send(f"\x03SH{command}\r")
            o.wait_for("Type [return] to continue")
            assert tty_modes(o) == o.start_modes, "the editor's mode while waiting for Return"
            o.send("\r")
            o.wait_screen(lambda s: "Expecting Command" in s.row(23) and "Core:" in s.row(0)
                          and s.screen.cursor.y == 23, "the screen, cursor on the command line")
            o.send("\r")
            keys_act(o, f"after SHELL {command}")
        with open(os.path.join(folder, "shell.out")) as f:
            assert f.read() == "made\n"


def test_driver_suspended_by_the_suspend_key():
    folder = oruterm.scratch("oru-events-")
    with open(os.path.join(folder, "slow-driver"), "w") as f:
        f.write(f"#!/bin/sh\nprintf 'FEnotes.txt\\r{SETUP}'\nexec sleep 600\n")
    os.chmod(os.path.join(folder, "slow-driver"), 0o755)
    with start(folder, ("-d", "slow-driver")) as o:
        o.send(SUSPEND)  # the driver is stopped and the keyboard takes over
        keys_act(o, "after the driver's suspension")
        o.send("\x03SW2\r")  # end the driver


def test_closing_the_terminal_leaves_an_emergency_copy():
    # Closing the terminal sends a hang-up; with hang-ups ignored the keyboard simply ends. Both
    # keep the edit beside the file, without replacing an older copy.
    for ignore_hangup in (False, True):
        folder = oruterm.scratch("oru-events-")
        with open(os.path.join(folder, "notes.txt.save"), "w") as f:
            f.write("an older copy\n")
        old = signal.signal(signal.SIGHUP, signal.SIG_IGN if ignore_hangup else signal.SIG_DFL)
        try:
            o = start(folder)
        finally:
            signal.signal(signal.SIGHUP, old)
        o.send("E")
        o.wait_screen(lambda s: s.row(2).startswith("  Eine 1"), "the edit")
        o.child.close(force=False)
        copy = os.path.join(folder, "notes.txt.save.1")
        end = time.monotonic() + oruterm.TIMEOUT
        while not (os.path.exists(copy) and open(copy).read() == "Eine 1\n" + NOTES[7:]):
            assert time.monotonic() < end, f"no emergency copy (hang-ups ignored: {ignore_hangup})"
            time.sleep(0.05)
        assert open(os.path.join(folder, "notes.txt.save")).read() == "an older copy\n"
        assert sorted(os.listdir(folder)) == ["notes.txt", "notes.txt.save", "notes.txt.save.1"]


def test_missing_or_unknown_term():
    unknown = "no-such-terminal-kind"
    for term, ok, shown in ((None, True, lambda out: out == "\nTERM variable not found\n"),
                            (unknown, False, lambda out: unknown in out and "not known" in out
                             and out.count("\n") == 1 and "\x1b" not in out)):
        env = {k: v for k, v in os.environ.items() if k != "TERM"}
        env.update({"TERM": term} if term else {})
        child = pexpect.spawn(oruterm.ORU, [], env=env, dimensions=(24, 80))
        out = child.read().decode("latin-1").replace("\r\n", "\n")
        child.close()
        assert (child.exitstatus == 0) == ok and shown(out), repr(out)

if __name__ == "__main__":
    oruterm.main()
