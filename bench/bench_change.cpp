// CHANGE of a common word to a longer one over a 3.5 MB text, and sed making the same
// replacement on the same text in the same run, for comparison.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "corutils.hpp"
#include "globals.hpp"
#include "linutils.hpp"
#include "scan.hpp"

extern char** environ;

namespace {

constexpr std::size_t kTextBytes = 3'500'000;

// Prose-like lines of about 70 characters in which "the" is the commonest word.
const std::vector<std::string>& sample_lines() {
    static const std::vector<std::string> lines = [] {
        const std::vector<std::string> words = {
            "the",  "of",   "and",   "to",    "a",    "in",     "is",    "that", "for",
            "it",   "was",  "on",    "with",  "as",   "editor", "line",  "file", "word",
            "core", "text", "other", "there", "then", "search", "store", "key"};
        std::mt19937 rng(11);
        std::discrete_distribution<int> pick(
            {60, 30, 28, 25, 22, 20, 10, 10, 9, 9, 9, 8, 7, 7, 5, 5, 5, 5, 4, 4, 4, 3, 3, 3, 3, 3});
        std::vector<std::string> out;
        std::size_t total = 0;
        while (total < kTextBytes) {
            std::string l;
            while (l.size() < 66)
                l += words[static_cast<std::size_t>(pick(rng))] + " ";
            l.pop_back();
            total += l.size() + 1;
            out.push_back(std::move(l));
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
        for (char c : l)
            cadd(c);
    }
    cf.lnptr = cf.header->down;
    cf.curcol = 1;
}

void BM_ChangeCommonWord(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        load_core();
        scanpattern.assign("the");
        targetstring.assign("those");
        state.ResumeTiming();
        change();
        benchmark::DoNotOptimize(avail);
    }
    if (full != 0) state.SkipWithError("the store filled up");
    state.SetBytesProcessed(static_cast<long>(state.iterations() * kTextBytes));
}
BENCHMARK(BM_ChangeCommonWord)->Unit(benchmark::kMillisecond)->UseRealTime();

// A search whose pattern skips eight times within a word that is 20,000 characters long and holds
// no match: trying every way would take exponentially long; remembering the failed places keeps
// it to the pattern's length times the places.
void BM_FindManySkipsInALongWord(benchmark::State& state) {
    reset_store();
    corenum = 1;
    COREFILE& cf = cur();
    cf.lnptr = cf.header->down;
    for (int i = 0; i < 20000; ++i)
        cadd('a');
    allocln(kObjNew, 0);
    cadd('b');
    std::string pattern = "\027";
    for (int i = 0; i < 7; ++i)
        pattern += "a\027";
    pattern += "b";
    scanunit = 0;
    scanpattern.assign(pattern);
    for (auto _ : state) {
        cf.lnptr = cf.header->down;
        cf.curcol = 1;
        find();
        benchmark::DoNotOptimize(cf.curcol);
    }
    if (cf.lnptr != cf.header->down) state.SkipWithError("a match was found where there is none");
}
BENCHMARK(BM_FindManySkipsInALongWord)->Unit(benchmark::kMillisecond);

void BM_SedSameReplacement(benchmark::State& state) {
    char path[] = "/tmp/oru-bench-change-XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0) {
        state.SkipWithError("no temporary file");
        return;
    }
    FILE* f = fdopen(fd, "w");
    for (const std::string& l : sample_lines())
        std::fprintf(f, "%s\n", l.c_str());
    std::fclose(f);
    char sed[] = "sed";
    char expr[] = "s/the/those/g";
    char* argv[] = {sed, expr, path, nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    for (auto _ : state) {
        pid_t pid = 0;
        if (posix_spawnp(&pid, "sed", &actions, nullptr, argv, environ) != 0) {
            state.SkipWithError("sed could not be started");
            break;
        }
        int status = 0;
        waitpid(pid, &status, 0);
    }
    posix_spawn_file_actions_destroy(&actions);
    unlink(path);
    state.SetBytesProcessed(static_cast<long>(state.iterations() * kTextBytes));
}
BENCHMARK(BM_SedSameReplacement)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
