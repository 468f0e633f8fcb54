"""Rule files from the command line: ATTRIBUTE loads an attribute file, TSTINPUT lists a file's
tokens, SYNTAX loads a main syntax and USER a user syntax on top of it; each reports in core file
7, which CORE 7 shows; a new main syntax removes both layers, and the keys act on afterwards."""

import oruterm


def test_attributes_tokens_and_syntax_report_in_core_file_7():
    oru, work = oruterm.start_in_scratch("oru_gento_", ["attributes.att"], {
        "tokens.rul": 'RULE S , "a b" { a comment } %\n',
        "grammar.syn": "ROOT = S %\nS = NP VP %\nBROKEN = X ) Y %\nVP = < sg : VERB > VERB %\n",
        "user.syn": "NP = PRON %\nWRONG = A[bogus] %\n"})
    with oru:
        for letters, name in (("AT", "attributes.att"), ("TS", "tokens.rul"), ("CO", "7")):
            oruterm.command(oru, letters, name)
        oru.wait_for("Finished reading test input from file 'tokens.rul' [1 lines.]")
        screen = oru.text()
        for line in ("Finished reading attribute input from file 'attributes.att' [12 lines.]",
                     "token: RULE", "identifier: S", "char ','", "quote", "end of input"):
            assert line in screen, (line, screen)
        assert "comment" not in screen and "ERROR" not in screen, screen
        oruterm.command(oru, "SY", "grammar.syn")
        oru.wait_for("Finished reading Syntax Input from file 'grammar.syn' [4 lines.]")
        assert "ERROR Syntax Input BROKEN Unmatched )" in oru.text(), oru.text()
        oruterm.command(oru, "US", "user.syn")
        oru.wait_for("Finished reading Syntax Input from file 'user.syn' [2 lines.]")
        assert "ERROR Syntax Input WRONG Unknown attribute bogus" in oru.text(), oru.text()
        oruterm.command(oru, "SY", "grammar.syn")
        oru.wait_for("uninstalled: US, SY")
        # Keys act on: the command line closes and typing lands in core file 7.
        oru.send("\r")
        oru.wait_screen(lambda s: s.row(23).startswith(("Expecting Typing", "Expecting Insert")),
                        "the editing screen")
        oru.send("typed")
        oru.wait_for("typed")


if __name__ == "__main__":
    oruterm.main()
