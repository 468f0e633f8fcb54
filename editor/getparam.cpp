#include "getparam.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <string>

#include "corutils.hpp"
#include "encoding.hpp"
#include "float.hpp"
#include "globals.hpp"
#include "merger.hpp"
#include "prcmnd.hpp"
#include "scan.hpp"
#include "scrin.hpp"
#include "scrout.hpp"
#include "stars.hpp"
#include "terminal.hpp"
#include "termutils.hpp"

std::array<int, kParams> param{};
int paramcount = 0;
ParamText pstring;
int tptr = 0;

Name sysstring;
Name termstring;
Name picstring;
Name listfile;
Name listinitfile;
Name q_error;

namespace {

// Destinations by qualifier '1' to 'G': '6' to '?' are the function-key strings.
constexpr int kDestinations = 23;
struct Dest {
    Name* str;
    int ctrl;
};
const std::array<Dest, kDestinations> desttable = {{
    /* 1 */ {&curfile, 0},
    /* 2 */ {&scanpattern, 1},
    /* 3 */ {&mrgstring, 1},
    /* 4 */ {&expression, 0},
    /* 5 */ {&sysstring, 0},
    /* 6 */ {&fn[0], 1},
    /* 7 */ {&fn[1], 1},
    /* 8 */ {&fn[2], 1},
    /* 9 */ {&fn[3], 1},
    /* : */ {&fn[4], 1},
    /* ; */ {&fn[5], 1},
    /* < */ {&fn[6], 1},
    /* = */ {&fn[7], 1},
    /* > */ {&fn[8], 1},
    /* ? */ {&fn[9], 1},
    /* @ */ {&termstring, 1},
    /* A */ {&picstring, 0},
    /* B */ {&mathstring, 0},
    /* C */ {&recboolcheck, 0},
    /* D */ {&targetstring, 0},
    /* E */ {&listfile, 0},
    /* F */ {&listinitfile, 0},
    /* G */ {&q_error, 1},
}};

int destindex(char qualifier) {
    const int i = qualifier - '1';
    return i >= 0 && i < kDestinations ? i : -1;
}

}  // namespace

Name* destination(char qualifier) {
    const int i = destindex(qualifier);
    return i < 0 ? nullptr : desttable[i].str;
}

int ctrltype(char qualifier) {
    const int i = destindex(qualifier);
    return i < 0 ? 0 : desttable[i].ctrl;
}

// ---------------------------------------------------------------------------------------------
// Prompts
// ---------------------------------------------------------------------------------------------

namespace {

constexpr std::array<const char*, 12> kPrompts = {
    "Command ", "Typing  ", "Insert  ", "String  ", "Digit   ", "<return>",
    "Filename", "Integer ", "Integer ", "Integer ", "Integer ", "Letter  ",
};

// True while getparam reads keys, so a redraw shows the current parameter's prompt.
bool entering = false;

const CMDSPEC* current() {
    return cmdptr >= 0 && cmdptr < kCommands ? &commands[cmdptr] : nullptr;
}

char typeletter() {
    const CMDSPEC* c = current();
    if (c == nullptr) return 'e';
    const std::string_view types = c->paramtype;
    return tptr >= 0 && static_cast<std::size_t>(tptr) < types.size() ? types[tptr] : 'e';
}

char qualifier() {
    const CMDSPEC* c = current();
    if (c == nullptr) return ' ';
    const std::string_view types = c->paramtype;
    const std::size_t at = static_cast<std::size_t>(tptr) + 1;
    return tptr >= 0 && at < types.size() ? types[at] : ' ';
}

int typeprompt(char letter) {
    return letter >= 'c' && letter <= 'k' ? letter - 'a' + 1 : 5;
}

}  // namespace

void prmptpar(int ptype) {
    if (ptype < 0 || ptype >= static_cast<int>(kPrompts.size())) return;
    putstring(kPrompts[ptype], 'm');
}

void disprompt() {
    if (mode != 0) {
        prmptpar(mode);
    } else if (entering) {
        prmptpar(typeprompt(typeletter()));
    } else {
        prmptpar(0);
    }
}

// ---------------------------------------------------------------------------------------------
// Typing the parameters
// ---------------------------------------------------------------------------------------------

