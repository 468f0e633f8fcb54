"""The file boundary through the real program: names from the command line fetched exactly,
UTF-8 and Latin-1 files read, edited and written back in their own character set."""
import os

import oruterm

UTF8 = {"LC_ALL": "C.UTF-8"}


def write(d, name, data):
    with open(os.path.join(d, name), "wb") as f:
        f.write(data)


def read(d, name):
    return open(os.path.join(d, name), "rb").read()


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
    with oruterm.Oru(["utf8.txt"], cwd=d, env=UTF8) as oru:  # switched to Latin-1
        oru.send("ED14\r")
        oru.wait_for("Core file 1 is written in Latin-1")
        oru.send("\rSAnow.txt\rGO\r")
        assert oru.wait_exit() == 0
    assert read(d, "now.txt") == "\n".join(lines).encode("latin-1") + b"\n"


if __name__ == "__main__":
    oruterm.main()
