// Bytes sent to an xterm for the two commonest redraws: a character typed over text in the middle
// of a line, and a page down through a file of prose. The screen commands go through the real
// display, interpreter and terminal output; the handlers' effect on the cursor is reproduced.
#include <benchmark/benchmark.h>

#include <string>

#include "corutils.hpp"
#include "display.hpp"
#include "globals.hpp"
#include "linutils.hpp"
#include "sys_linux.hpp"
#include "terminal.hpp"

namespace {

// Lines of ordinary prose, about 44 characters each.
const char* const kProse[] = {
    "It was late in the afternoon when the train", "pulled into the small station at the edge of",
    "the valley, and the few passengers who got",  "off stood for a moment on the platform as if",
    "unsure whether they had arrived anywhere at", "all. The stationmaster, an old man with a",
    "grey moustache, came out of his office and",  "looked at them over the top of his glasses.",
};

std::string bytes;

// Core file 1 holds `lines` lines of prose; the screen shows its top with the cursor on line
// `cursor_line`, column `col`, and the terminal is up to date.
void set_up(int lines, int cursor_line, int col) {
    reset_store();
    reset_geometry();
    reset_display();
    load_terminfo("xterm");
    set_output_capture(&bytes);
    COREFILE& cf = cur();
    cf.lnptr = cf.header->down;
    for (int i = 0; i < lines; ++i) {
        if (i > 0) allocln(kObjNew, 0);
        for (const char* p = kProse[i % 8]; *p != '\0'; ++p)
            cadd(*p);
    }
    cf.disln = cf.header->down;
    cf.lnptr = cf.disln;
    for (int i = 1; i < cursor_line; ++i)
        cf.lnptr = cf.lnptr->down;
    cf.curline = cursor_line;
    cf.curcol = col;
    gendis();
    discur();
    txtcur();
    screen_refresh();
    bytes.clear();
}

// What the edit loop does after a handler: redraw, status, cursor, and the refresh before the
// next key is read.
void after_operation() {
    display();
    putstats();
    discur();
    txtcur();
    screen_refresh();
}

// state.range(0): keys read before the screen is brought up to date (1 for keys typed one at a
// time; more when keys are typed ahead, as from key repeat or a fast typist).
void BM_BytesPerTypedCharacter(benchmark::State& state) {
    set_up(40, 12, 10);
    const long burst = state.range(0);
    long keys = 0;
    for (auto _ : state) {
        COREFILE& cf = cur();
        // Overtyping: the byte under the cursor changes, the cursor moves on, the echo is asked.
        textbase[cf.lnptr->index + cf.curcol - 1] = static_cast<unsigned char>('a' + keys % 26);
        holdch = static_cast<char>('a' + keys % 26);
        cf.curcol = cf.curcol >= 40 ? 10 : cf.curcol + 1;
        redisplay = cf.curcol == 10 ? 5 : 4;
        display();
        putstats();
        discur();
        txtcur();
        if (++keys % burst == 0) screen_refresh();
    }
    state.counters["bytes_per_key"] =
        benchmark::Counter(static_cast<double>(bytes.size()) / static_cast<double>(keys));
    set_output_capture(nullptr);
}
BENCHMARK(BM_BytesPerTypedCharacter)->Arg(1)->Arg(4)->Iterations(3000);

void BM_BytesPerPageDown(benchmark::State& state) {
    constexpr int kLines = 2000;
    set_up(kLines, 1, 1);
    long pages = 0;
    long text = 0;
    for (auto _ : state) {
        COREFILE& cf = cur();
        LINE* top = cf.disln;
        for (int i = 0; i < depth && top->down != cf.header; ++i)
            top = top->down;
        if (top->down == cf.header) top = cf.header->down;  // back to the top, as a new file
        cf.disln = top;
        cf.lnptr = top;
        cf.curline = distance(cf.header, top);
        redisplay = 1;
        const LINE* l = top;
        for (int r = 0; r < depth && l != cf.header; ++r, l = l->down)
            text += l->length;
        after_operation();
        ++pages;
    }
    const double per_page = static_cast<double>(bytes.size()) / static_cast<double>(pages);
    const double text_per_page = static_cast<double>(text) / static_cast<double>(pages);
    state.counters["bytes_per_page"] = benchmark::Counter(per_page);
    state.counters["text_bytes_per_page"] = benchmark::Counter(text_per_page);
    state.counters["overhead_per_row"] = benchmark::Counter((per_page - text_per_page) / depth);
    set_output_capture(nullptr);
}
BENCHMARK(BM_BytesPerPageDown)->Iterations(90);

}  // namespace
