"""Bytes the real oru writes to an 80 x 24 xterm pseudo-terminal: per character typed over text in
the middle of a line (one key at a time, each waited for), and per page down through a file of
ordinary prose, compared with the text the page shows.

Run: /usr/bin/python3 bench/bench_terminal_pty.py build/oru
"""
import curses
import os
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import oruterm  # noqa: E402

PROSE = [
    "It was late in the afternoon when the train",
    "pulled into the small station at the edge of",
    "the valley, and the few passengers who got",
    "off stood for a moment on the platform as if",
    "unsure whether they had arrived anywhere at",
    "all. The stationmaster, an old man with a",
    "grey moustache, came out of his office and",
    "looked at them over the top of his glasses.",
]


def drain(o):
    while o._pump(0.05):
        pass


def least_bytes_per_key(o):
    """The bytes that no drawing can avoid when every key is echoed and the status line's column
    field is brought up to date before the next key: the typed character, the changed digit, a
    cursor address to the field and one back to the text. Cursor addressing is the only
    movement the terminal description is used for."""
    curses.setupterm("xterm", sys.stdout.fileno() if sys.stdout.isatty() else o.child.child_fd)
    cup = curses.tigetstr("cup")
    field_col = o.screen.display[0].index(",") + 5  # the last digit of the column number
    to_field = curses.tparm(cup, 0, field_col)
    back = curses.tparm(cup, o.screen.cursor.y, o.screen.cursor.x)
    return len(to_field) + 1 + len(back) + 1


def main():
    workdir = tempfile.mkdtemp(prefix="oru-bench-")
    lines = [PROSE[i % len(PROSE)] for i in range(400)]
    with open(os.path.join(workdir, "prose.txt"), "w") as f:
        f.write("\n".join(lines) + "\n")
    o = oruterm.Oru(["prose.txt"], rows=24, cols=80, cwd=workdir, env={"TERM": "xterm"})
    try:
        o.wait_for(PROSE[0])
        o.send("\r")  # close the command line left open after the start-up fetch
        o.wait_screen(lambda s: "Typing" in s.row(23) or "Insert" in s.row(23), "typing mode")
        for _ in range(10):
            o.send("\x0b")  # Ctrl-K: down a line
        for _ in range(10):
            o.send("\x18")  # Ctrl-X: right
        o.wait_screen(lambda s: s.screen.cursor.y == 12 and s.screen.cursor.x == 12,
                      "the cursor in the middle of the text")
        drain(o)

        keys = 30
        start = len(o.raw)
        for i in range(keys):
            ch = chr(ord("a") + i % 26)
            o.send(ch)
            col = 13 + i
            o.wait_screen(lambda s, c=col: s.screen.cursor.x == c
                          and f"{c - 1:5d}" in s.row(0), f"column {col - 1}")
            drain(o)
        typed = (len(o.raw) - start) / keys
        floor = least_bytes_per_key(o)

        start = len(o.raw)
        o.send("xyzxyzxyzxyz")
        o.wait_screen(lambda s: s.screen.cursor.x == 12 + keys + 12, "the burst")
        drain(o)
        burst = (len(o.raw) - start) / 12

        pages = 10
        start = len(o.raw)
        shown = 0
        for p in range(pages):
            o.send("\x11")  # Ctrl-Q: page down
            top = 1 + 20 * (p + 1)
            o.wait_screen(lambda s, t=top: f"({t:5d}," in s.row(0), f"line {top}")
            drain(o)
            shown += sum(len(r.rstrip()) - 2 for r in o.screen.display[2:22] if r.strip())
        per_page = (len(o.raw) - start) / pages
        text = shown / pages
        print(f"typed, one key at a time: {typed:.1f} bytes per key "
              f"(least possible with the column field rewritten after every key: {floor})")
        print(f"typed ahead, 12 keys at once: {burst:.1f} bytes per key")
        print(f"page down: {per_page:.0f} bytes per page for {text:.0f} bytes of text, "
              f"{(per_page - text) / 20:.1f} bytes per row beyond the text")
    finally:
        o.close()


if __name__ == "__main__":
    main()
