"""Sorting, record templates and merges, the views and the dump, typed into the real program in a
terminal: what the user sees and what lands in files."""
import os
import signal
import time

import oruterm

CTRL_C = "\x03"  # command line
CTRL_K = "\x0b"  # down (the next field of a record)
ESC = "\x1b"


def process_state(pid):
    with open(f"/proc/{pid}/stat") as f:
        return f.read().rsplit(")", 1)[1].split()[0]


def read(d, name):
    with open(os.path.join(d, name), encoding="latin-1") as f:
        return f.read()


def text_rows(o, first=2, count=6):
    return [o.row(r)[2:].rstrip() for r in range(first, first + count)]


def wait_file(o, d, name, want):
    path = os.path.join(d, name)
    o.wait_screen(lambda _: os.path.exists(path) and read(d, name) == want,
                  f"{name} to hold {want!r}")


def test_sort_a_file_by_a_column_and_save_it():
    scores = "smith   42\nadams   17\njones   99\nbrown   05\n"
    o, d = oruterm.start_in_scratch("oru-sort-", files={"scores.txt": scores})
    with o:
        oruterm.command(o, "FE", "scores.txt")
        o.wait_for("brown   05")
        # The key starts at the cursor's column: 9, the scores.
        oruterm.command(o, "PO", "1|9")
        oruterm.command(o, "SO", "0")
        o.wait_screen(lambda o: text_rows(o, 2, 4) == ["brown   05", "adams   17", "smith   42",
                                                       "jones   99"], "the lines in score order")
        o.wait_for("(    1,    1)")
        # Descending by the names, from column 1.
        oruterm.command(o, "SO", "1")
        o.wait_screen(lambda o: text_rows(o, 2, 4) == ["smith   42", "jones   99", "brown   05",
                                                       "adams   17"], "the names descending")
        oruterm.command(o, "SA", "sorted.txt")
        wait_file(o, d, "sorted.txt", "smith   42\njones   99\nbrown   05\nadams   17\n")
        # The keys act as before.
        o.send("\r")
        o.wait_for("Expecting Typing")
        o.send("X")
        o.wait_screen(lambda o: text_rows(o, 2, 1) == ["Xmith   42"], "typing after the sort")


def test_record_template_typing_and_merges_into_core_file_16():
    files = {
        "person.tpl": "{r1,c1}Name:{c10}#1/12\n{r2,c1}Age:{c10}#2/3/j\n",
        "letter.mrg": "Dear #1,\nyou are #2.",
    }
    o, d = oruterm.start_in_scratch("oru-merge-", files=files)
    with o:
        oruterm.command(o, "TE", "0|person.tpl")
        oruterm.command(o, "TE", "2|letter.mrg")
        oruterm.command(o, "OB", "2")
        o.wait_screen(lambda o: o.row(3).startswith("  Name:") and o.row(4).startswith("  Age:"),
                      "the template's labels")
        o.send("\r")
        o.wait_for("Expecting Typing")
        # Letters are refused in the digits-only age field.
        o.send("Ann" + CTRL_K + "4x2")
        o.wait_screen(lambda o: o.row(3)[11:14] == "Ann" and o.row(4)[11:13] == "42",
                      "the record typed into its fields")
        # The record merge (ESC F) and the text merge (ESC M with the MERGE string).
        o.send(ESC + "F")
        o.send(CTRL_C)
        oruterm.command(o, "ME", "#2 years: #1")
        o.send("\r")
        o.wait_for("Expecting Typing")
        o.send(ESC + "M")
        # An assignment in core file 17 adds one to the age.
        o.send(CTRL_C)
        oruterm.command(o, "CO", "17")
        o.send("\r#2: #2+1")
        o.send(CTRL_C)
        oruterm.command(o, "CO", "1")
        o.send("\r")
        o.wait_for("Expecting Typing")
        o.send(ESC + "$")
        o.wait_screen(lambda o: o.row(4)[11:13] == "43", "the assigned age")
        o.send(CTRL_C)
        oruterm.command(o, "CO", "16")
        oruterm.command(o, "BE", "")
        o.wait_screen(lambda o: text_rows(o, 2, 4) == ["", "Dear Ann,", "you are 42.",
                                                       "42 years: Ann"], "the merged lines")
        oruterm.command(o, "SA", "letters.txt")
        wait_file(o, d, "letters.txt", "\nDear Ann,\nyou are 42.\n42 years: Ann\n")


