#include "view.hpp"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

#include "centre.hpp"
#include "commands.hpp"
#include "corutils.hpp"
#include "display.hpp"
#include "getparam.hpp"
#include "globals.hpp"
#include "linutils.hpp"
#include "scan.hpp"
#include "scrin.hpp"
#include "scrout.hpp"
#include "templates.hpp"
#include "terminal.hpp"
#include "termutils.hpp"
#include "uninstall.hpp"

namespace {

constexpr int kViewFile = 19;
constexpr int kViewType = 7;
constexpr int kShownCores = 19;  // core files 0 to 18 are listed
// Room the settings page may take while it is edited: what it is built with, and as much again
// for the moves of a growing record, so the store can never fill while the page is open (Return
// is refused while it is full, which would leave no way out of the page).
constexpr long kPageRoom = 8192;

// The settings page: ten function strings, five other strings, four one-digit settings.
constexpr const char* kSettingsPage =
    "{r1,c1}Function 0:  {#1/48}"
    "{r2,c1}Function 1:  {#2/48}"
    "{r3,c1}Function 2:  {#3/48}"
    "{r4,c1}Function 3:  {#4/48}"
    "{r5,c1}Function 4:  {#5/48}"
    "{r6,c1}Function 5:  {#6/48}"
    "{r7,c1}Function 6:  {#7/48}"
    "{r8,c1}Function 7:  {#8/48}"
    "{r9,c1}Function 8:  {#9/48}"
    "{r10,c1}Function 9:  {#10/48}"
    "{r12,c1}Merge Template:       {#11/48}"
    "{r13,c1}Expression Template:  {#12/48}"
    "{r14,c1}System String:        {#13/48}"
    "{r15,c1}Terminal String:      {#14/48}"
    "{r16,c1}Search Pattern:       {#15/48}"
    "{r18,c1}Search Type:        {#16/1/j}{c26}Justification:  {#17/1/j}"
    "{r19,c1}Hyphenation Level:  {#18/1/j}{c26}Layout:         {#19/1/j}"
    "\x04";

// The core files, one to a row so that all of them fit a screen of 24 rows: the name, the line
// and character counts, and the total of the characters above them.
constexpr const char* kCorePage =
    "{r0,c10}Filename{c53}Total Chars = {#58/8}"
    "{r1,c1}Core 0:  {#1/32}{c42}Lines = {#20/8}{c59}Chars = {#21/8}"
    "{r2,c1}Core 1:  {#2/32}{c42}Lines = {#22/8}{c59}Chars = {#23/8}"
    "{r3,c1}Core 2:  {#3/32}{c42}Lines = {#24/8}{c59}Chars = {#25/8}"
    "{r4,c1}Core 3:  {#4/32}{c42}Lines = {#26/8}{c59}Chars = {#27/8}"
    "{r5,c1}Core 4:  {#5/32}{c42}Lines = {#28/8}{c59}Chars = {#29/8}"
    "{r6,c1}Core 5:  {#6/32}{c42}Lines = {#30/8}{c59}Chars = {#31/8}"
    "{r7,c1}Core 6:  {#7/32}{c42}Lines = {#32/8}{c59}Chars = {#33/8}"
    "{r8,c1}Core 7:  {#8/32}{c42}Lines = {#34/8}{c59}Chars = {#35/8}"
    "{r9,c1}Core 8:  {#9/32}{c42}Lines = {#36/8}{c59}Chars = {#37/8}"
    "{r10,c1}Core 9:  {#10/32}{c42}Lines = {#38/8}{c59}Chars = {#39/8}"
    "{r11,c1}Core 10: {#11/32}{c42}Lines = {#40/8}{c59}Chars = {#41/8}"
    "{r12,c1}Core 11: {#12/32}{c42}Lines = {#42/8}{c59}Chars = {#43/8}"
    "{r13,c1}Core 12: {#13/32}{c42}Lines = {#44/8}{c59}Chars = {#45/8}"
    "{r14,c1}Core 13: {#14/32}{c42}Lines = {#46/8}{c59}Chars = {#47/8}"
    "{r15,c1}Core 14: {#15/32}{c42}Lines = {#48/8}{c59}Chars = {#49/8}"
    "{r16,c1}Core 15: {#16/32}{c42}Lines = {#50/8}{c59}Chars = {#51/8}"
    "{r17,c1}Core 16: {#17/32}{c42}Lines = {#52/8}{c59}Chars = {#53/8}"
    "{r18,c1}Core 17: {#18/32}{c42}Lines = {#54/8}{c59}Chars = {#55/8}"
    "{r19,c1}Core 18: {#19/32}{c42}Lines = {#56/8}{c59}Chars = {#57/8}"
    "\x04";

// The rule files of the generation system last read for each kind.
constexpr const char* kRulePage =
    "{r1,c1}Attributes file:        {#1/48}"
    "{r2,c1}Terminals file:         {#2/48}"
    "{r3,c1}Syntax (SY) file:       {#3/48}"
    "{r4,c1}Syntax (US) file:       {#4/48}"
    "{r5,c1}Morphology rules file:  {#5/48}"
    "{r6,c1}Morphology tables file: {#6/48}"
    "{r7,c1}Lexicon file:           {#7/48}"
    "{r8,c1}IP file:                {#8/48}"
    "{r9,c1}MR file:                {#9/48}"
    "{r10,c1}TG file:                {#10/48}"
    "{r11,c1}Semantic transfs file:  {#11/48}"
    "{r12,c1}Lexical transfs file:   {#12/48}"
    "\x04";

constexpr std::array<const char*, 3> kPages = {kSettingsPage, kCorePage, kRulePage};

// The settings record, two characters a field: "c" and a string destination, or "d1" for one of
// the digits kept in parameters 16 to 19.
constexpr std::string_view view0string = "c6c7c8c9c:c;c<c=c>c?c3c4c5c@c2d1d1d1d1";
constexpr int kFirstDigitField = 16;
// The slot of each rule-file field in the generation system's table of file names.
constexpr std::array<int, 12> qfileindex = {33, 52, 51, 53, 45, 20, 12, 48, 37, 39, 0, 56};
constexpr char entercmnd[] = {3, 0};

int savecore = 1;
const char* savetempl = nullptr;
bool open = false;

// A name shown as a field: a bar in it would end the field early.
std::string fieldtext(std::string_view name) {
    std::string s(name);
    std::replace(s.begin(), s.end(), '|', '!');
    return s;
}

std::string settingsrecord() {
    param[16] = scanunit;
    param[17] = jmode;
    param[18] = hyphlevel;
    param[19] = lrcswitch;
    std::string rec;
    for (std::size_t i = 0; i + 1 < view0string.size(); i += 2) {
        const int field = static_cast<int>(i / 2) + 1;
        if (view0string[i] == 'c') {
            const Name* dest = destination(view0string[i + 1]);
            if (dest != nullptr) rec += untranschar(dest->view());
        } else {
            rec += std::to_string(std::clamp(param[static_cast<std::size_t>(field)], 0, 9));
        }
        rec += '|';
    }
    return rec;
}

std::string corerecord() {
    std::string rec;
    for (int n = 0; n < kShownCores; ++n)
        rec += fieldtext(core[n].filname.view()) + '|';
    long total = 0;
    for (int n = 0; n < kShownCores; ++n) {
        rec += std::to_string(core[n].lncount) + '|' + std::to_string(core[n].charcount) + '|';
        total += core[n].charcount;
    }
    return rec + std::to_string(total) + '|';
}

std::string rulerecord() {
    std::string rec;
    for (int slot : qfileindex)
        rec += fieldtext(gentofilename[static_cast<std::size_t>(slot)]) + '|';
    return rec;
}

// Makes `rec` the only line of core file 19, a record line, which becomes current.
void placerecord(const std::string& rec) {
    corenum = kViewFile;
    COREFILE& cf = cur();
    removefile();
    initfile();
    LINE* l = allocln(kObjRecord, static_cast<int>(rec.size()));
    if (l == nullptr) {  // the caller made sure of a spare record; keep the file sound anyway
        allocln(kObjNew, 0);
        cf.disln = cf.lnptr;
        return;
    }
    std::copy(rec.begin(), rec.end(), textbase.begin() + l->index);
    linkphys();
    cf.disln = l;
    cf.curcol = 1;
}

// The text of the view's record, split at its bars (fields past its end read as empty).
std::string_view recordfield(std::string_view rec, int n) {
    std::size_t start = 0;
    for (int f = 1; f < n; ++f) {
        const std::size_t bar = rec.find('|', start);
        if (bar == std::string_view::npos) return {};
        start = bar + 1;
    }
    return rec.substr(start, rec.find('|', start) - start);
}

}  // namespace

