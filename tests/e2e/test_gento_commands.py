"""The generation system's general commands in a real terminal: what is installed (QDISPLAY 0),
removing knowledge bases (RM_QFILES), the random seed (RANDOM SEED, PSEED) and error functions
(QERROR). Their reports land in core file 7."""
import os
import shutil
import tempfile

import oruterm


def start():
    work = tempfile.mkdtemp(prefix="oru_cmds_")
    shutil.copy(os.path.join(oruterm.SOURCE_DIR, "examples", "attributes.att"), work)
    oru = oruterm.Oru([], cwd=work)
    oru.wait_screen(lambda s: s.row(23).startswith("Expecting Command"), "the command prompt")
    return oru, work


def message(oru, text):
    """Waits for a message that asks for acknowledgement (it stands alone in the dashed line above
    the command line), then answers it with Return."""
    shown = "-" + text + "-"
    oru.wait_screen(lambda s: shown in s.row(22), "the message " + repr(text))
    oru.send("\r")
    oru.wait_screen(lambda s: shown not in s.row(22), "the message " + repr(text) + " acknowledged")


def test_installed_kinds_removal_and_seed():
    oru, work = start()
    try:
        oru.send("AT" + "attributes.att\r")
        oru.send("QD0\r")
        message(oru, "AT")
        oru.send("RMtm, xy\r")
        oru.send("RMa1\r")
        message(oru, "improper character in parameter")
        oru.send("RMat\r")
        oru.send("QD0\r")
        message(oru, "none")
        oru.send("RA10\r")
        oru.send("PS19\r")
        oru.send("QE21|abc\r")
        message(oru, "Integer too high")
        oru.send("CO7\r")
        oru.wait_for("Current random seed: 11")
        screen = oru.text()
        for line in ("uninstalled: none", "xy not a file kind", "uninstalled: AT",
                     "Setting random seed: 11"):
            assert line in screen, (line, screen)
        # Only the first uninstalled line is "none"; "a1" removed nothing and said nothing here.
        assert screen.count("uninstalled:") == 3, screen
    finally:
        oru.close()
        shutil.rmtree(work)


if __name__ == "__main__":
    oruterm.main([test_installed_kinds_removal_and_seed])
