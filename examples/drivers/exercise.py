#!/usr/bin/python3
"""An exercise with the English example: oru asks a question, a learner's answers are checked
word by word, and a readable report says what was right and what was wrong.

Start it from any folder with a file of answers, one a line:

    examples/drivers/exercise.py answers.txt [report.txt [seed]]

It starts oru in the terminal with itself as the driver program (oru -d), loads the English rule
set with its files for checking answers, generates a question and its answer, and types each
learner's answer into an empty core file 1 and presses the analysis key (ESC K). The analysis writes its
report into core file 15, which ASK 14 sends back here; the readable form goes to report.txt
(exercise.report when no name is given). A seed makes the question the same at every run.
oru is looked for in the ORU environment variable, then beside this tree (build/oru), then on
the PATH.
"""
import os
import select
import shutil
import sys

RETURN = "\r"
ESC = "\x1b"
CTRL_C = "\x03"           # opens the command line
GENERATE = ESC + "g"      # the generate key
ANALYSE = ESC + "K"       # the analysis key: the response is the text from the cursor on
LINE_START = ESC + "D"
HERE = os.path.dirname(os.path.abspath(__file__))
RULES = os.path.normpath(os.path.join(HERE, "..", "english"))
NAME_ROOM = 48            # characters of a file name parameter
FILES = (("AT", "att"), ("TM", "tm"), ("LE", "lex"), ("MO", "mor"), ("TB", "tbl"), ("SY", "syn"),
         ("TG", "tag"), ("MR", "mre"), ("IP", "ipa"))


# ---------------------------------------------------------------------------------------------
# Started by the user: start oru with this program as its driver
# ---------------------------------------------------------------------------------------------

def find_oru():
    candidates = [os.environ.get("ORU"), os.path.join(HERE, "..", "..", "build", "oru"),
                  shutil.which("oru")]
    for c in candidates:
        if c and os.path.isfile(c) and os.access(c, os.X_OK):
            return os.path.abspath(c)
    sys.exit("exercise.py: oru not found; set ORU to the program's path")


def launch(args):
    if not args or len(args) > 3:
        sys.exit("usage: exercise.py answers.txt [report.txt [seed]]")
    answers = os.path.abspath(args[0])
    if not os.path.isfile(answers):
        sys.exit("exercise.py: no file " + args[0])
    report = os.path.abspath(args[1] if len(args) > 1 else "exercise.report")
    env = dict(os.environ, ORU_EXERCISE_ANSWERS=answers, ORU_EXERCISE_REPORT=report,
               ORU_EXERCISE_SEED=args[2] if len(args) > 2 else "0")
    me = os.path.relpath(os.path.abspath(__file__))
    if not me.startswith(".." + os.sep) and os.sep not in me:
        me = "." + os.sep + me                   # a name without a folder is looked up on PATH
    if len(me) > NAME_ROOM:
        me = os.path.abspath(__file__)
    oru = find_oru()
    os.execve(oru, [oru, "-d", me], env)


# ---------------------------------------------------------------------------------------------
# Run by oru: keys go out on standard output, answers come in on standard input
# ---------------------------------------------------------------------------------------------

def keys(text):
    sys.stdout.buffer.write(text.encode("latin-1", "replace"))
    sys.stdout.flush()


def command(text):
    """Types a command and Return; the command line is open."""
    keys(text + RETURN)


_pending = b""


def line_from_oru(wait=30):
    """One line that oru sent (Latin-1, one byte a character); gives up after `wait` seconds
    of silence rather than hang."""
    global _pending
    while b"\n" not in _pending:
        ready, _, _ = select.select([0], [], [], wait)
        chunk = os.read(0, 4096) if ready else b""
        if not chunk:
            sys.exit("oru went away or sent nothing")
        _pending += chunk
    line, _pending = _pending.split(b"\n", 1)
    return line.decode("latin-1").rstrip("\r")


def sentence(number):
    """QTALK: oru sends START, the generated sentence of that number, and END."""
    command("QT%d" % number)
    words = []
    while True:
        line = line_from_oru()
        if line.startswith("START"):
            line = line[len("START"):]
        done = line.endswith("END")
        if done:
            line = line[:-len("END")]
        if line.strip():
            words.append(line.strip())
        if done:
            return " ".join(words)


