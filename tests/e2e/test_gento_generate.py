"""Generation in a real terminal: the rule-file commands load the English example, the generate key
(ESC g) writes the labelled sentences into core file 7, and CORE 7 shows them. A syntax without
root rules gives "Transformed Sentence" lines, and a fixed random seed repeats a generation. The
English example's procedure does the same by itself, and the French driver program loads its set,
generates, and reads the sentences back with QTALK."""
import os
import re
import shutil

import oruterm

EXAMPLES = os.path.join(oruterm.SOURCE_DIR, "examples")
ESC = "\x1b"
CTRL_C = "\x03"


def copy_set(work, name):
    shutil.copytree(os.path.join(EXAMPLES, name), os.path.join(work, name))
    return os.path.join(work, name)


def lines_starting(oru, label):
    """The lines of the text area that begin with `label` (after the left margin)."""
    return [line.strip() for line in oru.screen.display if line.lstrip().startswith(label)]


def answers_on_screen(oru):
    return lines_starting(oru, "Answer    : ")


FILES = ("english.att", "english.tm", "english.lex", "english.mor", "english.tbl", "english.syn")


def start():
    return oruterm.start_in_scratch("oru_gen_", ["english/" + name for name in FILES])


def load(oru, syntax="english.syn"):
    for letters, name in (("AT", "english.att"), ("TM", "english.tm"), ("LE", "english.lex"),
                          ("MO", "english.mor"), ("TB", "english.tbl"), ("SY", syntax)):
        oru.send(letters + name + "\r")


def generate(oru, times, seed):
    """Sets the seed, closes the command line, presses the generate key, and shows core file 7."""
    oru.send("RA%d\r" % seed)
    oru.send("\r")
    oru.wait_screen(lambda s: not s.row(23).startswith("Expecting Command"), "the editing screen")
    oru.send("\x1bg" * times)
    oru.send("\x03")
    oru.wait_screen(lambda s: s.row(23).startswith("Expecting Command"), "the command prompt")
    oru.send("CO7\r")


def lines(oru, label):
    """The rows of the screen that begin with `label` (after the margin), without it."""
    rows = [row.strip() for row in oru.screen.display]
    return [row[len(label):] for row in rows if row.startswith(label)]


def core_lines(oru):
    """The line count that the status row shows for the core file on the screen."""
    match = re.search(r"Lines: *(\d+)", oru.row(0))
    return int(match.group(1)) if match else -1


def test_generate_key_writes_question_and_answer():
    oru, work = start()
    with oru:
        load(oru)
        generate(oru, 1, 7)
        oru.wait_for("  ******")
        # Three result lines push the first ones out of the window: show them from the top.
        oru.send("PO%d\r" % max(1, core_lines(oru) - 6))
        oru.wait_for("Generation results:")
        screen = oru.text()
        assert "ERROR" not in screen, screen
        # The question is made from the clause by a transformation (be goes first), and the
        # answers speak from the other side: I and you change places.
        assert lines(oru, "Question  : ") == ["Am I old?"], screen
        assert lines(oru, "Answer    : ") == ["Yes, you are old."], screen
        assert lines(oru, "R_3       : ") == ["Yes, you are."], screen
        assert "Transformed Sentence" not in screen, screen


def test_a_burst_of_generations_leaves_no_stale_progress_message():
    oru, work = start()
    with oru:
        load(oru)
        oru.send("RA3\r")
        oru.send("\r")
        oru.wait_screen(lambda s: not s.row(23).startswith("Expecting Command"), "the editing screen")
        # Thirty progress messages within a few milliseconds: the first is sent at once and the
        # others wait for the next refresh. Typing then clears the help line, as it always does;
        # no message of the burst may be left standing on it.
        oru.send("\x1bg" * 5 + "x")
        oru.wait_screen(lambda s: s.row(2)[2:].startswith("x"), "the typed character")
        assert oru.row(22).strip("-") == "", oru.text()


def test_plain_syntax_gives_transformed_sentences_and_a_seed_repeats_them():
    oru, work = start()
    with oru:
        with open(os.path.join(work, "plain.syn"), "w", encoding="latin-1") as f:
            f.write("ROOT = CHOOSE n : NUMBER ; DET[n, definite] N[n] %\n")
        load(oru, "plain.syn")
        label = "Transformed Sentence : "
        seen = []
        for _ in range(2):
            # Each run: the seed, one generation, and CORE 7, which shows the newest lines.
            before = core_lines(oru)
            generate(oru, 1, 5)
            oru.wait_screen(lambda o: core_lines(o) > before and len(lines(o, label)) == 1,
                            "the generated sentence")
            sentence = lines(oru, label)[0]
            assert re.fullmatch(r"[a-z]+ [a-z]+", sentence), oru.text()
            seen.append(sentence)
        assert "ERROR" not in oru.text(), oru.text()
        assert seen[0] == seen[1], seen


def test_the_english_procedure_loads_everything_and_generates():
    work = oruterm.scratch("oru_generate_")
    folder = copy_set(work, "english")
    oru = oruterm.Oru(["-p", "english.prc"], rows=60, cwd=folder)
    with oru:
        # The procedure generates three times and shows core file 7.
        oru.wait_screen(lambda o: len(answers_on_screen(o)) == 3, "three answers in core file 7")
        assert "ERROR" not in oru.text(), oru.text()
        # The editor is still in use afterwards: generate once more from the keyboard.
        oru.send(ESC + "g")
        oru.wait_screen(lambda o: len(answers_on_screen(o)) == 4, "a fourth answer")


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
    copy_set(work, "french")
    os.mkdir(os.path.join(work, "drivers"))
    shutil.copy(os.path.join(EXAMPLES, "drivers", "french.py"), os.path.join(work, "drivers"))
    with open(os.path.join(work, "drivers", "french.seed"), "w") as f:
        f.write("31415\n")
    report = run_french_driver(work)
    assert len(report) == 10, report
    clauses = set()
    swapped = {"je": "tu", "tu": "je", "nous": "vous", "vous": "nous"}
    for question, reply in zip(report[0::2], report[1::2]):
        assert question.startswith("Question: Est-ce qu"), report
        assert question.endswith(" ?"), report
        assert reply.startswith("Answer: Oui, "), report
        assert reply.endswith("."), report
        # The answer repeats the question's clause, je and tu (nous and vous) changed round
        # and the verb following its new subject.
        clause = reply[len("Answer: Oui, "):-1]
        rest = question[len("Question: Est-ce qu"):-2]
        # que before a consonant, qu' glued to a vowel
        assert rest.startswith("e ") or rest.startswith("'"), question
        asked = rest[2 if rest.startswith("e ") else 1:]
        q_words = asked.replace("j'", "je ").split()
        a_words = clause.replace("j'", "je ").split()
        if q_words[0] in swapped:
            assert a_words[0] == swapped[q_words[0]], (question, reply)
            assert a_words[2:] == q_words[2:], (question, reply)
        else:
            assert clause == asked, (question, reply)
        clauses.add(clause)
    assert len(clauses) > 1, report  # each press of the key made a new sentence
    # The seed makes the run repeatable.
    os.remove(os.path.join(work, "drivers", "french.report"))
    assert run_french_driver(work) == report


if __name__ == "__main__":
    oruterm.main()
