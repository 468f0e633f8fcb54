"""Terminal set-up: a missing or unknown TERM, and the terminal left as it was found."""
import os

import pexpect

import oruterm


def run_with_term(term):
    env = dict(os.environ)
    env.pop("TERM", None)
    if term is not None:
        env["TERM"] = term
    child = pexpect.spawn(oruterm.ORU, [], env=env, dimensions=(24, 80))
    out = child.read()
    child.close()
    return child.exitstatus, out.decode("latin-1").replace("\r\n", "\n")


def test_missing_term_is_reported_with_status_0():
    status, out = run_with_term(None)
    assert status == 0, status
    assert out == "\nTERM variable not found\n", repr(out)


def test_unknown_term_is_refused_without_touching_the_terminal():
    status, out = run_with_term("no-such-terminal-kind")
    assert status != 0, status
    assert "no-such-terminal-kind" in out and "not known" in out, repr(out)
    assert out.count("\n") == 1, repr(out)
    assert "\x1b" not in out, "the terminal was touched"


if __name__ == "__main__":
    oruterm.main()
