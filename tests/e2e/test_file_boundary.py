"""The file boundary through the real program: names from the command line fetched exactly,
UTF-8 and Latin-1 files read, edited and written back in their own character set, and pipes that
no longer hold the editor."""
import os

import oruterm

UTF8 = {"LC_ALL": "C.UTF-8"}


def scratch():
    return oruterm.scratch("oru-e2e-boundary-")


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def read(path):
    with open(path, "rb") as f:
        return f.read()


def test_names_from_the_command_line_are_the_files_fetched():
    d = scratch()
    names = ["my notes.txt", "a|b+c;$x.txt", "élève.txt", "-dash.txt"]
    for i, name in enumerate(names):
        write(os.path.join(d, name), f"text number {i}\n".encode())
        with oruterm.Oru([name], cwd=d, env=UTF8) as oru:
            oru.wait_for(f"text number {i}")
            oru.wait_for(name)  # the core file is named after it
            # Change the text and write it back under the core file's own name.
            oru.send("\rX")
            oru.wait_for(f"Xext number {i}")
            oru.send("\x03OV*\rGO\r")
            assert oru.wait_exit() == 0
        assert read(os.path.join(d, name)) == f"Xext number {i}\n".encode(), name
    assert sorted(os.listdir(d)) == sorted(names), os.listdir(d)

    # A file that does not exist only names the core file; a name typed with accented letters
    # at a UTF-8 terminal is fetched.
    with oruterm.Oru(["brand-new.txt"], cwd=d, env=UTF8) as oru:
        oru.wait_for("brand-new.txt")
        oru.send("FEélève.txt\r".encode("utf-8"))
        oru.wait_for("Xext number 2")
        oru.wait_for("élève.txt")
        oru.send("GO\r")
        assert oru.wait_exit() == 0
    assert not os.path.exists(os.path.join(d, "brand-new.txt"))

    # A name that cannot be carried whole is refused before the screen opens.
    for args, why in [(["n" * 60 + ".txt"], "names are kept to 48 characters"),
                      (["-d", "d" * 47], "46 characters"), (["-p", "€uro.prc"], "no Latin-1 form"),
                      ([""], "an empty file name")]:
        status, out = oruterm.run_plain(args, cwd=d)
        assert status == 1 and why in out, (args, status, out)


def test_utf8_and_latin1_files_are_written_back_as_they_came():
    d = scratch()
    lines = ["café naïve", "über España", "« guillemets »", "plain line"]
    cases = [("utf8.txt", "utf-8"), ("latin.txt", "latin-1")]
    for name, codec in cases:
        original = "\n".join(lines).encode(codec) + b"\n"
        write(os.path.join(d, name), original)
        with oruterm.Oru([name], cwd=d, env=UTF8) as oru:
            for line in lines:
                oru.wait_for(line)
            # Close the command line and type accented letters over the start of line 1.
            oru.send("\rÉÀ".encode("utf-8"))
            oru.wait_for("ÉÀfé naïve")
            oru.send("\x03SAout.txt\rGO\r")
            assert oru.wait_exit() == 0
        out = read(os.path.join(d, "out.txt"))
        expected = "\n".join(["ÉÀfé naïve"] + lines[1:]).encode(codec) + b"\n"
        assert out == expected, (name, out)  # the untouched lines byte for byte
        os.unlink(os.path.join(d, "out.txt"))


def test_the_character_set_of_a_core_file_can_be_seen_and_changed():
    d = scratch()
    write(os.path.join(d, "utf8.txt"), "café\n".encode())
    with oruterm.Oru(["utf8.txt"], cwd=d, env=UTF8) as oru:
        oru.wait_for("café")
        oru.send("ED13\r")
        oru.wait_for("Core file 1 is written in UTF-8")
        oru.send("\r")
        oru.send("ED14\r")
        oru.wait_for("Core file 1 is written in Latin-1")
        oru.send("\rSAlatin.txt\r")
        oru.send("CO2\rED13\r")  # a core file from no file follows the locale
        oru.wait_for("Core file 2 is written in UTF-8 (the locale's; it came from no file)")
        oru.send("\rGO\r")
        assert oru.wait_exit() == 0
    assert read(os.path.join(d, "latin.txt")) == b"caf\xe9\n"
    assert read(os.path.join(d, "utf8.txt")) == "café\n".encode()


def test_files_that_cannot_be_read_or_written_are_refused_at_once():
    d = scratch()
    write(os.path.join(d, "euro.txt"), "prix\n10 €\n".encode())
    os.mkfifo(os.path.join(d, "fifo"))
    write(os.path.join(d, "notes.txt"), b"notes\n")
    with oruterm.Oru(["notes.txt"], cwd=d, env=UTF8) as oru:
        oru.wait_for("notes")
        # A character Latin-1 lacks; a pipe nobody is at the other end of.
        for keys, message in [
                ("FEeuro.txt", "Line 2 holds U+20AC, which Latin-1 has not: file not read"),
                ("OVfifo", "File not found (or no write permission)"),
                ("FEfifo", "File not found (or no read permission)")]:
            oru.send(keys + "\r")
            oru.wait_for(message)
            oru.send("\r")
            oru.wait_screen(lambda o: message not in o.text(), "the message to go")
        # The core file is as it was, and the keys still act.
        oru.send("\rZ")
        oru.wait_for("Zotes")
        oru.send("\x03GO\r")
        oru.wait_for("not saved")
        oru.send("\r")
        assert oru.wait_exit() == 0


if __name__ == "__main__":
    oruterm.main()
