// Reformatting every paragraph of a 3.5 MB text of ordinary prose at margins 1 and 72, and fmt
// filling the same text to width 72 in the same run, for comparison.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "commands.hpp"
#include "corutils.hpp"
#include "globals.hpp"
#include "linutils.hpp"
#include "reformat.hpp"

extern char** environ;

namespace {

constexpr std::size_t kTextBytes = 3'500'000;
// Core file 0 keeps every replaced paragraph; it is emptied when the store nears its threshold,
// as a user would clear it.
constexpr long kRoomForAParagraph = 200'000;

// Paragraphs of 3 to 12 lines of 50 to 75 characters, separated by empty lines; words of
// everyday lengths with commas and full stops.
const std::vector<std::string>& sample_lines() {
    static const std::vector<std::string> lines = [] {
        const std::vector<std::string> words = {
            "the",      "of",      "and",        "to",       "a",        "in",         "is",
            "that",     "for",     "it",         "was",      "on",       "with",       "as",
            "students", "teacher", "exercise",   "sentence", "language", "answer",     "lexicon",
            "grammar",  "because", "understand", "written",  "between",  "morphology", "every",
            "word",     "rule",    "generation", "analysis", "response", "learner",    "their",
            "which",    "would",   "could",      "there",    "through",  "paragraph"};
        std::mt19937 rng(72);
        std::vector<double> weight;
        for (std::size_t i = 0; i < words.size(); ++i)
            weight.push_back(1.0 / static_cast<double>(i + 2));
        std::discrete_distribution<std::size_t> pick(weight.begin(), weight.end());
        std::vector<std::string> out;
        std::size_t total = 0;
        while (total < kTextBytes) {
            const int nlines = 3 + static_cast<int>(rng() % 10);
            for (int i = 0; i < nlines; ++i) {
                std::string l;
                const std::size_t target = 50 + rng() % 26;
                while (l.size() < target) {
                    l += words[pick(rng)];
                    const int mark = static_cast<int>(rng() % 20);
                    l += mark == 0 ? ". " : mark == 1 ? ", " : " ";
                }
                l.pop_back();
                total += l.size() + 1;
                out.push_back(std::move(l));
            }
            out.emplace_back();
            total += 1;
        }
        return out;
    }();
    return lines;
}

void load_core() {
    reset_store();
    corenum = 1;
    COREFILE& cf = cur();
    cf.lnptr = cf.header->down;
    bool first = true;
    for (const std::string& l : sample_lines()) {
        if (!first) allocln(kObjNew, 0);
        first = false;
        cadd_text(l);
    }
    cf.lnptr = cf.header->down;
    cf.curcol = 1;
}

// Ctrl-R on every paragraph, top to bottom; the number of paragraphs refilled.
long reformat_all() {
    COREFILE& cf = cur();
    long done = 0;
    LINE* l = cf.header->down;
    while (l != cf.header) {
        if (l->object != kObjText || l->length == 0) {
            l = l->down;
            continue;
        }
        if (avail > hiaddr - kRoomForAParagraph) {
            corenum = 0;
            clrfile();
            corenum = 1;
        }
        cf.lnptr = l;
        cf.curcol = 1;
        reformat();
        ++done;
        l = cf.lnptr;
        while (l != cf.header && l->object == kObjText && l->length > 0)
            l = l->down;
    }
    return done;
}

void BM_ReformatEveryParagraph(benchmark::State& state) {
    lmargin = 1;
    rmargin = 72;
    jmode = static_cast<int>(state.range(0));
    hyphlevel = static_cast<int>(state.range(1));
    long paragraphs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        load_core();
        reset_reformat();
        state.ResumeTiming();
        paragraphs = reformat_all();
        benchmark::DoNotOptimize(avail);
    }
    if (full != 0) state.SkipWithError("the store filled up");
    state.counters["paragraphs"] = static_cast<double>(paragraphs);
    state.SetBytesProcessed(static_cast<long>(state.iterations() * kTextBytes));
    jmode = 0;
    hyphlevel = 0;
}
// Plain refilling, as fmt does; then justified and hyphenated for information.
BENCHMARK(BM_ReformatEveryParagraph)
    ->Args({0, 0})
    ->Args({1, 3})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_FmtSameText(benchmark::State& state) {
    char path[] = "/tmp/oru-bench-reformat-XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0) {
        state.SkipWithError("no temporary file");
        return;
    }
    FILE* f = fdopen(fd, "w");
    for (const std::string& l : sample_lines())
        std::fprintf(f, "%s\n", l.c_str());
    std::fclose(f);
    char fmt[] = "fmt";
    char width[] = "-w";
    char seventytwo[] = "72";
    char* argv[] = {fmt, width, seventytwo, path, nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    // fmt's own processor time, comparable with the CPU column of the reformat on a busy machine.
    const auto child_ms = [] {
        rusage u{};
        getrusage(RUSAGE_CHILDREN, &u);
        return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 +
               (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
    };
    const double before = child_ms();
    for (auto _ : state) {
        pid_t pid = 0;
        if (posix_spawnp(&pid, "fmt", &actions, nullptr, argv, environ) != 0) {
            state.SkipWithError("fmt could not be started");
            break;
        }
        int status = 0;
        waitpid(pid, &status, 0);
    }
    posix_spawn_file_actions_destroy(&actions);
    unlink(path);
    state.counters["fmt_cpu_ms"] =
        (child_ms() - before) /
        static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1));
    state.SetBytesProcessed(static_cast<long>(state.iterations() * kTextBytes));
}
BENCHMARK(BM_FmtSameText)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
