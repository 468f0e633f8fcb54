// The expression evaluator, the pattern matcher and every search unit, CHANGE, the checks and the
// statistics on arbitrary bytes. The input is cut at each byte 0 into: an expression, a pattern
// and replacement (split at the first byte 1), the checks of core file 18 and the text of core
// file 1 (lines split at line feeds).
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "corutils.hpp"
#include "float.hpp"
#include "linutils.hpp"
#include "merger.hpp"
#include "scan.hpp"
#include "scrin.hpp"
#include "stars.hpp"
#include "termutils.hpp"

namespace {

void fill(int n, std::string_view text) {
    corenum = n;
    clrfile();
    COREFILE& cf = cur();
    cf.lnptr = cf.header->down;
    std::size_t start = 0;
    bool first = true;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        if (!first && allocln(kObjNew, 0) == nullptr) break;
        first = false;
        for (std::size_t i = start; i < end; ++i)
            cadd(text[i]);
        // Lines beginning with '|' are records, so the record units have some to test.
        if (end > start && text[start] == '|') cf.lnptr->object = kObjRecord;
        start = end + 1;
    }
    cf.lnptr = cf.header->down;
    cf.curcol = 1;
}

void check_evaluator(std::string_view expr) {
    dijkstra(expr.data(), static_cast<int>(expr.size()));
    if (fperror == kFpFine) {
        if (ni != oldindex + 1 || opindex != 0 || !std::isfinite(numstack[ni])) std::abort();
    } else if (fperror == kFpSyntax || fperror == kFpOverflow) {
        if (ni != oldindex || opindex != 0) std::abort();
    } else {
        std::abort();
    }
    if (fpnumused < 0 || fpnumused > static_cast<int>(expr.size())) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool once = [] {
        reset_keys();
        set_keyboard(nullptr);  // messages that wait are answered with Return
        reset_store();
        return true;
    }();
    (void)once;
    std::vector<std::string_view> parts;
    const std::string_view all(reinterpret_cast<const char*>(data), size);
    std::size_t start = 0;
    while (parts.size() < 3) {
        const std::size_t zero = all.find('\0', start);
        if (zero == std::string_view::npos) break;
        parts.push_back(all.substr(start, zero - start));
        start = zero + 1;
    }
    parts.push_back(all.substr(std::min(start, all.size())));
    while (parts.size() < 4)
        parts.emplace_back();

    reset_float();
    reset_merger();
    reset_scan();
    check_evaluator(parts[0]);

    const std::size_t one = parts[1].find('\1');
    scanpattern.assign_cut(parts[1].substr(0, one));
    if (one != std::string_view::npos) targetstring.assign_cut(parts[1].substr(one + 1));
    fill(18, parts[2].substr(0, 2000));
    fill(1, parts[3].substr(0, 8000));
    corenum = 1;

    for (int unit = 0; unit < 8; ++unit) {
        scanunit = unit;
        cur().lnptr = cur().header->down;
        cur().curcol = 1;
        find();
        resfind();
        rescheck();
        resnumber();
        extchk();
    }
    makecheck(scanpattern.view());
    for (LINE* l = cur().header->down; l != cur().header; l = l->down)
        reccheck(l);
    cur().lnptr = cur().header->down;
    cur().curcol = 1;
    if (!scanpattern.empty()) change();
    cur().lnptr = cur().header->down;
    scantext();
    // The starred block goes to core file 0 and back.
    cur().lnptr = cur().header->down;
    makestars();
    cur().lnptr = cur().header->up;
    makestars();
    copyop();
    delete_();
    recover();
    garbage();
    return 0;
}
