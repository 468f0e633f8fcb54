#include "oruutils.hpp"

#include "globals.hpp"

void noop() {}
void uclcsw() {
    transb = transb ? 0 : 1;
}
void elidexp() {}
void expcore() {}
void homecur() {}

void grops() {}
void pickpoint() {}
void picleft() {}
void picright() {}
void picup() {}
void picdown() {}
void droppoint() {}
void addpic() {}
void remember() {}
void nextitem() {}
void previtem() {}
void preview() {}
