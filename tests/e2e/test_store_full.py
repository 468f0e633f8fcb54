"""Typing at the end of a long line, which moves it to the top of the store, reclaims freed bytes
first: never FULL while most of the store is free."""
import os

import oruterm

END, UP, DOWN = "\x1b[f", "\x1b[A", "\x1b[B"
LONG = 600000


def test_typing_at_the_end_of_a_long_line_never_calls_a_free_store_full():
    oru, work = oruterm.start_in_scratch("oru_full_", files={"big.txt": "a" * LONG + "\nend\n"})
    with oru:
        oru.send("FEbig.txt\r\r")
        oru.wait_screen(lambda o: "Lines: 2" in o.row(0) and
                        not o.row(23).startswith("Expecting Command"), "the file fetched")
        # Each round moves both lines to the top of the store, leaving their old bytes freed:
        # after six rounds the next move of the long line needs the freed bytes back.
        for n in range(9):
            oru.send(END + "x" + DOWN + END + "y" + UP)
            oru.wait_screen(lambda o: o.row(3)[2:].rstrip() == "end" + "y" * (n + 1) or
                            "FULL" in o.row(0), "round %d" % n)
            assert "FULL" not in oru.row(0), oru.text()
        oru.send("\x03SAout.txt\r\r")
        path, want = os.path.join(work, "out.txt"), "a" * LONG + "x" * 9 + "\nend" + "y" * 9 + "\n"
        oru.wait_screen(lambda o: os.path.exists(path) and
                        open(path, encoding="latin-1").read() == want, "the saved file")


if __name__ == "__main__":
    oruterm.main()
