"""Keys that change the text for the user: Ctrl-L (case and accent), ESC X (a wildcard capture
typed back) and ESC = (the register's value typed) mark the core file edited, so GOODBYE asks
before the change is lost; ESC [ t (the character above) and Ctrl-U (the last deleted character)
show the character they store at once."""
import oruterm

CTRL_C, CTRL_L, CTRL_U, DEL, ESC = "\x03", "\x0c", "\x15", "\x7f", "\x1b"
DOWN = ESC + "[B"
WARNING = "WARNING: corefile 1 not saved. <del> aborts"


def start(text):
    oru, _ = oruterm.start_in_scratch("oru_marks_", files={"in.txt": text})
    fetch(oru, text.splitlines()[0])
    return oru


def text_row(oru, n):
    return oru.row(n)[2:].rstrip()


def fetch(oru, first_line):
    """Fetches the file (again): the core file is unchanged, the cursor on line 1."""
    oru.send("FEin.txt\r\r")
    oru.wait_screen(lambda o: text_row(o, 2) == first_line and "Typing" in o.row(23), "the file")


def goodbye_asks(oru):
    oru.send(CTRL_C + "GO\r")
    oru.wait_for(WARNING)
    oru.send(DEL + "\r")  # stay, and close the command line
    oru.wait_screen(lambda o: WARNING not in o.text() and "Typing" in o.row(23), "typing again")


def test_keys_that_change_the_text_make_goodbye_ask():
    with start("key=value\nabc\n6*7\n") as oru:
        oru.send(CTRL_L)
        oru.wait_screen(lambda o: text_row(o, 2) == "Key=value", "the capital")
        goodbye_asks(oru)

        oru.send(CTRL_C)
        fetch(oru, "key=value")
        oru.send(CTRL_C + "FI7|*=*\r")  # a whole-line pattern: captures key and value
        oru.wait_screen(lambda o: "Expecting Typing" in o.row(23), "the find")
        oru.send(DOWN + ESC + "X2\r")
        oru.wait_screen(lambda o: text_row(o, 3) == "value", "the capture typed back")
        goodbye_asks(oru)

        oru.send(CTRL_C)
        fetch(oru, "key=value")
        oru.send(DOWN + DOWN + ESC + "#" + ESC + "=")  # 6*7 into the register, then typed
        oru.wait_screen(lambda o: text_row(o, 4) == "427", "the register's value typed")
        goodbye_asks(oru)

        # Keys still act after each answer; this time GOODBYE is answered with Return.
        oru.send("Z")
        oru.wait_screen(lambda o: text_row(o, 4) == "42Z", "a typed character")
        oru.send(CTRL_C + "GO\r")
        oru.wait_for(WARNING)
        oru.send("\r")
        assert oru.wait_exit() == 0


def test_typed_back_characters_show_at_once():
    with start("abcdef\nxy\n") as oru:
        # ESC [ t at the end of the second line repeats the c above it.
        oru.send(DOWN + ESC + "[C" + ESC + "[C" + ESC + "[t")
        oru.wait_screen(lambda o: text_row(o, 3) == "xyc", "the repeated character")
        # Rubout at the end takes the c back; Ctrl-U types it again, and typing goes on.
        oru.send(DEL)
        oru.wait_screen(lambda o: text_row(o, 3) == "xy", "the character rubbed out")
        oru.send(CTRL_U)
        oru.wait_screen(lambda o: text_row(o, 3) == "xyc", "the character typed back")
        oru.send("!")
        oru.wait_screen(lambda o: text_row(o, 3) in ("xyc!", "xy!"), "typing goes on")


if __name__ == "__main__":
    oruterm.main()
