// Operations whose modules are not written yet. Each does nothing until its module lands;
// the module then takes its lines out of this file.
#include <array>
#include <string_view>

// build
#include "build.hpp"
void bldtxt() {}
void bldrec() {}
void bldmath() {}
void copytxt() {}
void recword() {}
void recfield() {}
void rectxt() {}
void recrec() {}
void recmath() {}
void instabrow() {}
void instabcol() {}
void makeobject() {}

// centre
#include "centre.hpp"
void flushleft() {}
void flushright() {}
void fcenter() {}
void falign() {}

// commands
#include "commands.hpp"
void silent() {}

// compute
#include "compute.hpp"

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

// cursors
#include "cursors.hpp"
void retrn() {}
void downfield() {}
void curleft() {}
void downline() {}
void downrec() {}
void curright() {}
void upline() {}
void uprec() {}
void upfield() {}
void up_page() {}
void downpage() {}
void leftm() {}
void downm() {}
void rightm() {}
void upm() {}
void greencur() {}
void downrow() {}
void uprow() {}
void fixcursor() {}

// dxio
#include "dxio.hpp"

// display
#include "display.hpp"

// ecap
#include "ecap.hpp"
void ldexit() {}
void lddelin() {}
void ldleft() {}
void lddown() {}
void ldright() {}
void ldup() {}
void ldenter() {}
void lddelout() {}
void begline() {}
void endline() {}
void deline() {}
void marleft() {}
void maright() {}
void splitline() {}
void joinline() {}
void repchar() {}
void repline() {}
void delword() {}
void delwordend() {}
void xnextword() {}
void xprevword() {}
void flipchar() {}
void manynulines() {}
void xnextnumx() {}

// gento
#include "gento.hpp"
void qcompsingle() {}
void qglobpre() {}
void generate() {}
void resumelx() {}
void qcompare() {}
void disp_sent() {}
void qnewcompare() {}
void qenummorph() {}
void qmakepre() {}
void initgento() {}

// file
#include "file.hpp"
void fetchfile() {}
void insrtfile() {}
void appendfile() {}
void savefile() {}
void ovrwritefile() {}
void join() {}
void emit() {}
void deletefile() {}
void newname() {}
void update() {}
void list() {}

// merger
#include "merger.hpp"
void mrgassign() {}
void mrgrec() {}

// prcmnd
#include "prcmnd.hpp"
void prcmnd() {}

// reformat
#include "reformat.hpp"
void reformat() {}

// rubout
#include "rubout.hpp"
void rubtxt() {}
void rubrec() {}
void rubgraph() {}
void rubmath() {}
void copyfield() {}
void rubfield() {}

// scan
#include "scan.hpp"

// scrin
#include "scrin.hpp"

// scrout
#include "scrout.hpp"

// stars
#include "stars.hpp"

// syshandler
#include "syshandler.hpp"

// tabs
#include "tabs.hpp"
// The tab table with its start-up stops at 1, 9, 17 ... 137.
std::array<char, 145> tabs = [] {
    std::array<char, 145> t{};
    for (std::size_t c = 1; c < t.size(); c += 8) t[c] = 1;
    return t;
}();
void tabset() {}
void tabcur() {}

// templates
#include "templates.hpp"
void writetemplate(int) {}

// terminal
#include "terminal.hpp"

// termutils
#include "termutils.hpp"

// view
#include "view.hpp"
void viewterm() {}
