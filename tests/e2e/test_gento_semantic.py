"""Semantic transformations in a real terminal: with the semantic example loaded, ESC H on a line
holding see(child, dog) writes a PRESELECT rule into core file 14; saved and loaded as the user
syntax, it makes the next generation talk about exactly that."""
import re

import oruterm

ESC, CTRL_C = "\x1b", "\x03"
FILES = ["english/" + n for n in ("semantic.att", "english.att", "english.tm", "semantic.lex",
                                   "english.mor", "semantic.syn", "english.smt")]


def prompt(oru):
    oru.wait_screen(lambda s: s.row(23).startswith("Expecting Command"), "the command prompt")


def editing(oru):
    oru.send("\r")
    oru.wait_screen(lambda s: s.row(23).startswith(("Expecting Typing", "Expecting Insert")),
                    "the editing screen")


def show_core(oru, n):
    oru.send("CO%d\r" % n)
    oru.wait_screen(lambda s: re.match(r" *Core: *%d \(" % n, s.row(0)), f"core file {n}")


def test_expression_becomes_the_preselection_of_the_next_generation():
    oru, _ = oruterm.start_in_scratch("oru_sem_", FILES)
    with oru:
        oru.send("ATsemantic.att\rTMenglish.tm\rLEsemantic.lex\rMOenglish.mor\r"
                 "SYsemantic.syn\rSMenglish.smt\rRA3\rCO1\r")
        editing(oru)
        oru.send("see(child, small(cat))")
        oru.wait_for("see(child, small(cat))")
        oru.send(ESC + "H" + CTRL_C)
        prompt(oru)
        show_core(oru, 14)
        oru.wait_for("%")
        assert [r.strip() for r in oru.screen.display][3:10] == [
            "PRESELECT =", "act:VT[see];", "agent:N[child];", "quality:ADJ[small];",
            "patient:N[cat]", "%", ""], oru.text()
        oru.send("SApre.syn\r")
        oru.send("USpre.syn\r")
        show_core(oru, 7)
        editing(oru)
        oru.send(ESC + "g")
        oru.wait_for("Transformed Sentence : ")
        assert re.search(r"Transformed Sentence : The child (sees|saw) the small cat\.",
                         oru.text()) and "ERROR" not in oru.text(), oru.text()


if __name__ == "__main__":
    oruterm.main()
