"""Files, procedures and a driver through the real program: a procedure that edits, saves and
leaves, EMIT blocks a driver reads, and a write that fails on a full disk."""
import os
import shlex

import oruterm


def files(d, named):
    for name, text in named.items():
        with open(os.path.join(d, name), "wb") as f:
            f.write(text.encode("latin-1"))


def read(d, name):
    return open(os.path.join(d, name), "rb").read().decode("latin-1")


def run_to_end(d, *args):
    with oruterm.Oru(list(args), cwd=d) as oru:
        assert oru.wait_exit() == 0


def test_procedure_edits_saves_answers_and_says_goodbye():
    d = oruterm.scratch("oru-e2e-files-")
    # OVERWRITE of a file not fetched asks, and GOODBYE asks about the changed core file 2: both
    # answers come from the procedure itself, whose name is taken exactly as given.
    files(d, {"in.txt": "first\nsecond\n", "extra.txt": "third\n", "other.txt": "replaced\n",
                "my proc;1.prc": "FEin.txt\nAPextra.txt\nSAout.txt\nOVother.txt\n\nCO2\n"
                                 "APextra.txt\nGO\n\n"})
    run_to_end(d, "-p", "my proc;1.prc")
    assert read(d, "out.txt") == read(d, "other.txt") == "first\nsecond\nthird\n"
    assert read(d, "in.txt") == "first\nsecond\n"


def test_emit_sends_blocks_to_the_driver_only_when_asked():
    d = oruterm.scratch("oru-e2e-files-")
    # EMIT to the editor's own output, the default, sends nothing down the pipe: the first line
    # the driver reads is the answer to ASK 2.
    files(d, {"short.txt": "one\ntwo\nthree\n", "drive.py":
                "#!/usr/bin/python3\nimport sys\ndef cmd(s):\n    sys.stdout.write(s + '\\r'); "
                "sys.stdout.flush()\ncmd('FEshort.txt'); cmd('EM1'); cmd('AS2')\n"
                "got = [sys.stdin.readline()]\ncmd('EM1|2|3|1')\n"
                "while got[-1] not in ('$$$\\r\\n', ''):\n    got.append(sys.stdin.readline())\n"
                "open('got.txt', 'w').write(''.join(got))\ncmd('GO')\n"})
    os.chmod(os.path.join(d, "drive.py"), 0o755)
    run_to_end(d, "-d", "drive.py")
    assert read(d, "got.txt") == "1\ntwo\nthree\n$$$\r\n"


def test_overwrite_on_a_full_disk_keeps_the_old_contents():
    d = oruterm.scratch("oru-e2e-files-")
    files(d, {"keep.txt": "the old contents\n",
                "big.txt": "".join(f"line {i} of the big file\n" for i in range(2000))})
    # A file-size limit of a few blocks stands in for a disk that fills up during the write.
    real = oruterm.ORU
    oruterm.ORU = "/bin/sh"
    try:
        oru = oruterm.Oru(["-c", f"ulimit -f 4; exec {shlex.quote(real)} keep.txt"], cwd=d)
    finally:
        oruterm.ORU = real
    with oru:
        oru.wait_for("the old contents")
        oru.send("APbig.txt\rOVkeep.txt\r")
        oru.wait_for("Write Failed")
        oru.send("\r")
        assert read(d, "keep.txt") == "the old contents\n"
        assert sorted(os.listdir(d)) == ["big.txt", "keep.txt"]
        oru.send("\rX")  # the keys act, and leaving warns that the core file was not saved
        oru.wait_for("Xhe old contents")
        oru.send("\x03GO\r")
        oru.wait_for("WARNING: corefile 1 not saved")
        oru.send("\r")
        assert oru.wait_exit() == 0


if __name__ == "__main__":
    oruterm.main()
