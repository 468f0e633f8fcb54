"""Reloading a knowledge base after a generation: reading the lexicon, the terminals or the
attributes again, or removing the lexicon with RM_QFILES, drops the generation's trees, sentences
and preselections with it. QDISPLAY 8 then lists nothing, the editor goes on taking keys, and a new
generation works once the files are back."""
import oruterm

FILES = {
    "a.att": "NUMBER ( sg , pl ) TAG ( subj , obj ) %\n",
    "a.tm": "DET N V\n",
    "a.lex": "\"the\" | DET | | 10 | #1 |\n\"dog\" | N | sg | 10 | #1 |\n\"barks\" | V | sg | 10 | #1 |\n",
    "a.syn": "PRESELECT = subj : N[sg] %\nROOT = DET N /_pre_ subj V[sg] %\n",
}


def command(oru, text):
    oru.send(text + "\r")


def generate(oru):
    """Closes the command line, generates once, and opens the command line again."""
    oru.send("\r")
    oru.wait_screen(lambda s: not s.row(23).startswith("Expecting Command"), "the editing screen")
    oru.send("\x1bg\x03")
    oru.wait_screen(lambda s: s.row(23).startswith("Expecting Command"), "the command prompt")


def test_reloading_a_store_after_a_generation_with_a_preselection():
    oru, work = oruterm.start_in_scratch("oru_reload_", files=FILES)
    with oru:
        for name, text in (("AT", "a.att"), ("TM", "a.tm"), ("LE", "a.lex"), ("SY", "a.syn")):
            command(oru, name + text)
        for reload in ("LEa.lex", "RMle", "TMa.tm", "ATa.att"):
            for name, text in (("TM", "a.tm"), ("LE", "a.lex")):
                command(oru, name + text)
            generate(oru)
            command(oru, "CO7")
            oru.wait_for("Transformed Sentence : the dog barks")
            command(oru, reload)
            # The list of preselections is empty now: the last lines stay the removal report.
            command(oru, "QD8")
            command(oru, "CO7")
            oru.wait_screen(lambda s: any(r.strip().startswith("uninstalled:") for r in
                                          s.screen.display), "the removal report")
            last = [r.strip() for r in oru.screen.display if r.strip()]
            assert not any(r.startswith("subj") for r in last), oru.text()
        # Keys still act: type into core file 1.
        command(oru, "CO1")
        oru.send("\r")
        oru.wait_screen(lambda s: not s.row(23).startswith("Expecting Command"), "the editing screen")
        oru.send("still here")
        oru.wait_screen(lambda s: s.row(2)[2:].startswith("still here"), "the typed text")


if __name__ == "__main__":
    oruterm.main()
