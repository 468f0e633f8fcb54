// Record templates, merge templates, field assignments, the sorts and the views on arbitrary
// bytes. The input is cut at each byte 0 into: a record template, a merge template, the lines of
// core file 1 (split at line feeds; lines beginning with '|' are records) and the assignments of
// core file 17.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "corutils.hpp"
#include "float.hpp"
#include "getparam.hpp"
#include "linutils.hpp"
#include "merger.hpp"
#include "sort.hpp"
#include "templates.hpp"
#include "terminal.hpp"
#include "termutils.hpp"
#include "view.hpp"

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
        if (end > start && text[start] == '|') cf.lnptr->object = kObjRecord;
        start = end + 1;
    }
    cf.lnptr = cf.header->down;
    cf.curcol = 1;
}

void check_fields() {
    if (numfields < 0 || numfields > kMaxFields) std::abort();
    for (int n = 1; n <= kMaxFields; ++n) {
        if (frow[n] < 0 || frow[n] > depth + 1 || fcol[n] < 1 || fcol[n] > swidth + 1) std::abort();
    }
}

void check_list() {
    const COREFILE& cf = cur();
    int n = 0;
    long chars = 0;
    for (const LINE* l = cf.header->down; l != cf.header; l = l->down) {
        if (l->down->up != l || ++n > cf.lncount) std::abort();
        chars += l->length;
    }
    if (n != cf.lncount || chars != cf.charcount) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool once = [] {
        reset_keys();
        set_keyboard(nullptr);  // messages and views that wait are answered with Return
        reset_store();
        return true;
    }();
    (void)once;
    std::vector<std::string> parts;
    const std::string_view all(reinterpret_cast<const char*>(data), size);
    std::size_t start = 0;
    while (parts.size() < 3) {
        const std::size_t zero = all.find('\0', start);
        if (zero == std::string_view::npos) break;
        parts.emplace_back(all.substr(start, zero - start));
        start = zero + 1;
    }
    parts.emplace_back(all.substr(std::min(start, all.size())));
    while (parts.size() < 4)
        parts.emplace_back();

    reset_float();
    reset_merger();
    reset_sort();
    reset_view();
    std::string tpl = parts[0].substr(0, 5000);
    tpl.push_back(4);
    tempbufptr = tpl.c_str();
    writetemplate(1);
    check_fields();
    mrgbufptr = parts[1].c_str();
    mrgstring.assign_cut(parts[1]);
    expression.assign_cut(parts[1]);
    fill(17, std::string_view(parts[3]).substr(0, 2000));
    fill(1, std::string_view(parts[2]).substr(0, 8000));

    for (int view = 0; view <= 2; ++view) {
        cur().viewtype = view;
        cureditmask = editmask[static_cast<std::size_t>(view)];
        for (LINE* l = cur().header->down; l != cur().header; l = l->down) {
            cur().lnptr = l;
            cur().curcol = 1 + static_cast<int>(l->length % 7);
            mrgtext();
            mrgexp();
            if (view != 0 && l->object == kObjRecord) {
                mrgrec();
                mrgassign();
            }
        }
        for (int table = 0; table <= 2; ++table) {
            sorttable = table;
            cur().lnptr = cur().header->down;
            for (int dir = 0; dir <= 1; ++dir) {
                sortlines(dir, 15 - 20 * dir, 1, 200000, 1 + static_cast<int>(size % 9));
                check_list();
            }
        }
    }
    for (int n = 1; n <= 2; ++n) {
        param[1] = n;
        view();
        if (viewing() || corenum != 1) std::abort();
    }
    param[1] = 0;
    view();
    viewterm();
    if (viewing() || corenum != 1) std::abort();
    check_fields();
    garbage();
    for (int n = 0; n < kCoreFiles; ++n) {
        corenum = n;
        check_list();
    }
    corenum = 1;
    return 0;
}
