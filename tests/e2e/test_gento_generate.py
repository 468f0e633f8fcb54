"""Generation in a real terminal: the rule-file commands load the English example, the generate key
(ESC g) writes the labelled sentences into core file 7, and CORE 7 shows them; a burst of
generations leaves no stale progress message. The English example's procedure does the same by
itself, and the French driver program loads its set, generates, and reads the sentences back with
QTALK, the same again from the same seed."""
import os
import re
import shutil

import oruterm

EXAMPLES = os.path.join(oruterm.SOURCE_DIR, "examples")
FILES = ("english.att", "english.tm", "english.lex", "english.mor", "english.tbl", "english.syn")


def lines(oru, label):
    """The rows of the screen that begin with `label` (after the margin), without it."""
    rows = [row.strip() for row in oru.screen.display]
    return [row[len(label):] for row in rows if row.startswith(label)]


def start_with_english_loaded(seed):
    """Loads the English example, sets the seed and closes the command line."""
    oru, work = oruterm.start_in_scratch("oru_gen_", ["english/" + name for name in FILES])
    for letters, name in zip(("AT", "TM", "LE", "MO", "TB", "SY"), FILES):
        oru.send(letters + name + "\r")
    oru.send("RA%d\r\r" % seed)
    oru.wait_screen(lambda s: not s.row(23).startswith("Expecting Command"), "the editing screen")
    return oru, work


def test_generate_key_writes_question_and_answer():
    oru, work = start_with_english_loaded(7)
    with oru:
        oru.send("\x1bg\x03")
        oru.wait_screen(lambda s: s.row(23).startswith("Expecting Command"), "the command line")
        oru.send("CO7\r")
        oru.wait_for("  ******")
        # Three result lines push the first ones out of the window: show them from the top.
        count = int(re.search(r"Lines: *(\d+)", oru.row(0)).group(1))
        oru.send("PO%d\r" % max(1, count - 6))
        oru.wait_for("Generation results:")
        screen = oru.text()
        assert "ERROR" not in screen and "Transformed Sentence" not in screen, screen
        # The question is made from the clause by a transformation (be goes first), and the
        # answers speak from the other side: I and you change places.
        assert lines(oru, "Question  : ") == ["Am I old?"], screen
        assert lines(oru, "Answer    : ") == ["Yes, you are old."], screen
        assert lines(oru, "R_3       : ") == ["Yes, you are."], screen


def test_a_burst_of_generations_leaves_no_stale_progress_message():
    oru, work = start_with_english_loaded(3)
    with oru:
        # Thirty progress messages within a few milliseconds: the first is sent at once and the
        # others wait for the next refresh. Typing then clears the help line, as it always does;
        # no message of the burst may be left standing on it.
        oru.send("\x1bg" * 5 + "x")
        oru.wait_screen(lambda s: s.row(2)[2:].startswith("x"), "the typed character")
        assert oru.row(22).strip("-") == "", oru.text()


def test_the_english_procedure_loads_everything_and_generates():
    work = oruterm.scratch("oru_generate_")
    shutil.copytree(os.path.join(EXAMPLES, "english"), os.path.join(work, "english"))
    oru = oruterm.Oru(["-p", "english.prc"], rows=60, cwd=os.path.join(work, "english"))
    with oru:
        # The procedure generates three times and shows core file 7.
        oru.wait_screen(lambda o: len(lines(o, "Answer    : ")) == 3, "three answers")
        assert "ERROR" not in oru.text(), oru.text()
        # The editor is still in use afterwards: generate once more from the keyboard.
        oru.send("\x1bg")
        oru.wait_screen(lambda o: len(lines(o, "Answer    : ")) == 4, "a fourth answer")


def run_french_driver(work):
    oru = oruterm.Oru(["-d", "french.py"], cwd=os.path.join(work, "drivers"))
    try:
        status = oru.wait_exit(60)
    finally:
        oru.close()
    assert status == 0, (status, oru.text())
    with open(os.path.join(work, "drivers", "french.report"), encoding="utf-8") as f:
        return f.read().splitlines()


def test_the_french_driver_generates_and_reads_sentences_back_with_qtalk():
    work = oruterm.scratch("oru_generate_")
    shutil.copytree(os.path.join(EXAMPLES, "french"), os.path.join(work, "french"))
    os.mkdir(os.path.join(work, "drivers"))
    shutil.copy(os.path.join(EXAMPLES, "drivers", "french.py"), os.path.join(work, "drivers"))
    with open(os.path.join(work, "drivers", "french.seed"), "w") as f:
        f.write("31415\n")
    report = run_french_driver(work)
    assert len(report) == 10, report
    for question, reply in zip(report[0::2], report[1::2]):
        assert question.startswith("Question: Est-ce qu") and question.endswith(" ?"), report
        assert reply.startswith("Answer: Oui, ") and reply.endswith("."), report
    assert len(set(report[1::2])) > 1, report  # each press of the key made a new sentence
    # The seed makes the run repeatable.
    os.remove(os.path.join(work, "drivers", "french.report"))
    assert run_french_driver(work) == report


if __name__ == "__main__":
    oruterm.main()
