"""A long line that must move to the top of the text store is moved after the freed bytes of the
store are reclaimed: typing at its end never shows FULL while most of the store is free, and the
typed characters land in the saved file. The status line keeps such a column within its field."""
import os

import oruterm

CTRL_C = "\x03"
ESC = "\x1b"
END = ESC + "[f"
UP = ESC + "[A"
DOWN = ESC + "[B"
LONG = 600000


def test_typing_at_the_end_of_a_long_line_never_calls_a_free_store_full():
    oru, work = oruterm.start_in_scratch("oru_full_", files={"big.txt": "a" * LONG + "\nend\n"})
    with oru:
        oru.send("FEbig.txt\r\r")
        oru.wait_screen(lambda o: "Lines: 2" in o.row(0) and
                        not o.row(23).startswith("Expecting Command"), "the file fetched")
        # Each round moves both lines to the top of the store, leaving their old bytes freed:
        # after six rounds the next move of the long line needs the freed bytes back.
        rounds = 9
        for n in range(rounds):
            oru.send(END + "x" + DOWN + END + "y" + UP)
            oru.wait_screen(lambda o: o.row(3)[2:].rstrip() == "end" + "y" * (n + 1) or
                            "FULL" in o.row(0), "round %d" % n)
            assert "FULL" not in oru.row(0), oru.text()
        oru.send(CTRL_C + "SAout.txt\r\r")
        path = os.path.join(work, "out.txt")
        want = "a" * LONG + "x" * rounds + "\nend" + "y" * rounds + "\n"
        oru.wait_screen(lambda o: os.path.exists(path) and
                        open(path, encoding="latin-1").read() == want, "the saved file")
        # The status line shows a column past 99,999 in thousands, within its field, and leaves
        # no digit standing when the cursor goes back to a short line.
        oru.send(END)
        oru.wait_for("(    1, 600k)")
        oru.send(DOWN + END + "!")
        oru.wait_screen(lambda o: o.row(3)[2:].rstrip().endswith("y!"), "the typed character")
        oru.wait_for("(    2,   %d) " % (len("end!") + rounds + 1))


if __name__ == "__main__":
    oruterm.main()
