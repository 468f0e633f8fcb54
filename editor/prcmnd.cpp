#include "prcmnd.hpp"

#include <string_view>

#include "commands.hpp"
#include "corutils.hpp"
#include "cursors.hpp"
#include "display.hpp"
#include "editor.hpp"
#include "file.hpp"
#include "float.hpp"
#include "gento.hpp"
#include "getparam.hpp"
#include "globals.hpp"
#include "scan.hpp"
#include "scrin.hpp"
#include "scrout.hpp"
#include "sort.hpp"
#include "sysutils.hpp"
#include "templates.hpp"
#include "terminal.hpp"
#include "termutils.hpp"
#include "view.hpp"

namespace {
constexpr int W = kCmdWarn;
constexpr int N = kCmdName;
constexpr int L = kCmdLine;
constexpr int R = kCmdNoResult;
constexpr int F = kCmdFull;
constexpr CmdHandler none = nullptr;

constexpr const char* kFindPrompt =
    "0:char; 1:word; 2:line; 3:sent; 4:up; 5:rec; 6:check; 7: pattern";
}  // namespace

// clang-format off
const std::array<CMDSPEC, kCommands> commands = {{
    /*  0 */ {"FETCH", W | N | L, "f1gUgLcC", "|1|200000||", fpr, fetchfile, ""},
    /*  1 */ {"GOODBYE", 0, "e ", "|", none, goodbye, ""},
    /*  2 */ {"OVERWRITE", 0, "f1gUgL", "|1|200000|", fpw, ovrwritefile, ""},
    /*  3 */ {"JOIN", 0, "f1gUgL", "|1|200000|", fpw, join, ""},
    /*  4 */ {"FIND", L | R, "d7c2", "||", findchk, find, kFindPrompt},
    /*  5 */ {"SCANSET", 0, "d7c2", "||", findchk, none, kFindPrompt},
    /*  6 */ {"DELETE", 0, "f1", "|", fpw, deletefile, ""},
    /*  7 */ {"SORT", L | F, "d3j gUgL", "|15|1|200000|", sortchk, sort, "0:ascending; 1:descending | keylength | startline | endline"},
    /*  8 */ {"HYPHENS", 0, "d3", "|", none, hyphenset, "degree of hyphenation"},
    /*  9 */ {"JUSTIFY", 0, "d1", "|", none, justset, "0:no justification   1:right justify"},
    /* 10 */ {"SAVE", 0, "f1gUgL", "|1|200000|", faw, savefile, ""},
    /* 11 */ {"CLEAR", W | N | L, "e ", "|", none, clrfile, ""},
    /* 12 */ {"POSITION", L, "hUj ", "||", positchk, positn, ""},
    /* 13 */ {"ADVANCE", L, "j j ", "||", none, advance, ""},
    /* 14 */ {"APPEND", F, "f1gUgLcC", "|1|200000||", fpr, appendfile, ""},
    /* 15 */ {"INSERT", F, "f1gUgLcC", "|1|200000||", fpr, insrtfile, ""},
    /* 16 */ {"GENERATE DISPLAY", 0, "e ", "|", none, gendis, ""},
    /* 17 */ {"BEGIN", L, "e ", "|", none, wrwholescreen, ""},
    /* 18 */ {"FUNCTION", 0, "d9c0", "||", none, none, ""},
    /* 19 */ {"TEMPLATE", W, "d4f1", "||", fpr, setspecs, "0,1:record template; 2:merge template"},
    /* 20 */ {"PROCEDURE", R, "f1", "|", fpr, loadfile, ""},
    /* 21 */ {"NAME", N, "f1", "|", none, nmeset, ""},
    /* 22 */ {"MARGINS", 0, "i i ", "||", marginchk, prtabs, ""},
    /* 23 */ {"EVALUATE", 0, "cB", "|", none, evaluate, ""},
    /* 24 */ {"VIEW", F, "d2", "|", none, view, ""},
    /* 25 */ {"OBJECT", W, "d7", "|", none, objset, "0:txt 1:rec/txt 2:rec/tmp 3:lin/txt 4:lin/gr 5:mat/txt 6:mat/gr 7:page"},
    /* 26 */ {"CORE", N | L, "i ", "|", none, coreset, ""},
    /* 27 */ {"RUN", W, "f1", "|", fpx, runprog, ""},
    /* 28 */ {"SHELL", 0, "c5", "|", none, calsys, ""},
    /* 29 */ {"UNIX SHELL", 0, "c5", "|", none, calsys, ""},
    /* 30 */ {"CDIRECTORY", 0, "c5", "|", none, changedir, "enter directory string; <return> displays current directory"},
    /* 31 */ {"ASK", R, "i f1", "||", none, ask, ""},
    /* 32 */ {"KEY", 0, "i i ", "||", none, inkeyset, "enter key and operation"},
    /* 33 */ {"FONT", 0, "i i ", "||", none, outkeyset, "enter key and output Value"},
    /* 34 */ {"EDITOR OPTION", 0, "i ", "|", none, option, "0,1,2 RETN opt; 3,4 rpt lim; 5,6 FE opt; 7,8 TAB opt; 9,10 SA opt"},
    /* 35 */ {"TAB", 0, "i ", "|", none, settabs, "enter tab interval"},
    /* 36 */ {"EXPRESSION", 0, "c4", "|", none, none, ""},
    /* 37 */ {"MERGE", 0, "c3", "|", none, none, ""},
    /* 38 */ {"IDENTIFY", 0, "e ", "|", none, identify, ""},
    /* 39 */ {"WINDOW", 0, "i i ", "|200000|", none, window, ""},
    /* 40 */ {"EMIT", 0, "i gUgLd1", "|1|200000||", none, emit, "corefile | firstline | lastline |0:oru output, 1:driver input"},
    /* 41 */ {"SKEY", 0, "d2", "|", none, skey, "0: ASCII; 1: French unaccented; 2: accents"},
    /* 42 */ {"SWITCH", 0, "d2", "|", none, swinput, "0: to keybd/suspend; 1: to driver; 2: to keybd/abort"},
    /* 43 */ {"ATTRIBUTE", 0, "f1", "|", fpr, qattribute, "attribute file"},
    /* 44 */ {"SYNTAX", 0, "f1", "|", fpr, qsyntax, "syntax file"},
    /* 45 */ {"MORPHOLOGY", 0, "f1", "|", fpr, qmorphology, "morphology file"},
    /* 46 */ {"LEXICON", 0, "f1", "|", fpr, qlexicon, "lexicon file"},
    /* 47 */ {"TBLS", 0, "f1", "|", fpr, qtbls, "tables file"},
    /* 48 */ {"TMNLS", 0, "f1", "|", fpr, qtmnls, "terminals file"},
    /* 49 */ {"USER", 0, "f1", "|", fpr, quser, "user file"},
    /* 50 */ {"IPA", 0, "f1", "|", fpr, qipa, "ipa tables file"},
    /* 51 */ {"MRPHERROR", 0, "f1", "|", fpr, qmrpherror, "morph errors file"},
    /* 52 */ {"SMTRANSF", 0, "f1", "|", fpr, qsmtransf, "semantic transf file"},
    /* 53 */ {"TGINFO", 0, "f1", "|", fpr, qtginfo, "tag info file"},
    /* 54 */ {"LXTRANSF", 0, "f1", "|", fpr, qlxtransf, "lexical transf file"},
    /* 55 */ {"RM_QFILES", 0, "cA", "|", none, qrmfiles, "remove GENTO files"},
    /* 56 */ {"RXTRANSF", 0, "i ", "|", none, qrxtransf, "transformation number"},
    /* 57 */ {"QADDLEX", 0, "f1", "|", fpr, qaddlex, "lexicon file"},
    /* 58 */ {"MPASSES", 0, "i i i i i ", "0|0|0|0|0|", none, qmpasses, "set morphology passes"},
    /* 59 */ {"QDISPLAY", 0, "i ", "|", none, qdisplay, "0: 1: 2: ..."},
    /* 60 */ {"QFREQ", 0, "cA", "|", none, qfreq, "vary lexical frequency"},
    /* 61 */ {"QROOTSET", 0, "cA", "|", none, qrootset, "set error-test roots"},
    /* 62 */ {"RANDOM SEED", 0, "i ", "|", none, qrandomseed, "odd integer"},
    /* 63 */ {"PSEED", 0, "i ", "|", none, qpseed, "print random seed"},
    /* 64 */ {"TSTINPUT", 0, "f1", "|", fpr, qtstinput, "test file"},
    /* 65 */ {"QERROR", 0, "i cG", "||", none, qerror, "error function string"},
    /* 66 */ {"STORE", 0, "d2d1", "||", none, qstore, "leafnodes(0),fulltrees(1),indenttrees(2)|core(0),driver(1)"},
    /* 67 */ {"RECOVER", 0, "cA", "|", none, qrecover, "stored tree filename"},
    /* 68 */ {"QTALK", 0, "i ", "|", none, qtalk, "specify root number"},
    /* 69 */ {"AUTOWRAP", 0, "d1", "|", swautowrap, none, "1: on, 0: off"},
    /* 70 */ {"BYE", 0, "e ", "|", none, goodbye, ""},
    /* 71 */ {"CHANGE", L | F, "c2cD", "||", changechk, change, "scan pattern | replacement pattern"},
    /* 72 */ {"DIRECTORY", 0, "k1", "|", none, directory, "B: brief, F: full, T: top"},
    /* 73 */ {"DTAB", 0, "d1", "|", decimaltab, none, "1: on, 0: off"},
    /* 74 */ {"END", L, "e ", "|", none, gotobottom, ""},
    /* 75 */ {"LIST", 0, "fEgUgLi fF", "|1|200000|1||", none, list, "file | fromline | toline | numcopies | initfile"},
    /* 76 */ {"NEWNAME", 0, "f1fD", "||", fpw, newname, "current file name | new file name"},
    /* 77 */ {"UPDATE", 0, "e ", "|", none, update, ""},
    /* 78 */ {"WSHIFT", 0, "i ", "|", shift, none, "enter overlap"},
    /* 79 */ {"**", 0, "", "|", none, none, ""},
}};
// clang-format on

