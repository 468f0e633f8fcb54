"""Files through the real program: names from the command line fetched exactly, each file written
back in its own character set, a procedure that edits and leaves, EMIT blocks a driver reads, a
write that fails on a full disk, and emergency copies after a hang-up or a crash."""
import os
import shutil
import signal
import stat

import oruterm

UTF8 = {"LC_ALL": "C.UTF-8"}


def write(d, name, data):
    with open(os.path.join(d, name), "wb") as f:
        f.write(data if isinstance(data, bytes) else data.encode("latin-1"))


def read(d, name):
    return open(os.path.join(d, name), "rb").read()


def run_to_end(d, *args):
    with oruterm.Oru(list(args), cwd=d) as oru:
        assert oru.wait_exit() == 0


def started(args, cwd, env, wrapper=()):
    """oru, started through a wrapper program (setpriv, a shell) if one is given."""
    real = oruterm.ORU
    if wrapper:
        oruterm.ORU, args = wrapper[0], list(wrapper[1:]) + [real] + args
    try:
        return oruterm.Oru(args, cwd=cwd, env=env)
    finally:
        oruterm.ORU = real


def test_names_from_the_command_line_are_the_files_fetched():
    d = oruterm.scratch("oru-e2e-boundary-")
    names = ["my notes.txt", "a|b+c;$x.txt", "élève.txt", "-dash.txt"]
    for i, name in enumerate(names):
        write(d, name, f"text number {i}\n".encode())
        with oruterm.Oru([name], cwd=d, env=UTF8) as oru:
            oru.wait_for(name)  # the core file is named after it
            oru.send("\rX")  # written back under the core file's own name
            oru.wait_for(f"Xext number {i}")
            oru.send("\x03OV*\rGO\r")
            assert oru.wait_exit() == 0
        assert read(d, name) == f"Xext number {i}\n".encode(), name
    # A file that does not exist only names the core file; a name typed with accented letters
    # at a UTF-8 terminal is fetched.
    with oruterm.Oru(["brand-new.txt"], cwd=d, env=UTF8) as oru:
        oru.wait_for("brand-new.txt")
        oru.send("FEélève.txt\r".encode("utf-8"))
        oru.wait_for("Xext number 2")
        oru.send("GO\r")
        assert oru.wait_exit() == 0
    assert sorted(os.listdir(d)) == sorted(names), os.listdir(d)
    # A name that cannot be carried whole is refused before the screen opens.
    for args, why in [(["n" * 60 + ".txt"], "names are kept to 48 characters"),
                      (["-d", "d" * 47], "46 characters"), (["-p", "€uro.prc"], "no Latin-1 form"),
                      ([""], "an empty file name")]:
        status, out = oruterm.run_plain(args, cwd=d)
        assert status == 1 and why in out, (args, status, out)


def test_files_are_written_back_in_their_own_character_set():
    d = oruterm.scratch("oru-e2e-boundary-")
    # Long enough for the reader's 64-byte blocks; the trailing blanks go on reading.
    lines = ["café naïve", "« L'Haÿ-les-Roses »",
             "Les élèves étudient le français avec leur maître, à l'école."]
    for name, codec in [("utf8.txt", "utf-8"), ("latin.txt", "latin-1")]:
        write(d, name, "\n".join(lines).encode(codec) + b"   \n")
        with oruterm.Oru([name], cwd=d, env=UTF8) as oru:
            oru.wait_for(lines[2])
            oru.send("\rÉÀ".encode("utf-8"))  # typed over the start of line 1
            oru.wait_for("ÉÀfé naïve")
            oru.send("\x03ED13\r")
            oru.wait_for("Core file 1 is written in " + ("UTF-8" if codec == "utf-8" else "Latin-1"))
            oru.send("\rSAout.txt\rGO\r")
            assert oru.wait_exit() == 0
        assert read(d, "out.txt") == "\n".join(["ÉÀfé naïve", *lines[1:]]).encode(codec) + b"\n"
        os.unlink(os.path.join(d, "out.txt"))
    with oruterm.Oru(["utf8.txt"], cwd=d, env=UTF8) as oru:  # switched to Latin-1
        oru.send("ED14\r")
        oru.wait_for("Core file 1 is written in Latin-1")
        oru.send("\rSAnow.txt\rGO\r")
        assert oru.wait_exit() == 0
    assert read(d, "now.txt") == "\n".join(lines).encode("latin-1") + b"\n"



def test_procedure_edits_saves_answers_and_says_goodbye():
    d = oruterm.scratch("oru-e2e-files-")
    # OVERWRITE of a file not fetched asks, and GOODBYE asks about the changed core file 2: both
    # answers come from the procedure itself, whose name is taken exactly as given.
    for name, text in {"in.txt": "first\nsecond\n", "extra.txt": "third\n", "other.txt": "x\n",
                       "my proc;1.prc": "FEin.txt\nAPextra.txt\nSAout.txt\nOVother.txt\n\nCO2\n"
                                        "APextra.txt\nGO\n\n"}.items():
        write(d, name, text)
    run_to_end(d, "-p", "my proc;1.prc")
    assert read(d, "out.txt") == read(d, "other.txt") == b"first\nsecond\nthird\n"
    assert read(d, "in.txt") == b"first\nsecond\n"


