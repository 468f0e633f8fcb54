"""Driver programs: a child that types into oru through a pipe and reads its answers back.

The example drivers under examples/drivers run as they are; small test drivers, written into a
scratch folder, exercise ASK answers through the pipe, EMIT, the control bytes, SWITCH and RUN. A driver
reports what it received by writing files, which the test reads after oru has ended.
"""
import os
import shutil
import signal
import textwrap

import oruterm

EXAMPLES = os.path.join(oruterm.SOURCE_DIR, "examples", "drivers")


def scratch():
    return oruterm.scratch("oru-driver-")


def write_driver(folder, name, body):
    path = os.path.join(folder, name)
    with open(path, "w") as f:
        f.write("#!/usr/bin/python3\nimport os, sys\n")
        f.write(textwrap.dedent('''
            def keys(s):
                sys.stdout.write(s)
                sys.stdout.flush()
            def command(s):
                keys(s + "\\r")
            def answer():
                line = sys.stdin.readline()
                if not line:
                    sys.exit(3)
                return line.rstrip("\\n")
            def log(*words):
                with open("driver.log", "a") as f:
                    f.write(" ".join(str(w) for w in words) + "\\n")
            def announce():  # the test never sees the file half written
                with open("pid.part", "w") as f:
                    f.write(str(os.getpid()))
                os.rename("pid.part", "pid")
        '''))
        f.write(textwrap.dedent(body))
    os.chmod(path, 0o755)
    return name


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


def driver_pid(oru, folder):
    oru.wait_screen(lambda o: os.path.exists(os.path.join(folder, "pid")), "the driver")
    return int(read(folder, "pid"))


def run_driver(folder, name, timeout=30):
    oru = oruterm.Oru(["-d", name], cwd=folder)
    try:
        status = oru.wait_exit(timeout)
    finally:
        oru.close()
    return status, oru


LETTER_OUT = ["dear student,", "thank you for your answers to the exercises.",
              "see you next week, student."]
REPORT = ["first line is now: dear student,", "cursor was at line 3, column 27",
          "3 lines came back; the last is: see you next week, student."]


def check_example(driver):
    """The example as a user runs it: from its own folder (over an older letter.out), and from a
    folder elsewhere, where its results land."""
    work = scratch()
    drivers = os.path.join(work, "examples", "drivers")
    shutil.copytree(EXAMPLES, drivers)
    with open(os.path.join(drivers, "letter.out"), "w") as f:
        f.write("an older letter.out\n")
    status, _ = run_driver(drivers, driver)
    assert status == 0, status
    assert read(drivers, "letter.report").splitlines() == REPORT
    assert read(drivers, "letter.out").splitlines() == LETTER_OUT
    elsewhere = os.path.join(work, "elsewhere", "deeper")
    os.makedirs(elsewhere)
    status, _ = run_driver(elsewhere, "../../examples/drivers/" + driver)
    assert status == 0, status
    assert read(elsewhere, "letter.report").splitlines() == REPORT
    assert read(elsewhere, "letter.out").splitlines() == LETTER_OUT
    assert read(drivers, "letter.txt").startswith("dear learner,"), "the input is untouched"


def check_example_gives_up_cleanly(driver):
    """Where the letter cannot be read, or letter.out cannot be written, the driver says so and
    oru still ends: no message is left waiting for a key that never comes."""
    work = scratch()
    lonely = os.path.join(work, "lonely")
    os.mkdir(lonely)
    shutil.copy(os.path.join(EXAMPLES, driver), lonely)
    status, oru = run_driver(lonely, driver)
    assert status == 0, (status, oru.text())
    assert not os.path.exists(os.path.join(lonely, "letter.report"))
    shutil.copytree(EXAMPLES, os.path.join(work, "drivers"))
    blocked = os.path.join(work, "blocked")
    os.mkdir(blocked)
    os.mkdir(os.path.join(blocked, "letter.out"))  # a folder: neither writable nor creatable
    status, oru = run_driver(blocked, os.path.join("..", "drivers", driver))
    assert status == 0, (status, oru.text())
    report = read(blocked, "letter.report").splitlines()
    assert report == REPORT + ["letter.out could not be written here"], report


def test_the_python_and_shell_example_drivers():
    for driver in ("student.py", "student.sh"):
        check_example(driver)
        check_example_gives_up_cleanly(driver)


