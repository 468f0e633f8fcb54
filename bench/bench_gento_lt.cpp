// A lexical transformation of one pattern over a lexicon of 100,000 entries: every entry that the
// pattern accepts gives one derived entry, built from a field reference, the attributes with one
// left out, and a morphology expression, and written as a line of the current core file.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "attr_data.hpp"
#include "attr_list.hpp"
#include "corutils.hpp"
#include "gento/terminal.hpp"
#include "globals.hpp"
#include "input_base.hpp"
#include "lex_read.hpp"
#include "lex_scan.hpp"
#include "lt_input.hpp"
#include "lt_mem.hpp"
#include "lt_rule.hpp"
#include "termutils.hpp"
#include "trees.hpp"
#include "uninstall.hpp"

namespace {

std::string scratch(const std::string& text) {
    char tmpl[] = "/tmp/oru_benchXXXXXX";
    const int fd = mkstemp(tmpl);
    if (fd >= 0) ::close(fd);
    std::ofstream(tmpl, std::ios::binary) << text;
    return tmpl;
}

constexpr int kEntries = 100000;

std::string make_lexicon() {
    static const char* const attrs[] = {"sg.third", "pl", "sg.first", "NUMBER", "pl.second"};
    std::string s;
    s.reserve(static_cast<std::size_t>(kEntries) * 40);
    for (int i = 0; i < kEntries; ++i) {
        const std::string w = "w" + std::to_string(i);
        s += "\"" + w + "\"|N|" + attrs[i % 5] + "|" + std::to_string(1 + i % 20) + "|#1|tag" +
             std::to_string(i % 9) + "|\n";
    }
    return s;
}

void BM_LtRuleOver100k(benchmark::State& state) {
    reset_keys();
    reset_store();
    reset_input_base();
    reset_attr_list();
    reset_lex_read();
    reset_lex_scan();
    reset_trees();
    clearattributes();
    reset_lt_mem();
    const std::string att = scratch("NUMBER ( sg , pl ) PERSON ( first , second , third ) %");
    readattr(att.c_str());
    const std::string tm = scratch("N\n");
    clear_terminals();
    read_terminals(tm.c_str());
    const std::string lex = scratch(make_lexicon());
    initdict();
    readdict(lex.c_str());
    // Every entry qualifies: the pattern asks for any word of class N.
    const std::string rules =
        scratch("RULE 1 ? | N | ? _rhs_ [ #1 \"s\" ] | N | !3-PERSON | !4 | !5 | !6 | %");
    readlextrans(rules.c_str());
    installed |= 2048;
    for (const std::string* p : {&att, &tm, &lex, &rules})
        std::remove(p->c_str());
    corenum = 1;
    long written = 0;
    for (auto _ : state) {
        state.PauseTiming();
        reset_store();  // room for the next 100,000 lines
        corenum = 1;
        inittrans(1);
        state.ResumeTiming();
        exectrans();
        state.PauseTiming();
        written = core[1].lncount;
        state.ResumeTiming();
    }
    if (written < kEntries) state.SkipWithError("entries missing");
    state.SetItemsProcessed(state.iterations() * kEntries);
    reset_lt_mem();
    reset_lex_read();
}
BENCHMARK(BM_LtRuleOver100k)->Unit(benchmark::kMillisecond);

}  // namespace
