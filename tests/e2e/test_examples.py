"""The examples as a newcomer meets them: the demo's first screen at 80 x 24 shows whole
generations with their headings, the answer typed back is checked CORRECT with the files the
procedure loaded, and the French driver works from any folder."""
import os
import shutil

import oruterm

EXAMPLES = os.path.join(oruterm.SOURCE_DIR, "examples")


def copy_examples():
    work = oruterm.scratch("oru-examples-")
    shutil.copytree(EXAMPLES, os.path.join(work, "examples"))
    return os.path.join(work, "examples")


def lines(o):
    """The line count of the status line (-1 while it is not drawn)."""
    try:
        return int(o.row(0).split("Lines:")[1].split()[0])
    except (IndexError, ValueError):
        return -1


def text_rows(o):
    return [o.row(r)[2:].rstrip() for r in range(2, 22)]


def newest(o):
    """The rows of the last generation on the screen, from its heading to its closing stars
    (as many rows as the syntax has sentence lines, and two); empty when it is not all shown."""
    rows = text_rows(o)
    if "Generation results:" not in rows:
        return []
    heading = len(rows) - 1 - rows[::-1].index("Generation results:")
    block = rows[heading:]
    if "  ******" not in block:
        return []
    return block[:block.index("  ******") + 1]


def check_first_screen(rule_set, question, answer):
    """The procedure as ./build.sh demo runs it: three generations, then core file 7 with the
    window full and ending on the last generation, whose heading shows above it."""
    folder = os.path.join(copy_examples(), rule_set)
    oru = oruterm.Oru(["-p", rule_set + ".prc"], cwd=folder, rows=24, cols=80)
    with oru:
        oru.wait_screen(lambda o: o.row(0).startswith("  Core: 7")
                        and text_rows(o).count("Generation results:") >= 3
                        and o.row(23).rstrip() == "Expecting Typing", "the demo's first screen")
        rows = text_rows(oru)
        assert "" not in rows, "blank rows:\n" + oru.text()
        block = newest(oru)
        assert block and block == rows[-len(block):], \
            "the last generation ends the window:\n" + oru.text()
        assert block[1].startswith(question) and block[2].startswith(answer), oru.text()
        assert "ERROR" not in oru.text() and "warning" not in oru.text(), oru.text()
        # The keys act on the screen shown: one more generation, shown whole.
        before = lines(oru)
        oru.send("\x1bg")
        oru.wait_screen(lambda o: lines(o) == before + len(block) and newest(o)
                        and len(newest(o)) == len(block) and newest(o)[1].startswith(question),
                        "a fourth generation")
        # The answer typed back into an empty core file 1 and checked (ESC K) is CORRECT.
        typed = newest(oru)[2][len(answer):].strip()
        oru.send("\x03CO1\rCL\r\r")
        oru.send(typed.encode("utf-8"))  # the terminal is a UTF-8 one
        oru.send("\x1bD\x1bK\x03CO15\r")
        oru.wait_for("CORRECT")
        oru.send("GO\r")
        oru.wait_for("WARNING")
        oru.send("\r")
        assert oru.wait_exit() == 0


def test_the_procedures_show_whole_generations_and_check_an_answer():
    for rule_set in ("english", "french"):
        check_first_screen(rule_set, "Question  : ", "Answer    : ")


def test_the_french_driver_runs_from_another_folder_and_reports_there():
    examples = copy_examples()
    elsewhere = os.path.join(os.path.dirname(examples), "my", "exercises")
    os.makedirs(elsewhere)
    with open(os.path.join(elsewhere, "french.seed"), "w") as f:
        f.write("2718\n")
    reports = []
    for _ in range(2):
        oru = oruterm.Oru(["-d", "../../examples/drivers/french.py"], cwd=elsewhere)
        with oru:
            assert oru.wait_exit(60) == 0, oru.text()
        with open(os.path.join(elsewhere, "french.report"), encoding="latin-1") as f:
            reports.append(f.read().splitlines())
    assert len(reports[0]) == 10, reports[0]
    for question, reply in zip(reports[0][0::2], reports[0][1::2]):
        assert question.startswith("Question: Est-ce qu"), question
        assert reply.startswith("Answer: Oui, "), reply
    assert reports[0] == reports[1], "the seed in the folder run from makes the run repeatable"
    assert not os.path.exists(os.path.join(examples, "drivers", "french.report"))


if __name__ == "__main__":
    oruterm.main()
