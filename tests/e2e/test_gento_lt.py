"""Lexical and semantic transformations in a real terminal: derived entries (ESC l) feed the next
generation; a run stopped by the interrupt key and resumed leaves the lines of an unbroken run;
ESC H turns an expression into a PRESELECT rule that steers the next generation."""
import os
import re

import oruterm

ESC, CTRL_C, INTERRUPT = "\x1b", "\x03", "\x1f"
ENGLISH = ["english/" + n for n in ("english.att", "english.tm", "english.lex", "english.mor",
                                      "english.ltr")]


def prompt(oru):
    oru.wait_screen(lambda s: s.row(23).startswith("Expecting Command"), "the command prompt")


def editing(oru):
    """Closes the command line and waits until every key typed before has been acted on."""
    oru.send("\r")
    oru.wait_screen(lambda s: s.row(23).startswith(("Expecting Typing", "Expecting Insert")),
                    "the editing screen")


def commands(oru, *lines):
    oru.send("".join(line + "\r" for line in lines))


def show_core(oru, n, first=""):
    """Shows core file n, after `first`: a key that opens the command line."""
    if first:
        oru.send(first)
        prompt(oru)
    oru.send("CO%d\r" % n)
    oru.wait_screen(lambda s: re.match(r" *Core: *%d \(" % n, s.row(0)), f"core file {n}")


def total_lines(oru, n):
    """From the editing screen: shows core file 7 and waits for its n-th "Total Words Generated"
    line; returns the totals."""
    show_core(oru, 7, CTRL_C)
    oru.wait_screen(lambda s: len(re.findall(r"Total Words Generated: \d+\.", s.text())) >= n,
                    f"{n} run totals", timeout=120)
    return [int(t) for t in re.findall(r"Total Words Generated: (\d+)\.", oru.text())]


def saved(work, name):
    with open(os.path.join(work, name), encoding="latin-1") as f:
        return f.read().splitlines()


def test_english_rules_derive_entries_that_generation_uses():
    oru, work = oruterm.start_in_scratch(
        "oru_lt_", ENGLISH, {"adv.syn": 'ROOT = ADVM/"*ily" %\n'})
    with oru:
        commands(oru, "ATenglish.att", "TMenglish.tm", "LEenglish.lex", "MOenglish.mor",
                 "LXenglish.ltr", "RX1")
        editing(oru)
        oru.send(ESC + "l")
        oru.wait_for('"happily"|ADVM||5|#1|')
        # Saved, the core file is a lexicon: its lines are records.
        oru.send(CTRL_C)
        prompt(oru)
        commands(oru, "SAadverbs.lex", "QAadverbs.lex", "SYadv.syn", "RA5")
        # The generate key acts on a text line, such as those of core file 7.
        show_core(oru, 7)
        editing(oru)
        lines = [l for l in saved(work, "adverbs.lex") if l]
        assert lines[0] == '\\r"uglily"|ADVM||5|#1|' and len(lines) == 5, lines
        oru.send(ESC + "g")
        oru.wait_for("Transformed Sentence : ")
        sentence = re.search(r"Transformed Sentence : (\w+)", oru.text()).group(1)
        assert sentence in ("happily", "hungrily", "lazily", "angrily", "uglily"), oru.text()
        assert "ERROR" not in oru.text(), oru.text()


def long_rule():
    """Two patterns that take every entry, then sixty that each take the one word "sleep" but
    look at every entry to find it: 101 x 101 lines of the English lexicon, slowly."""
    patterns = ["? | ? | ?"] * 2 + ['"sleep" | ? | ?'] * 60
    return "RULE 1 " + " _lsp_ ".join(patterns) + " _rhs_ !1 | !1.2 | %\n"


def test_interrupted_run_resumes_to_the_same_lines():
    oru, work = oruterm.start_in_scratch(
        "oru_ltstop_", ENGLISH, {"long.ltr": long_rule()})
    with oru:
        commands(oru, "ATenglish.att", "TMenglish.tm", "LEenglish.lex", "LXlong.ltr", "RX1")
        # A whole run in core file 1.
        editing(oru)
        oru.send(ESC + "l")
        whole = total_lines(oru, 1)[0]
        assert whole > 1000, whole
        show_core(oru, 1)
        commands(oru, "SAwhole.txt")

        # The same run in core file 2, stopped by the interrupt key once it is under way.
        show_core(oru, 2)
        editing(oru)
        oru.send(ESC + "l")
        oru.wait_screen(lambda s: re.search(r"\d+ words generated", s.text()), "the progress")
        oru.send(INTERRUPT)
        oru.wait_for("Abort -- ")
        done = int(re.search(r"Abort -- (\d+) words generated", oru.text()).group(1))
        assert 0 < done < whole, (done, whole)
        # The interrupt key opened the command line, and keys act as before.
        prompt(oru)
        show_core(oru, 2)
        editing(oru)
        oru.wait_screen(lambda s: re.search(r"Lines: +%d\b" % (done + 1), s.row(0)),
                        "the lines written before the stop")
        oru.send(ESC + "l")
        assert total_lines(oru, 2) == [whole, whole]
        show_core(oru, 2)
        commands(oru, "SApart.txt")
        editing(oru)
        assert saved(work, "part.txt") == saved(work, "whole.txt")
        # Typing still works, here in an empty core file.
        show_core(oru, 3, CTRL_C)
        editing(oru)
        oru.send("xyz")
        oru.wait_for("xyz")


def test_expression_becomes_the_preselection_of_the_next_generation():
    oru, _ = oruterm.start_in_scratch("oru_sem_", ["english/" + n for n in (
        "semantic.att", "english.att", "english.tm", "semantic.lex", "english.mor",
        "semantic.syn", "english.smt")])
    with oru:
        commands(oru, "ATsemantic.att", "TMenglish.tm", "LEsemantic.lex", "MOenglish.mor",
                 "SYsemantic.syn", "SMenglish.smt", "RA3", "CO1")
        editing(oru)
        oru.send("see(child, small(cat))")
        oru.wait_for("see(child, small(cat))")
        oru.send(ESC + "H")
        show_core(oru, 14, CTRL_C)
        oru.wait_for("%")
        assert [r.strip() for r in oru.screen.display][3:10] == [
            "PRESELECT =", "act:VT[see];", "agent:N[child];", "quality:ADJ[small];",
            "patient:N[cat]", "%", ""], oru.text()
        commands(oru, "SApre.syn", "USpre.syn")
        show_core(oru, 7)
        editing(oru)
        oru.send(ESC + "g")
        oru.wait_for("Transformed Sentence : ")
        assert re.search(r"Transformed Sentence : The child (sees|saw) the small cat\.",
                         oru.text()) and "ERROR" not in oru.text(), oru.text()


if __name__ == "__main__":
    oruterm.main()
