// Reading a lexicon of 100,000 entries (attributes and five further fields each), and 100,000
// word choices against one terminal of 50,000 entries.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "attr_data.hpp"
#include "attr_fns.hpp"
#include "attr_list.hpp"
#include "corutils.hpp"
#include "gento/terminal.hpp"
#include "input_base.hpp"
#include "lex_read.hpp"
#include "lex_scan.hpp"
#include "misc.hpp"
#include "termutils.hpp"

namespace {

std::string scratch(const std::string& text) {
    char tmpl[] = "/tmp/oru_benchXXXXXX";
    const int fd = mkstemp(tmpl);
    if (fd >= 0) ::close(fd);
    std::ofstream(tmpl, std::ios::binary) << text;
    return tmpl;
}

// Entries of `terminals` classes in turn, weights 1 to 20, attributes and five further fields.
std::string make_lexicon(int entries, int terminals) {
    static const char* const attrs[] = {"sg.third", "pl", "sg.first , <sup", "NUMBER", "pl.second"};
    std::string s;
    s.reserve(static_cast<std::size_t>(entries) * 70);
    for (int i = 0; i < entries; ++i) {
        const std::string w = "w" + std::to_string(i);
        s += "\"" + w + "\"|T" + std::to_string(i % terminals) + "|" + attrs[i % 5] + "|" +
             std::to_string(1 + i % 20) + "|" + w + "|" + w + "s|tag" + std::to_string(i % 9) +
             "|x,y|\"z\"|\n";
    }
    return s;
}

void load_basics(int terminals) {
    reset_keys();
    reset_store();
    reset_input_base();
    reset_attr_list();
    reset_lex_read();
    reset_lex_scan();
    clearattributes();
    const std::string att = scratch(
        "NUMBER ( sg , pl ) PERSON ( first , second , third ) DEGREE ( pos < comp < sup ) %");
    readattr(att.c_str());
    std::remove(att.c_str());
    std::string names;
    for (int t = 0; t < terminals; ++t)
        names += "T" + std::to_string(t) + "\n";
    const std::string tm = scratch(names);
    clear_terminals();
    read_terminals(tm.c_str());
    std::remove(tm.c_str());
}

void BM_ReadLexicon100k(benchmark::State& state) {
    load_basics(10);
    const std::string path = scratch(make_lexicon(100000, 10));
    for (auto _ : state) {
        reset_store();  // the message lines of each reading go into the store
        initdict();
        readdict(path.c_str());
        if (lex_words != 100000) state.SkipWithError("entries refused");
    }
    state.SetItemsProcessed(state.iterations() * 100000);
    std::remove(path.c_str());
    reset_lex_read();
}
BENCHMARK(BM_ReadLexicon100k)->Unit(benchmark::kMillisecond);

void BM_Choose100kFrom50k(benchmark::State& state) {
    load_basics(1);
    const std::string path = scratch(make_lexicon(50000, 1));
    initdict();
    readdict(path.c_str());
    std::remove(path.c_str());
    t_dict_lookup lookup;
    lookup.class_ = "T0";
    if (state.range(0) == 1) {
        text_to_comp_struct("sg", 0);
        add_attr_to_list(lookup.attributes, std::move(comp_attr_register));
    }
    seed = 12345;
    const int kChoices = static_cast<int>(state.range(1));
    long found = 0;
    for (auto _ : state) {
        for (int i = 0; i < kChoices; ++i) {
            getdictent(&lookup);
            found += lookup.error == 0 ? 1 : 0;
        }
    }
    if (found == 0) state.SkipWithError("nothing chosen");
    state.SetItemsProcessed(state.iterations() * kChoices);
    reset_lex_read();
}
// First argument 0: every entry qualifies; 1: an attribute decides. Second: choices made.
BENCHMARK(BM_Choose100kFrom50k)
    ->Args({0, 100000})
    ->Args({1, 100000})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace
