"""Syntax files from the command line: SYNTAX loads a main syntax and USER a user syntax on top of
it; each reports in core file 7, which CORE 7 shows, and a new main syntax removes both."""

import oruterm

SYNTAX = "ROOT = S %\nS = NP VP %\nBROKEN = X ) Y %\nVP = < sg : VERB > VERB OBJ %\n"


def test_syntax_and_user_files_report_in_core_file_7():
    oru, work = oruterm.start_in_scratch("oru_syntax_", (), {
        "grammar.att": "NUMBER ( sg , pl ) %\n", "grammar.syn": SYNTAX,
        "user.syn": "NP = PRON %\nWRONG = A[bogus] %\n"})
    with oru:
        for letters, name in (("AT", "grammar.att"), ("SY", "grammar.syn"), ("US", "user.syn"),
                              ("CO", "7")):
            oruterm.command(oru, letters, name)
        oru.wait_for("Finished reading Syntax Input from file 'user.syn' [2 lines.]")
        screen = oru.text()
        for line in ("Finished reading Syntax Input from file 'grammar.syn' [4 lines.]",
                     "ERROR Syntax Input BROKEN Unmatched )",
                     "ERROR Syntax Input WRONG Unknown attribute bogus"):
            assert line in screen, (line, screen)
        oruterm.command(oru, "SY", "grammar.syn")
        oru.wait_for("uninstalled: US, SY")
        oru.send("\r")
        oru.wait_screen(lambda s: s.row(23).startswith(("Expecting Typing", "Expecting Insert")),
                        "the editing screen")
        oru.send("typed")
        oru.wait_for("typed")


if __name__ == "__main__":
    oruterm.main()
