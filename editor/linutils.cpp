#include "linutils.hpp"

#include <algorithm>
#include <cstring>

#include "corutils.hpp"
#include "stars.hpp"
#include "termutils.hpp"
#include "utilptr.hpp"

bool owns_bytes(const LINE* l) {
    return l->object == kObjText || l->object == kObjRecord || l->object == kObjMath;
}

int byte_at(const LINE* l, int col) {
    if (!owns_bytes(l) || col < 1 || col > l->length) return -1;
    return textbase[l->index + col - 1];
}

long curptr() {
    return cur().lnptr->index + cur().curcol - 1;
}
long endptr() {
    return cur().lnptr->index + cur().lnptr->length;
}

void linkphys() {
    LINE* l = cur().lnptr;
    l->nextphys = nullptr;
    lastphys->nextphys = l;
    lastphys = l;
}

namespace {

// Takes a record off the physical chain wherever it stands. Only the fallback of shiftline needs
// this, when no record could be had for the moved line.
void unlinkphys(LINE* l) {
    LINE* prev = &firstphys;
    while (prev->nextphys != nullptr && prev->nextphys != l)
        prev = prev->nextphys;
    if (prev->nextphys != l) return;
    prev->nextphys = l->nextphys;
    if (lastphys == l) lastphys = prev;
    l->nextphys = nullptr;
}

// Whether the byte just after a line's text is free for the line to grow into. This is decided
// by ownership, never by the byte's value: 0xFF marks freed bytes, but it is also a character
// that users type and files hold. Live owners lie on the physical chain in ascending order with
// disjoint ranges, so the byte is free when the next live record starts beyond it.
bool room_after(const LINE* l) {
    const long end = l->index + l->length;
    if (end >= kTextSize) return false;
    for (const LINE* n = l->nextphys; n != nullptr; n = n->nextphys) {
        if (n->object != kObjDead) return end < n->index;
    }
    return true;
}

}  // namespace

bool shiftline() {
    COREFILE& cf = cur();
    LINE* old = cf.lnptr;
    if (avail + old->length >= kTextSize) {
        // Most of the arena may be freed bytes: reclaim them before calling the store full.
        compact();
        if (room_after(old)) return true;
        if (avail + old->length >= kTextSize) {
            full = 1;
            return false;
        }
    }
    LINE* rec = allochdr();
    if (rec == nullptr) {
        // No record to spare: move the line itself to the top of the arena.
        unlinkphys(old);
        std::memmove(textbase.data() + avail, textbase.data() + old->index,
                     static_cast<std::size_t>(old->length));
        std::fill_n(textbase.begin() + old->index, old->length, kFreeByte);
        old->index = avail;
        avail += old->length;
        linkphys();
        return true;
    }
    rec->up = old->up;
    rec->down = old->down;
    old->up->down = rec;
    old->down->up = rec;
    rec->object = old->object;
    rec->length = old->length;
    rec->linekey = old->linekey;
    rec->index = avail;
    std::memcpy(textbase.data() + avail, textbase.data() + old->index,
                static_cast<std::size_t>(old->length));
    std::fill_n(textbase.begin() + old->index, old->length, kFreeByte);
    avail += old->length;
    old->object = kObjDead;
    cf.lnptr = rec;
    linkphys();
    if (cf.disln == old) cf.disln = rec;
    if (cf.starA == old) cf.starA = rec;
    if (cf.starB == old) cf.starB = rec;
    if (lp == old) lp = rec;
    return true;
}

bool cadd(char chr) {
    COREFILE& cf = cur();
    LINE* l = cf.lnptr;
    if (l == cf.header || l->object == kObjPicture) return false;
    if (l->object == kObjNew) {
        if (avail >= kTextSize) compact();
        if (avail >= kTextSize) {
            full = 1;
            return false;
        }
        l->index = avail;
        l->length = 0;
        l->object = kObjText;
        linkphys();
    } else if (!room_after(l)) {
        if (!shiftline()) return false;
        l = cf.lnptr;
    }
    long at = endptr();
    if (at >= kTextSize) {
        compact();
        at = endptr();
    }
    if (at >= kTextSize) {
        full = 1;
        return false;
    }
    textbase[at] = static_cast<unsigned char>(chr);
    l->length += 1;
    cf.charcount += 1;
    if (at >= avail) avail = at + 1;
    return true;
}

bool cadd_text(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        COREFILE& cf = cur();
        LINE* l = cf.lnptr;
        // Once the line is set up and ends where the store's used part ends, nothing lives after
        // it: the rest is copied in one go.
        if (i > 0 && endptr() == avail && avail < kTextSize) {
            const std::size_t n =
                std::min(text.size() - i, static_cast<std::size_t>(kTextSize - avail));
            std::memcpy(textbase.data() + avail, text.data() + i, n);
            l->length += static_cast<int>(n);
            cf.charcount += static_cast<long>(n);
            avail += static_cast<long>(n);
            i += n;
            continue;
        }
        if (!cadd(text[i])) return false;
        ++i;
    }
    return true;
}