namespace {

bool finished = false;

char lastchar() {
    return pstring.empty() ? '\0' : pstring[pstring.size() - 1];
}
bool atparamstart() {
    return pstring.empty() || lastchar() == '|';
}

void adch() {
    if (pstring.size() >= static_cast<std::size_t>(kMaxTyped)) return;
    pstring.push_back(holdch);
    putcmdlett(holdch);
}
void adfirst() {
    if (atparamstart()) adch();
}
void adnostar() {
    if (lastchar() != '*') adch();
}
void addig() {
    if (holdch <= qualifier()) adfirst();
}
void delop() {
    if (pstring.empty()) {
        del = 2;
        finished = true;
        return;
    }
    const char gone = lastchar();
    ParamText shorter;
    shorter.assign(pstring.view().substr(0, pstring.size() - 1));
    pstring = shorter;
    backspace();
    if (gone == '|') {
        tptr -= 2;
        disprompt();
    }
}
void barop() {
    const CMDSPEC* c = current();
    if (c == nullptr) return;
    if (static_cast<std::size_t>(tptr) + 2 >= std::string_view(c->paramtype).size()) return;
    pstring.push_back('|');
    putcmdlett('|');
    tptr += 2;
    disprompt();
}
void retop() {
    pstring.push_back('|');
    finished = true;
}

using Action = void (*)();
constexpr Action no = nullptr;
constexpr int kClasses = 8;

// One row per type letter c to k; one action per key class 1 to 8:
// return, other, digit, letter, rubout, '-', '*', '|'.
// clang-format off
const std::array<std::array<Action, kClasses>, 9> PARAMTABLE = {{
    /* c */ {retop, adch, adch,     adch,     delop, adch,     adch,    barop},
    /* d */ {retop, no,   addig,    no,       delop, no,       no,      barop},
    /* e */ {retop, no,   no,       no,       delop, no,       no,      barop},
    /* f */ {retop, no,   adnostar, adnostar, delop, adnostar, adfirst, barop},
    /* g */ {retop, no,   adnostar, no,       delop, no,       adfirst, barop},
    /* h */ {retop, no,   adnostar, no,       delop, adfirst,  adfirst, barop},
    /* i */ {retop, no,   adch,     no,       delop, no,       no,      barop},
    /* j */ {retop, no,   adch,     no,       delop, adfirst,  no,      barop},
    /* k */ {retop, no,   no,       adfirst,  delop, no,       no,      barop},
}};
// clang-format on

int keyclass() {
    if (type >= 2 && type <= 4) {
        if (holdch == '-') return 6;
        if (holdch == '*') return 7;
        if (holdch == '|') return 8;
    }
    return type;
}

void paramkey() {
    const char letter = typeletter();
    if (letter < 'c' || letter > 'k') {
        // A row without parameters still takes Return and rubout.
        if (type == 1) retop();
        if (type == 5) delop();
        return;
    }
    const int cls = keyclass();
    if (cls < 1 || cls > kClasses) return;
    const Action act = PARAMTABLE[letter - 'c'][cls - 1];
    if (act != nullptr) act();
}

}  // namespace

void getparam() {
    del = 0;
    pstring.clear();
    tptr = 0;
    param.fill(0);
    finished = false;
    entering = true;
    disprompt();
    while (!finished) {
        cmdcur();
        fetchchar();
        if (type >= 1 && type <= 5) paramkey();
    }
    entering = false;
    if (del == 2) return;
    add_defaults();
    convert_params();
}

void add_defaults() {
    const CMDSPEC* c = current();
    if (c == nullptr) return;
    std::size_t bars = 0;
    for (const char ch : pstring.view())
        bars += ch == '|' ? 1 : 0;
    std::string_view rest = c->defstr;
    while (bars > 0 && !rest.empty()) {
        if (rest.front() == '|') --bars;
        rest.remove_prefix(1);
    }
    pstring.append(rest);
}

std::string_view paramtext(int n) {
    std::string_view rest = pstring.view();
    for (int i = 1; i < n; ++i) {
        const std::size_t bar = rest.find('|');
        if (bar == std::string_view::npos) return {};
        rest.remove_prefix(bar + 1);
    }
    return rest.substr(0, rest.find('|'));
}

// ---------------------------------------------------------------------------------------------
// Conversion
// ---------------------------------------------------------------------------------------------

