"""Morphology rules and tables from the command line: MORPHOLOGY and TBLS read their files and
report in core file 7; a second reading removes what the first loaded; MPASSES answers on the
message line."""

import os

import oruterm


def start_in_copy_of_examples():
    return oruterm.start_in_scratch("oru_morph_", ["english/english.mor", "english/english.tbl"], {
        "bad.mor": 'stray\nRULE B * : "b" : "c" ;\nRULE B * : "again" ;\nRULE C sg : "x"\n',
        "bad.tbl": 'T ( "a" ) T ( "b" ) U ( "open"\n'})


def line_count(work, name):
    with open(os.path.join(work, name), encoding="latin-1") as f:
        return sum(1 for _ in f)


def test_morphology_and_tables_load_and_replace():
    oru, work = start_in_copy_of_examples()
    with oru:
        oruterm.command(oru, "CO", "7")
        oruterm.command(oru, "MO", "english.mor")
        oru.wait_for("Finished reading morphology input from file 'english.mor' [%d lines.]"
                     % line_count(work, "english.mor"))
        oruterm.command(oru, "TB", "english.tbl")
        oru.wait_for("Finished reading table input from file 'english.tbl' [%d lines.]"
                     % line_count(work, "english.tbl"))
        screen = oru.text()
        assert "uninstalled: none" in screen, screen
        assert "ERROR" not in screen, screen
        # QDISPLAY 6 and 5 list what was read.
        oruterm.command(oru, "QD", "6")
        oru.wait_for("rule: 5 name: ARTICLE guard: *: mexp: !|")
        oruterm.command(oru, "QD", "5")
        oru.wait_for('table BE, 12 elements: "am"|"are"|"is"|')
        # A second morphology file replaces the first; its faults are reported by rule.
        oruterm.command(oru, "MO", "bad.mor")
        oru.wait_for("Finished reading morphology input from file 'bad.mor' [4 lines.]")
        screen = oru.text()
        for line in ("uninstalled: MO",
                     "ERROR morphology input  text before first RULE",
                     "ERROR morphology input rule B second COLON in subrule",
                     "ERROR morphology input  rule name repeated B",
                     "ERROR morphology input rule C last subrule incomplete"):
            assert line in screen, (line, screen)
        oruterm.command(oru, "TB", "bad.tbl")
        oru.wait_for("Finished reading table input from file 'bad.tbl' [1 lines.]")
        screen = oru.text()
        for line in ("uninstalled: TB",
                     "ERROR table input table T table name repeated",
                     "ERROR table input table U last table incomplete"):
            assert line in screen, (line, screen)


def test_mpasses_answers_on_the_message_line():
    oru, work = start_in_copy_of_examples()
    with oru:
        oruterm.command(oru, "MP", "21|7|8")
        oru.wait_for("phonology passes have been set")
        oru.send("\r")
        oru.wait_screen(lambda o: "phonology passes" not in o.text(), "the message to go")
        oruterm.command(oru, "MP", "22|1")
        oru.wait_for("tree number too large")
        oru.send("\r")
        oru.wait_screen(lambda o: "too large" not in o.text(), "the message to go")
        oruterm.command(oru, "MP", "3|0|6")
        oru.wait_for("first pass cannot be null")
        oru.send("\r")


if __name__ == "__main__":
    oruterm.main()
