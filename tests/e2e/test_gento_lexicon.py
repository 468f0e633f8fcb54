"""Terminals and lexicon from the command line: LEXICON is refused without terminals; TMNLS,
LEXICON and QADDLEX read their files and report in core file 7; QFREQ asks before it changes the
weights of the entries it matches and before it lists them; new terminals remove the lexicon."""

import oruterm

LEXICON = '"dog"|N|sg|10|\n"dogs"|N|pl|5|\n"run"|V|sg.third|3|\n"blue"|ADJ||1|\n"cow"|Q|sg|1|\n'


def answer(oru, question):
    oru.wait_for(question)
    oru.send("\r")


def test_terminals_lexicon_and_weights():
    oru, work = oruterm.start_in_scratch("oru_lex_", ["attributes.att"], {
        "words.tm": "{ word classes }\nN V ADJ\nN\n", "words.lex": LEXICON,
        "more.lex": '"cat"|N|sg|2|\n"mat"|N|nosuch|2|\n'})
    with oru:
        oruterm.command(oru, "LE", "words.lex")
        answer(oru, "Terminals file not present")
        # Core file 7 on the screen shows each report as it comes.
        for letters, name, report in (
                ("CO", "7", None), ("AT", "attributes.att", "[12 lines.]"),
                ("TM", "words.tm", "ERROR terminals input  Repeated terminal N"),
                ("LE", "words.lex", 'ERROR lexicon input "cow" Terminal not found: Q'),
                ("QA", "more.lex", 'ERROR lexicon input "mat" Unknown attribute nosuch')):
            oruterm.command(oru, letters, name)
            if report:
                oru.wait_for(report)
        for line in ("Finished reading terminals input from file 'words.tm' [3 lines.]",
                     "Total Words: 4. Number of Errors: 1", "Total Words: 1. Number of Errors: 1"):
            assert line in oru.text(), (line, oru.text())
        # QFREQ: dog's weight set to 7 and shown, then every noun's doubled.
        oruterm.command(oru, "QF", 'N [ sg ] /"d*" /+7')
        answer(oru, "1 matches; <RETN> continues, <DEL> aborts")
        answer(oru, "Display matches? <RETN> yes, <DEL> no")
        oru.wait_for("|0007|")
        oruterm.command(oru, "QF", "N /$3")
        answer(oru, "3 matches; <RETN> continues, <DEL> aborts")
        answer(oru, "Display matches? <RETN> yes, <DEL> no")
        oru.wait_for("|0004|")
        assert "|0014|" in oru.text() and "|0010|" in oru.text(), oru.text()
        oruterm.command(oru, "QF", "Q/+1")
        answer(oru, "terminal class not found")
        # New terminals remove the lexicon built on the old ones; the keys act on.
        oruterm.command(oru, "TM", "words.tm")
        oru.wait_for("uninstalled: TM, LE")
        oru.send("\r")
        oru.wait_screen(lambda s: s.row(23).startswith(("Expecting Typing", "Expecting Insert")),
                        "the editing screen")
        oru.send("typed")
        oru.wait_for("typed")


if __name__ == "__main__":
    oruterm.main()
