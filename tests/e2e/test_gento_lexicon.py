"""Terminals and lexicon from the command line: TMNLS, LEXICON and QADDLEX read their files and
report in core file 7; a lexicon without terminals is refused."""

import oruterm

TERMINALS = "{ word classes }\nN V ADJ\nN\n"
LEXICON = ('"dog"|N|sg|10|\n'
           '"dogs"|N|pl|5|\n'
           '"run"|V|sg.third|3|\n'
           '"blue"|ADJ||1|\n'
           '"cow"|Q|sg|1|\n')
MORE = '"cat"|N|sg|2|\n"mat"|N|nosuch|2|\n'


def start():
    return oruterm.start_in_scratch("oru_lex_", ["attributes.att"], {
        "words.tm": TERMINALS, "words.lex": LEXICON, "more.lex": MORE})


def test_lexicon_needs_terminals():
    oru, work = start()
    with oru:
        oruterm.command(oru, "LE", "words.lex")
        oru.wait_for("Terminals file not present")
        oru.send("\r")
        oruterm.command(oru, "CO", "7")
        oru.wait_for("Expecting")
        assert "lexicon input" not in oru.text(), oru.text()


def test_terminals_and_lexicon_load_and_report():
    oru, work = start()
    with oru:
        oruterm.command(oru, "AT", "attributes.att")
        oruterm.command(oru, "TM", "words.tm")
        oruterm.command(oru, "CO", "7")
        oru.wait_for("Finished reading terminals input from file 'words.tm' [3 lines.]")
        assert "ERROR terminals input  Repeated terminal N" in oru.text(), oru.text()
        oruterm.command(oru, "LE", "words.lex")
        oru.wait_for("Total Words: 4. Number of Errors: 1")
        screen = oru.text()
        assert "Finished reading lexicon input from file 'words.lex' [5 lines.]" in screen, screen
        assert 'ERROR lexicon input "cow" Terminal not found: Q' in screen, screen
        oruterm.command(oru, "QA", "more.lex")
        oru.wait_for("Total Words: 1. Number of Errors: 1")
        assert 'ERROR lexicon input "mat" Unknown attribute nosuch' in oru.text(), oru.text()
        # New terminals remove the lexicon built on the old ones.
        oruterm.command(oru, "TM", "words.tm")
        oru.wait_for("uninstalled: TM, LE")


def test_qfreq_changes_the_weights_of_the_matches():
    oru, work = start()
    with oru:
        oruterm.command(oru, "QF", "N/+3")
        oru.wait_for("Lexicon not present")
        oru.send("\r")
        oruterm.command(oru, "AT", "attributes.att")
        oruterm.command(oru, "TM", "words.tm")
        oruterm.command(oru, "LE", "words.lex")
        oruterm.command(oru, "QF", 'N [ sg ] /"d*" /+7')
        oru.wait_for("1 matches; <RETN> continues, <DEL> aborts")
        oru.send("\r")
        oru.wait_for("Display matches? <RETN> yes, <DEL> no")
        oru.send("\r")
        oruterm.command(oru, "QF", "N /$3")
        oru.wait_for("2 matches; <RETN> continues, <DEL> aborts")
        oru.send("\r")
        oru.wait_for("Display matches? <RETN> yes, <DEL> no")
        oru.send("\r")
        oruterm.command(oru, "CO", "7")
        oru.wait_for('VF N [ sg ] /"d*" /+7')
        oru.wait_for('"dog"|N|')
        screen = oru.text()
        # The first request set dog's weight to 7 and showed it; the second doubled both nouns.
        assert '"dog"|N|' in screen and "|0007|" in screen, screen
        assert "|0014|" in screen and "|0010|" in screen, screen
        oruterm.command(oru, "QF", "Q/+1")
        oru.wait_for("terminal class not found")
        oru.send("\r")


if __name__ == "__main__":
    oruterm.main()