namespace {

// Digits of a parameter; a '-' anywhere makes it negative. Too large a value saturates.
int number(std::string_view text) {
    long long value = 0;
    bool negative = false;
    for (const char ch : text) {
        if (ch == '-') {
            negative = true;
        } else {
            value = value * 10 + (ch - '0');
            if (value > INT_MAX) value = INT_MAX;
        }
    }
    return static_cast<int>(negative ? -value : value);
}

void tostring(Name& dest, std::string_view text, int ctrl) {
    if (ctrl) {
        dest.assign_cut(transtring(text));
    } else {
        dest.assign_cut(text);
    }
}

void convertone(int n, char letter, char qual) {
    const std::string_view text = paramtext(n);
    int& value = param[n];
    switch (letter) {
        case 'c': {
            if (qual == '0') {
                if (param[1] >= 0 && param[1] < static_cast<int>(fn.size()))
                    tostring(fn[param[1]], text, 1);
            } else if (Name* dest = destination(qual)) {
                tostring(*dest, text, ctrltype(qual));
            }
            value = 0;
            break;
        }
        case 'f':
            if (Name* dest = destination(qual)) {
                if (text == "*") {
                    *dest = cur().filname;
                } else {
                    dest->assign_cut(text);
                }
            }
            value = 0;
            break;
        case 'g':
        case 'h':
            value = text == "*" ? starline(qual) : number(text);
            break;
        case 'd':
        case 'i':
        case 'j':
            value = number(text);
            break;
        case 'k': {
            const char ch = text.empty() ? '\0' : text[0];
            if (ch >= 'A' && ch <= 'Z') {
                value = ch - 'A' + 1;
            } else if (ch >= 'a' && ch <= 'z') {
                value = ch - 'a' + 1;
            } else {
                value = 0;
            }
            break;
        }
        default:
            value = 0;
            break;
    }
}

}  // namespace

void convert_params() {
    const CMDSPEC* c = current();
    if (c == nullptr) return;
    const std::string_view types = c->paramtype;
    paramcount = 0;
    for (std::size_t at = 0; at + 1 < types.size() && paramcount + 1 < kParams; at += 2) {
        ++paramcount;
        convertone(paramcount, types[at], types[at + 1]);
    }
}

// ---------------------------------------------------------------------------------------------
// Checkers
// ---------------------------------------------------------------------------------------------

namespace {

void refuse(std::string_view msg) {
    diserr(msg);
    del = 2;
}

bool isregular(const std::string& name) {
    struct stat st {};
    return stat(name.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The checks never wait: a pipe or device is opened without blocking, so one with nobody at the
// other end cannot hold the editor.
bool opens(const std::string& name, int flags, mode_t perm = 0) {
    int fd;
    do {
        fd = open(name.c_str(), flags | O_NONBLOCK | O_CLOEXEC, perm);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return false;
    close(fd);
    return true;
}

}  // namespace

bool canread(const char* name) {
    if (name[0] == '\0') return false;
    const std::string sys = sysname(name);
    return isregular(sys) && opens(sys, O_RDONLY);
}

bool canwrite(const char* name) {
    // Opened without truncation: the check must not harm the file.
    return name[0] != '\0' && opens(sysname(name), O_WRONLY);
}

bool cancreate(const char* name) {
    return name[0] != '\0' && opens(sysname(name), O_WRONLY | O_CREAT | O_EXCL, 0666);
}

bool canexec(const char* name) {
    struct stat st {};
    return name[0] != '\0' && stat(sysname(name).c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
           (st.st_mode & S_IXUSR) != 0;
}

void fpr() {
    if (curfile.empty()) return refuse("Empty filename");
    if (!canread(curfile.c_str())) refuse("File not found (or no read permission)");
}

void fpw() {
    if (curfile.empty()) return refuse("Empty filename");
    if (!canwrite(curfile.c_str())) refuse("File not found (or no write permission)");
}

void faw() {
    if (curfile.empty()) return refuse("Empty filename");
    if (!cancreate(curfile.c_str())) refuse("File already exists (or no write permission)");
}

void fpx() {
    if (curfile.empty()) return refuse("Empty filename");
    if (!canexec(curfile.c_str()))
        refuse("Requested file cannot be located (or is not executable)!");
}

void findchk() {
    scanunit = param[1];
}

void changechk() {
    if (scanpattern.empty()) refuse("Empty scan pattern");
}

void positchk() {
    // Only a column left empty keeps the cursor's; a typed 0 means just after the line's end.
    if (paramtext(2).empty()) param[2] = cur().curcol;
}

void marginchk() {
    if (param[1] != 0) lmargin = param[1];
    if (param[2] != 0) rmargin = param[2];
    if (rmargin < lmargin) rmargin = lmargin;
}

void reset_getparam() {
    param.fill(0);
    paramcount = 0;
    pstring.clear();
    tptr = 0;
    for (Name* n :
         {&scanpattern, &mrgstring, &expression, &sysstring, &termstring, &picstring, &mathstring,
          &recboolcheck, &targetstring, &listfile, &listinitfile, &q_error}) {
        n->clear();
    }
    entering = false;
    finished = false;
}
