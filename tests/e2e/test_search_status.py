"""Searching as a user sees it: the find key (ESC n) leaves the found line's number on the status
line; a pattern of several {A} skips finds a match that lies far along the line; CHANGE says how
many matches it passed over because they run over a line end."""
import oruterm

CTRL_C = "\x03"
ESC = "\x1b"
TEXT = "alpha\nbeta\nQ" + "a" * 58 + "z\ngamma cat\nend\n"


def start():
    oru, work = oruterm.start_in_scratch("oru_search_", files={"in.txt": TEXT})
    oru.send("FEin.txt\r\r")
    oru.wait_screen(lambda o: "Lines: 5" in o.row(0) and
                    not o.row(23).startswith("Expecting Command"), "the file fetched")
    return oru


def test_the_find_key_shows_the_line_it_found():
    oru = start()
    with oru:
        # SCANSET sets the pattern without searching; ESC n then finds from the cursor.
        oru.send(CTRL_C + "SC0|cat\r\r")
        oru.wait_screen(lambda o: not o.row(23).startswith("Expecting Command"), "the edit screen")
        oru.send(ESC + "n")
        oru.wait_for("(    4,    7)")
        # Keys act on that line.
        oru.send("!")
        oru.wait_screen(lambda o: o.row(5)[2:].rstrip() == "gamma !at", "the typed character")


def test_many_skips_find_a_match_far_along_the_line():
    oru = start()
    with oru:
        oru.send(CTRL_C + "FI0|Q{A}{A}{A}{A}z\r")
        oru.wait_for("(    3,    1)")
        oru.send(ESC + "[C" + "#")
        oru.wait_screen(lambda o: o.row(4)[2:].startswith("Q#aaa"), "the typed character")


def test_change_says_how_many_matches_run_over_a_line_end():
    oru = start()
    with oru:
        # a{C}b: "alpha" ends in a, and the next line begins with b.
        oru.send(CTRL_C + "CHa{C}b|X\r")
        oru.wait_for("1 match runs over a line end: not changed")
        oru.send("\r")
        oru.wait_screen(lambda o: "over a line end" not in o.text(), "the message answered")
        assert oru.row(2)[2:].rstrip() == "alpha" and oru.row(3)[2:].rstrip() == "beta", \
            oru.text()
        # A match within a line is changed as before, and the keys go on acting.
        oru.send("CHm{C}a|M\r\r")
        oru.wait_screen(lambda o: o.row(5)[2:].rstrip() == "gaM cat", "the change")
        oru.send(ESC + "[A" + "Y")
        oru.wait_screen(lambda o: "Y" in o.row(4), "the typed character")


if __name__ == "__main__":
    oruterm.main()
