"""Stored trees in a real terminal and through a driver: QDISPLAY 4 and 1, STORE, SAVE and RECOVER,
a burst of generate keys leaving no stale progress message, and a driver STOREing to itself."""
import os
import shutil

import oruterm

EXAMPLES = os.path.join(oruterm.SOURCE_DIR, "examples")
FILES = ("english.att", "english.tm", "english.lex", "english.mor", "english.tbl", "english.syn")


def generate(oru, seed):
    """Sets the seed, presses the generate key once and opens the command line again."""
    oru.send("RA%d\r\r" % seed)
    oru.wait_screen(lambda s: not s.row(23).startswith("Expecting Command"), "the editing screen")
    oru.send("\x1bg\x03")
    oru.wait_screen(lambda s: s.row(23).startswith("Expecting Command"), "the command prompt")


def test_store_recover_and_the_displays_in_the_terminal():
    oru, work = oruterm.start_in_scratch("oru_trees_", ["english/" + f for f in FILES])
    with oru:
        for letters, name in zip(("AT", "TM", "LE", "MO", "TB", "SY"), FILES):
            oru.send(letters + name + "\r")
        generate(oru, 7)

        # The transformations, newest first, the built-in FLATTEN at the bottom.
        oru.send("QD4\r")
        oru.send("CO7\r")
        oru.wait_for("FLATTEN")
        listing = [row.strip() for row in oru.screen.display]
        assert listing[listing.index("QUEST") + 1] == "first RHS:  2 1 3", oru.text()

        # Full trees into core file 1, saved to a file.
        oru.send("CO1\r")
        oru.send("ST1\r")
        oru.wait_for("N|G|QUESTION||0|")
        oru.send("SAex.trees\r")
        oru.wait_screen(lambda o: os.path.exists(os.path.join(work, "ex.trees")), "the saved file")
        with open(os.path.join(work, "ex.trees"), encoding="latin-1") as f:
            stored = f.read().splitlines()
        assert "$t 3" in stored and "$L" in stored and stored[-1] == "%", stored

        # Another generation, then the saved one back, shown indented in core file 2.
        generate(oru, 9)
        oru.send("REex.trees\r")
        oru.send("CO2\r")
        oru.wait_for("Core: 2")
        oru.send("QD1\r")
        oru.wait_for("QUESTION||0|")
        assert '    COP|sg, first, present|0|"am"|LEX_' in oru.text(), oru.text()

        # In an empty core file, thirty progress messages of a burst of generations within a few
        # milliseconds: the first is sent at once and the others wait for the next refresh.
        # Typing then clears the help line, as it always does; no message may be left on it.
        oru.send("CO3\r\r")
        oru.wait_screen(lambda s: not s.row(23).startswith("Expecting Command"),
                        "the editing screen")
        oru.send("\x1bg" * 5 + "x")
        oru.wait_screen(lambda s: s.row(2)[2:].startswith("x"), "the typed character")
        assert oru.row(22).strip("-") == "", oru.text()


DRIVER = r'''#!/usr/bin/python3
import sys
def command(s, end="\r"):
    sys.stdout.write(s + end)
    sys.stdout.flush()
def answer():
    line = sys.stdin.buffer.readline()
    if not line:
        sys.exit(3)
    return line.decode("latin-1").rstrip("\n")
def talk(n):
    command("QT%d" % n)
    assert answer() == "START"
    sentence = answer()
    assert answer() == "END"
    return sentence
def generate(seed):
    command("RA%d\r\r\x1bg\x03" % seed, "")
for letters, name in zip(("AT", "TM", "LE", "MO", "TB", "SY"), FILES):
    command(letters + name)
generate(7)
command("ST1|1")
block = []
while not block or block[-1] != "=":
    block.append(answer())
talked = [talk(n) for n in (0, 1, 2, 3)]
# The block read back after another generation gives the first one's sentences.
with open("kept.trees", "w", encoding="latin-1") as f:
    f.write("\n".join(block[:-1]) + "\n")
generate(9)
talked.append(talk(1))
command("REkept.trees")
talked += [talk(1), talk(2), talk(3)]
with open("talk.txt", "w", encoding="latin-1") as f:
    f.write("\n".join(talked) + "\n")
command("GO")
'''.replace("FILES", repr(FILES))


def test_a_driver_stores_the_trees_to_itself_and_asks_for_every_root():
    folder = oruterm.scratch("oru_trees_driver_")
    for f in FILES:
        shutil.copy(os.path.join(EXAMPLES, "english", f), folder)
    with open(os.path.join(folder, "trees.py"), "w") as f:
        f.write(DRIVER)
    os.chmod(os.path.join(folder, "trees.py"), 0o755)
    oru = oruterm.Oru(["-d", "trees.py"], cwd=folder)
    with oru:
        status = oru.wait_exit(60)
    assert status == 0, (status, oru.text())
    with open(os.path.join(folder, "kept.trees"), encoding="latin-1") as f:
        block = f.read().splitlines()
    with open(os.path.join(folder, "talk.txt"), encoding="latin-1") as f:
        talked = f.read().splitlines()
    # The block: the three trees of the root table (not ROOT, only their source), the lookups
    # and "%", with the words of the sentences that QTALK sends.
    assert [line for line in block if line.startswith("$")] == [
        "$u", "$t 1", "$t 2", "$t 3", "$L"] and block[-1] == "%", block
    assert 'SRS|G|COP|sg, first, present|0|"am"|LEX_1|' in block, block
    assert talked[:4] == ["", "Am I old?", "Yes, you are old.", "Yes, you are."], talked
    assert talked[4] != talked[1] and talked[5:] == talked[1:4], talked


if __name__ == "__main__":
    oruterm.main()
