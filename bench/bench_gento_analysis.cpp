// One whole analysis of a learner's answer of 12 words against the question and the answer of the
// English example, with its tag information, morphological error and phonology files loaded:
// variants of every word, every pair of words compared, both sentences scored, the trace in core
// file 7 and the report in core file 15. Target: at most 1 ms an analysis.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "attr_data.hpp"
#include "corutils.hpp"
#include "gento/terminal.hpp"
#include "globals.hpp"
#include "input_base.hpp"
#include "lex_read.hpp"
#include "misc.hpp"
#include "morphology.hpp"
#include "stud_err.hpp"
#include "stud_mor.hpp"
#include "stud_phon.hpp"
#include "stud_read.hpp"
#include "syn_globals.hpp"
#include "syn_misc.hpp"
#include "syn_read.hpp"
#include "termutils.hpp"

#ifndef ORU_SOURCE_DIR
#define ORU_SOURCE_DIR "."
#endif

namespace {

std::string example(const char* name) {
    return std::string(ORU_SOURCE_DIR) + "/examples/english/" + name;
}

void load_english() {
    readattr(example("english.att").c_str());
    read_terminals(example("english.tm").c_str());
    initdict();
    readdict(example("english.lex").c_str());
    new_readmorph(example("english.mor").c_str());
    new_readtables(example("english.tbl").c_str());
    read_syntax(example("english.syn").c_str());
    tag_readtables(example("english.tag").c_str());
    merror_readtables(example("english.mre").c_str());
    phon_readtables(example("english.ipa").c_str());
    morph_passes[kPassRows - 1] = {0, 8, 9, 0, 0, 0};
}

void clear_core(int n) {
    const int keep = corenum;
    corenum = n;
    removefile();
    initfile();
    corenum = keep;
}

std::vector<std::string> words_of(const std::string& s) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start < s.size()) {
        const std::size_t end = std::min(s.find(' ', start), s.size());
        out.push_back(s.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

// A generated answer of at least nine words, made into twelve with a slip, a word in the wrong
// number or person and words added.
std::string learner_answer() {
    std::vector<std::string> words;
    for (std::uint32_t s = 1; words.size() < 9; s += 2) {
        reseed(s);
        interpret();
        words = words_of(genSentences[2] ? *genSentences[2] : "");
    }
    words[2] = "knows";  // Yes, I know that ...
    words[words.size() - 2][0] = 'x';
    while (words.size() < 12)
        words.push_back(words.size() % 2 == 0 ? "perhaps" : "today");
    std::string r;
    for (const std::string& w : words)
        r += (r.empty() ? "" : " ") + w;
    return r;
}

void BM_AnalyseTwelveWords(benchmark::State& state) {
    static const std::string response = [] {
        reset_globals();
        set_keyboard(nullptr);  // a message is answered with Return
        reset_store();
        load_english();
        return learner_answer();
    }();
    err_set_rootset("1 2");
    long analyses = 0;
    for (auto _ : state) {
        err_analysis(std::string_view(response));
        if (++analyses % 256 == 0) {
            clear_core(kMsgCore);
            clear_core(15);
        }
    }
    state.SetLabel(response);
}
BENCHMARK(BM_AnalyseTwelveWords)->Unit(benchmark::kMicrosecond);

}  // namespace
