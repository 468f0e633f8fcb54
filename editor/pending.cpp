// Operations whose modules are not written yet. Each does nothing until its module lands;
// the module then takes its lines out of this file.
#include <array>
#include <string_view>

#include "prcmnd.hpp"

// gento
#include "gento.hpp"
void qipa() {
    notavail();
}
void qmrpherror() {
    notavail();
}
void qsmtransf() {
    notavail();
}
void qtginfo() {
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
void qcompsingle() {}
void resumelx() {}
void qnewcompare() {}
void qenummorph() {}
void qmakepre() {}

// merger
#include "merger.hpp"
void mrgassign() {}
void mrgrec() {}

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
