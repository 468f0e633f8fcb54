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
#include "encoding.hpp"
#include "file.hpp"
#include "globals.hpp"

extern char** environ;

namespace {

constexpr int kFileLines = 80'000;

// About 3.5 MB in 80,000 lines of varied length, some with tabs. The UTF-8 sample has the same
// lines of French prose, each accented letter two bytes in the file.
std::string make_sample(bool utf8) {
    const std::string n =
        "/tmp/oru-bench-" + std::to_string(::getpid()) + (utf8 ? "-utf8" : "") + ".txt";
    std::ofstream out(n, std::ios::binary);
    for (int i = 0; i < kFileLines; ++i) {
        std::string line = "line " + std::to_string(i) + (i % 7 == 0 ? "\tand a tab" : "");
        const auto len = static_cast<std::size_t>(8 + (i * 37) % 46);
        if (utf8) {
            // French prose cut to the same length in characters: accents as often as in real
            // text, two bytes each in the file.
            static const std::string prose =
                "Les \xE9l\xE8ves de la classe \xE9tudient le fran\xE7" "ais avec leur "
                "ma\xEEtre. \xC0 l'\xE9" "cole, on apprend \xE0 \xE9" "crire des phrases "
                "correctes et \xE0 lire \xAB Le Petit Prince \xBB" " en entier. ";
            for (std::size_t k = 0; k < len; ++k)
                latin1_to_utf8(std::string_view(&prose[(i * 7 + k) % prose.size()], 1), line);
        } else {
            line.append(len, "abcdefghij"[i % 10]);
        }
        out << line << '\n';
    }
    return n;
}

const std::string& sample(bool utf8 = false) {
    static const std::string latin1 = make_sample(false);
    static const std::string unicode = make_sample(true);
    // The samples go when the run ends.
    static const struct Remove {
        ~Remove() {
            ::unlink(latin1.c_str());
            ::unlink(unicode.c_str());
        }
    } remove;
    return utf8 ? unicode : latin1;
}

void BM_WcLines(benchmark::State& state) {
    const std::string& name = sample(state.range(0) != 0);
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
BENCHMARK(BM_WcLines)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Argument 0: the Latin-1 sample; 1: the UTF-8 sample.
void BM_Fetch(benchmark::State& state) {
    reset_store();
    reset_file();
    curfile.assign(sample(state.range(0) != 0));
    for (auto _ : state) {
        fetch_range(1, kAllLines, "");
        benchmark::DoNotOptimize(cur().lncount);
    }
    if (cur().lncount != kFileLines) state.SkipWithError("the file was not read whole");
    state.SetBytesProcessed(state.iterations() * cur().charcount);
}
BENCHMARK(BM_Fetch)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_Save(benchmark::State& state) {
    reset_store();
    reset_file();
    const std::string& in = sample(state.range(0) != 0);
    curfile.assign(in);
    fetch_range(1, kAllLines, "");
    if (state.range(0) != 0 && cur().encoding != kCsUtf8) state.SkipWithError("not read as UTF-8");
    const std::string out = in + ".saved";
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
BENCHMARK(BM_Save)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
