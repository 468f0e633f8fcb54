"""The program's arguments: help, missing names and too many arguments end it before the terminal
is touched."""
import os

import oruterm


def test_help_prints_the_three_forms_and_exits():
    status, out = oruterm.run_plain(["-h"])
    assert status == 0, status
    assert out.startswith("\nTo start oru, use one of the following:"), repr(out)
    for form in ("oru <filename>", "oru -p <procedurefilename>", "oru -d <driverfilename>",
                 "Notes:", "(1) You MUST provide the exact path to <driverfilename> if",
                 "(2) To use palom, replace oru by palom.", "(3) For more help, see"):
        assert form in out, form
    assert out.endswith("\n\n"), repr(out[-10:])
    assert "\x1b" not in out, "the terminal was touched"


def test_long_options_print_to_standard_output_and_a_file_so_named_opens_as_dot_slash():
    status, out = oruterm.run_plain(["--help"])
    assert status == 0, status
    assert out == oruterm.run_plain(["-h"])[1], "--help prints what -h prints"
    for form in ("oru -h  or  oru --help", "oru --version", "oru -p <procedurefilename>",
                 "oru -d <driverfilename>", "oru <filename>", "man oru", "./--help"):
        assert form in out, form
    status, out = oruterm.run_plain(["--version"])
    assert status == 0, status
    assert out.startswith("oru ALPHA (built "), repr(out)
    assert out.count("\n") == 1 and "\x1b" not in out, repr(out)
    folder = oruterm.scratch("oru-args-")
    with open(os.path.join(folder, "--help"), "w") as f:
        f.write("not an option\n")
    oru = oruterm.Oru(["./--help"], cwd=folder)
    with oru:
        oru.wait_screen(lambda o: o.row(2)[2:].startswith("not an option"), "the file's text")
        assert "--help" in oru.row(0), oru.row(0)
        oru.send("\rX")  # the keys act: a typed letter lands in the text
        oru.wait_screen(lambda o: o.row(2)[2:].startswith("Xot an option"), "the typed X")
        oru.send("\x03OV*\rGO\r")
        assert oru.wait_exit() == 0
    with open(os.path.join(folder, "--help")) as f:
        assert f.read() == "Xot an option\n"


def test_missing_names_and_too_many_arguments():
    cases = {
        ("-d",): "You need to give the name of the driver file. Type oru -h for details.",
        ("-p",): "You need to give the name of the procedure file. Type oru -h for details.",
        ("a", "b", "c"): "Too many arguments. Type oru -h for details.",
    }
    for args, message in cases.items():
        status, out = oruterm.run_plain(list(args))
        assert status == 0, (args, status)
        assert out.strip() == message, (args, out)


def test_two_arguments_not_an_option_start_empty():
    folder = oruterm.scratch("oru-args-")
    with open(os.path.join(folder, "a.txt"), "w") as f:
        f.write("one\ntwo\n")
    # -h is the help only as the one argument.
    for args in (["a.txt", "b.txt"], ["-h", "a.txt"], ["--help", "a.txt"]):
        oru = oruterm.Oru(args, cwd=folder)
        try:
            oru.wait_for("Expecting Command")
            oru.wait_for("Lines: 1 ")
            assert "a.txt" not in oru.row(0) and "b.txt" not in oru.row(0), oru.row(0)
            oru.send("GO\r")
            assert oru.wait_exit() == 0
            assert "To start oru" not in oru.raw.decode("latin-1"), args
        finally:
            oru.close()


if __name__ == "__main__":
    oruterm.main()