def error_report():
    """ASK 14: the number of lines of core file 15, then the lines."""
    command("AS14")
    count = int(line_from_oru())
    return [line_from_oru() for _ in range(count)]


def typed(text):
    """The answer as keys: printable Latin-1 characters only, so that no byte of it acts as a
    key of its own."""
    return "".join(c if " " <= c <= "~" or "\xa0" <= c <= "\xff" else "?" for c in text)


def read_answers(path):
    with open(path, "rb") as f:
        raw = f.read()
    try:
        text = raw.decode("utf-8")
    except UnicodeDecodeError:
        text = raw.decode("latin-1")
    return [line.strip() for line in text.splitlines()]


def readable(line):
    """A line of the error report in words, or None for a line that needs none."""
    parts = line.split()
    if not parts:
        return None
    if parts[0] == "CORRECT":
        return "Correct."
    if len(parts) >= 4 and parts[1] == "--" and parts[2] == "MISSING":
        return 'word %s is missing: "%s"' % (parts[0][1:], " ".join(parts[3:]))
    if len(parts) >= 4 and parts[0] == "--" and parts[2] == "EXTRA":
        return 'word "%s" is one too many' % " ".join(parts[3:])
    if len(parts) < 4 or not parts[0].startswith("C") or not parts[1].startswith("S"):
        return None
    kind, pair, more = parts[2], parts[3], " ".join(parts[4:])
    expected, _, given = pair.partition("/")
    where = 'word %s "%s"' % (parts[1][1:], given)
    if kind == "EXACT":
        return None
    if kind == "APPROX":
        return '%s: a spelling slip for "%s"' % (where, expected)
    if kind == "MORPH":
        return '%s: another form of "%s" (expected / given: %s)' % (where, expected, more)
    if kind == "PHONO":
        return '%s: sounds like "%s" but is spelled otherwise (%s)' % (where, expected, more)
    if kind == "LEX":
        return '%s: a word related to "%s" (%s)' % (where, expected, more)
    return None


def drive():
    answers = read_answers(os.environ["ORU_EXERCISE_ANSWERS"])
    report_path = os.environ["ORU_EXERCISE_REPORT"]
    seed = os.environ.get("ORU_EXERCISE_SEED", "0")

    # oru starts us with its command line open. It reads the rule files from their folder.
    rules = os.path.relpath(RULES)
    if len(rules) > NAME_ROOM:
        rules = RULES
    if len(rules) > NAME_ROOM:
        sys.exit("exercise.py: the rule folder's name is too long for oru: " + RULES)
    command("CD" + rules)
    for letters, suffix in FILES:
        command(letters + "english." + suffix)
    command("MP21|8|9")           # the sounds of a word are in lexicon fields 8 and 9
    keys(RETURN)                  # answers "phonology passes have been set"
    command("RA" + seed)          # RANDOM SEED; 0 takes one from the clock
    keys(RETURN + GENERATE + CTRL_C)
    question, expected = sentence(1), sentence(2)

    out = ["Exercise", "Question: " + question, "Expected answer: " + expected, ""]
    for n, answer in enumerate(answers, 1):
        if not answer:
            continue
        command("CO15")
        command("CL")             # CLEAR: ASK 14 then sends this answer's report alone
        command("CO1")
        command("CL")             # core file 1 holds this answer alone
        keys(RETURN)              # leaves the command line
        keys(typed(answer) + LINE_START + ANALYSE + CTRL_C)
        lines = error_report()
        out.append("Answer %d: %s" % (n, answer))
        score = next((l.split(":", 1)[1].strip() for l in lines if l.startswith("SCORE")), "?")
        out.append("  score %s (0: no mistake)" % score)
        for line in lines:
            if line.startswith("(response cut"):
                out.append("  " + line.strip("()") + ": the rest was not checked")
            text = readable(line)
            if text:
                out.append("  " + text)
        out.append("")
    with open(report_path, "w", encoding="utf-8") as f:
        f.write("\n".join(out))
    command("CO1")
    command("CL")                 # nothing left unsaved, so GOODBYE asks nothing
    command("GO")


if __name__ == "__main__":
    if "ORU_EXERCISE_ANSWERS" in os.environ and not sys.stdin.isatty():
        drive()
    else:
        launch(sys.argv[1:])
