"""The command line in a real terminal: prompts, echoed names, help-line texts, messages, settings
whose effect shows, the directory and the shell; searching; and the keys that change the text
marking the core file edited, so that GOODBYE asks before the change is lost."""
import os

import oruterm

CTRL_C, DEL, ESC = "\x03", "\x7f", "\x1b"
DOWN = ESC + "[B"


def command_line(s):
    return s.row(23).startswith("Expecting Command") and s.row(23)[19:].strip() == ""


def text_row(o, n):
    return o.row(n)[2:].rstrip()


def row(n, text):
    return lambda s: text_row(s, n) == text, text


def steps(o, table):
    """Sends each row's keys and waits for its text (a string) or predicate on the screen."""
    for keys, seen, *what in table:
        o.send(keys)
        o.wait_screen(seen if callable(seen) else lambda s: seen in s.text(), (what or [seen])[0])


def test_commands_typed_at_the_command_line():
    o, d = oruterm.start_in_scratch("oru-commands-", files={"notes.txt": "some text\n"})
    os.mkdir(os.path.join(d, "sub"))
    sub = os.path.join(os.path.realpath(d), "sub")
    gone = lambda message: (lambda s: message not in s.text())
    with o:
        steps(o, (
            # OBJECT: its name is echoed, its prompt is on the help line, the digit prompt below.
            ("ob", lambda s: "0:txt 1:rec/txt 2:rec/tmp" in s.row(22) and
             s.row(23).startswith("Expecting Digit") and "OBJECT" in s.row(23), "OBJECT"),
            ("1\r", lambda s: "RECORD" in s.row(0) and command_line(s), "the record view"),
            # TAB 4 adds stops at 5, 13 ...: the ruler shows them.
            ("ob0\rta4\r", lambda s: s.row(1)[2 + 4] == "!" and s.row(1)[2 + 12] == "!", "stops"),
            # An unknown name, KEY outside its table and an unknown letter are refused.
            ("zz", "Invalid Command Request"), ("\r", gone("Invalid Command Request"), "answered"),
            ("ke624|1\r", "Invalid Key Assignment"), ("\r", gone("Invalid Key"), "answered"),
            ("DIX\r", "Invalid Argument"), ("\r", gone("Invalid Argument"), "answered"),
            # FETCH names the core file on the status line; CLEAR empties it, forgets the name.
            (DEL * 3 + "fenotes.txt\r",
             lambda s: "notes.txt" in s.row(0) and "some text" in s.row(2), "the file"),
            ("cl\r", lambda s: "notes.txt" not in s.row(0) and "some text" not in s.text()
             and command_line(s), "an empty, unnamed core file"),
            # CD with no name shows the directory; SHELL runs there, alone an interactive shell.
            ("CDno-such-dir\r", "Directory not found (or no permission)"),
            ("\rCDsub\rCD\r", sub),
            ("\rSH\r", lambda s: "$" in s.text() or "#" in s.text(), "the shell's prompt"),
            ("pwd > where.out; exit\r", "Type [return] to continue")))
        with open(os.path.join(sub, "where.out")) as f:
            assert os.path.realpath(f.read().strip()) == sub
        steps(o, (
            ("\rDIB\r", "where.out"),
            # Back in the editor, commands act at once; a Return alone closes the command line.
            ("\rta0\r", lambda s: s.row(1)[2 + 4] != "!" and command_line(s), "no tab stops"),
            ("\r", lambda s: s.row(23).startswith("Expecting Typing"), "the typing prompt")))


def test_searching_shows_what_it_found():
    text = "alpha\nbeta\nQ" + "a" * 58 + "z\ngamma cat\nend\n"
    o, _ = oruterm.start_in_scratch("oru_search_", files={"in.txt": text})
    with o:
        steps(o, (
            # SCANSET sets the pattern without searching; ESC n then finds and shows the line.
            ("FEin.txt\rSC0|cat\r\r" + ESC + "n", "(    4,    7)"),
            ("!", lambda s: text_row(s, 5) == "gamma !at", "the typed character"),
            # Several {A} skips find a match that lies far along the line.
            (CTRL_C + "FEin.txt\rFI0|Q{A}{A}{A}{A}z\r", "(    3,    1)"),
            (ESC + "[C#", lambda s: text_row(s, 4).startswith("Q#aaa"), "the typed character"),
            # CHANGE says how many matches it passed over because they run over a line end.
            (CTRL_C + "FEin.txt\rCHa{C}b|X\r", "1 match runs over a line end: not changed"),
            ("\r", lambda s: "over a line end" not in s.text() and text_row(s, 2) == "alpha"
             and text_row(s, 3) == "beta", "the message answered"),
            ("CHm{C}a|M\r\r", lambda s: text_row(s, 5) == "gaM cat", "the change"),
            (ESC + "[AY", lambda s: "Y" in s.row(4), "the typed character")))


def test_keys_that_change_the_text_make_goodbye_ask():
    warning = "WARNING: corefile 1 not saved. <del> aborts"
    o, _ = oruterm.start_in_scratch("oru_marks_", files={"in.txt": "key=value\nabc\n6*7\n",
                                                            "ab.txt": "abcdef\nxy\n"})
    with o:
        # Ctrl-L (case and accent), ESC X (a wildcard capture typed back) and ESC = (the
        # register's value typed).
        for keys, n, shown in (("\x0c", 2, "Key=value"),
                                 (CTRL_C + "FI7|*=*\r" + DOWN + ESC + "X2\r", 3, "value"),
                                 (DOWN * 2 + ESC + "#" + ESC + "=", 4, "427")):
            o.send("FEin.txt\r\r")
            o.wait_screen(lambda s: text_row(s, 2) == "key=value" and "Typing" in s.row(23), "in")
            # DEL answers the question: stay, with the command line open.
            steps(o, [(keys, *row(n, shown)), (CTRL_C + "GO\r", warning),
                      (DEL, lambda s: warning not in s.text(), "the question answered")])
        # ESC [ t at the end of a line repeats the character above; rubout takes it back and
        # Ctrl-U types it again at once.
        steps(o, [("FEab.txt\r\r" + DOWN + ESC + "[C" + ESC + "[C" + ESC + "[t", *row(3, "xyc")),
                  (DEL, *row(3, "xy")), ("\x15", *row(3, "xyc"))])
        # This time GOODBYE is answered with Return.
        o.send(CTRL_C + "GO\r")
        o.wait_for(warning)
        o.send("\r")
        assert o.wait_exit() == 0


if __name__ == "__main__":
    oruterm.main()