int cmdptr = -1;

void reset_prcmnd() {
    cmdptr = -1;
}

int& result_register() {
    if (loopdepth < 0 || loopdepth >= kLoopDepths) return vl_result[0];
    return vl_result[loopdepth];
}

void notavail() {
    diserr("Command not available");
    del = 2;
}

namespace {

// Every key of the command line is read with the terminal cursor on the command line.
void cmdkey() {
    cmdcur();
    fetchchar();
}

bool namechar() {
    return type == 3 || type == 4;
}

// Command names are read in capitals whatever the upper-case lock says, as the lock would make
// them; the lock itself is left alone, so the screen never shows it on for that reason.
char capital(char ch) {
    return type == 4 && ch >= 'a' && ch <= 'z' ? static_cast<char>(ch - 'a' + 'A') : ch;
}

void clearcmdline() {
    pltransmit("$Cx");
    shadow_ptr = 0;
}

int findcommand(char a, char b) {
    for (int row = 0; row < kCommands; ++row) {
        const std::string_view name = commands[row].name;
        if (name == "**") break;
        if (name.size() >= 2 && name[0] == a && name[1] == b) return row;
    }
    return -2;
}

void aftercommand(const CMDSPEC& c) {
    fixcursor();
    display();
    COREFILE& cf = cur();
    if (c.sideffects & kCmdLine) cf.curline = distance(cf.header, cf.lnptr);
    if ((avail > hiaddr || reserve == nullptr) && full == 0) garbage();
    putstats();
    if (c.sideffects & kCmdName) putfname();
}

}  // namespace

