// Text store: typing into many lines in random order, and compacting a full arena.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

#include "corutils.hpp"
#include "globals.hpp"
#include "linutils.hpp"

namespace {

constexpr int kLines = 20'000;
constexpr long kChars = 1'000'000;

std::vector<LINE*> make_lines(int n) {
    std::vector<LINE*> lines;
    lines.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        lines.push_back(allocln(kObjNew, 0));
    return lines;
}

// One million characters typed into 20,000 lines in random order, compacting whenever the edit
// loop would.
void BM_TypeIntoRandomLines(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        reset_store();
        std::vector<LINE*> lines = make_lines(kLines);
        std::mt19937 rng(7);
        state.ResumeTiming();
        for (long i = 0; i < kChars; ++i) {
            const std::size_t n = rng() % lines.size();
            cur().lnptr = lines[n];
            cadd(static_cast<char>('a' + i % 26));
            lines[n] = cur().lnptr;  // a line that had to move is a new record
            if ((avail > hiaddr || reserve == nullptr) && full == 0) garbage();
        }
        benchmark::DoNotOptimize(avail);
    }
    state.SetItemsProcessed(state.iterations() * kChars);
}
BENCHMARK(BM_TypeIntoRandomLines)->Unit(benchmark::kMillisecond);

// An arena filled to the threshold with 80-byte lines, every other one removed, compacted.
void fill_arena_and_free_half() {
    reset_store();
    std::vector<LINE*> lines;
    const int len = 80;
    while (avail + len <= hiaddr) {
        LINE* l = allocln(kObjText, len);
        std::memset(textbase.data() + l->index, 'x', len);
        linkphys();
        lines.push_back(l);
    }
    for (std::size_t i = 0; i < lines.size(); i += 2) {
        cur().lnptr = lines[i];
        removeline();
    }
    cur().lnptr = cur().header->down;
}

void BM_CompactFullArena(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        fill_arena_and_free_half();
        state.ResumeTiming();
        garbage();
        benchmark::DoNotOptimize(avail);
    }
    state.SetBytesProcessed(state.iterations() * hiaddr);
}
BENCHMARK(BM_CompactFullArena)->Unit(benchmark::kMillisecond);

// The yardstick: one memmove of as many bytes as the full arena holds.
void BM_MemmoveArena(benchmark::State& state) {
    std::vector<char> from(static_cast<std::size_t>(kTextSize), 'x');
    std::vector<char> to(static_cast<std::size_t>(kTextSize));
    for (auto _ : state) {
        std::memmove(to.data(), from.data(), static_cast<std::size_t>(hiaddr));
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * hiaddr);
}
BENCHMARK(BM_MemmoveArena)->Unit(benchmark::kMillisecond);

}  // namespace
