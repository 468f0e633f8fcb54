// Sentences generated per second with the English example rule set, in-process: the rule files
// are read once, then each iteration is one whole generation (preselection, expansion, the
// transformations that make the question, the answer and the short answer, word choice,
// indirection, morphology and the result lines in core file 7).
#include <benchmark/benchmark.h>

#include <string>

#include "attr_data.hpp"
#include "corutils.hpp"
#include "gento/terminal.hpp"
#include "globals.hpp"
#include "input_base.hpp"
#include "lex_read.hpp"
#include "misc.hpp"
#include "morphology.hpp"
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
}

// Core file 7 emptied as a FETCH into it would empty it, so that the result lines of many
// generations never fill the store; the store reclaims their bytes by its usual compaction.
void clear_messages() {
    const int keep = corenum;
    corenum = kMsgCore;
    removefile();
    initfile();
    corenum = keep;
}

void BM_GenerateEnglish(benchmark::State& state) {
    static const bool loaded = [] {
        reset_globals();
        set_keyboard(nullptr);  // a message is answered with Return
        reset_store();
        load_english();
        return true;
    }();
    (void)loaded;
    reseed(12345);
    long generations = 0;
    long sentences = 0;
    for (auto _ : state) {
        interpret();
        for (const auto& sentence : genSentences)
            sentences += sentence != nullptr ? 1 : 0;
        if (++generations % 256 == 0) clear_messages();
    }
    // The English syntax has a question, an answer and a short answer: three sentences a
    // generation. The target counts a question and its answer: two a generation.
    state.counters["sentences/s"] =
        benchmark::Counter(static_cast<double>(sentences), benchmark::Counter::kIsRate);
    state.counters["question+answer/s"] =
        benchmark::Counter(static_cast<double>(2 * generations), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_GenerateEnglish);

}  // namespace
