"""Syntax files from the command line: SYNTAX loads a main syntax and USER a user syntax on top of
it; each reports its errors and its closing line in core file 7, which CORE 7 puts on the
screen."""

import oruterm

ATTRIBUTES = "NUMBER ( sg , pl ) PERSON ( first , third ) %\n"
SYNTAX = """ROOT = S %
S = CHOOSE n : NUMBER ; NP[n] VP[n] %
NP = DET (NOUN | ADJ NOUN) %
BROKEN = X ) Y %
VP = < sg : VERB > VERB OBJ %
"""
USER = "NP = PRON %\nWRONG = A[bogus] %\n"


def start():
    return oruterm.start_in_scratch("oru_syntax_", (), {
        "grammar.att": ATTRIBUTES, "grammar.syn": SYNTAX, "user.syn": USER})


def test_syntax_and_user_files_report_in_the_message_file():
    oru, work = start()
    with oru:
        oruterm.command(oru, "AT", "grammar.att")
        oruterm.command(oru, "SY", "grammar.syn")
        oruterm.command(oru, "CO", "7")
        oru.wait_for("Finished reading Syntax Input from file 'grammar.syn' [5 lines.]")
        screen = oru.text()
        assert "ERROR Syntax Input BROKEN Unmatched )" in screen, screen
        assert screen.count("ERROR") == 1, screen
        oruterm.command(oru, "US", "user.syn")
        oru.wait_for("Finished reading Syntax Input from file 'user.syn' [2 lines.]")
        screen = oru.text()
        assert "ERROR Syntax Input WRONG Unknown attribute bogus" in screen, screen
        # Loading the main syntax again removes both layers first.
        oruterm.command(oru, "SY", "grammar.syn")
        oru.wait_for("uninstalled: US, SY")


if __name__ == "__main__":
    oruterm.main()
