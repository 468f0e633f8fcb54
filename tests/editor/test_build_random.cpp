// Long random key sequences in every view: the store stays consistent after every key.
#include <random>

#include "test_cursor_fixture.hpp"

namespace {
// The operations of cursor movement, typing, line and word operations and deletion, plus the new
// line, mode and recovery keys that they interact with.
constexpr std::array<int, 41> kCodes = {1,  2,  3,  4,  5,  5,  10, 11, 17, 18, 19, 19, 20, 22,
                                        23, 28, 30, 34, 40, 53, 54, 57, 58, 59, 60, 61, 65, 66,
                                        68, 69, 70, 71, 75, 76, 77, 78, 79, 80, 81, 82, 92};
constexpr std::array<int, 4> kMoreCodes = {94, 95, 2, 4};
}  // namespace

using RandomKeys = EditTest;

TEST_F(RandomKeys, StoreStaysConsistentInEveryView) {
    std::mt19937 rng(20261206);
    for (int v = 0; v < 8; ++v) {
        view(v);
        load({"alpha beta", "ab|cd|ef|", "12.5 + x", "", "last line of text"});
        line(2)->object = v == 1 || v == 2 || v == 7 ? kObjRecord : kObjText;
        if (v == 5 || v == 6) line(3)->object = kObjMath;
        for (int k = 0; k < 3000; ++k) {
            const bool more = rng() % 10 == 0;
            const int code =
                more ? kMoreCodes[rng() % kMoreCodes.size()] : kCodes[rng() % kCodes.size()];
            // Any byte but the freed-byte value; mostly printable.
            char ch = static_cast<char>(rng() % 4 == 0 ? rng() % 255 : 32 + rng() % 95);
            if (rng() % 50 == 0) cur().curcol = 1 + static_cast<int>(rng() % 300);
            if (rng() % 7 == 0) mode = 1 + static_cast<int>(rng() % 2);
            press(code, ch);
            expect_sound();
            if (HasFailure()) {
                ADD_FAILURE() << "view " << v << " key " << k << " code " << code;
                return;
            }
        }
        // Leave line drawing so the next view starts from its own.
        view(v);
    }
}

TEST_F(RandomKeys, NearTheArenasEndOperationsStopCleanly) {
    std::mt19937 rng(7);
    load({"seed line", "another"});
    // Eat the arena down to a few hundred bytes with one long line.
    const long big = kTextSize - avail - 600;
    addline("");
    for (long i = 0; i < big; ++i)
        cadd('z');
    at(1, 1);
    for (int k = 0; k < 3000; ++k) {
        const int code = kCodes[rng() % kCodes.size()];
        press(code, static_cast<char>(32 + rng() % 95));
        // The long line makes a byte-by-byte check too slow for every key; check the records.
        expect_chain_sound();
        ASSERT_LE(avail, kTextSize);
        if (HasFailure()) return;
    }
    expect_sound();
}
