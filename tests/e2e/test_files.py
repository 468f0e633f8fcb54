"""Files, procedures and a driver through the real program: a procedure that edits, saves and
leaves, one that sees a failing FETCH, EMIT blocks a driver reads, and a write that fails on a
full disk."""
import os
import shlex

import oruterm


def scratch():
    return oruterm.scratch("oru-e2e-files-")


def write(path, text):
    with open(path, "wb") as f:
        f.write(text.encode("latin-1"))


def read(path):
    with open(path, "rb") as f:
        return f.read().decode("latin-1")


def run_to_end(d, *args):
    with oruterm.Oru(list(args), cwd=d) as oru:
        assert oru.wait_exit() == 0


def test_procedure_edits_saves_answers_and_says_goodbye():
    d = scratch()
    write(os.path.join(d, "in.txt"), "first\nsecond\n")
    write(os.path.join(d, "extra.txt"), "third\n")
    write(os.path.join(d, "other.txt"), "to be replaced\n")
    # OVERWRITE of a file not fetched asks, and GOODBYE asks about the changed core file 2:
    # both answers come from the procedure itself, whose name is taken exactly as given.
    write(os.path.join(d, "my proc;1.prc"),
          "FEin.txt\nAPextra.txt\nSAout.txt\nOVother.txt\n\nCO2\nAPextra.txt\nGO\n\n")
    run_to_end(d, "-p", "my proc;1.prc")
    assert read(os.path.join(d, "out.txt")) == "first\nsecond\nthird\n"
    assert read(os.path.join(d, "other.txt")) == "first\nsecond\nthird\n"
    assert read(os.path.join(d, "in.txt")) == "first\nsecond\n"


def test_failing_fetch_is_seen_by_the_procedure():
    d = scratch()
    write(os.path.join(d, "there.txt"), "present\n")
    # The refused FETCH shows its message, which the procedure's next Return acknowledges; a
    # Return alone then closes the command line, and Ctrl-C opens it again.
    write(os.path.join(d, "try.proc"),
          "FEmissing.txt\n\n\n~{?}{C}~SAgot-missing.txt\n\n~{.}"
          "{C}~FEthere.txt\n\n~{?}{C}~SAgot-there.txt\n\n~{.}{C}~GO\n")
    run_to_end(d, "-p", "try.proc")
    assert not os.path.exists(os.path.join(d, "got-missing.txt"))
    assert read(os.path.join(d, "got-there.txt")) == "present\n"


def test_a_procedure_loop_that_never_answers_a_message_is_abandoned():
    d = scratch()
    # The refused FETCH's message waits for Return, but the procedure's next keys are a loop
    # that types for ever; the editor gives up on the procedure and the keyboard answers.
    write(os.path.join(d, "loop.proc"), "FEmissing.txt\n~{<}a{>}~")
    with oruterm.Oru(["-p", "loop.proc"], cwd=d) as oru:
        oru.wait_for("Procedure abandoned: it never answers the message")
        oru.send("\r")
        oru.wait_screen(lambda o: "Procedure abandoned" not in o.text(), "the message to go")
        oru.send("\rGOOD")  # close the command line and type: the editor is in use again
        text = lambda o: "".join(o.row(r)[2:] for r in range(2, 21)).split()
        oru.wait_screen(lambda o: text(o) == ["GOOD"], "the typed word")


def test_emit_sends_blocks_to_the_driver_only_when_asked():
    d = scratch()
    write(os.path.join(d, "short.txt"), "one\ntwo\nthree\n")
    # EMIT to the editor's own output, the default, sends nothing down the pipe: the first line
    # the driver reads is the answer to ASK 2.
    write(os.path.join(d, "drive.py"), "#!/usr/bin/python3\nimport sys\n"
          "def cmd(s):\n    sys.stdout.write(s + '\\r'); sys.stdout.flush()\n"
          "cmd('FEshort.txt'); cmd('EM1'); cmd('AS2')\n"
          "got = [sys.stdin.readline()]\n"
          "cmd('EM1|2|3|1')\n"
          "while got[-1] not in ('$$$\\r\\n', ''):\n    got.append(sys.stdin.readline())\n"
          "open('got.txt', 'w').write(''.join(got))\n"
          "cmd('GO')\n")
    os.chmod(os.path.join(d, "drive.py"), 0o755)
    run_to_end(d, "-d", "drive.py")
    assert read(os.path.join(d, "got.txt")) == "1\ntwo\nthree\n$$$\r\n"


def test_overwrite_on_a_full_disk_keeps_the_old_contents():
    d = scratch()
    old = "the old contents\n"
    write(os.path.join(d, "keep.txt"), old)
    write(os.path.join(d, "big.txt"), "".join(f"line {i} of the big file\n" for i in range(2000)))
    # A file-size limit of a few blocks stands in for a disk that fills up during the write.
    cmd = f"ulimit -f 4; exec {shlex.quote(oruterm.ORU)} keep.txt"
    oru = oruterm.Oru.__new__(oruterm.Oru)
    oru.rows, oru.cols = 24, 80
    oru.screen = oruterm.pyte.Screen(80, 24)
    oru.stream = oruterm.pyte.ByteStream(oru.screen)
    oru.raw = b""
    env = dict(os.environ)
    env.setdefault("TERM", "xterm")
    oru.child = oruterm.pexpect.spawn("/bin/sh", ["-c", cmd], dimensions=(24, 80), cwd=d, env=env)
    with oru:
        oru.wait_for("the old contents")
        oru.send("APbig.txt\r")
        oru.send("OVkeep.txt\r")
        oru.wait_for("Write Failed")
        oru.send("\r")
        assert read(os.path.join(d, "keep.txt")) == old
        assert sorted(os.listdir(d)) == ["big.txt", "keep.txt"]
        # The keys act, and leaving warns that the core file was not saved.
        oru.send("\rX")
        oru.wait_for("Xhe old contents")
        oru.send("\x03GO\r")
        oru.wait_for("WARNING: corefile 1 not saved")
        oru.send("\r")
        assert oru.wait_exit() == 0


if __name__ == "__main__":
    oruterm.main()
