"""Find, change, a procedure looping over finds, and starred blocks moved between core files."""
import os

import oruterm

CTRL_C, CTRL_D, CTRL_E, CTRL_T = "\x03", "\x04", "\x05", "\x14"  # command line, delete, star, recover


def text_rows(o, first, count):
    return [o.row(r)[2:].rstrip() for r in range(first, first + count)]


def wait_file(o, d, name, want):
    path = os.path.join(d, name)
    o.wait_screen(lambda _: os.path.exists(path) and open(path, encoding="latin-1").read() == want,
                  f"{name} to hold {want!r}")


def test_find_change_a_procedure_over_finds_and_blocks_moved_between_core_files():
    # The procedure finds the first "cat" and clears the register; then, while the result is
    # positive, adds 1 to the register (ESC &) and searches on (Ctrl-N): it counts the finds.
    proc = "FI0|cat\n\x1b%~{<}{?}~\x1b&\x0e~{:}{^}{.}{>}~"
    o, d = oruterm.start_in_scratch("oru-find-", files={
        "animals.txt": "the cat sat\non the mat\nmore cats here\n", "count.prc": proc,
        "blocks.txt": "one\ntwo\nthree\nfour\nfive\n", "pets.txt": "a cat and a cat\ncatalog\n"})
    with o:
        o.send("FEanimals.txt\r\r")
        o.wait_for("more cats here")
        # FIND with unit 0 (characters); a failing find leaves the cursor where it was.
        for what in ("mat\r", "zebra\r\r"):
            o.send(CTRL_C + "FI0|" + what)
            o.wait_for("(    2,    8)")
            o.wait_screen(lambda o: (o.screen.cursor.y, o.screen.cursor.x) == (3, 9), "the cursor on mat")
        # CHANGE replaces the occurrences after the cursor only; saved over the file it came from.
        o.send(CTRL_C + "CHcat|dog\r\r")
        o.wait_for("more dogs here")
        o.send(CTRL_C + "OV*\r\r")
        wait_file(o, d, "animals.txt", "the cat sat\non the mat\nmore dogs here\n")
        o.send(CTRL_C + "CO4\rFEpets.txt\r\r" + CTRL_C + "PRcount.prc\r")
        o.wait_for("FP 3")
        o.wait_for("(    2,    1)")  # the cursor stays on the last find
        # Starred lines deleted as a block and recovered into another core file.
        o.send(CTRL_C + "CO3\rFEblocks.txt\r\r")
        o.wait_for("five")
        for line in (4, 2):  # star lines 4 and 2
            o.send(CTRL_C + f"PO{line}|1\r\r")
            o.wait_for(f"({line:5d},    1)")
            o.send(CTRL_E)
        o.wait_screen(lambda o: [o.row(r)[0] for r in (2, 3, 4)] == ["*", " ", "*"], "two star flags")
        o.send(CTRL_D)
        o.wait_screen(lambda o: text_rows(o, 2, 3) == ["one", "five", ""], "the block gone")
        o.send(CTRL_C + "CO2\r\r" + CTRL_T)
        o.wait_screen(lambda o: text_rows(o, 2, 5) == ["", "two", "three", "four", ""],
                      "the block in core file 2")
        assert o.row(3)[0] == "*" and o.row(5)[0] == "*", o.text()
        o.send(CTRL_C + "SAmoved.txt\r\r")
        wait_file(o, d, "moved.txt", "\ntwo\nthree\nfour\n")


if __name__ == "__main__":
    oruterm.main()
