"""Sorting, record templates and merges, the views and the dump, typed into the real program in a
terminal: what the user sees and what lands in files."""
import os
import signal
import time

import oruterm
from oruterm import command

CTRL_C, CTRL_K, ESC = "\x03", "\x0b", "\x1b"  # command line, down (the next field), escape


def rows(o, count, first=2):
    return [o.row(r)[2:].rstrip() for r in range(first, first + count)]


def wait_rows(o, want, first=2):
    o.wait_screen(lambda o: rows(o, len(want), first) == want, repr(want))


def wait_file(o, d, name, want):
    path = os.path.join(d, name)
    o.wait_screen(lambda _: os.path.exists(path) and open(path, encoding="latin-1").read() == want,
                  f"{name} to hold {want!r}")


def typing(o):
    o.send("\r")
    o.wait_for("Expecting Typing")


def test_sort_a_file_by_a_column_and_save_it():
    o, d = oruterm.start_in_scratch("oru-sort-", files={"s.txt": "smith   42\nadams   17\n"
                                                        "jones   99\nbrown   05\n"})
    with o:
        command(o, "FE", "s.txt")
        command(o, "PO", "1|9")  # the key starts at the cursor's column: 9, the scores
        command(o, "SO", "0")
        wait_rows(o, ["brown   05", "adams   17", "smith   42", "jones   99"])
        o.wait_for("(    1,    1)")
        command(o, "SO", "1")  # descending by the names, from column 1
        command(o, "SA", "sorted.txt")
        wait_file(o, d, "sorted.txt", "smith   42\njones   99\nbrown   05\nadams   17\n")
        typing(o)
        o.send("X")
        wait_rows(o, ["Xmith   42"])


def test_record_template_typing_and_merges_into_core_file_16():
    o, d = oruterm.start_in_scratch("oru-merge-", files={
        "person.tpl": "{r1,c1}Name:{c10}#1/12\n{r2,c1}Age:{c10}#2/3/j\n",
        "letter.mrg": "Dear #1,\nyou are #2."})
    with o:
        command(o, "TE", "0|person.tpl")
        command(o, "TE", "2|letter.mrg")
        command(o, "OB", "2")
        o.wait_screen(lambda o: o.row(3).startswith("  Name:") and o.row(4).startswith("  Age:"),
                      "the template's labels")
        typing(o)
        o.send("Ann" + CTRL_K + "4x2")  # letters are refused in the digits-only age field
        o.wait_screen(lambda o: o.row(3)[11:14] == "Ann" and o.row(4)[11:13] == "42", "the record")
        # The record merge (ESC F), the text merge (ESC M with the MERGE string), and an
        # assignment in core file 17 that adds one to the age (ESC $).
        o.send(ESC + "F" + CTRL_C)
        command(o, "ME", "#2 years: #1")
        typing(o)
        o.send(ESC + "M" + CTRL_C)
        command(o, "CO", "17")
        o.send("\r#2: #2+1" + CTRL_C)
        command(o, "CO", "1")
        typing(o)
        o.send(ESC + "$")
        o.wait_screen(lambda o: o.row(4)[11:13] == "43", "the assigned age")
        o.send(CTRL_C)
        command(o, "CO", "16")
        command(o, "SA", "letters.txt")
        wait_file(o, d, "letters.txt", "\nDear Ann,\nyou are 42.\n42 years: Ann\n")


def test_view_0_changes_a_function_string_that_then_works():
    o, d = oruterm.start_in_scratch("oru-view0-")
    with o:
        command(o, "VI", "0")
        o.wait_for("Hyphenation Level:")
        # Suspended and resumed, the page is drawn again and typing goes on into it.
        o.send("\x01")
        end = time.monotonic() + oruterm.TIMEOUT
        while open(f"/proc/{o.child.pid}/stat").read().rsplit(")", 1)[1].split()[0] != "T":
            assert time.monotonic() < end, "oru did not stop"
            o._pump(0.1)
        o.screen.reset()
        os.kill(o.child.pid, signal.SIGCONT)
        o.wait_screen(lambda o: o.row(3).startswith("  Function 0:"), "the page drawn again")
        o.send("hello")
        o.wait_screen(lambda o: "Function 0:  hello" in o.row(3), "the new function string")
        o.send("\r")
        o.wait_for("Expecting Command")
        typing(o)
        o.send(ESC + "0")
        wait_rows(o, ["hello"])


def test_view_1_lists_the_fetched_files_until_return_and_the_dump_lands_in_test_file():
    o, d = oruterm.start_in_scratch("oru-view1-", files={"a.txt": "one\ntwo\n", "b.txt": "xyz\n"})
    with o:
        command(o, "FE", "a.txt")
        command(o, "CO", "2")
        command(o, "FE", "b.txt")
        command(o, "VI", "1")
        o.wait_for("Expecting <return>")
        o.wait_screen(lambda o: "Total Chars = " in o.row(2), "the total")
        chars = lambda r: int(o.row(r).split("Chars = ")[1].split("^")[0])
        assert chars(2) == sum(chars(r) for r in range(3, 22)), o.text()  # core 7's messages too
        assert o.row(4).startswith("  Core 1:  a.txt") and "Lines = 2" in o.row(4), o.text()
        assert o.row(5).startswith("  Core 2:  b.txt") and (chars(4), chars(5)) == (6, 3), o.text()
        o.send("\r")
        wait_rows(o, ["xyz"])
        command(o, "CO", "1")  # the command line is still open and acts
        typing(o)
        # The dump key writes every core file's records; the screen stays whole and keys act.
        o.send("\x1c")
        o.wait_for("test done")
        dump = open(os.path.join(d, "test.file"), encoding="latin-1").read()
        assert "\nCOREFILE #18" in dump and "\nnumber of lineheaders = 3\n" in dump
        assert rows(o, 3) == ["one", "two", ""] and "Lines: 2" in o.row(0), o.text()
        o.send("Z")
        wait_rows(o, ["Zne"])


if __name__ == "__main__":
    oruterm.main()
