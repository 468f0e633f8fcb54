"""Find, change, a procedure looping over finds, and starred blocks moved between core files, all
typed into the real program in a terminal."""
import os

import oruterm

CTRL_C = "\x03"  # command line
CTRL_D = "\x04"  # delete the starred block
CTRL_E = "\x05"  # star the cursor line
CTRL_T = "\x14"  # recover core file 0's block


def workdir(files):
    d = oruterm.scratch("oru-find-")
    for name, text in files.items():
        with open(os.path.join(d, name), "w", encoding="latin-1") as f:
            f.write(text)
    return d


def read(d, name):
    with open(os.path.join(d, name), encoding="latin-1") as f:
        return f.read()


def text_rows(o, first=2, count=6):
    """The text of screen rows from `first` on, without the two flag columns."""
    return [o.row(r)[2:].rstrip() for r in range(first, first + count)]


def cursor_at(row, col):
    return lambda o: (o.screen.cursor.y, o.screen.cursor.x) == (row, col)


def wait_file(d, name, want, o):
    o.wait_screen(lambda _: os.path.exists(os.path.join(d, name)) and read(d, name) == want,
                  f"{name} to hold {want!r}")


def test_find_and_change_on_a_fetched_file():
    d = workdir({"animals.txt": "the cat sat\non the mat\nmore cats here\n"})
    o = oruterm.Oru(["animals.txt"], cwd=d)
    try:
        o.wait_for("more cats here")
        # FIND with unit 0 (characters).
        o.send(CTRL_C + "FI0|mat\r")
        o.wait_for("(    2,    8)")
        o.wait_screen(cursor_at(3, 9), "the cursor on mat in line 2")
        # A failing find leaves the cursor where it was.
        o.send(CTRL_C + "FI0|zebra\r\r")
        o.wait_for("Expecting Typing")
        o.wait_screen(cursor_at(3, 9), "the cursor still on mat")
        # CHANGE replaces the occurrences after the cursor only.
        o.send(CTRL_C + "CHcat|dog\r\r")
        o.wait_for("more dogs here")
        assert text_rows(o, 2, 3) == ["the cat sat", "on the mat", "more dogs here"], o.text()
        # Saved over the file it came from.
        o.send(CTRL_C + "OV*\r\r")
        wait_file(d, "animals.txt", "the cat sat\non the mat\nmore dogs here\n", o)
    finally:
        o.close()


def test_a_procedure_loops_over_the_finds():
    # Find the first "cat" and clear the register; then, while the result is positive, add 1 to
    # the register (ESC &) and search on (Ctrl-N). The register ends as the number of finds.
    proc = "FI0|cat\n\x1b%~{<}{?}~\x1b&\x0e~{:}{^}{.}{>}~"
    d = workdir({"pets.txt": "a cat and a cat\ncatalog\nno dogs\n", "count.prc": proc})
    o = oruterm.Oru(["pets.txt"], cwd=d)
    try:
        o.wait_for("catalog")
        o.send(CTRL_C + "PRcount.prc\r")
        o.wait_for("FP 3")
        o.wait_for("(    2,    1)")  # the cursor stays on the last find
    finally:
        o.close()


def test_block_delete_and_recover_between_core_files():
    d = workdir({"blocks.txt": "one\ntwo\nthree\nfour\nfive\n"})
    o = oruterm.Oru(["blocks.txt"], cwd=d)
    try:
        o.wait_for("five")
        for line in (4, 2):
            o.send(CTRL_C + f"PO{line}|1\r\r")
            o.wait_for(f"({line:5d},    1)")
            o.send(CTRL_E)
        o.wait_screen(lambda o: o.row(2)[0] == "*" and o.row(4)[0] == "*", "two star flags")
        assert text_rows(o, 2, 4) == ["two", "three", "four", "five"], o.text()
        assert o.row(3)[0] != "*"
        o.send(CTRL_D)
        o.wait_screen(lambda o: text_rows(o, 2, 3) == ["one", "five", ""], "the block gone")
        o.send(CTRL_C + "CO2\r\r")
        o.wait_for("Core: 2")
        o.send(CTRL_T)
        o.wait_screen(lambda o: text_rows(o, 2, 5) == ["", "two", "three", "four", ""],
                      "the block in core file 2")
        assert o.row(3)[0] == "*" and o.row(5)[0] == "*", o.text()
        o.send(CTRL_C + "SAmoved.txt\r\r")
        wait_file(d, "moved.txt", "\ntwo\nthree\nfour\n", o)
        o.send(CTRL_C + "CO1\r\r")
        o.wait_for("Core: 1")
        o.wait_screen(lambda o: text_rows(o, 2, 3) == ["one", "five", ""], "core file 1 again")
    finally:
        o.close()


if __name__ == "__main__":
    oruterm.main()