def test_view_0_changes_a_function_string_that_then_works():
    o, d = oruterm.start_in_scratch("oru-view0-")
    with o:
        oruterm.command(o, "VI", "0")
        o.wait_for("Function 9:")
        o.wait_for("VIEWTAB")
        assert "Hyphenation Level:" in o.text()
        # Suspended and resumed, the page is drawn again and typing goes on into it.
        o.send("\x01")  # the suspend key
        end = time.monotonic() + oruterm.TIMEOUT
        while process_state(o.child.pid) != "T":
            assert time.monotonic() < end, "oru did not stop"
            o._pump(0.1)
        o.screen.reset()
        os.kill(o.child.pid, signal.SIGCONT)
        o.wait_screen(lambda o: o.row(3).startswith("  Function 0:"), "the page drawn again")
        o.wait_for("Hyphenation Level:")
        o.send("hello")
        o.wait_screen(lambda o: "Function 0:  hello" in o.row(3), "the new function string")
        o.send("\r")
        o.wait_for("Expecting Command")
        o.wait_for("TEXT")
        o.send("\r")
        o.wait_for("Expecting Typing")
        o.send(ESC + "0")
        o.wait_screen(lambda o: text_rows(o, 2, 1) == ["hello"], "the function string typed")


def test_view_1_lists_the_fetched_files_until_return_and_the_dump_lands_in_test_file():
    o, d = oruterm.start_in_scratch("oru-view1-", files={"a.txt": "one\ntwo\n", "b.txt": "xyz\n"})
    with o:
        oruterm.command(o, "FE", "a.txt")
        o.wait_for("one")
        oruterm.command(o, "CO", "2")
        oruterm.command(o, "FE", "b.txt")
        o.wait_for("xyz")
        oruterm.command(o, "VI", "1")
        o.wait_for("Expecting <return>")
        # The total counts core file 7's start-up messages too.
        o.wait_screen(lambda o: "Total Chars = " in o.row(2), "the total")
        counts = [int(o.row(r).split("Chars = ")[1].split("^")[0]) for r in range(3, 22)]
        assert int(o.row(2).split("Total Chars = ")[1].split("^")[0]) == sum(counts), o.text()
        for row, name, lines, chars in [(4, "1:  a.txt", 2, 6), (5, "2:  b.txt", 1, 3)]:
            assert o.row(row).startswith("  Core " + name), o.text()
            assert f"Lines = {lines}" in o.row(row) and f"Chars = {chars}" in o.row(row), o.text()
        assert o.row(21).startswith("  Core 18:"), o.text()
        o.send("\r")
        o.wait_screen(lambda o: text_rows(o, 2, 1) == ["xyz"] and "Core: 2" in o.row(0),
                      "core file 2 back")
        # The command line is still open and acts.
        oruterm.command(o, "CO", "1")
        o.wait_screen(lambda o: text_rows(o, 2, 2) == ["one", "two"], "core file 1")
        # The dump key writes every core file's records; the screen stays whole and keys act.
        o.send("\r")
        o.wait_for("Expecting Typing")
        o.send("\x1c")
        o.wait_for("test done")
        dump = read(d, "test.file")
        assert "\nCOREFILE #1" in dump and "\nCOREFILE #18" in dump
        assert "\nnumber of lineheaders = 3\n" in dump
        assert text_rows(o, 2, 3) == ["one", "two", ""], o.text()
        assert "Core: 1" in o.row(0) and "Lines: 2" in o.row(0), o.text()
        o.send("Z")
        o.wait_screen(lambda o: text_rows(o, 2, 1) == ["Zne"], "typing after the dump")


if __name__ == "__main__":
    oruterm.main()
