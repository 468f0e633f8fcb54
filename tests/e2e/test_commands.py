"""The command line in a real terminal: the prompt, echoed names, help-line texts, messages, and
setting commands whose effect shows on the screen."""
import oruterm


def test_commands_typed_at_the_command_line():
    o = oruterm.Oru([], rows=24, cols=80, cwd="/tmp")
    try:
        o.wait_screen(lambda s: s.row(23).startswith("Expecting Command"), "the command prompt")
        # OBJECT: its name is echoed, its prompt is on the help line, the digit prompt below.
        o.send("ob")
        o.wait_screen(lambda s: "0:txt 1:rec/txt 2:rec/tmp" in s.row(22), "the OBJECT help text")
        o.wait_screen(lambda s: s.row(23).startswith("Expecting Digit") and "OBJECT" in s.row(23),
                      "the digit prompt and the echoed name")
        o.send("1\r")
        o.wait_screen(lambda s: "RECORD" in s.row(0), "the record view in the status line")
        o.wait_screen(lambda s: s.row(23).startswith("Expecting Command") and "OBJECT" not in s.row(23),
                      "a cleared command line")
        # TAB 4 adds stops at 5, 13 ...: the ruler shows them.
        o.send("ob0\rta4\r")
        o.wait_screen(lambda s: s.row(1)[2 + 4] == "!" and s.row(1)[2 + 12] == "!", "the new tab stops")
        # An unknown name is refused on the help line and waits for Return.
        o.send("zz")
        o.wait_for("Invalid Command Request")
        o.send("\r")
        o.wait_screen(lambda s: "Invalid Command Request" not in s.text(), "the message acknowledged")
        # KEY outside the table.
        o.send("ke624|1\r")
        o.wait_for("Invalid Key Assignment")
        o.send("\r")
        # A Return alone closes the command line.
        o.send("\r")
        o.wait_screen(lambda s: s.row(23).startswith("Expecting Typing"), "the typing prompt")
    finally:
        o.close()


if __name__ == "__main__":
    oruterm.main()
