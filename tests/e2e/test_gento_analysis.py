"""Checking answers in a real terminal with the English example, and the exercise driver."""
import os
import shutil

import pexpect

import oruterm

ESC, CTRL_C = "\x1b", "\x03"
PARTS = (("AT", "att"), ("TM", "tm"), ("LE", "lex"), ("MO", "mor"), ("TB", "tbl"), ("SY", "syn"),
         ("TG", "tag"), ("MR", "mre"), ("IP", "ipa"))


def prompt(oru):
    oru.wait_screen(lambda s: s.row(s.rows - 1).startswith("Expecting Command"), "the prompt")


def save_core(oru, work, number, name):
    """The lines of core file `number`, saved to a file by the SAVE command."""
    path = os.path.join(work, name)
    oru.send("CO%d\rSA%s\r" % (number, name))
    oru.wait_screen(lambda s: os.path.exists(path), "the saved file " + name)
    prompt(oru)
    with open(path, encoding="latin-1") as f:
        return f.read().splitlines()


def type_answer(oru, text, keys=ESC + "K"):
    """Types `text` into an empty core file 1 and presses the analysis key."""
    oru.send("CO1\rCL\r\r")
    oru.wait_screen(lambda s: not s.row(s.rows - 1).startswith("Expecting Command"), "typing")
    oru.send(text.encode("utf-8"))  # the terminal is a UTF-8 one
    oru.wait_for(text[-20:])
    oru.send(ESC + "D" + keys + CTRL_C)
    prompt(oru)


def test_answers_are_checked_in_the_terminal():
    oru, work = oruterm.start_in_scratch("oru_analysis_", ["english/english." + s for _, s in PARTS])
    with oru:
        for letters, suffix in PARTS:
            oru.send(letters + "english." + suffix + "\r")
        oru.send("MP21|8|9\r")
        oru.wait_for("phonology passes have been set")
        oru.send("\rRA4321\r\r" + ESC + "g" + ESC + "L" + CTRL_C)  # generate, list inflections
        prompt(oru)
        trace = [l.strip() for l in save_core(oru, work, 7, "trace.txt")]
        assert "Morphological variations:     Attribute list:" in trace, trace
        assert not [l for l in trace if "ERROR" in l], trace
        question, answer = ([l[12:] for l in trace if l.startswith(h)][-1]
                            for h in ("Question  : ", "Answer    : "))
        words = answer.split(" ")
        n, response = len(words), " ".join(words[:-1] + ["perhaps"])
        type_answer(oru, response)  # the last word replaced: one missing, one extra
        assert save_core(oru, work, 15, "report.txt") == [
            "", "BEST ROOT : R2", "SCORE     : 10", "EXPECTED : " + answer,
            "RESPONSE : " + response, "C%d --  MISSING  %s" % (n, words[-1]),
            "-- S%d  EXTRA    perhaps" % n] + [
            "C%d S%d   EXACT   %s/%s" % (i + 1, i + 1, w, w) for i, w in enumerate(words[:-1])
        ] + ["***"]

        # After a resize the report is drawn anew at the new size, and after the interrupt key
        # (a signal) the keys act at once: the answer typed right is CORRECT.
        oru.send("\r")
        oru.rows, oru.cols = 30, 100
        oru.screen.resize(30, 100); oru.child.setwinsize(30, 100)
        oru.wait_screen(lambda o: o.row(0).startswith("  Core:15") and o.row(28) == "-" * 100
                        and o.row(29).startswith("Expecting Typing") and "  ***" in o.text(),
                        "the screen redrawn at 30x100")
        oru.send("\x1f")  # Ctrl-_: the terminal's interrupt key opens the command line
        prompt(oru)
        type_answer(oru, answer)
        assert save_core(oru, work, 15, "right.txt")[-2:] == ["CORRECT", "***"]
        # ESC Ctrl-K and a number: the question is sentence 1, outside the default set; QROOTSET
        # makes it the only one for ESC K.
        for before, keys in (("", ESC + "\x0b1 "), ("QR1\r", ESC + "K")):
            oru.send(before)
            type_answer(oru, question, keys)
            assert save_core(oru, work, 15, "one.txt")[-6:] == [
                "BEST ROOT : R1", "SCORE     : 0", "EXPECTED : " + question,
                "RESPONSE : " + question, "CORRECT", "***"]


def test_the_exercise_driver_reports_each_answer():
    """Run from another folder; the seed repeats the question; the answers are checked in order."""
    work = oruterm.scratch("oru_exercise_")
    for part in ("english", "drivers"):
        shutil.copytree(os.path.join(oruterm.SOURCE_DIR, "examples", part),
                        os.path.join(work, "examples", part))
    expected, wrong = "Yes, I teach every big bird.", "Yes, I txach every big bird."
    with open(os.path.join(work, "answers.txt"), "w", encoding="utf-8") as f:
        f.write("\n".join([expected, "", wrong]) + "\n")
    child = pexpect.spawn("/usr/bin/python3", [
        os.path.join(work, "examples", "drivers", "exercise.py"), "answers.txt", "report.txt",
        "153779"], cwd=work, env=dict(os.environ, ORU=oruterm.ORU), dimensions=(24, 80))
    child.expect(pexpect.EOF, timeout=60)
    child.close()
    assert child.exitstatus == 0, child.before
    report = open(os.path.join(work, "report.txt"), encoding="utf-8").read().splitlines()
    assert report[:3] == ["Exercise", "Question: Do you teach every big bird?",
                          "Expected answer: " + expected], report
    assert report[4:7] == ["Answer 1: " + expected, "  score 0 (0: no mistake)", "  Correct."]
    assert report[8:11] == ["Answer 3: " + wrong, "  score 2 (0: no mistake)",
                            '  word 3 "txach": a spelling slip for "teach"'], report


if __name__ == "__main__":
    oruterm.main()