int getcmnd() {
    prmptpar(0);
    char first = 0;
    char second = 0;
    while (second == 0) {
        cmdkey();
        if (type == 1) return -1;
        if (!namechar()) continue;
        first = capital(holdch);
        putcmdlett(first);
        while (true) {
            cmdkey();
            if (namechar()) {
                second = capital(holdch);
                putcmdlett(second);
                break;
            }
            if (type == 5) {
                backspace();
                break;
            }
        }
    }
    const int row = findcommand(first, second);
    if (row < 0) {
        ibeep();
        diserr("Invalid Command Request");
        return -2;
    }
    for (const char c : std::string_view(commands[row].name).substr(2))
        putcmdlett(c);
    putcmdlett(' ');
    return row;
}

void prcmnd() {
    // Entered from the command line itself the loop would never end: fall back to typing.
    const int oldmode = mode == 0 ? 1 : mode;
    mode = 0;
    while (mode == 0) {
        cmdptr = getcmnd();
        if (cmdptr == -2) {
            clearhelp();
            clearcmdline();
            continue;
        }
        if (cmdptr == -1) {
            mode = oldmode;
            break;
        }
        const CMDSPEC& c = commands[cmdptr];
        if (full == 1 && (c.sideffects & kCmdFull)) {
            diserr("files full; command ignored");
            clearcmdline();
            continue;
        }
        if ((c.sideffects & kCmdWarn) && cur().edited) progress("Warning: corefile not saved");
        if (c.prompt[0] != '\0') progress(c.prompt);
        getparam();
        if (del != 2 && c.checker != nullptr) c.checker();
        if (del != 2 && c.cmdop != nullptr) c.cmdop();
        if (!(c.sideffects & kCmdNoResult)) result_register() = del != 2 ? 1 : 0;
        aftercommand(c);
        clearhelp();
        clearcmdline();
    }
    cmdptr = -1;
    mode = oldmode;
    prmptpar(mode);
}
