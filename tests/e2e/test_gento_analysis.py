"""Checking answers in a real terminal. The English example is loaded with its files for checking
answers (TGINFO, MRPHERROR, IPA); a fixed seed generates a sentence, and a learner's answer is
built from it: one word misspelt, the last word dropped and a word added. ESC K writes the report
into core file 15, which must hold exactly the lines expected. ESC L lists the inflected forms of
the generated words, ESC Ctrl-K checks against one sentence, QROOTSET chooses the sentences, and
the exercise driver does it all from its files (the example procedures check an answer in the
examples' own test)."""
import os
import shutil

import pexpect

import oruterm

EXAMPLES = os.path.join(oruterm.SOURCE_DIR, "examples")
ESC = "\x1b"
CTRL_C = "\x03"
CTRL_K = "\x0b"
SEED = 4321
PARTS = (("AT", "att"), ("TM", "tm"), ("LE", "lex"), ("MO", "mor"), ("TB", "tbl"), ("SY", "syn"),
         ("TG", "tag"), ("MR", "mre"), ("IP", "ipa"))
EXTRA_WORD = "perhaps"  # near no word of the example's lexicon


def prompt(oru):
    oru.wait_screen(lambda s: s.row(s.rows - 1).startswith("Expecting Command"), "the command prompt")


def editing(oru):
    oru.send("\r")
    oru.wait_screen(lambda s: not s.row(s.rows - 1).startswith("Expecting Command"),
                    "the editing screen")


def start_english():
    oru, work = oruterm.start_in_scratch(
        "oru_analysis_", ["english/english." + suffix for _, suffix in PARTS])
    for letters, suffix in PARTS:
        oru.send(letters + "english." + suffix + "\r")
    oru.send("MP21|8|9\r")
    oru.wait_for("phonology passes have been set")
    oru.send("\r")
    oru.send("RA%d\r" % SEED)
    return oru, work


def save_core(oru, work, number, name):
    """The lines of core file `number`, saved to a file by the SAVE command."""
    path = os.path.join(work, name)
    oru.send("CO%d\r" % number)
    oru.send("SA%s\r" % name)
    oru.wait_screen(lambda s: os.path.exists(path), "the saved file " + name)
    prompt(oru)
    with open(path, encoding="latin-1") as f:
        return f.read().splitlines()


def learner_answer(answer):
    """The answer with three mistakes, and the lines its report must have; None when the sentence
    offers no word to misspell before its last word."""
    words = answer.split(" ")
    last = len(words) - 1
    slip_at = next((i for i, w in enumerate(words[:last])
                    if w.isalpha() and w.islower() and len(w) >= 4 and "x" not in w), None)
    if slip_at is None:
        return None
    misspelt = words[slip_at][0] + "x" + words[slip_at][2:]
    response = words[:last] + [EXTRA_WORD]
    response[slip_at] = misspelt
    # The report: the dropped last word and the added one, then each pair of words. The score
    # counts 2 for the slip and 10 for the last pair, which differs.
    expected = ["BEST ROOT : R2", "SCORE     : 12", "EXPECTED : " + answer,
                "RESPONSE : " + " ".join(response),
                "C%d --  MISSING  %s" % (last + 1, words[last]),
                "-- S%d  EXTRA    %s" % (last + 1, EXTRA_WORD)]
    for i, w in enumerate(words[:last]):
        kind, said = ("APPROX  ", misspelt) if i == slip_at else ("EXACT  ", w)
        expected.append("C%d S%d   %s %s/%s" % (i + 1, i + 1, kind, w, said))
    expected.append("***")
    return " ".join(response), expected


def resize(oru, rows, cols, drawn):
    """Resizes the pseudo-terminal and its emulator (which starts blank) and waits for the
    redraw."""
    oru.rows, oru.cols = rows, cols
    oru.screen.resize(rows, cols)
    oru.screen.reset()
    oru.child.setwinsize(rows, cols)
    oru.wait_screen(drawn, "the screen redrawn at %dx%d" % (rows, cols))


def type_answer(oru, text, keys=ESC + "K"):
    """Types `text` into an empty core file 1 and presses the analysis key."""
    oru.send("CO1\r")
    oru.send("CL\r")
    editing(oru)
    oru.send(text.encode("utf-8"))  # the terminal is a UTF-8 one
    oru.wait_for(text[-20:])
    oru.send(ESC + "D" + keys + CTRL_C)
    prompt(oru)