const char* viewtemplate(int n) {
    return kPages[static_cast<std::size_t>(std::clamp(n, 0, 2))];
}

bool viewing() {
    return open;
}

void view() {
    const int n = param[1];
    if (n < 0 || n > 2 || open) {
        del = 2;
        return;
    }
    const std::string rec = n == 0 ? settingsrecord() : n == 1 ? corerecord() : rulerecord();
    const long room = static_cast<long>(rec.size()) + (n == 0 ? kPageRoom : 0);
    if (avail + room > (n == 0 ? hiaddr : kTextSize) || reserve == nullptr) {
        diserr("inadequate free space for view");
        del = 2;
        return;
    }
    savetempl = tempbufptr;
    savecore = corenum;
    open = true;
    placerecord(rec);
    cur().viewtype = kViewType;
    cureditmask = editmask[kViewType];
    clrtextzone();
    tempbufptr = kPages[static_cast<std::size_t>(n)];
    redisplay = 1;
    writetemplate(1);
    if (n == 0) {
        mode = 1;  // the page is edited like any record; Return ends it
        return;
    }
    display();
    // The labels go on after the record, which clears the row it shows first.
    writetemplate(1);
    putstats();
    prmptpar(5);
    gcr();
    resetcore();
}

void viewterm() {
    if (!open) return;
    const LINE* l = core[kViewFile].header->down;
    const bool bytes = l->object != kObjNew && l->object != kObjPicture && l->length > 0;
    const std::string rec =
        bytes ? std::string(reinterpret_cast<const char*>(textbase.data() + l->index),
                            static_cast<std::size_t>(l->length))
              : std::string();
    for (std::size_t i = 0; i + 1 < view0string.size(); i += 2) {
        const int field = static_cast<int>(i / 2) + 1;
        const std::string_view text = recordfield(rec, field);
        if (view0string[i] == 'c') {
            // Every string was shown in the brace notation, so every one is read back through
            // it: a bar or brace in a shell command comes back as it was.
            if (Name* dest = destination(view0string[i + 1])) dest->assign_cut(transtring(text));
        } else {
            const bool digit = !text.empty() && text[0] >= '0' && text[0] <= '9';
            param[static_cast<std::size_t>(field)] = digit ? text[0] - '0' : 0;
        }
    }
    scanunit = std::min(param[kFirstDigitField], 6);
    jmode = std::min(param[kFirstDigitField + 1], 1);
    hyphlevel = std::min(param[kFirstDigitField + 2], 3);
    lrcswitch = std::min(param[kFirstDigitField + 3], 2);
    resetcore();
    pushfn(entercmnd);
}

void resetcore() {
    if (!open) return;
    // The work file keeps no text once the view is over.
    corenum = kViewFile;
    removefile();
    initfile();
    allocln(kObjNew, 0);
    cur().disln = cur().lnptr;
    open = false;
    corenum = savecore;
    COREFILE& cf = cur();
    cureditmask = editmask[static_cast<std::size_t>(cf.viewtype & 7)];
    tempbufptr = savetempl;
    clrtextzone();
    writetemplate(cf.viewtype == 2 ? 1 : 0);
    redisplay = 1;
}

void reset_view() {
    open = false;
    savecore = 1;
    savetempl = nullptr;
}
