"""The generation system's general commands in a real terminal: what is installed (QDISPLAY 0),
removing knowledge bases (RM_QFILES), the random seed (RANDOM SEED, PSEED) and error functions
(QERROR); then the generation keys: generate (ESC g), copying a sentence into the text (ESC m),
comparing a typed response with the sentences (ESC k), and a word replaced through an
indirection. Their reports land in core file 7."""
import oruterm


def message(oru, text):
    """Waits for a message that asks for acknowledgement (it stands alone in the dashed line above
    the command line), then answers it with Return."""
    shown = "-" + text + "-"
    oru.wait_screen(lambda s: shown in s.row(22), "the message " + repr(text))
    oru.send("\r")
    oru.wait_screen(lambda s: shown not in s.row(22), "the message " + repr(text) + " acknowledged")


def typing(oru):
    oru.send("\r")
    oru.wait_screen(lambda s: s.row(23).startswith("Expecting Typing"), "the typing prompt")


def test_installed_kinds_removal_and_seed():
    oru, work = oruterm.start_in_scratch("oru_cmds_", ["attributes.att"])
    with oru:
        oru.send("ATattributes.att\rQD0\r")
        message(oru, "AT")
        oru.send("RMtm, xy\rRMa1\r")
        message(oru, "improper character in parameter")
        oru.send("RMat\rQD0\r")
        message(oru, "none")
        oru.send("RA10\rPS19\rQE21|abc\r")
        message(oru, "Integer too high")
        oru.send("CO7\r")
        oru.wait_for("Current random seed: 11")
        screen = oru.text()
        for line in ("uninstalled: none", "xy not a file kind", "uninstalled: AT",
                     "Setting random seed: 11"):
            assert line in screen, (line, screen)
        # Only the first uninstalled line is "none"; "a1" removed nothing and said nothing here.
        assert screen.count("uninstalled:") == 3, screen


LEX = '"the"|DET||1|#1|\n"dog"|N|sg|1|#1|\n"barks"|V|sg|1|#1|\n'
RULES = {"g.att": "NUMBER ( sg , pl ) %\n", "g.tm": "DET N V\n", "g.lex": LEX,
         "g.syn": "ROOT = DET N[sg] V[sg] %\nQUESTION = DET N[sg] V[sg] %\n"}


def load_rules(oru):
    for letters, name in (("AT", "g.att"), ("TM", "g.tm"), ("LE", "g.lex"), ("SY", "g.syn")):
        oru.send(letters + name + "\r")


def test_generation_keys():
    oru, work = oruterm.start_in_scratch("oru_cmds_", files=RULES)
    with oru:
        typing(oru)
        oru.send("\x1bg")
        message(oru, "There is no lexicon")
        # Load the rules, give sentence 1 an error function, generate.
        oru.send("\x03")
        oru.wait_screen(lambda s: s.row(23).startswith("Expecting Command"), "the command prompt")
        load_rules(oru)
        oru.send("QE1|MATCHED\r")
        typing(oru)
        # The sentence goes into the text; a number too high is refused.
        oru.send("\x1bg\x1bm1 ")
        oru.wait_screen(lambda s: "the dog barks" in s.row(3), "the sentence in the text")
        oru.send("\x1bm21 ")
        message(oru, "Integer too high")
        # The line as typed matches sentence 1: its error function types MATCHED.
        oru.send("\x1bk")
        oru.wait_screen(lambda s: "MATCHED" in s.text(), "the error function's keys")
        oru.send("\x03CO7\r")
        oru.wait_for("Question  : the dog barks")
        assert "ERROR" not in oru.text(), oru.text()


def test_indirection_replaces_a_word():
    files = dict(RULES, **{"g.lex": LEX.replace('#1|\n"barks"', '#1||SYN:"hound"|\n"hound"|N|sg|1|#1||\n"barks"'),
                           "g.syn": "ROOT = DET N[sg] /@7:SYN V[sg] %\n"})
    oru, work = oruterm.start_in_scratch("oru_cmds_", files=files)
    with oru:
        load_rules(oru)
        typing(oru)
        oru.send("\x1bg\x03CO7\r")
        oru.wait_for("Transformed Sentence : the hound barks")
        assert "ERROR" not in oru.text(), oru.text()


if __name__ == "__main__":
    oruterm.main()
