#include "misc.hpp"

#include <sys/time.h>

#include <cstdio>

#include "input_base.hpp"

std::uint32_t seed = 1;

void reseed(std::uint32_t sd) {
    if (sd == 0) {
        timeval tv{};
        gettimeofday(&tv, nullptr);
        sd = static_cast<std::uint32_t>(tv.tv_usec);
    }
    seed = sd | 1U;
    char line[64];
    std::snprintf(line, sizeof line, "Setting random seed: %lu", static_cast<unsigned long>(seed));
    q_msg(line);
}

int getrandom(int range) {
    seed *= 3125U;  // unsigned arithmetic: modulo 2^32
    if (range < 1) return 0;
    const double scaled = static_cast<double>(range) * static_cast<double>(seed) / 4294967296.0;
    const int r = static_cast<int>(scaled);
    return r >= range ? range - 1 : r;
}

void printseed(int corefile) {
    char line[64];
    std::snprintf(line, sizeof line, "Current random seed: %lu", static_cast<unsigned long>(seed));
    q_line(corefile, 0, line);
}
