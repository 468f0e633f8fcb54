"""The examples as a newcomer meets them: the demo's first screen at 80 x 24 shows whole
generations with their headings and the keys act on it, and the French driver works from any
folder."""
import os
import shutil

import oruterm


def copy_examples():
    work = oruterm.scratch("oru-examples-")
    shutil.copytree(os.path.join(oruterm.SOURCE_DIR, "examples"), os.path.join(work, "examples"))
    return os.path.join(work, "examples")


def newest(o):
    """The text rows of the last generation on the screen, from its heading to its closing stars;
    empty when it is not all shown."""
    rows = [o.row(r)[2:].rstrip() for r in range(2, 22)]
    if "Generation results:" not in rows:
        return []
    block = rows[len(rows) - 1 - rows[::-1].index("Generation results:"):]
    return block[:block.index("  ******") + 1] if "  ******" in block else []


def test_the_procedures_show_whole_generations():
    for rule_set in ("english", "french"):
        # The procedure as ./build.sh demo runs it: three generations, then core file 7 with the
        # window full and ending on the last generation, whose heading shows above it.
        oru = oruterm.Oru(["-p", rule_set + ".prc"], cwd=os.path.join(copy_examples(), rule_set))
        with oru:
            oru.wait_screen(lambda o: o.row(0).startswith("  Core: 7")
                            and o.text().count("Generation results:") >= 3
                            and o.row(23).rstrip() == "Expecting Typing", "the first screen")
            rows = [oru.row(r)[2:].rstrip() for r in range(2, 22)]
            block = newest(oru)
            assert "" not in rows and block == rows[-len(block):], oru.text()
            assert block[1].startswith("Question  : ") and block[2].startswith("Answer    : ")
            assert "ERROR" not in oru.text() and "warning" not in oru.text(), oru.text()
            # The keys act on the screen shown: one more generation, shown whole.
            grown = "Lines: %d " % (int(oru.row(0).split("Lines:")[1].split()[0]) + len(block))
            oru.send("\x1bg")
            oru.wait_screen(lambda o: grown in o.row(0) and len(newest(o)) == len(block),
                            "a fourth generation")
            oru.send("\x03GO\r")
            assert oru.wait_exit() == 0


def test_the_french_driver_runs_from_another_folder_and_reports_there():
    examples = copy_examples()
    elsewhere = os.path.join(os.path.dirname(examples), "my", "exercises")
    os.makedirs(elsewhere)
    with open(os.path.join(elsewhere, "french.seed"), "w") as f:
        f.write("2718\n")
    reports = []
    for _ in range(2):
        with oruterm.Oru(["-d", "../../examples/drivers/french.py"], cwd=elsewhere) as oru:
            assert oru.wait_exit(60) == 0, oru.text()
        with open(os.path.join(elsewhere, "french.report"), encoding="latin-1") as f:
            reports.append(f.read().splitlines())
    assert len(reports[0]) == 10, reports[0]
    for question, reply in zip(reports[0][0::2], reports[0][1::2]):
        assert question.startswith("Question: Est-ce qu") and reply.startswith("Answer: Oui, ")
    assert reports[0] == reports[1], "the seed in the folder run from makes the run repeatable"
    assert not os.path.exists(os.path.join(examples, "drivers", "french.report"))


if __name__ == "__main__":
    oruterm.main()
