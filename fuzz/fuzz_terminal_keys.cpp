// The key reader on arbitrary bytes, read as a function string: prefixes, number sequences of
// any length, function strings that push each other, pauses and procedure control. Nobody is at
// the keyboard, so a pause or a wait reads Return.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "corutils.hpp"
#include "globals.hpp"
#include "scrin.hpp"
#include "termutils.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static bool ready = [] {
        reset_store();
        return true;
    }();
    (void)ready;
    reset_globals();
    reset_keys();
    reset_scrin();  // loops keep places in the last input's strings
    set_keyboard(nullptr);
    // The first bytes, up to a byte 1, fill function string 0 (ESC 0 pushes it).
    std::size_t start = 0;
    while (start < size && data[start] != 1)
        ++start;
    fn[0].assign_cut(std::string(reinterpret_cast<const char*>(data), start));
    const std::string keys(reinterpret_cast<const char*>(data) + std::min(start + 1, size),
                           size - std::min(start + 1, size));
    pushfn(keys.c_str());
    for (std::size_t i = 0; i < 4 * size + 16 && fnptr > 0; ++i) {
        fetchchar();
        if (escflg != 0 && escflg != 128 && escflg != 256 && escflg != 384) std::abort();
        if (fnptr < 0 || fnptr > kFnStack) std::abort();
        if (type < 0 || type >= 128) std::abort();
    }
    return 0;
}
