#include "templates.hpp"

std::array<int, kMaxFields + 1> frow{};
std::array<int, kMaxFields + 1> fcol{};
std::array<int, kMaxFields + 1> maxfieldlen{};
std::array<char, kMaxFields + 1> ftype{};
int numfields = 10;

namespace {
// Runs before main so that the table is sound even before start-up resets it.
[[maybe_unused]] const bool table_ready = (reset_fieldtable(), true);
}  // namespace

void reset_fieldtable() {
    for (int n = 1; n <= kMaxFields; ++n) {
        maxfieldlen[n] = 5;
        ftype[n] = 'c';
        frow[n] = (n - 1) / 6 + 3;
        fcol[n] = 8 * ((n - 1) % 6) + 2;
    }
    numfields = 10;
}