def test_emit_sends_blocks_to_the_driver_only_when_asked():
    d = oruterm.scratch("oru-e2e-files-")
    # EMIT to the editor's own output, the default, sends nothing down the pipe: the first line
    # the driver reads is the answer to ASK 2.
    write(d, "short.txt", "one\ntwo\nthree\n")
    write(d, "drive.py", "#!/usr/bin/python3\nimport sys\ndef cmd(s):\n"
          "    sys.stdout.write(s + '\\r'); sys.stdout.flush()\ncmd('FEshort.txt'); cmd('EM1'); cmd('AS2')\n"
          "got = [sys.stdin.readline()]\ncmd('EM1|2|3|1')\n"
          "while got[-1] not in ('$$$\\r\\n', ''):\n    got.append(sys.stdin.readline())\n"
          "open('got.txt', 'w').write(''.join(got))\ncmd('GO')\n")
    os.chmod(os.path.join(d, "drive.py"), 0o755)
    run_to_end(d, "-d", "drive.py")
    assert read(d, "got.txt") == b"1\ntwo\nthree\n$$$\r\n"


def test_overwrite_on_a_full_disk_keeps_the_old_contents():
    d = oruterm.scratch("oru-e2e-files-")
    write(d, "keep.txt", "the old contents\n")
    write(d, "big.txt", "".join(f"line {i} of the big file\n" for i in range(2000)))
    # A file-size limit of a few blocks stands in for a disk that fills up during the write.
    oru = started(["keep.txt"], d, None, ("/bin/sh", "-c", 'ulimit -f 4; exec "$0" "$@"'))
    with oru:
        oru.wait_for("the old contents")
        oru.send("APbig.txt\rOVkeep.txt\r")
        oru.wait_for("Write Failed")
        oru.send("\r")
        assert read(d, "keep.txt") == b"the old contents\n"
        assert sorted(os.listdir(d)) == ["big.txt", "keep.txt"]
        oru.send("\rX")  # the keys act, and leaving warns that the core file was not saved
        oru.wait_for("Xhe old contents")
        oru.send("\x03GO\r")
        oru.wait_for("WARNING: corefile 1 not saved")
        oru.send("\r")
        assert oru.wait_exit() == 0



def test_copies_fall_back_to_home_then_temporary_directory():
    # A root test would write anywhere, whatever the permissions say: run as nobody.
    wrapper = ()
    if os.geteuid() == 0:
        if not shutil.which("setpriv"):
            print("skipped: no way to run unprivileged here")
            return
        wrapper = (shutil.which("setpriv"), "--reuid=65534", "--regid=65534", "--clear-groups", "--")
    base = oruterm.scratch("oru-e2e-emergency-")
    os.chmod(base, 0o755)
    locked, home, tmp = (os.path.join(base, n) for n in ("locked", "home", "tmp"))
    for d in (locked, home, tmp):
        os.mkdir(d, 0o777)
        os.chmod(d, 0o777)
    write(locked, "notes.txt", b"first line\n")
    os.chmod(os.path.join(locked, "notes.txt"), 0o666)
    os.chmod(locked, 0o555)
    write(home, "notes.txt.save", b"older\n")  # never replaced
    try:
        for where, name, hang in [(home, "notes.txt.save.1", signal.SIGHUP),
                                  (tmp, "notes.txt.save", signal.SIGTERM)]:
            with started(["notes.txt"], locked, dict(UTF8, HOME=home, TMPDIR=tmp), wrapper) as oru:
                oru.wait_for("first line")
                oru.send("\rE")
                oru.wait_for("Eirst line")
                oru.child.kill(hang)
                oru.wait_exit()
            assert read(where, name) == b"Eirst line\n"
            assert b"saved in " + os.path.join(where, name).encode() in oru.raw, oru.raw[-300:]
            os.chmod(home, 0o555)  # with the home directory closed too, the temporary one
        assert read(home, "notes.txt.save") == b"older\n"
        assert sorted(os.listdir(locked)) == ["notes.txt"]
    finally:
        os.chmod(locked, 0o755)
        os.chmod(home, 0o755)


def test_a_crash_leaves_copies_of_every_changed_core_file_written_as_save_writes():
    d = oruterm.scratch("oru-e2e-emergency-")
    os.mkdir(os.path.join(d, "elsewhere"))
    original = "first line\n\\rA|B|\n\\m x+1\nélève « ok »\n".encode()
    write(d, "notes.txt", original)
    with started(["notes.txt"], d, UTF8) as oru:
        oru.wait_for("first line")
        # After a change of directory the copy still goes beside its file; core file 2, never
        # named, goes in the current directory.
        oru.send("CDelsewhere\r\rE")
        oru.wait_for("Eirst line")
        oru.send("\x03CO2\r\rscratch text")
        oru.wait_for("scratch text")
        oru.child.kill(signal.SIGSEGV)
        oru.wait_exit()
        assert oru.child.signalstatus == signal.SIGSEGV, oru.child.exitstatus
    assert read(d, "notes.txt.save") == b"E" + original[1:]
    assert read(os.path.join(d, "elsewhere"), "oru-core-2.save") == b"scratch text\n"
    assert b"core file 2 saved in oru-core-2.save" in oru.raw, oru.raw[-400:]
    assert sorted(os.listdir(os.path.join(d, "elsewhere"))) == ["oru-core-2.save"]
    assert stat.S_IMODE(os.stat(os.path.join(d, "notes.txt.save")).st_mode) == 0o600



if __name__ == "__main__":
    oruterm.main()
