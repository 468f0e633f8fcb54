// Long random key sequences in every view: the store stays consistent after every key.
#include <random>

#include "test_cursor_fixture.hpp"

namespace {
// Cursor movement, typing, line, word and deletion operations, with the new line, mode and
// recovery keys that they interact with; the last four come up less often.
constexpr std::array<int, 45> kCodes = {1,  2,  3,  4,  5,  5,  10, 11, 17, 18, 19, 19, 20, 22, 23,
                                        28, 30, 34, 40, 53, 54, 57, 58, 59, 60, 61, 65, 66, 68, 69,
                                        70, 71, 75, 76, 77, 78, 79, 80, 81, 82, 92, 94, 95, 2,  4};
}  // namespace

using RandomKeys = EditTest;

TEST_F(RandomKeys, StoreStaysConsistentInEveryViewAndNearTheArenasEnd) {
    std::mt19937 rng(20261206);
    for (int v = 0; v < 9; ++v) {
        view(v % 8);
        load({"alpha beta", "ab|cd|ef|", "12.5 + x", "", "last line of text"});
        line(2)->object = v == 1 || v == 2 || v == 7 ? kObjRecord : kObjText;
        if (v == 5 || v == 6) line(3)->object = kObjMath;
        if (v == 8) {  // eat the arena down to a few hundred bytes with one long line
            addline("");
            for (long i = kTextSize - avail - 600; i > 0; --i)
                cadd('z');
            at(1, 1);
        }
        for (int k = 0; k < 3000; ++k) {
            const int code = kCodes[rng() % (rng() % 10 == 0 ? kCodes.size() : kCodes.size() - 4)];
            // Any byte but the freed-byte value; mostly printable.
            const char ch = static_cast<char>(rng() % 4 == 0 ? rng() % 255 : 32 + rng() % 95);
            if (rng() % 50 == 0) cur().curcol = 1 + static_cast<int>(rng() % 300);
            if (rng() % 7 == 0) mode = 1 + static_cast<int>(rng() % 2);
            press(code, ch);
            // The long line makes a byte-by-byte check too slow for every key.
            v == 8 ? expect_chain_sound() : expect_sound();
            ASSERT_LE(avail, kTextSize);
            if (HasFailure()) return ADD_FAILURE() << "view " << v << " key " << k << " " << code;
        }
        view(v % 8);  // leave line drawing so the next view starts from its own
    }
}
