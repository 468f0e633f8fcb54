"""Files and procedures through the real program: fetching at start-up, a procedure that edits,
saves and leaves, and writes that fail on a full device or a full disk."""
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


def test_start_fetches_the_file_named_on_the_command_line():
    d = scratch()
    write(os.path.join(d, "notes.txt"), "hello world\n\tindented\nlast line")
    oru = oruterm.Oru(["notes.txt"], cwd=d)
    try:
        oru.wait_for("hello world")
        oru.wait_for("        indented")
        oru.wait_for("last line")
        oru.send("GO\r")
        assert oru.wait_exit() == 0
    finally:
        oru.close()

    # A file that does not exist only names the core file.
    oru = oruterm.Oru(["brand-new.txt"], cwd=d)
    try:
        oru.wait_for("brand-new.txt")
        oru.send("GO\r")
        assert oru.wait_exit() == 0
        assert not os.path.exists(os.path.join(d, "brand-new.txt"))
    finally:
        oru.close()


def test_procedure_edits_saves_answers_and_says_goodbye():
    d = scratch()
    write(os.path.join(d, "in.txt"), "first\nsecond\n")
    write(os.path.join(d, "extra.txt"), "third\n")
    write(os.path.join(d, "other.txt"), "to be replaced\n")
    # OVERWRITE of a file not fetched asks, and GOODBYE asks about the changed core file 2:
    # both answers come from the procedure itself.
    write(os.path.join(d, "run.proc"),
          "FEin.txt\nAPextra.txt\nSAout.txt\nOVother.txt\n\nCO2\nAPextra.txt\nGO\n\n")
    oru = oruterm.Oru(["-p", "run.proc"], cwd=d)
    try:
        assert oru.wait_exit() == 0
    finally:
        oru.close()
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
    oru = oruterm.Oru(["-p", "try.proc"], cwd=d)
    try:
        assert oru.wait_exit() == 0
    finally:
        oru.close()
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


def test_write_onto_a_full_device_fails_and_keeps_the_file_changed():
    d = scratch()
    write(os.path.join(d, "in.txt"), "alpha\n")
    write(os.path.join(d, "extra.txt"), "beta\n")
    oru = oruterm.Oru(["in.txt"], cwd=d)
    try:
        oru.wait_for("alpha")
        oru.send("APextra.txt\r")
        oru.wait_for("beta")
        oru.send("OV/dev/full\r")
        oru.wait_for("Check name, not file fetched")
        oru.send("\r")
        oru.wait_for("Write Failed")
        oru.send("\r")
        oru.send("GO\r")
        oru.wait_for("WARNING: corefile 1 not saved")
        oru.send("\r")
        assert oru.wait_exit() == 0
    finally:
        oru.close()
    assert read(os.path.join(d, "in.txt")) == "alpha\n"


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
    try:
        oru.wait_for("the old contents")
        oru.send("APbig.txt\r")
        oru.send("OVkeep.txt\r")
        oru.wait_for("Write Failed")
        oru.send("\r")
        assert read(os.path.join(d, "keep.txt")) == old
        assert sorted(os.listdir(d)) == ["big.txt", "keep.txt"]
        oru.send("GO\r")
        oru.wait_for("WARNING: corefile 1 not saved")
        oru.send("\r")
        assert oru.wait_exit() == 0
    finally:
        oru.close()


if __name__ == "__main__":
    oruterm.main()
