"""Keys that change the text for the user: Ctrl-L (case and accent), ESC X (a wildcard capture
typed back) and ESC = (the register's value typed) mark the core file edited, so GOODBYE asks
before the change is lost; ESC [ t (the character above) and Ctrl-U (the last deleted character)
show the character they store at once."""
import oruterm

CTRL_C = "\x03"
CTRL_L = "\x0c"
CTRL_U = "\x15"
DEL = "\x7f"
ESC = "\x1b"
DOWN = ESC + "[B"
WARNING = "WARNING: corefile 1 not saved. <del> aborts"


def start(text):
    work = oruterm.scratch("oru_marks_")
    with open(work + "/in.txt", "w", encoding="latin-1") as f:
        f.write(text)
    oru = oruterm.Oru(["in.txt"], cwd=work)
    oru.wait_for(text.splitlines()[0])
    oru.send("\r")  # closes the command line of the start-up FETCH
    oru.wait_screen(lambda o: not o.row(23).startswith("Expecting Command"), "the editing screen")
    return oru


def text_row(oru, n):
    return oru.row(n)[2:].rstrip()


def refetch(oru, first_line):
    """Fetches the file again: the core file is unchanged, the cursor on line 1."""
    oru.send(CTRL_C + "FEin.txt\r")
    oru.wait_screen(lambda o: text_row(o, 2) == first_line, "the file fetched again")
    oru.send("\r")
    oru.wait_screen(lambda o: not o.row(23).startswith("Expecting Command"), "the editing screen")


def goodbye_asks(oru):
    oru.send(CTRL_C + "GO\r")
    oru.wait_for(WARNING)
    oru.send(DEL)  # stay
    oru.wait_screen(lambda o: WARNING not in o.text(), "the warning answered")
    oru.send("\r")  # closes the command line
    oru.wait_screen(lambda o: not o.row(23).startswith("Expecting Command"), "the editing screen")


def test_keys_that_change_the_text_make_goodbye_ask():
    oru = start("key=value\nabc\n6*7\n")
    with oru:
        oru.send(CTRL_L)
        oru.wait_screen(lambda o: text_row(o, 2) == "Key=value", "the capital")
        goodbye_asks(oru)

        refetch(oru, "key=value")
        oru.send(CTRL_C + "FI7|*=*\r")  # a whole-line pattern: captures key and value
        oru.wait_screen(lambda o: "Expecting Typing" in o.row(23), "the find")
        oru.send(DOWN + ESC + "X2\r")
        oru.wait_screen(lambda o: text_row(o, 3) == "value", "the capture typed back")
        goodbye_asks(oru)

        refetch(oru, "key=value")
        oru.send(DOWN + DOWN + ESC + "#")  # 6*7 into the register
        oru.send(ESC + "=")
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
    oru = start("abcdef\nxy\n")
    with oru:
        # ESC [ t at the end of the second line repeats the c above it.
        oru.send(DOWN + ESC + "[C" + ESC + "[C" + ESC + "[t")
        oru.wait_screen(lambda o: text_row(o, 3) == "xyc", "the repeated character")
        # Rubout at the end takes the c back; Ctrl-U types it again.
        oru.send(DEL)
        oru.wait_screen(lambda o: text_row(o, 3) == "xy", "the character rubbed out")
        oru.send(CTRL_U)
        oru.wait_screen(lambda o: text_row(o, 3) == "xyc", "the character typed back")
        oru.send("!")
        oru.wait_screen(lambda o: text_row(o, 3) == "xyc!" or text_row(o, 3) == "xy!",
                        "typing goes on")


if __name__ == "__main__":
    oruterm.main()
