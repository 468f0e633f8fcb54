"""Shell escapes, the working directory, window-size changes, stop and resume."""
import os
import signal
import time

import oruterm


def scratch():
    return oruterm.scratch("oru-shell-")


def started(folder, args=()):
    oru = oruterm.Oru(list(args), cwd=folder)
    oru.wait_for("Core:")
    return oru


def quit_editor(oru):
    oru.send("GO\r")
    assert oru.wait_exit() == 0


def test_shell_with_a_command_and_directory_listing():
    folder = scratch()
    open(os.path.join(folder, "visible-file.txt"), "w").close()
    oru = started(folder)
    try:
        oru.send("SHecho made > shell.out\r")
        oru.wait_for("Type [return] to continue")
        assert open(os.path.join(folder, "shell.out")).read() == "made\n"
        oru.send("\r")
        oru.wait_for("Core:")
        oru.send("DIB\r")
        oru.wait_for("visible-file.txt")
        oru.send("\r")
        oru.wait_for("Core:")
        # An unknown letter is refused and the command is asked for again.
        oru.send("DIX\r")
        oru.wait_for("Invalid Argument")
        oru.send("\r")
        oru.wait_for("DIRECTORY")
        oru.send("\x7f" * 10)
        quit_editor(oru)
    finally:
        oru.close()


def test_empty_shell_is_interactive():
    folder = scratch()
    oru = started(folder)
    try:
        oru.send("SH\r")
        oru.wait_screen(lambda o: "$" in o.text() or "#" in o.text(), "the shell's prompt")
        oru.send("echo inner > inner.out; exit\r")
        oru.wait_for("Type [return] to continue")
        assert open(os.path.join(folder, "inner.out")).read() == "inner\n"
        oru.send("\r")
        oru.wait_for("Core:")
        quit_editor(oru)
    finally:
        oru.close()


def test_change_directory():
    folder = scratch()
    os.mkdir(os.path.join(folder, "sub"))
    oru = started(folder)
    try:
        oru.send("CDno-such-dir\r")
        oru.wait_for("Directory not found (or no permission)")
        oru.send("\r")
        oru.send("CDsub\r")
        oru.send("CD\r")
        oru.wait_for(os.path.join(os.path.realpath(folder), "sub"))
        oru.send("\r")
        oru.send("SHpwd > where.out\r")
        oru.wait_for("Type [return] to continue")
        oru.send("\r")
        where = open(os.path.join(folder, "sub", "where.out")).read().strip()
        assert os.path.realpath(where) == os.path.realpath(os.path.join(folder, "sub")), where
        quit_editor(oru)
    finally:
        oru.close()


def test_window_size_change_redraws_at_the_new_size():
    folder = scratch()
    oru = started(folder)
    try:
        oru.screen.resize(30, 100)
        oru.child.setwinsize(30, 100)
        oru.wait_screen(lambda o: o.row(29).startswith("Expecting"), "the command line on row 29")
        oru.wait_screen(lambda o: o.row(28).startswith("-" * 100), "the help line on row 28")
        assert oru.row(0).startswith("  Core:"), oru.row(0)
        quit_editor(oru)
    finally:
        oru.close()


def process_state(pid):
    with open(f"/proc/{pid}/stat") as f:
        return f.read().rsplit(")", 1)[1].split()[0]


def test_stop_and_resume_redraw_the_screen():
    folder = scratch()
    oru = started(folder)
    try:
        oru.send("\r")          # leave the command line
        oru.wait_for("Expecting Typing")
        oru.send("\x01")        # the suspend key
        end = time.monotonic() + oruterm.TIMEOUT
        while process_state(oru.child.pid) != "T":
            assert time.monotonic() < end, "oru did not stop"
            oru._pump(0.1)
        oru.screen.reset()
        os.kill(oru.child.pid, signal.SIGCONT)
        oru.wait_for("Core:")
        oru.wait_for("Expecting Typing")
        oru.send("\x03")
        quit_editor(oru)
    finally:
        oru.close()


if __name__ == "__main__":
    oruterm.main()
