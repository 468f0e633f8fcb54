// The rule-file token reader on arbitrary bytes. The input is cut at each byte 1 into up to four
// files f0 to f3; f0 is read, and may %include the others (or itself) and define macros.
#include <string>

#include "fuzz_gento_common.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzgento::init_once();
    fuzzgento::reset_each();
    const int lfr = size > 0 && (data[0] & 0x80) != 0 ? 1 : 0;
    std::size_t start = 0;
    int n = 0;
    for (std::size_t i = 0; i <= size && n < 4; ++i) {
        if (i == size || data[i] == 1) {
            fuzzgento::write_file("f" + std::to_string(n++), data + start, i - start);
            start = i + 1;
        }
    }
    for (; n < 4; ++n)
        fuzzgento::write_file("f" + std::to_string(n), data, 0);
    set_macro_budget(1 << 16);  // the limit itself is met sooner, and runs stay quick
    file_operation = "fuzz input";
    openfile("f0", lfr);
    while (q_peep() != kTokEof) {
        const int tok = q_peep();
        tok2str(tok);
        if (tok == kTokIdent && str2tok() != 0) std::abort();  // keywords are never identifiers
        if (tok == kTokInclude || tok == kTokDefine) std::abort();  // handled inside the reader
        q_next();
    }
    if (open_file_count() != 0) std::abort();
    q_next();
    if (q_peep() != kTokEof) std::abort();  // the end stays
    return 0;
}
