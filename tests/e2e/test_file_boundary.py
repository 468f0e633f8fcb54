"""The file boundary through the real program: names from the command line fetched exactly,
UTF-8 and Latin-1 files read, edited and written back in their own character set, and files that
cannot be read or written refused at once."""
import os

import oruterm

UTF8 = {"LC_ALL": "C.UTF-8"}


def write(d, name, data):
    with open(os.path.join(d, name), "wb") as f:
        f.write(data)


def read(d, name):
    with open(os.path.join(d, name), "rb") as f:
        return f.read()


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


def test_files_are_written_back_in_their_own_character_set_or_refused_whole():
    d = oruterm.scratch("oru-e2e-boundary-")
    lines = ["café naïve", "« guillemets »"]
    for name, codec in [("utf8.txt", "utf-8"), ("latin.txt", "latin-1")]:
        write(d, name, "\n".join(lines).encode(codec) + b"\n")
        with oruterm.Oru([name], cwd=d, env=UTF8) as oru:
            oru.wait_for(lines[1])
            oru.send("\rÉÀ".encode("utf-8"))  # typed over the start of line 1
            oru.wait_for("ÉÀfé naïve")
            oru.send("\x03ED13\r")
            oru.wait_for("Core file 1 is written in " + ("UTF-8" if codec == "utf-8" else "Latin-1"))
            oru.send("\rSAout.txt\rGO\r")
            assert oru.wait_exit() == 0
        assert read(d, "out.txt") == "\n".join(["ÉÀfé naïve", lines[1]]).encode(codec) + b"\n"
        os.unlink(os.path.join(d, "out.txt"))
    write(d, "euro.txt", "prix\n10 €\n".encode())
    os.mkfifo(os.path.join(d, "fifo"))
    with oruterm.Oru(["utf8.txt"], cwd=d, env=UTF8) as oru:
        oru.send("ED14\r")
        oru.wait_for("Core file 1 is written in Latin-1")
        oru.send("\r")
        for keys, message in [
                ("FEeuro.txt", "Line 2 holds U+20AC, which Latin-1 has not: file not read"),
                ("OVfifo", "File not found (or no write permission)"),
                ("FEfifo", "File not found (or no read permission)")]:
            oru.send(keys + "\r")
            oru.wait_for(message)
            oru.send("\r")
            oru.wait_screen(lambda o: message not in o.text(), "the message to go")
        oru.send("SAnow-latin.txt\r")
        latin = "\n".join(lines).encode("latin-1") + b"\n"
        oru.wait_screen(lambda _: os.path.exists(os.path.join(d, "now-latin.txt")) and
                        read(d, "now-latin.txt") == latin, "now-latin.txt written in Latin-1")
        oru.send("\rZ")  # the core file is as it was, and the keys still act
        oru.wait_for("Zafé naïve")
        oru.send("\x03GO\r")
        oru.wait_for("not saved")
        oru.send("\r")
        assert oru.wait_exit() == 0


if __name__ == "__main__":
    oruterm.main()