void cinsert(int num) {
    const long from = curptr();
    const long to = endptr();
    if (num <= 0 || from + num > to) return;
    std::memmove(textbase.data() + from + num, textbase.data() + from,
                 static_cast<std::size_t>(to - from - num));
}

void extline() {
    while (cur().lnptr->length < cur().curcol) {
        if (!cadd(' ')) return;
    }
}

void savechar(char ch) {
    if (cur().lnptr->object == kObjRecord && ch == '|') return;
    delbuf[delptr] = ch;
    delptr = (delptr + 1) % kDelBufSize;
}

void cremove(int num) {
    COREFILE& cf = cur();
    LINE* l = cf.lnptr;
    if (!owns_bytes(l) || l == cf.header) return;
    const int at = cf.curcol - 1;
    num = std::min(num, l->length - at);
    if (num <= 0 || at < 0) return;
    unsigned char* base = textbase.data() + l->index;
    for (int i = 0; i < num; ++i)
        savechar(static_cast<char>(base[at + i]));
    std::memmove(base + at, base + at + num, static_cast<std::size_t>(l->length - at - num));
    std::fill_n(base + l->length - num, num, kFreeByte);
    l->length -= num;
    cf.charcount -= num;
}

void erasefield() {
    const LINE* l = cur().lnptr;
    if (!owns_bytes(l)) return;
    int n = 0;
    for (int col = cur().curcol - 1; col + n < l->length; ++n) {
        if (textbase[l->index + col + n] == '|') break;
    }
    cremove(n);
}

int locatefield(const LINE* line, int field) {
    if (!owns_bytes(line)) return 0;
    int seen = 1;
    for (int i = 0; i < line->length; ++i) {
        if (seen >= field) return i;
        if (textbase[line->index + i] == '|') ++seen;
    }
    return line->length;
}

namespace {
bool is_word(int c) {
    return (charkind[static_cast<unsigned char>(c)] & 1) != 0;
}
bool is_delim(int c) {
    return (charkind[static_cast<unsigned char>(c)] & 2) != 0;
}
}  // namespace

bool locateword(int field) {
    for (int w = 1; w < field; ++w) {
        while (peepc() != kEndOfFile && !is_delim(peepc()))
            nextc();
        while (peepc() != kEndOfFile && !is_word(peepc()))
            nextc();
        if (peepc() == kEndOfFile) return false;
    }
    return true;
}

void rctrunc() {
    const LINE* l = cur().lnptr;
    if (!owns_bytes(l)) return;
    const int at = cur().curcol - 1;
    int end = at;
    while (end < l->length && textbase[l->index + end] != '|')
        ++end;
    for (int i = end - 1; i > at; --i)
        textbase[l->index + i] = textbase[l->index + i - 1];
}

void removeline() {
    COREFILE& cf = cur();
    LINE* l = cf.lnptr;
    if (l == cf.header) return;
    delstar();
    if (cf.starA == l) cf.starA = nullptr;
    if (cf.starB == l) cf.starB = nullptr;
    l->up->down = l->down;
    l->down->up = l->up;
    if (cf.disln == l) cf.disln = l->down != cf.header ? l->down : l->up;
    if (lp == l) lp = l->down;
    cf.charcount -= l->length;
    cf.lncount -= 1;
    if (owns_bytes(l)) {
        std::fill_n(textbase.begin() + l->index, l->length, kFreeByte);
        l->object = kObjDead;
    } else {
        // A new line and a picture line are not on the physical chain: nothing else frees them.
        freehdr(l);
    }
}

namespace {

void strip_trailing(COREFILE& cf, LINE* l) {
    if (!owns_bytes(l) || l == cf.header) return;
    unsigned char* const text = textbase.data() + l->index;
    int n = l->length;
    while (n > 0 && text[n - 1] == ' ')
        text[--n] = kFreeByte;
    cf.charcount -= l->length - n;
    l->length = n;
}

}  // namespace

void detrline() {
    COREFILE& cf = cur();
    strip_trailing(cf, cf.lnptr);
}

void detrline(LINE* l) {
    strip_trailing(cur(), l);
}

void detrfile() {
    COREFILE& cf = cur();
    for (LINE* l = cf.header->down; l != cf.header; l = l->down)
        strip_trailing(cf, l);
}

int findnb() {
    const LINE* l = cur().lnptr;
    if (!owns_bytes(l)) return 0;
    for (int i = 0; i < l->length; ++i) {
        if (textbase[l->index + i] != ' ') return i + 1;
    }
    return 0;
}
