"""Rule files from the command line: ATTRIBUTE loads an attribute file and TSTINPUT lists a file's
tokens; both report in core file 7, which CORE 7 shows, and the keys act on afterwards."""

import oruterm


def test_attribute_and_tstinput_report_in_core_file_7():
    oru, work = oruterm.start_in_scratch("oru_gento_", ["attributes.att"], {
        "tokens.rul": 'RULE S , "a b" { a comment } %\n'})
    with oru:
        oruterm.command(oru, "AT", "attributes.att")
        oruterm.command(oru, "TS", "tokens.rul")
        oruterm.command(oru, "CO", "7")
        oru.wait_for("Finished reading test input from file 'tokens.rul' [1 lines.]")
        screen = oru.text()
        for line in ("Finished reading attribute input from file 'attributes.att' [12 lines.]",
                     "token: RULE", "identifier: S", "char ','", "quote", "end of input"):
            assert line in screen, (line, screen)
        assert "comment" not in screen and "ERROR" not in screen, screen
        # Keys act on: the command line closes and typing lands in core file 7.
        oru.send("\r")
        oru.wait_screen(lambda s: s.row(23).startswith(("Expecting Typing", "Expecting Insert")),
                        "the editing screen")
        oru.send("typed")
        oru.wait_for("typed")


if __name__ == "__main__":
    oruterm.main()
