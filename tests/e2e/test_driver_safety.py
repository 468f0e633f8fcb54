"""Drivers that misbehave or outlive the editor: the interrupt key and a stopped driver, a driver
that reads nothing, a program that cannot start, and a driver that finishes after GOODBYE."""
import os
import signal
import time

import oruterm
from test_driver import alive, read, write_driver


# Driver lines that tell the test the driver's process id, then wait for the file `name`.
TELL_PID_AND_WAIT = '''
        open("pid.part", "w").write(str(os.getpid()))
        os.rename("pid.part", "pid")
        while not os.path.exists("{}"):
            time.sleep(0.05)'''


def wait_file(path):
    end = time.monotonic() + oruterm.TIMEOUT
    while not os.path.exists(path) and time.monotonic() < end:
        time.sleep(0.05)
    assert os.path.exists(path), f"{path} never appeared"


def driver_pid(oru, folder):
    oru.wait_screen(lambda o: os.path.exists(os.path.join(folder, "pid")), "the driver")
    return int(read(folder, "pid"))


def stopped(pid):
    return lambda o: open(f"/proc/{pid}/stat").read().rsplit(")", 1)[1].split()[0] == "T"


def test_interrupt_key_is_for_the_editor_and_a_stopped_driver_is_woken_at_the_end():
    folder = oruterm.scratch("oru-driver-")
    open(os.path.join(folder, "notes.txt"), "w").write("some notes\n")
    write_driver(folder, "patient.py", '''
        command("FEnotes.txt")
        keys("\\r")                      # close the command line''' + TELL_PID_AND_WAIT.format("go-on") + '''
        keys("\\x99")                    # suspend itself: the keyboard takes over
        log("got", repr(answer()))      # after SWITCH 1: only the acknowledgement
        keys("\\x99")                    # suspend again and wait for the end
        time.sleep(0.2)
        open("woken.txt", "w").close()
    ''')
    with oruterm.Oru(["-d", "patient.py"], cwd=folder) as oru:
        driver = driver_pid(oru, folder)
        oru.wait_for("some notes")
        oru.wait_screen(lambda o: not o.row(23).startswith("Expecting Command"), "typing mode")
        oru.send("\x1f")  # the terminal's interrupt key
        oru.wait_for("Expecting Command")
        assert alive(driver), "the interrupt reached the driver"
        assert "Traceback" not in oru.text() and "KeyboardInterrupt" not in oru.text()
        open(os.path.join(folder, "go-on"), "w").close()
        # The driver stops itself; keys come from the keyboard and act at once.
        oru.wait_screen(stopped(driver), "the driver to stop")
        oru.send("AS3\r")    # an answer for a driver that does not run is not sent
        oru.send("SW1\r")    # resume it: it reads the acknowledgement only
        wait_file(os.path.join(folder, "driver.log"))
        assert read(folder, "driver.log") == "got ''\n", read(folder, "driver.log")
        oru.wait_screen(stopped(driver), "the driver to stop again")
        oru.send("GO\r")
        assert oru.wait_exit() == 0
    wait_file(os.path.join(folder, "woken.txt"))  # woken at the end, not killed: it finishes


def test_a_driver_that_reads_nothing_cannot_block_a_resize():
    folder = oruterm.scratch("oru-driver-")
    open(os.path.join(folder, "notes.txt"), "w").write("".join(f"l{i}\n" for i in range(20000)))
    write_driver(folder, "deaf.py", '''
        command("FEnotes.txt")
        keys("\\r\\x03")               # open the command line
        command("EM1|1|200000|1")      # far more than the pipe holds''' + TELL_PID_AND_WAIT.format("read-now") + '''
        got = 0
        while answer() != "$$$\\r":
            got += 1
        log("lines", got)
        keys("\\x99")                  # suspend itself: the keyboard takes over
        time.sleep(60)
    ''')
    with oruterm.Oru(["-d", "deaf.py"], cwd=folder) as oru:
        driver = driver_pid(oru, folder)
        # The editor waits on the full pipe; a window-size change does not end the transfer.
        oru.child.setwinsize(20, 70)
        open(os.path.join(folder, "read-now"), "w").close()
        wait_file(os.path.join(folder, "driver.log"))
        assert read(folder, "driver.log") == "lines 20000\n", read(folder, "driver.log")
        assert alive(driver)
        oru.send("CO2\r")  # keys act at once after the resize
        oru.wait_screen(lambda o: "Core: 2" in o.row(0), "core file 2")
    os.kill(driver, signal.SIGKILL)


def test_a_driver_that_cannot_start_is_reported_and_one_may_finish_after_goodbye():
    folder = oruterm.scratch("oru-driver-")
    write_driver(folder, "late.py", '''
        print("a warning from the driver", file=sys.stderr, flush=True)
        command("GO")
        time.sleep(0.5)   # the editor has ended meanwhile
        open("results.part", "w").write("written after GO\\n")
        os.rename("results.part", "results.txt")
    ''')
    with oruterm.Oru(["-d", "missing.py"], cwd=folder) as oru:
        oru.wait_for("Requested file cannot be located (or is not executable)!")
        # RUN without ./ looks the program up on the search path, where it is not.
        oru.send("\rRUlate.py\r")
        oru.wait_for("Can't run late.py: No such file or directory")
        oru.send("\rRU./late.py\r")  # with the path it runs, and says GOODBYE
        assert oru.wait_exit() == 0
    wait_file(os.path.join(folder, "results.txt"))
    assert read(folder, "results.txt") == "written after GO\n"
    # Its error output went to the log, not over the screen.
    assert "a warning from the driver" in read(folder, "oru-driver.log")
    assert b"a warning" not in oru.raw


if __name__ == "__main__":
    oruterm.main()
