"""Semantic transformations in a real terminal: with the semantic example loaded, ESC H on a line
holding see(child, dog) writes a PRESELECT rule into core file 14; saved and loaded as the user
syntax, it makes the next generation talk about exactly that. An expression that does not fit
the valences says so in core file 14."""
import os
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


def analyse(oru, expression):
    """From the editing screen of core file 1: types the expression on a new line, presses ESC H
    and shows core file 14."""
    oru.send(expression)
    oru.wait_for(expression)
    oru.send(ESC + "H")
    oru.send(CTRL_C)
    prompt(oru)
    show_core(oru, 14)


def test_expression_becomes_the_preselection_of_the_next_generation():
    oru, work = oruterm.start_in_scratch("oru_sem_", FILES)
    with oru:
        oru.send("ATsemantic.att\rTMenglish.tm\rLEsemantic.lex\rMOenglish.mor\r"
                 "SYsemantic.syn\rSMenglish.smt\rRA3\rCO1\r")
        editing(oru)
        analyse(oru, "see(child, small(cat))")
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
        with open(os.path.join(work, "pre.syn"), encoding="latin-1") as f:
            assert f.read().splitlines()[-1] == "%"

        # A predicate short of an argument is refused; keys act on as before.
        oru.send(CTRL_C)
        prompt(oru)
        show_core(oru, 2)
        editing(oru)
        analyse(oru, "see(child)")
        oru.wait_for("There was a problem processing the semantic expression")
        show_core(oru, 7)
        oru.wait_for("Attribute not recognized or invalid valence")


if __name__ == "__main__":
    oruterm.main()
