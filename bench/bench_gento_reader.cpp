// Tokenising a 10 MB rule file of identifiers, keywords, punctuation, quotes and comments.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "corutils.hpp"
#include "input_base.hpp"
#include "termutils.hpp"

namespace {

// A rule file as a syntax or lexicon would have it, about `bytes` long.
std::string make_rules(std::size_t bytes) {
    static const char* const pieces[] = {
        "RULE NP : DET [ NUMBER.GENDER ] N_BAR ( ADJ , PP ) ;\n",
        "{ a comment that explains the rule below it }\n",
        "VP_and_more _makes_ V \"walked\" OBJ / 2 = sg , pl ;\n",
        "noun \"house\" | sg.neuter | 12 | \"houses\" |\n",
        "TRANSFORMATION passive PRIORITY 3 : * V NP < NP [ acc ] > ;\n",
    };
    std::string s;
    s.reserve(bytes + 100);
    for (std::size_t i = 0; s.size() < bytes; ++i)
        s += pieces[i % 5];
    return s;
}

class ReaderFixture : public benchmark::Fixture {
  public:
    void SetUp(const benchmark::State&) override {
        reset_keys();
        reset_store();
        reset_input_base();
        const std::string text = make_rules(10u << 20);
        size_ = text.size();
        char tmpl[] = "/tmp/oru_benchXXXXXX";
        const int fd = mkstemp(tmpl);
        if (fd >= 0) ::close(fd);
        path_ = tmpl;
        std::ofstream(path_, std::ios::binary) << text;
    }
    void TearDown(const benchmark::State&) override {
        std::remove(path_.c_str());
        reset_input_base();
    }

  protected:
    std::string path_;
    std::size_t size_ = 0;
};

BENCHMARK_DEFINE_F(ReaderFixture, Tokenise10MB)(benchmark::State& state) {
    long tokens = 0;
    for (auto _ : state) {
        openfile(path_.c_str(), static_cast<int>(state.range(0)));
        while (q_peep() != kTokEof) {
            ++tokens;
            q_next();
        }
        // Keep the message core file from growing across iterations, outside the timing.
        state.PauseTiming();
        reset_store();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(size_));
    state.counters["tokens"] =
        benchmark::Counter(static_cast<double>(tokens), benchmark::Counter::kIsRate);
}
BENCHMARK_REGISTER_F(ReaderFixture, Tokenise10MB)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
