"""Emergency copies: where they go when the file's own directory takes no file, after a change of
directory, what they hold, and a crash that still leaves them."""
import os
import shutil
import signal
import stat

import oruterm

UTF8 = {"LC_ALL": "C.UTF-8"}


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def read(path):
    return open(path, "rb").read()


def started(args, cwd, env, wrapper=()):
    """oru, started through a wrapper program (setpriv) if one is given."""
    real = oruterm.ORU
    if wrapper:
        oruterm.ORU, args = wrapper[0], list(wrapper[1:]) + [real] + args
    try:
        return oruterm.Oru(args, cwd=cwd, env=env)
    finally:
        oruterm.ORU = real


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
    write(os.path.join(locked, "notes.txt"), b"first line\n")
    os.chmod(os.path.join(locked, "notes.txt"), 0o666)
    os.chmod(locked, 0o555)
    write(os.path.join(home, "notes.txt.save"), b"older\n")  # never replaced
    try:
        for where, name, hang in [(home, "notes.txt.save.1", signal.SIGHUP),
                                  (tmp, "notes.txt.save", signal.SIGTERM)]:
            with started(["notes.txt"], locked, dict(UTF8, HOME=home, TMPDIR=tmp), wrapper) as oru:
                oru.wait_for("first line")
                oru.send("\rE")
                oru.wait_for("Eirst line")
                oru.child.kill(hang)
                oru.wait_exit()
            assert read(os.path.join(where, name)) == b"Eirst line\n"
            assert b"saved in " + os.path.join(where, name).encode() in oru.raw, oru.raw[-300:]
            os.chmod(home, 0o555)  # with the home directory closed too, the temporary one
        assert read(os.path.join(home, "notes.txt.save")) == b"older\n"
        assert sorted(os.listdir(locked)) == ["notes.txt"]
    finally:
        os.chmod(locked, 0o755)
        os.chmod(home, 0o755)


def test_a_crash_leaves_copies_of_every_changed_core_file_written_as_save_writes():
    d = oruterm.scratch("oru-e2e-emergency-")
    os.mkdir(os.path.join(d, "elsewhere"))
    original = "first line\n\\rA|B|\n\\m x+1\nélève « ok »\n".encode()
    write(os.path.join(d, "notes.txt"), original)
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
    assert read(os.path.join(d, "notes.txt.save")) == b"E" + original[1:]
    assert read(os.path.join(d, "elsewhere", "oru-core-2.save")) == b"scratch text\n"
    assert b"core file 2 saved in oru-core-2.save" in oru.raw, oru.raw[-400:]
    assert sorted(os.listdir(os.path.join(d, "elsewhere"))) == ["oru-core-2.save"]
    assert stat.S_IMODE(os.stat(os.path.join(d, "notes.txt.save")).st_mode) == 0o600


if __name__ == "__main__":
    oruterm.main()
