"""Syntax files from the command line: SYNTAX loads a main syntax and USER a user syntax on top of
it; each reports its errors and its closing line in core file 7, which CORE 7 puts on the
screen."""
import os
import shutil
import tempfile

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
    work = tempfile.mkdtemp(prefix="oru_syntax_")
    for name, text in (("grammar.att", ATTRIBUTES), ("grammar.syn", SYNTAX), ("user.syn", USER)):
        with open(os.path.join(work, name), "w", encoding="latin-1") as f:
            f.write(text)
    oru = oruterm.Oru([], cwd=work)
    oru.wait_for("Expecting")
    return oru, work


def command(oru, letters, parameter):
    oru.send(letters)
    oru.send(parameter + "\r")


def test_syntax_and_user_files_report_in_the_message_file():
    oru, work = start()
    try:
        command(oru, "AT", "grammar.att")
        command(oru, "SY", "grammar.syn")
        command(oru, "CO", "7")
        oru.wait_for("Finished reading Syntax Input from file 'grammar.syn' [5 lines.]")
        screen = oru.text()
        assert "ERROR Syntax Input BROKEN Unmatched )" in screen, screen
        assert screen.count("ERROR") == 1, screen
        command(oru, "US", "user.syn")
        oru.wait_for("Finished reading Syntax Input from file 'user.syn' [2 lines.]")
        screen = oru.text()
        assert "ERROR Syntax Input WRONG Unknown attribute bogus" in screen, screen
        # Loading the main syntax again removes both layers first.
        command(oru, "SY", "grammar.syn")
        oru.wait_for("uninstalled: US, SY")
    finally:
        oru.close()
        shutil.rmtree(work)


if __name__ == "__main__":
    oruterm.main([test_syntax_and_user_files_report_in_the_message_file])