def test_an_answer_with_three_mistakes_gives_exactly_the_report_expected():
    oru, work = start_english()
    with oru:
        found = None
        for attempt in range(15):
            editing(oru)
            oru.send(ESC + "g" + ESC + "L" + CTRL_C)  # generate, then list the inflected forms
            prompt(oru)
            lines = [l.strip() for l in save_core(oru, work, 7, "trace%d.txt" % attempt)]
            assert not [l for l in lines if "ERROR" in l], lines
            assert "Morphological variations:     Attribute list:" in lines, lines
            answer = [l[len("Answer    : "):] for l in lines if l.startswith("Answer ")][-1]
            found = learner_answer(answer)
            if found:
                break
        assert found, "no sentence with a word to misspell in 15 generations"
        response, expected = found
        type_answer(oru, response)
        oru.send("CO15\r")
        oru.wait_for(next(l for l in expected if "APPROX" in l))
        got = save_core(oru, work, 15, "report.txt")
        assert got == [""] + expected, (got, expected)  # core 15 began empty

        # After a resize of the terminal the report is drawn anew at the new size, and after the
        # interrupt key (a signal) the keys act at once: a correct answer is CORRECT.
        editing(oru)
        resize(oru, 30, 100, lambda o: o.row(0).startswith("  Core:15")
               and o.row(29).startswith("Expecting Typing") and o.row(28) == "-" * 100
               and any(r.startswith("  " + expected[-2]) for r in o.screen.display))
        oru.send("\x1f")  # Ctrl-_: the terminal's interrupt key opens the command line
        prompt(oru)
        answer = expected[2][len("EXPECTED : "):]
        type_answer(oru, answer)
        oru.send("CO15\r")
        oru.wait_for("CORRECT")
        assert save_core(oru, work, 15, "report2.txt")[-6:] == [
            "BEST ROOT : R2", "SCORE     : 0", "EXPECTED : " + answer, "RESPONSE : " + answer,
            "CORRECT", "***"]


def test_one_sentence_alone_and_the_root_set():
    oru, work = start_english()
    with oru:
        editing(oru)
        oru.send(ESC + "g" + CTRL_C)
        prompt(oru)
        trace = save_core(oru, work, 7, "trace.txt")
        question = [l.strip()[len("Question  : "):] for l in trace if "Question  : " in l][-1]
        # ESC Ctrl-K and a number: the question is sentence 1, outside the default set.
        type_answer(oru, question, ESC + CTRL_K + "1 ")
        oru.send("CO15\r")
        oru.wait_for("BEST ROOT : R1")
        assert save_core(oru, work, 15, "one.txt")[-2:] == ["CORRECT", "***"]
        # QROOTSET 1 makes it the only one; an empty text restores the default.
        oru.send("QR1\r")
        type_answer(oru, question)
        assert save_core(oru, work, 15, "two.txt")[-6:-2] == [
            "BEST ROOT : R1", "SCORE     : 0", "EXPECTED : " + question, "RESPONSE : " + question]
        oru.send("QR\r")
        messages = save_core(oru, work, 7, "trace2.txt")
        assert "ROOTSET changed to set: 1" in [l.strip() for l in messages], messages
        assert messages[-1].strip() == "ROOTSET restored to default set: 2 3 4 ... 20", messages


def run_exercise(work, answers, seed="153779"):
    """Runs the exercise driver from the scratch folder (not its own) in a terminal; returns the
    report's lines."""
    with open(os.path.join(work, "answers.txt"), "w", encoding="utf-8") as f:
        f.write("\n".join(answers) + "\n")
    script = os.path.join(work, "examples", "drivers", "exercise.py")
    child = pexpect.spawn("/usr/bin/python3", [script, "answers.txt", "report.txt", seed],
                          cwd=work, env=dict(os.environ, ORU=oruterm.ORU),
                          dimensions=(24, 80))
    child.expect(pexpect.EOF, timeout=60)
    child.close()
    assert child.exitstatus == 0, child.before
    with open(os.path.join(work, "report.txt"), encoding="utf-8") as f:
        return f.read().splitlines()


def test_the_exercise_driver_reports_each_answer():
    work = oruterm.scratch("oru_exercise_")
    for part in ("english", "drivers"):
        shutil.copytree(os.path.join(EXAMPLES, part), os.path.join(work, "examples", part))
    first = run_exercise(work, ["no idea"])
    assert first[:3] == ["Exercise", "Question: Do you teach every big bird?",
                         "Expected answer: Yes, I teach every big bird."], first
    expected = first[2][len("Expected answer: "):]
    words = expected.split(" ")
    slip = next(i for i, w in enumerate(words) if w.isalpha() and w.islower() and len(w) >= 4)
    wrong = list(words)
    wrong[slip] = words[slip][0] + "x" + words[slip][2:]
    # The seed repeats the question; the answers are checked in their order.
    report = run_exercise(work, [expected, "", " ".join(wrong)])
    assert report[:3] == first[:3], (report, first)
    assert report[4:7] == ["Answer 1: " + expected, "  score 0 (0: no mistake)", "  Correct."], report
    assert report[8:11] == [
        "Answer 3: " + " ".join(wrong), "  score 2 (0: no mistake)",
        '  word %d "%s": a spelling slip for "%s"' % (slip + 1, wrong[slip], words[slip])], report


if __name__ == "__main__":
    oruterm.main()
