"""The examples and driver programs: the demo's first screen at 80 x 24 shows whole generations
with their headings and the keys act on it; the example drivers run as they are, from any folder;
small test drivers (a child that types into oru through a pipe and reads its answers back) exercise
ASK answers, EMIT, the control bytes, SWITCH and RUN, and report what they received in a file."""
import os
import shutil
import textwrap

import oruterm

EXAMPLES = os.path.join(oruterm.SOURCE_DIR, "examples", "drivers")


def copy_examples():
    work = oruterm.scratch("oru-examples-")
    shutil.copytree(os.path.join(oruterm.SOURCE_DIR, "examples"), os.path.join(work, "examples"))
    return os.path.join(work, "examples")


def write_driver(folder, name, body):
    with open(os.path.join(folder, name), "w") as f:
        f.write("#!/usr/bin/python3\nimport os, sys, time\n" + textwrap.dedent('''
            def keys(s): sys.stdout.write(s); sys.stdout.flush()
            def command(s): keys(s + "\\r")
            def answer(): l = sys.stdin.readline(); return l.rstrip("\\n") if l else sys.exit(3)
            def log(*w): print(*w, file=(f := open("driver.log", "a"))); f.close()
            def announce():  # the test never sees the file half written
                with open("pid.part", "w") as f: f.write(str(os.getpid()))
                os.rename("pid.part", "pid")
        ''') + textwrap.dedent(body))
    os.chmod(os.path.join(folder, name), 0o755)


def alive(pid):
    """True while the process exists and has not ended (a zombie counts as ended)."""
    try:
        with open(f"/proc/{pid}/stat") as f:
            return f.read().rsplit(")", 1)[1].split()[0] != "Z"
    except FileNotFoundError:
        return False


def read(folder, name):
    with open(os.path.join(folder, name), encoding="latin-1") as f:
        return f.read()


def run_driver(folder, name, timeout=30):
    with oruterm.Oru(["-d", name], cwd=folder) as oru:
        return oru.wait_exit(timeout), oru.text()


REPORT = ["first line is now: dear student,", "cursor was at line 3, column 27",
          "3 lines came back; the last is: see you next week, student."]


def test_the_python_and_shell_example_drivers():
    """Each example from its own folder (over an older letter.out) and from another, where its
    results land; where the letter cannot be read, or letter.out written, oru still ends."""
    work = os.path.dirname(copy_examples())
    drivers = os.path.join(work, "examples", "drivers")
    elsewhere = os.path.join(work, "else", "where")
    for driver, folder in (("student.py", drivers), ("student.sh", elsewhere)):
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, "letter.out"), "w") as f:
            f.write("an older letter.out\n")
        assert run_driver(folder, os.path.relpath(os.path.join(drivers, driver), folder))[0] == 0
        assert read(folder, "letter.report").splitlines() == REPORT
        assert read(folder, "letter.out").splitlines() == [
            "dear student,", "thank you for your answers to the exercises.",
            "see you next week, student."]
        lonely = oruterm.scratch("oru-driver-")
        shutil.copy(os.path.join(EXAMPLES, driver), lonely)
        assert run_driver(lonely, driver)[0] == 0
        assert not os.path.exists(os.path.join(lonely, "letter.report"))
        blocked = os.path.join(work, "blocked-" + driver)
        os.makedirs(os.path.join(blocked, "letter.out"))  # a folder: not writable as a file
        status, screen = run_driver(blocked, os.path.join("..", "examples", "drivers", driver))
        assert status == 0, screen
        assert read(blocked, "letter.report").splitlines() == REPORT + [
            "letter.out could not be written here"]
    assert read(drivers, "letter.txt").startswith("dear learner,"), "the input is untouched"


def wait_log(oru, folder, needle):
    path = os.path.join(folder, "driver.log")
    oru.wait_screen(lambda o: os.path.exists(path) and needle in read(folder, "driver.log"),
                    repr(needle) + " in the driver's log")


