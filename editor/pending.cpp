// Operations whose modules are not written yet. Each does nothing until its module lands;
// the module then takes its lines out of this file.
#include <array>
#include <string_view>

#include "prcmnd.hpp"

// centre
#include "centre.hpp"
void flushleft() {}
void flushright() {}
void fcenter() {}
void falign() {}

// cstars
#include "cstars.hpp"
void makecstars() {}
void deleterect() {}
void insertrect() {}
void copyrect() {}
void insertcols() {}
void overwrect() {}
void cpclrrect() {}
void cpclrovrect() {}
void clearallstars() {}

// gento
#include "gento.hpp"
void qsmtransf() {
    notavail();
}
void qlxtransf() {
    notavail();
}
void qrxtransf() {
    notavail();
}
void qstore() {
    notavail();
}
void qrecover() {
    notavail();
}
void resumelx() {}
void qmakepre() {}

// merger
#include "merger.hpp"
void mrgassign() {}
void mrgrec() {}

// reformat
#include "reformat.hpp"
void reformat() {}

// sort
#include "sort.hpp"
void sortchk() {
    notavail();
}
void sort() {
    notavail();
}
void skey() {
    notavail();
}

// tabs
#include "tabs.hpp"
// The tab table with its start-up stops at 1, 9, 17 ... 137.
std::array<char, 145> tabs = [] {
    std::array<char, 145> t{};
    for (std::size_t c = 1; c < t.size(); c += 8)
        t[c] = 1;
    return t;
}();
void tabset() {}
void tabcur() {}

// templates
#include "templates.hpp"
void writetemplate(int) {}
void setspecs() {
    notavail();
}

// view
#include "view.hpp"
void viewterm() {}
void view() {
    notavail();
}
