// The key reader on arbitrary bytes, read as a function string: prefixes, number sequences of
// any length, function strings that push each other, pauses and procedure control. Nobody is at
// the keyboard, so a pause or a wait reads Return. Then the same bytes typed at the keyboard, on
// a UTF-8 terminal or an 8-bit one: key sequences sent by terminals and typed UTF-8.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "corutils.hpp"
#include "globals.hpp"
#include "scrin.hpp"
#include "terminal.hpp"
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

    // At the keyboard. Returns after the bytes end every sequence, and the keys are read only
    // until the bytes are used up: the end of keyboard input would end the program.
    reset_keys();
    // The resume key with no driver shows a message that waits for an answer, which would read
    // past the bytes given.
    for (int& code : intran)
        if (code == 13) code = 0;
    utf8_terminal = size % 2 == 1;
    std::string typed = keys + std::string(8, '\r');
    FILE* kbd = fmemopen(typed.data(), typed.size(), "r");
    if (kbd == nullptr) return 0;
    set_keyboard(kbd);
    for (std::size_t i = 0; i < 4 * size + 16 && std::ftell(kbd) < static_cast<long>(keys.size());
         ++i) {
        fetchchar();
        if (type < 0 || type >= 128) std::abort();
    }
    set_keyboard(nullptr);
    std::fclose(kbd);
    utf8_terminal = false;
    return 0;
}