def test_ask_answers_emit_control_bytes_and_switch():
    folder = oruterm.scratch("oru-driver-")
    with open(os.path.join(folder, "words.txt"), "w") as f:
        f.write("alpha beta, gamma\n  indented line\n\nlast\n")
    write_driver(folder, "driver.py", '''
        command("FEwords.txt"); command("PO1|7")
        for sel in (2, 4, 7, 12, 13, 16):  # the values themselves have their unit tests
            command("AS%d|words.txt" % sel); log(sel, repr(answer()))
        command("AS0"); command("AS3"); command("AS1"); command("AS5")  # answers stop, resume
        log(5, answer())
        command("EV1.5*3"); keys("\\r")  # EVALUATE shows its value and waits for Return
        command("AS8"); log(8, answer())  # the calculator register, untouched so far
        command("AS14"); count = int(answer())  # core file 15: its line count, then its lines
        log(14, count, [answer() for _ in range(count)])
        command("EM1|2|3|1"); block = [answer()]
        while block[-1].rstrip("\\r") != "$$$":
            block.append(answer())
        log("emit", repr(block))
        command("RUdriver.py"); keys("\\r")  # a second driver is refused; Return to go on
        command("AS2"); log("result", answer())  # the refused RUN left the result 0
        keys(chr(152)); log("ack", repr(answer()))  # acknowledge: the editor writes a line feed
        command("SW0")  # hand the input to the keyboard, suspending this driver
        log("resumed", repr(answer()))  # resuming a voluntary suspension acknowledges
        keys(chr(153)); log("again", repr(answer()))  # suspend ourselves; the keyboard resumes us
        command("AS3"); log("line", answer())
        command("SW2")  # end the driver; the keyboard has the input
    ''')
    with oruterm.Oru(["-d", "driver.py"], cwd=folder) as oru:
        wait_log(oru, folder, "ack")
        # The driver suspended itself with SWITCH 0: the keyboard has the input now.
        oru.wait_for("Expecting Command")
        oru.send("SW1\r")
        wait_log(oru, folder, "resumed")
        # ESC Ctrl-W resumes the driver that suspended itself with byte 153.
        oru.send("\x1b\x17")
        wait_log(oru, folder, "line 1")
        # The driver has ended itself: keys come from the keyboard again.
        oru.send("SW1\r")
        oru.wait_for("No suspended program!")
        oru.send("\rGO\r")
        assert oru.wait_exit() == 0
    # AS2 is the result of the last command (POSITION succeeded).
    assert read(folder, "driver.log").splitlines() == [
        "2 '1'", "4 '7'", "7 'b'", "12 'beta'", "13 'beta, gamma'", "16 '4'", "5 0", "8 0.000000",
        "14 1 ['']", "emit ['  indented line', '', '$$$\\r']", "result 0", "ack ''", "resumed ''",
        "again ''", "line 1"]


def test_a_driver_that_ends_killed_dead_or_deaf_gives_the_keyboard_back():
    # The driver's body and what shows before it ends; each time the keyboard then goes on.
    for body, shown in (
            # The editor ends it (byte 150); what it types after is never read.
            ('announce(); command("NAbefore.txt"); keys(chr(150)); command("NAafter.txt"); '
             'time.sleep(30)', "before.txt"),
            # It stops in the middle of a command and exits: the keyboard finishes the command.
            ('announce(); command("NAhalf.txt"); keys("PO")', "half.txt"),
            # It no longer reads its input: the editor's writes fail and end it.
            ('os.close(0); announce(); command("AS3"); time.sleep(30)', None)):
        folder = oruterm.scratch("oru-driver-")
        write_driver(folder, "driver.py", body)
        with oruterm.Oru(["-d", "driver.py"], cwd=folder) as oru:
            if shown:
                oru.wait_for(shown)
            oru.wait_screen(lambda o: os.path.exists(os.path.join(folder, "pid")), "the driver")
            driver = int(read(folder, "pid"))
            oru.wait_screen(lambda o: not alive(driver), "the driver to be ended")
            oru.send(("1\r" if "PO" in body else "") + "NAwhole.txt\r")
            oru.wait_for("whole.txt")
            oru.send("GO\r")
            assert oru.wait_exit() == 0
            assert "after.txt" not in oru.text()


def newest(o):
    """The rows of the last generation, heading to closing stars; empty if not all shown."""
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
    """French sentences cross the pipe as Latin-1 and land in the report; a seed repeats them."""
    examples = copy_examples()
    elsewhere = os.path.join(os.path.dirname(examples), "my", "exercises")
    os.makedirs(elsewhere)
    with open(os.path.join(elsewhere, "french.seed"), "w") as f:
        f.write("2718\n")
    reports = [run_driver(elsewhere, "../../examples/drivers/french.py", 60)[0] == 0 and
               read(elsewhere, "french.report").splitlines() for _ in range(2)]
    assert len(reports[0]) == 10 and reports[0] == reports[1], reports
    for question, reply in zip(reports[0][0::2], reports[0][1::2]):
        assert question.startswith("Question: Est-ce qu") and reply.startswith("Answer: Oui, ")


if __name__ == "__main__":
    oruterm.main()
