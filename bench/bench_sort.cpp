// SORT of 80,000 lines (about 3.5 MB) by a 15-column key, in the process, against GNU sort on the
// same file with the same key (`LC_ALL=C sort -s -k1.1,1.15`) in the same run. The sort must not
// allocate: every allocation of the program is counted and reported.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <new>
#include <random>
#include <string>
#include <vector>

#include "corutils.hpp"
#include "file.hpp"
#include "globals.hpp"
#include "sort.hpp"

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

namespace {
std::atomic<long> allocations{0};
}  // namespace

void* operator new(std::size_t n) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(n == 0 ? 1 : n)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

extern char** environ;

namespace {

constexpr int kLines = 80'000;

// 80,000 lines of 20 to 68 characters, 3.5 MB: a random 15-character key of letters and digits,
// then filler.
const std::string& sample() {
    static const std::string name = [] {
        const std::string n = "/tmp/oru-bench-sort-" + std::to_string(::getpid()) + ".txt";
        std::ofstream out(n, std::ios::binary);
        std::mt19937 rng(42);
        const std::string alphabet = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
        for (int i = 0; i < kLines; ++i) {
            std::string line;
            for (int k = 0; k < 15; ++k)
                line.push_back(alphabet[rng() % alphabet.size()]);
            line.append(5 + rng() % 49, "abcdefghij"[i % 10]);
            out << line << '\n';
        }
        return n;
    }();
    static const struct Remove {
        ~Remove() { ::unlink(name.c_str()); }
    } remove;
    return name;
}

void BM_GnuSort(benchmark::State& state) {
    const std::string& name = sample();
    char* argv[] = {const_cast<char*>("sort"), const_cast<char*>("-s"),
                    const_cast<char*>("-k1.1,1.15"), const_cast<char*>(name.c_str()),
                    const_cast<char*>("-o"), const_cast<char*>("/dev/null"), nullptr};
    std::vector<std::string> env_text = {"LC_ALL=C"};
    for (char** e = environ; *e != nullptr; ++e) {
        if (std::string(*e).rfind("LC_ALL=", 0) != 0) env_text.emplace_back(*e);
    }
    std::vector<char*> env;
    for (std::string& e : env_text)
        env.push_back(e.data());
    env.push_back(nullptr);
    for (auto _ : state) {
        pid_t pid;
        if (posix_spawnp(&pid, "sort", nullptr, nullptr, argv, env.data()) != 0) {
            state.SkipWithError("sort could not be started");
            break;
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) state.SkipWithError("sort failed");
    }
}
BENCHMARK(BM_GnuSort)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OruSort(benchmark::State& state) {
    reset_store();
    reset_file();
    reset_sort();
    curfile.assign(sample());
    fetch_range(1, kAllLines, "");
    if (cur().lncount != kLines) {
        state.SkipWithError("the file was not read whole");
        return;
    }
    // The file's order, put back before every sort so each one sorts the same random lines.
    std::vector<LINE*> order;
    for (LINE* l = cur().header->down; l != cur().header; l = l->down)
        order.push_back(l);
    long during = 0;
    for (auto _ : state) {
        state.PauseTiming();
        LINE* prev = cur().header;
        for (LINE* l : order) {
            prev->down = l;
            l->up = prev;
            prev = l;
        }
        prev->down = cur().header;
        cur().header->up = prev;
        const long before = allocations.load();
        state.ResumeTiming();
        const int sorted = sortlines(0, 15, 1, kLines, 1);
        state.PauseTiming();
        during += allocations.load() - before;
        if (sorted != kLines) state.SkipWithError("not every line was sorted");
        state.ResumeTiming();
    }
    state.counters["allocations"] = static_cast<double>(during);
    state.SetBytesProcessed(state.iterations() * cur().charcount);
}
BENCHMARK(BM_OruSort)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
