"""Morphology rules and tables from the command line: MORPHOLOGY and TBLS read their files and
report in core file 7, QDISPLAY lists what they read, a second reading replaces the first, and
MPASSES answers on the message line; the keys act on afterwards."""
import os

import oruterm


def lines_of(work, name):
    """The file's line count, as the reader reports it."""
    with open(os.path.join(work, name), encoding="latin-1") as f:
        return "'%s' [%d lines.]" % (name, sum(1 for _ in f))


def test_morphology_tables_and_passes():
    oru, work = oruterm.start_in_scratch("oru_morph_", ["english/english.mor",
                                                        "english/english.tbl"], {
        "bad.mor": 'RULE B * : "b" : "c" ;\n', "bad.tbl": 'T ( "a" ) T ( "b" )\n'})
    with oru:
        for letters, name, report in (
                ("CO", "7", None),
                ("MO", "english.mor", lines_of(work, "english.mor")),
                ("TB", "english.tbl", lines_of(work, "english.tbl")),
                ("QD", "6", "rule: 5 name: ARTICLE guard: *: mexp: !|"),
                ("QD", "5", 'table BE, 12 elements: "am"|"are"|"is"|'),
                ("MO", "bad.mor", "ERROR morphology input rule B second COLON in subrule"),
                ("TB", "bad.tbl", "ERROR table input table T table name repeated")):
            oruterm.command(oru, letters, name)
            if report:
                oru.wait_for(report)
        screen = oru.text()
        assert "uninstalled: MO" in screen and "uninstalled: TB" in screen, screen
        assert screen.count("ERROR") == 2, screen
        for setting, answer in (("21|7|8", "phonology passes have been set"),
                                ("22|1", "tree number too large")):
            oruterm.command(oru, "MP", setting)
            oru.wait_for(answer)
            oru.send("\r")
            oru.wait_screen(lambda o: answer not in o.text(), "the message to go")
        oru.send("\r")
        oru.wait_screen(lambda s: s.row(23).startswith(("Expecting Typing", "Expecting Insert")),
                        "the editing screen")
        oru.send("typed")
        oru.wait_for("typed")


if __name__ == "__main__":
    oruterm.main()
