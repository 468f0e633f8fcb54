// Operations whose modules are not written yet. Each does nothing until its module lands;
// the module then takes its lines out of this file.

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
