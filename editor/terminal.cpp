#include "terminal.hpp"

int swidth = 78;
int rightcol = 78;
int overlap = 19;
int shiftc = 59;
int pshift = 0;
const int windowtop = 2;
int windowend = 21;
int depth = 20;
int helpline = 22;
int cmdline = 23;
int visible = 1;

void reset_geometry() {
    swidth = 78;
    rightcol = 78;
    overlap = 19;
    shiftc = 59;
    pshift = 0;
    windowend = 21;
    depth = 20;
    helpline = 22;
    cmdline = 23;
    visible = 1;
}
