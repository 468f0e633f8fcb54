"""Rule files from the command line, each reporting in core file 7 as CORE 7 shows it: ATTRIBUTE,
TSTINPUT's token list, SYNTAX and a USER layer; LEXICON refused without terminals, then TMNLS,
LEXICON, QADDLEX and QFREQ, which asks before it changes weights; MORPHOLOGY and TBLS with their
QDISPLAY listings and MPASSES; the keys act on afterwards."""
import oruterm

LEXICON = '"dog"|N|sg|10|\n"dogs"|N|pl|5|\n"run"|V|sg.third|3|\n"blue"|ADJ||1|\n"cow"|Q|sg|1|\n'


def answer(oru, question):
    oru.wait_for(question)
    oru.send("\r")


def test_rule_files_report_in_core_file_7():
    oru, work = oruterm.start_in_scratch(
        "oru_rules_", ["attributes.att", "english/english.mor", "english/english.tbl"], {
            "tokens.rul": 'RULE S , "a b" { a comment } %\n',
            "grammar.syn": "ROOT = S %\nS = NP VP %\nBROKEN = X ) Y %\n",
            "user.syn": "NP = PRON %\nWRONG = A[bogus] %\n",
            "words.tm": "{ word classes }\nN V ADJ\nN\n", "words.lex": LEXICON,
            "more.lex": '"cat"|N|sg|2|\n"mat"|N|nosuch|2|\n'})
    with oru:
        oruterm.command(oru, "LE", "words.lex")
        answer(oru, "Terminals file not present")
        for letters, name, report in (
                ("CO", "7", None),
                ("AT", "attributes.att", "'attributes.att' [12 lines.]"),
                ("TS", "tokens.rul", "'tokens.rul' [1 lines.]"),
                ("", "", ("token: RULE", "identifier: S", "quote", "end of input")),
                ("SY", "grammar.syn", "ERROR Syntax Input BROKEN Unmatched )"),
                ("US", "user.syn", "ERROR Syntax Input WRONG Unknown attribute bogus"),
                ("TM", "words.tm", "ERROR terminals input  Repeated terminal N"),
                ("LE", "words.lex", "Total Words: 4. Number of Errors: 1"),
                ("QA", "more.lex", 'ERROR lexicon input "mat" Unknown attribute nosuch'),
                ("MO", "english.mor", "'english.mor' ["),
                ("TB", "english.tbl", "'english.tbl' ["),
                ("QD", "6", "rule: 11 name: IPA_ARTICLE guard: *: mexp: !|"),
                ("QD", "5", 'table BE, 12 elements: "am"|"are"|"is"|')):
            if not letters:
                assert all(line in oru.text() for line in report), oru.text()
                continue
            oruterm.command(oru, letters, name)
            if report:
                oru.wait_for(report)
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
        oruterm.command(oru, "MP", "22|1")
        answer(oru, "tree number too large")
        oruterm.command(oru, "MP", "21|7|8")
        answer(oru, "phonology passes have been set")
        # Keys act on: the command line closes and typing lands in core file 7.
        oru.send("\r")
        oru.wait_screen(lambda s: s.row(23).startswith(("Expecting Typing", "Expecting Insert")),
                        "the editing screen")
        oru.send("typed")
        oru.wait_for("typed")


if __name__ == "__main__":
    oruterm.main()
