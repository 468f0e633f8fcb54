// The screen-command interpreter and the terminal output on arbitrary commands, one per line,
// on a terminal whose size comes from the first two bytes.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "sys_linux.hpp"
#include "terminal.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static std::string bytes;
    static bool ready = [] {
        load_terminfo("xterm");
        set_output_capture(&bytes);
        return true;
    }();
    (void)ready;
    reset_geometry();
    if (size >= 2) setgeometry(data[0] % 70, data[1] * 2 % 250);
    utf8_terminal = size >= 3 && (data[2] & 1) != 0;
    const std::string_view in(reinterpret_cast<const char*>(data), size);
    std::size_t start = std::min<std::size_t>(size, 3);
    while (start <= size) {
        std::size_t end = in.find('\n', start);
        if (end == std::string_view::npos) end = size;
        pltransmit(in.substr(start, end - start));
        start = end + 1;
    }
    screen_refresh();
    bytes.clear();
    if (textline > 1'000'000'000 || screen_cursor_row() < -1'000'000'000) std::abort();
    return 0;
}