def test_ask_answers_through_the_pipe_and_emit():
    folder = scratch()
    with open(os.path.join(folder, "words.txt"), "w") as f:
        f.write("alpha beta, gamma\n  indented line\n\nlast\n")
    write_driver(folder, "ask.py", '''
        command("FEwords.txt")
        command("PO1|7")
        for sel in (2, 4, 7, 12, 13, 16):  # the values themselves have their unit tests
            command("AS%d|words.txt" % sel)
            log(sel, repr(answer()))
        command("AS0")          # answers stop
        command("AS3")
        command("AS1")          # and resume
        command("AS5")
        log(5, answer())
        command("EV1.5*3")
        keys("\\r")               # EVALUATE shows its value and waits for Return
        command("AS8")            # the calculator register, untouched so far
        log(8, answer())
        command("AS14")           # core file 15: its line count, then its lines
        count = int(answer())
        log(14, count, [answer() for _ in range(count)])
        command("EM1|2|3|1")
        block = []
        while True:
            line = answer()
            block.append(line)
            if line.rstrip("\\r") == "$$$":
                break
        log("emit", repr(block))
        command("GO")
    ''')
    status, _ = run_driver(folder, "ask.py")
    assert status == 0, status
    log = read(folder, "driver.log").splitlines()
    want = [
        "2 '1'",                  # the result of the last command (POSITION succeeded)
        "4 '7'", "7 'b'", "12 'beta'", "13 'beta, gamma'", "16 '4'",
        "5 0", "8 0.000000", "14 1 ['']",
        "emit ['  indented line', '', '$$$\\r']",
    ]
    assert log == want, log


def wait_log(oru, folder, needle):
    path = os.path.join(folder, "driver.log")
    oru.wait_screen(lambda o: os.path.exists(path) and needle in read(folder, "driver.log"),
                    repr(needle) + " in the driver's log")


def test_control_bytes_and_switch():
    folder = scratch()
    write_driver(folder, "controls.py", '''
        command("RUcontrols.py")      # a second driver is refused with a message
        keys("\\r")                   # which waits for Return
        command("AS2")                # the refused RUN left the result 0
        log("result", answer())
        keys(chr(152))                # acknowledge: the editor writes a line feed
        log("ack", repr(answer()))
        command("SW0")                # hand the input to the keyboard, suspending this driver
        log("resumed", repr(answer()))  # resuming a voluntary suspension acknowledges
        keys(chr(153))                # suspend ourselves; the keyboard resumes us
        log("again", repr(answer()))
        command("AS3")
        log("line", answer())
        command("SW2")                # end the driver; the keyboard has the input
    ''')
    with oruterm.Oru(["-d", "controls.py"], cwd=folder) as oru:
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
        oru.send("\r")
        oru.send("GO\r")
        assert oru.wait_exit() == 0
    log = read(folder, "driver.log").splitlines()
    assert log == ["result 0", "ack ''", "resumed ''", "again ''", "line 1"], log


ENDINGS = [
    # (driver, its body, what shows before it ends) -- each time the keyboard then goes on.
    ("killer.py", '''
        announce()
        command("NAbefore.txt")
        keys(chr(150))                # the editor ends this driver
        command("NAafter.txt")        # never read
        import time
        time.sleep(30)
    ''', "before.txt"),
    # Stops in the middle of a command and exits: the keyboard finishes the command.
    ("quitter.py", '''
        announce()
        command("NAhalf.txt")
        keys("PO")
    ''', "half.txt"),
    # No longer reads its input: the editor's writes fail and end it.
    ("deaf.py", '''
        os.close(0)
        announce()
        command("AS3")
        import time
        time.sleep(30)
    ''', None),
]


def test_a_driver_that_ends_killed_dead_or_deaf_gives_the_keyboard_back():
    for name, body, shown in ENDINGS:
        folder = scratch()
        write_driver(folder, name, body)
        with oruterm.Oru(["-d", name], cwd=folder) as oru:
            if shown:
                oru.wait_for(shown)
            driver = driver_pid(oru, folder)
            oru.wait_screen(lambda o: not alive(driver), "the driver to be ended")
            oru.send("1\r" if name == "quitter.py" else "")
            oru.send("NAwhole.txt\r")
            oru.wait_for("whole.txt")
            oru.send("GO\r")
            assert oru.wait_exit() == 0
            assert "after.txt" not in oru.text()


def test_hangup_keeps_the_edits_and_leaves_the_driver_its_work():
    folder = scratch()
    write_driver(folder, "sleeper.py", '''
        command("FEnotes.txt")
        command("CHworld|hello")
        announce()
        import time
        time.sleep(60)
    ''')
    with open(os.path.join(folder, "notes.txt"), "w") as f:
        f.write("world\n")
    with oruterm.Oru(["-d", "sleeper.py"], cwd=folder) as oru:
        driver = driver_pid(oru, folder)
        oru.wait_for("hello")
        oru.child.kill(signal.SIGHUP)
        assert oru.wait_exit() != 0
    assert read(folder, "notes.txt.save") == "hello\n", "emergency copy"
    assert read(folder, "notes.txt") == "world\n", "the file itself is untouched"
    # The driver is not killed: its pipes are closed and it may finish what it was doing.
    assert alive(driver), "the driver was killed"
    os.kill(driver, signal.SIGKILL)


if __name__ == "__main__":
    oruterm.main()
