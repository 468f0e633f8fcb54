// FETCH and SAVE of a large text file, against `wc -l` reading the same file in the same run.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "corutils.hpp"
#include "file.hpp"
#include "globals.hpp"

extern char** environ;

namespace {

constexpr int kFileLines = 80'000;

// About 3.5 MB in 80,000 lines of varied length, some with tabs.
const std::string& sample() {
    static const std::string name = [] {
        const std::string n = "/tmp/oru-bench-" + std::to_string(::getpid()) + ".txt";
        std::ofstream out(n, std::ios::binary);
        for (int i = 0; i < kFileLines; ++i) {
            std::string line = "line " + std::to_string(i) + (i % 7 == 0 ? "\tand a tab" : "");
            line.append(static_cast<std::size_t>(8 + (i * 37) % 46), "abcdefghij"[i % 10]);
            out << line << '\n';
        }
        return n;
    }();
    // The sample goes when the run ends.
    static const struct Remove {
        ~Remove() { ::unlink(name.c_str()); }
    } remove;
    return name;
}

void BM_WcLines(benchmark::State& state) {
    const std::string& name = sample();
    char* argv[] = {const_cast<char*>("wc"), const_cast<char*>("-l"),
                    const_cast<char*>(name.c_str()), nullptr};
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
    for (auto _ : state) {
        pid_t pid;
        if (posix_spawnp(&pid, "wc", &quiet, nullptr, argv, environ) != 0) {
            state.SkipWithError("wc could not be started");
            break;
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
    }
    posix_spawn_file_actions_destroy(&quiet);
}
BENCHMARK(BM_WcLines)->Unit(benchmark::kMillisecond);

void BM_Fetch(benchmark::State& state) {
    reset_store();
    reset_file();
    curfile.assign(sample());
    for (auto _ : state) {
        fetch_range(1, kAllLines, "");
        benchmark::DoNotOptimize(cur().lncount);
    }
    if (cur().lncount != kFileLines) state.SkipWithError("the file was not read whole");
    state.SetBytesProcessed(state.iterations() * cur().charcount);
}
BENCHMARK(BM_Fetch)->Unit(benchmark::kMillisecond);

void BM_Save(benchmark::State& state) {
    reset_store();
    reset_file();
    curfile.assign(sample());
    fetch_range(1, kAllLines, "");
    const std::string out = sample() + ".saved";
    curfile.assign(out);
    for (auto _ : state) {
        state.PauseTiming();
        ::unlink(out.c_str());
        std::FILE* created = std::fopen(out.c_str(), "wx");  // what the new-file check does
        if (created != nullptr) std::fclose(created);
        state.ResumeTiming();
        if (!save_range(1, kAllLines)) state.SkipWithError("save failed");
    }
    ::unlink(out.c_str());
}
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond);

}  // namespace
