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
    names = ["my notes.txt", "a|b.txt", "a+b.txt", "élève.txt", "-dash.txt"]
    for i, name in enumerate(names):
        write(os.path.join(d, name), f"text number {i}\n".encode())
    for i, name in enumerate(names):
        with oruterm.Oru([name], cwd=d, env=UTF8) as oru:
            oru.wait_for(f"text number {i}")
            oru.wait_for(name)  # the core file is named after it
            # Change the text and write it back under the core file's own name.
            oru.send("\r")
            oru.send("X")
            oru.wait_for(f"Xext number {i}")
            oru.send("\x03OV*\rGO\r")
            assert oru.wait_exit() == 0
        assert read(os.path.join(d, name)) == f"Xext number {i}\n".encode(), name
    assert sorted(os.listdir(d)) == sorted(names), os.listdir(d)

    # FETCH of a name typed with accented letters at a UTF-8 terminal.
    with oruterm.Oru([], cwd=d, env=UTF8) as oru:
        oru.wait_for("Expecting Command")
        oru.send("FEélève.txt\r".encode("utf-8"))
        oru.wait_for("Xext number 3")
        oru.wait_for("élève.txt")
        oru.send("GO\r")
        assert oru.wait_exit() == 0

    # A name that cannot be carried whole is refused before the screen opens.
    long = "n" * 60 + ".txt"
    status, out = oruterm.run_plain([long], cwd=d)
    assert status == 1 and "names are kept to 48 characters" in out, (status, out)
    status, out = oruterm.run_plain(["-d", "d" * 47], cwd=d)
    assert status == 1 and "46 characters" in out, (status, out)
    status, out = oruterm.run_plain(["-p", "€uro.prc"], cwd=d)
    assert status == 1 and "no Latin-1 form" in out, (status, out)
    status, out = oruterm.run_plain([""], cwd=d)
    assert status == 1 and "an empty file name" in out, (status, out)


def test_a_procedure_named_on_the_command_line_runs_exactly():
    d = scratch()
    write(os.path.join(d, "my proc;1.prc"), "FEinput.txt\n".encode())
    write(os.path.join(d, "input.txt"), b"fetched by the procedure\n")
    with oruterm.Oru(["-p", "my proc;1.prc"], cwd=d, env=UTF8) as oru:
        oru.wait_for("fetched by the procedure")
        oru.send("GO\r")
        assert oru.wait_exit() == 0


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
            oru.send("\r")
            oru.send("ÉÀ".encode("utf-8"))
            oru.wait_for("ÉÀfé naïve")
            oru.send("\x03SAout.txt\rGO\r")
            assert oru.wait_exit() == 0
        out = read(os.path.join(d, "out.txt"))
        expected = "\n".join(["ÉÀfé naïve"] + lines[1:]).encode(codec) + b"\n"
        assert out == expected, (name, out)
        # The untouched lines are byte for byte those of the file.
        assert out.split(b"\n")[1:] == original.split(b"\n")[1:]
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


def test_a_utf8_file_with_characters_beyond_latin1_is_refused():
    d = scratch()
    write(os.path.join(d, "euro.txt"), "prix\n10 €\n".encode())
    write(os.path.join(d, "other.txt"), b"other text\n")
    with oruterm.Oru(["other.txt"], cwd=d, env=UTF8) as oru:
        oru.wait_for("other text")
        oru.send("FEeuro.txt\r")
        oru.wait_for("Line 2 holds U+20AC, which Latin-1 has not: file not read")
        oru.send("\r")
        oru.wait_for("Expecting Command")
        assert "other text" in oru.text()
        oru.send("GO\r")
        assert oru.wait_exit() == 0


def test_pipes_do_not_hold_the_editor():
    d = scratch()
    os.mkfifo(os.path.join(d, "fifo"))
    write(os.path.join(d, "notes.txt"), b"notes\n")
    with oruterm.Oru(["notes.txt"], cwd=d, env=UTF8) as oru:
        oru.wait_for("notes")
        # Nobody is at the other end of the pipe: the checks answer at once.
        oru.send("OVfifo\r")
        oru.wait_for("File not found (or no write permission)")
        oru.send("\r")
        oru.send("FEfifo\r")
        oru.wait_for("File not found (or no read permission)")
        oru.send("\r")
        # The keys still act.
        oru.send("\r")
        oru.send("Z")
        oru.wait_for("Zotes")
        oru.send("\x03GO\r")
        oru.wait_for("not saved")
        oru.send("\r")
        assert oru.wait_exit() == 0


if __name__ == "__main__":
    oruterm.main()
