"""The command line in a real terminal: the prompt, echoed names, help-line texts, messages,
settings whose effect shows on the screen, and the commands that reach the directory and the
shell."""
import os

import oruterm


def command_line(s):
    return s.row(23).startswith("Expecting Command") and s.row(23)[19:].strip() == ""


def test_commands_typed_at_the_command_line():
    o, d = oruterm.start_in_scratch("oru-commands-", files={"notes.txt": "some text\n"})
    with o:
        # OBJECT: its name is echoed, its prompt is on the help line, the digit prompt below.
        o.send("ob")
        o.wait_screen(lambda s: "0:txt 1:rec/txt 2:rec/tmp" in s.row(22), "the OBJECT help text")
        o.wait_screen(lambda s: s.row(23).startswith("Expecting Digit") and "OBJECT" in s.row(23),
                      "the digit prompt and the echoed name")
        o.send("1\r")
        o.wait_screen(lambda s: "RECORD" in s.row(0) and command_line(s), "the record view")
        # TAB 4 adds stops at 5, 13 ...: the ruler shows them.
        o.send("ob0\rta4\r")
        o.wait_screen(lambda s: s.row(1)[2 + 4] == "!" and s.row(1)[2 + 12] == "!", "the new stops")
        # An unknown name, and KEY outside its table, are refused on the help line.
        for keys, message in (("zz", "Invalid Command Request"), ("ke624|1\r", "Invalid Key Assignment")):
            o.send(keys)
            o.wait_for(message)
            o.send("\r")
            o.wait_screen(lambda s: message not in s.text(), "the message acknowledged")
        # FETCH names the core file on the status line; CLEAR empties it and forgets the name.
        o.send("fenotes.txt\r")
        o.wait_screen(lambda s: "notes.txt" in s.row(0) and "some text" in s.row(2), "the file")
        o.send("cl\r")
        o.wait_screen(lambda s: "notes.txt" not in s.row(0) and "some text" not in s.text()
                      and command_line(s), "an empty, unnamed core file")
        # A Return alone closes the command line.
        o.send("\r")
        o.wait_screen(lambda s: s.row(23).startswith("Expecting Typing"), "the typing prompt")


def test_directory_and_shell_commands():
    o, d = oruterm.start_in_scratch("oru-commands-")
    os.mkdir(os.path.join(d, "sub"))
    sub = os.path.join(os.path.realpath(d), "sub")
    with o:
        o.send("CDno-such-dir\r")
        o.wait_for("Directory not found (or no permission)")
        # CD with no name shows the directory; SHELL runs there.
        o.send("\rCDsub\rCD\r")
        o.wait_for(sub)
        o.send("\rSHpwd > where.out\r")
        o.wait_for("Type [return] to continue")
        with open(os.path.join(d, "sub", "where.out")) as f:
            assert os.path.realpath(f.read().strip()) == sub
        o.send("\rDIB\r")
        o.wait_for("where.out")
        # An unknown letter is refused and the command is asked for again.
        o.send("\rDIX\r")
        o.wait_for("Invalid Argument")
        o.send("\r")
        o.wait_for("DIRECTORY")
        o.send("\x7f" * 3)
        # SHELL alone is an interactive shell.
        o.send("SH\r")
        o.wait_screen(lambda s: "$" in s.text() or "#" in s.text(), "the shell's prompt")
        o.send("echo inner > inner.out; exit\r")
        o.wait_for("Type [return] to continue")
        assert os.path.exists(os.path.join(d, "sub", "inner.out"))
        # Back in the editor, commands act at once.
        o.send("\rta4\r")
        o.wait_screen(lambda s: s.row(1)[2 + 4] == "!" and command_line(s), "the new tab stops")
        o.send("GO\r")
        assert o.wait_exit() == 0


if __name__ == "__main__":
    oruterm.main()
