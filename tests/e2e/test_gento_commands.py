"""The generation system's general commands in a real terminal: what is installed (QDISPLAY 0),
removing knowledge bases (RM_QFILES), the random seed and error functions; the generation keys
(ESC g, ESC m, ESC k); and a word replaced through an indirection, in a knowledge base reloaded
after a generation. Reports land in core file 7."""
import oruterm


def message(oru, text):  # a message waiting for Return on the dashed line
    oru.wait_screen(lambda s: "-" + text + "-" in s.row(22), "the message " + repr(text))
    oru.send("\r")
    oru.wait_screen(lambda s: "-" + text + "-" not in s.row(22), repr(text) + " acknowledged")


def test_installed_kinds_removal_and_seed():
    oru, work = oruterm.start_in_scratch("oru_cmds_", ["attributes.att"])
    with oru:
        for keys, shown in (("ATattributes.att\rQD0\r", "AT"),
                            ("RMtm, xy\rRMa1\r", "improper character in parameter"),
                            ("RMat\rQD0\r", "none"), ("RA10\rPS19\rQE21|abc\r", "Integer too high")):
            oru.send(keys)
            message(oru, shown)
        oru.send("CO7\r")
        oru.wait_for("Current random seed: 11")
        screen = oru.text()
        for line in ("uninstalled: none", "xy not a file kind", "uninstalled: AT",
                     "Setting random seed: 11"):
            assert line in screen, (line, screen)
        assert screen.count("uninstalled:") == 3, screen  # "a1" removed nothing


LEX = '"the"|DET||1|#1|\n"dog"|N|sg|1|#1|\n"barks"|V|sg|1|#1|\n'
RULES = {"g.att": "NUMBER ( sg , pl ) TAG ( subj , obj ) %\n", "g.tm": "DET N V\n", "g.lex": LEX,
         "g.syn": "ROOT = DET N[sg] V[sg] %\nQUESTION = DET N[sg] V[sg] %\n"}
LOAD = "ATg.att\rTMg.tm\rLEg.lex\rSYg.syn\r"


def test_generation_keys_and_a_word_replaced_through_an_indirection():
    lex = LEX.replace('#1|\n"barks"', '#1||SYN:"hound"|\n"hound"|N|sg|1|#1||\n"barks"')
    oru, work = oruterm.start_in_scratch("oru_cmds_", files=dict(
        RULES, **{"h.lex": lex, "h.syn": "ROOT = DET N[sg] /\"dog\" /@7:SYN V[sg] %\n"}))
    with oru:
        oru.send("\r\x1bg")
        message(oru, "There is no lexicon")
        oru.send("\x03" + LOAD + "QE1|MATCHED\r\r")  # sentence 1 gets an error function
        oru.wait_screen(lambda s: s.row(23).startswith("Expecting Typing"), "typing mode")
        # The sentence goes into the text; a number too high is refused.
        oru.send("\x1bg\x1bm1 ")
        oru.wait_screen(lambda s: "the dog barks" in s.row(3), "the sentence in the text")
        oru.send("\x1bm21 ")
        message(oru, "Integer too high")
        oru.send("\x1bk")  # the line as typed matches sentence 1: its function types MATCHED
        oru.wait_screen(lambda s: "MATCHED" in s.text(), "the error function's keys")
        oru.send("\x03CO7\r")
        oru.wait_for("Question  : the dog barks")
        assert "ERROR" not in oru.text(), oru.text()
        oru.send("LEh.lex\rSYh.syn\r\r\x1bg\x03CO7\r")  # "dog" chosen, "hound" shown
        oru.wait_for("Transformed Sentence : the hound barks")
        assert "ERROR" not in oru.text(), oru.text()


if __name__ == "__main__":
    oruterm.main()
