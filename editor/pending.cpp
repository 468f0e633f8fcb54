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
void qtginfo() {
    notavail();
}
void qcompsingle() {}
void qnewcompare() {}
void qenummorph() {}
