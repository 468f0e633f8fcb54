"""Rule files from the command line: ATTRIBUTE loads an attribute file and TSTINPUT lists a file's
tokens; both report in core file 7, which CORE 7 puts on the screen."""

import oruterm


def start_in_copy_of_examples():
    return oruterm.start_in_scratch("oru_gento_", ["attributes.att"], {
        "tokens.rul": '%define N sg\nRULE S , "a b" { a comment } %N\n'})


def test_attribute_command_reports_in_the_message_file():
    oru, work = start_in_copy_of_examples()
    with oru:
        oruterm.command(oru, "AT", "attributes.att")
        oruterm.command(oru, "CO", "7")
        oru.wait_for("Finished reading attribute input from file 'attributes.att' [12 lines.]")
        assert "uninstalled: none" in oru.text(), oru.text()
        assert "ERROR" not in oru.text(), oru.text()
        # Reading it again removes the attributes loaded first.
        oruterm.command(oru, "AT", "attributes.att")
        oru.wait_for("uninstalled: AT")


def test_tstinput_lists_the_tokens():
    oru, work = start_in_copy_of_examples()
    with oru:
        oruterm.command(oru, "TS", "tokens.rul")
        oruterm.command(oru, "CO", "7")
        oru.wait_for("end of input")
        screen = oru.text()
        for line in ("token: RULE", "identifier: S", "char ','", "quote", "char ' '",
                     "identifier: sg", "linefeed"):
            assert line in screen, (line, screen)
        assert "comment" not in screen, screen
        assert "Finished reading test input from file 'tokens.rul' [2 lines.]" in screen, screen


if __name__ == "__main__":
    oruterm.main()
