"""Emergency copies: where they go when the file's own directory takes no file, after a change of
directory, what they hold, and a crash that still leaves them."""
import os
import shutil
import signal
import stat

import oruterm

UTF8 = {"LC_ALL": "C.UTF-8"}


def scratch():
    d = oruterm.scratch("oru-e2e-emergency-")
    os.chmod(d, 0o755)
    return d


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def read(path):
    with open(path, "rb") as f:
        return f.read()


def as_nobody():
    """Runs oru as an unprivileged user where the machine allows it: a root test would write
    anywhere, whatever the permissions say."""
    if os.geteuid() != 0:
        return None
    setpriv = shutil.which("setpriv")
    return [setpriv, "--reuid=65534", "--regid=65534", "--clear-groups", "--"] if setpriv else None


class Started(oruterm.Oru):
    """oru started through a wrapper program (setpriv), with the same screen handling."""

    def __init__(self, wrapper, args, cwd, env):
        real = oruterm.ORU
        if wrapper:
            oruterm.ORU = wrapper[0]
            args = wrapper[1:] + [real] + list(args)
        try:
            super().__init__(args, cwd=cwd, env=env)
        finally:
            oruterm.ORU = real


def edit_and_hang_up(args, cwd, env, hang=signal.SIGHUP, wrapper=None):
    oru = Started(wrapper, args, cwd, env)
    with oru:
        oru.wait_for("first line")
        oru.send("\r")
        oru.send("E")
        oru.wait_for("Eirst line")
        oru.child.kill(hang)
        oru.wait_exit()
    return oru


def test_copies_fall_back_to_home_then_temporary_directory():
    wrapper = as_nobody()
    base = scratch()
    locked = os.path.join(base, "locked")
    home = os.path.join(base, "home")
    tmp = os.path.join(base, "tmp")
    for d in (locked, home, tmp):
        os.mkdir(d)
    os.chmod(home, 0o777)
    os.chmod(tmp, 0o777)
    write(os.path.join(locked, "notes.txt"), b"first line\n")
    os.chmod(os.path.join(locked, "notes.txt"), 0o666)
    os.chmod(locked, 0o555)
    if wrapper is None and os.geteuid() == 0:
        print("skipped: no way to run unprivileged here")
        return
    env = dict(UTF8, HOME=home, TMPDIR=tmp)
    try:
        # An older copy in the home directory is never replaced.
        write(os.path.join(home, "notes.txt.save"), b"older\n")
        oru = edit_and_hang_up(["notes.txt"], locked, env, wrapper=wrapper)
        assert read(os.path.join(home, "notes.txt.save.1")) == b"Eirst line\n"
        assert read(os.path.join(home, "notes.txt.save")) == b"older\n"
        assert b"saved in " + home.encode() + b"/notes.txt.save.1" in oru.raw, oru.raw[-300:]

        # With the home directory closed too, the temporary directory takes it.
        os.chmod(home, 0o555)
        oru = edit_and_hang_up(["notes.txt"], locked, env, hang=signal.SIGTERM, wrapper=wrapper)
        assert read(os.path.join(tmp, "notes.txt.save")) == b"Eirst line\n"
        assert b"saved in " + tmp.encode() + b"/notes.txt.save" in oru.raw
        assert sorted(os.listdir(locked)) == ["notes.txt"]
    finally:
        os.chmod(locked, 0o755)
        os.chmod(home, 0o755)


def test_a_crash_leaves_copies_of_every_changed_core_file_written_as_save_writes():
    d = scratch()
    os.mkdir(os.path.join(d, "elsewhere"))
    original = "first line\n\\rA|B|\n\\m x+1\nélève « ok »\n".encode()
    write(os.path.join(d, "notes.txt"), original)
    oru = Started(None, ["notes.txt"], d, UTF8)
    with oru:
        oru.wait_for("first line")
        # After a change of directory the copy still goes beside its file.
        oru.send("CDelsewhere\r\r")
        oru.send("E")
        oru.wait_for("Eirst line")
        # A second core file, never named, changed too: its copy goes in the current directory.
        oru.send("\x03CO2\r\r")
        oru.send("scratch text")
        oru.wait_for("scratch text")
        oru.child.kill(signal.SIGSEGV)
        oru.wait_exit()
        assert oru.child.signalstatus == signal.SIGSEGV, (oru.child.exitstatus,
                                                          oru.child.signalstatus)
    assert read(os.path.join(d, "notes.txt.save")) == b"E" + original[1:]
    assert read(os.path.join(d, "elsewhere", "oru-core-2.save")) == b"scratch text\n"
    assert b"core file 2 saved in oru-core-2.save" in oru.raw, oru.raw[-400:]
    assert sorted(os.listdir(os.path.join(d, "elsewhere"))) == ["oru-core-2.save"]
    mode = stat.S_IMODE(os.stat(os.path.join(d, "notes.txt.save")).st_mode)
    assert mode == 0o600, oct(mode)


if __name__ == "__main__":
    oruterm.main()
