#include "stars.hpp"

#include "globals.hpp"

void clrstars() {
    COREFILE& cf = cur();
    cf.starA = nullptr;
    cf.starB = nullptr;
    cf.starcount = 0;
    cf.nextstar = 'A';
}

int delstar() {
    COREFILE& cf = cur();
    if (cf.lnptr == nullptr || cf.lnptr == cf.header) return 0;
    if (cf.starA == cf.lnptr) {
        cf.starA = nullptr;
        cf.nextstar = 'A';
    } else if (cf.starB == cf.lnptr) {
        cf.starB = nullptr;
        cf.nextstar = 'B';
    } else {
        return 0;
    }
    cf.starcount -= 1;
    return 1;
}
