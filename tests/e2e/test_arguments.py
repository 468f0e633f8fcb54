"""The program's arguments: help, version, missing names and too many arguments end it before the
terminal is touched; a file named like an option opens as ./name."""
import os

import oruterm


def test_help_version_and_faulty_arguments_print_and_exit():
    status, out = oruterm.run_plain(["-h"])
    assert status == 0 and "\x1b" not in out, (status, "the terminal was touched")
    assert out.startswith("\nTo start oru, use one of the following:") and out.endswith("\n\n")
    for form in ("oru <filename>", "oru -p <procedurefilename>", "oru -d <driverfilename>",
                 "oru -h  or  oru --help", "oru --version", "man oru", "./--help",
                 "(1) You MUST provide the exact path to <driverfilename> if",
                 "(2) To use palom, replace oru by palom.", "(3) For more help, see"):
        assert form in out, form
    assert oruterm.run_plain(["--help"]) == (0, out), "--help prints what -h prints"
    status, out = oruterm.run_plain(["--version"])
    assert status == 0 and out.startswith("oru ALPHA (built ") and out.count("\n") == 1, out
    for args, message in ((["-d"], "You need to give the name of the driver file."),
                          (["-p"], "You need to give the name of the procedure file."),
                          (["a", "b", "c"], "Too many arguments.")):
        status, out = oruterm.run_plain(args)
        assert (status, out.strip()) == (0, message + " Type oru -h for details."), (args, out)


def test_a_file_named_like_an_option_opens():
    folder = oruterm.scratch("oru-args-")
    with open(os.path.join(folder, "--help"), "w") as f:
        f.write("not an option\n")
    with oruterm.Oru(["./--help"], cwd=folder) as oru:
        oru.wait_screen(lambda o: o.row(2)[2:].startswith("not an option"), "the file's text")
        assert "--help" in oru.row(0), oru.row(0)
        oru.send("\rX")  # the keys act: a typed letter lands in the text
        oru.wait_screen(lambda o: o.row(2)[2:].startswith("Xot an option"), "the typed X")
        oru.send("\x03OV*\rGO\r")
        assert oru.wait_exit() == 0
    with open(os.path.join(folder, "--help")) as f:
        assert f.read() == "Xot an option\n"


if __name__ == "__main__":
    oruterm.main()
