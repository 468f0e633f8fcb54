#include "termutils.hpp"

#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "corutils.hpp"
#include "dxio.hpp"
#include "scrin.hpp"
#include "scrout.hpp"
#include "syshandler.hpp"
#include "sysutils.hpp"
#include "terminal.hpp"

namespace {

struct Binding {
    int index;
    int code;
};

constexpr int ESC = 128;    // ESC then a byte
constexpr int ESCB = 256;   // ESC [ then a byte
constexpr int NUM = 384;    // ESC [ n and a non-digit
constexpr int kTyping = 2;  // space, punctuation and the accent keys

// The default key table, in the order of its description: plain keys, ESC then a byte, ESC [
// then a byte, numbered sequences. Printable characters 32 to 126 are added by default_intran.
constexpr Binding kDefaultKeys[] = {
    {0, 13},                // NUL: resume
    {2, 35},                // Ctrl-B: copyop
    {3, 21},                // Ctrl-C: prcmnd
    {4, 27},                // Ctrl-D: delete
    {5, 25},                // Ctrl-E: makestars
    {6, 10},                // Ctrl-F: nuline
    {7, 11},                // Ctrl-G: copytxt
    {8, 5},                 // Ctrl-H: rubout
    {9, 34},                // Ctrl-I: tabcur
    {10, 1},                // Ctrl-J: return
    {11, 18},               // Ctrl-K: downline
    {12, 92},               // Ctrl-L: flipchar
    {13, 1},                // Ctrl-M: return
    {14, 32},               // Ctrl-N: resfind
    {16, 28},               // Ctrl-P: up_page
    {17, 30},               // Ctrl-Q: downpage
    {18, 23},               // Ctrl-R: reformat
    {20, 26},               // Ctrl-T: recover
    {21, 65},               // Ctrl-U: rectxt
    {22, 33},               // Ctrl-V: tabset
    {23, 22},               // Ctrl-W: inmode
    {24, 19},               // Ctrl-X: curright
    {26, 20},               // Ctrl-Z: upline
    {27, 6},                // ESC: prefix 128
    {28, 38},               // Ctrl-\: show
    {127, 5},               // DEL: rubout
    {ESC + 2, 78},          // ESC Ctrl-B: repline
    {ESC + 4, 79},          // ESC Ctrl-D: delword
    {ESC + 10, 60},         // ESC Ctrl-J: downrow
    {ESC + 11, 37},         // ESC Ctrl-K: qcompsingle
    {ESC + 14, 24},         // ESC Ctrl-N: extchk
    {ESC + 15, 9},          // ESC Ctrl-O: ignored
    {ESC + 20, 40},         // ESC Ctrl-T: recword
    {ESC + 22, 15},         // ESC Ctrl-V: kill driver
    {ESC + 23, 13},         // ESC Ctrl-W: resume
    {ESC + 24, 16},         // ESC Ctrl-X: acknowledge
    {ESC + 25, 14},         // ESC Ctrl-Y: pause
    {ESC + 26, 61},         // ESC Ctrl-Z: uprow
    {ESC + 27, 7},          // ESC ESC: prefix 256
    {ESC + '#', 42},        // compute0
    {ESC + '+', 43},        // compute0
    {ESC + '-', 44},        // compute0
    {ESC + '*', 45},        // compute0
    {ESC + '/', 46},        // compute0
    {ESC + '$', 51},        // mrgassign
    {ESC + '%', 50},        // regclear
    {ESC + '&', 49},        // reginc
    {ESC + '0', 118},       // function string 0
    {ESC + '1', 119},       // function string 1
    {ESC + '2', 120},       // function string 2
    {ESC + '3', 121},       // function string 3
    {ESC + '4', 122},       // function string 4
    {ESC + '5', 123},       // function string 5
    {ESC + '6', 124},       // function string 6
    {ESC + '7', 125},       // function string 7
    {ESC + '8', 126},       // function string 8
    {ESC + '9', 127},       // function string 9
    {ESC + '=', 52},        // regdis
    {ESC + '@', 47},        // mrgexp
    {ESC + 'A', kTyping},   // a circumflex
    {ESC + 'B', 18},        // downline
    {ESC + 'C', 68},        // endline
    {ESC + 'D', 66},        // begline
    {ESC + 'E', kTyping},   // e circumflex
    {ESC + 'F', 67},        // mrgrec
    {ESC + 'H', 106},       // qmakepre
    {ESC + 'I', kTyping},   // i circumflex
    {ESC + 'K', 103},       // qnewcompare
    {ESC + 'L', 104},       // qenummorph
    {ESC + 'M', 48},        // mrgtext
    {ESC + 'N', 105},       // scantext
    {ESC + 'O', kTyping},   // o circumflex
    {ESC + 'P', 63},        // resnumber
    {ESC + 'R', 64},        // rescheck
    {ESC + 'S', 108},       // procedure control
    {ESC + 'U', kTyping},   // u circumflex
    {ESC + 'V', 117},       // procedure control
    {ESC + 'X', 41},        // wildtxt
    {ESC + 'Y', 107},       // procedure control
    {ESC + '[', 7},         // prefix 256
    {ESC + 'a', kTyping},   // a acute
    {ESC + 'b', 53},        // bldmath
    {ESC + 'c', kTyping},   // c cedilla
    {ESC + 'd', 53},        // bldmath
    {ESC + 'e', kTyping},   // e acute
    {ESC + 'f', 53},        // bldmath
    {ESC + 'g', 97},        // generate
    {ESC + 'i', kTyping},   // i acute
    {ESC + 'j', 101},       // gento_sleep
    {ESC + 'k', 99},        // qcompare
    {ESC + 'l', 98},        // resumelx
    {ESC + 'm', 102},       // disp_sent
    {ESC + 'n', 31},        // find
    {ESC + 'o', kTyping},   // o acute
    {ESC + 'p', 55},        // preview
    {ESC + 'q', 115},       // procedure control
    {ESC + 'r', 54},        // recmath
    {ESC + 't', 57},        // greencur
    {ESC + 'u', 116},       // procedure control
    {ESC + 'v', 117},       // procedure control
    {ESC + 'w', 114},       // procedure control
    {ESC + 'x', 59},        // instabcol
    {ESC + 'y', 58},        // instabrow
    {ESC + 'z', 56},        // silent
    {ESC + '{', 110},       // procedure control
    {ESC + '|', 111},       // procedure control
    {ESC + '}', 112},       // procedure control
    {ESC + '~', 113},       // procedure control
    {ESC + 127, 15},        // ESC DEL: kill driver
    {ESCB + 2, 86},         // copyrect
    {ESCB + 3, 89},         // cpclrrect
    {ESCB + 4, 84},         // deleterect
    {ESCB + 5, 83},         // makecstars
    {ESCB + 6, 87},         // insertcols
    {ESCB + 8, 69},         // deline
    {ESCB + 13, 90},        // cpclrovrect
    {ESCB + 15, 88},        // overwrect
    {ESCB + 19, 91},        // clearallstars
    {ESCB + 20, 85},        // insertrect
    {ESCB + 27, 7},         // ESC [ ESC: prefix 256
    {ESCB + '0', 8},        // number prefix
    {ESCB + '1', 8},        // number prefix
    {ESCB + '2', 8},        // number prefix
    {ESCB + '3', 8},        // number prefix
    {ESCB + '4', 8},        // number prefix
    {ESCB + '5', 8},        // number prefix
    {ESCB + '6', 8},        // number prefix
    {ESCB + '7', 8},        // number prefix
    {ESCB + '8', 8},        // number prefix
    {ESCB + '9', 8},        // number prefix
    {ESCB + 'A', 20},       // upline
    {ESCB + 'B', 18},       // downline
    {ESCB + 'C', 19},       // curright
    {ESCB + 'D', 17},       // curleft
    {ESCB + 'E', 7},        // prefix 256
    {ESCB + 'F', 29},       // uclcsw
    {ESCB + 'L', 70},       // marleft
    {ESCB + 'N', kTyping},  // n tilde
    {ESCB + 'P', 39},       // qglobpre
    {ESCB + 'Q', 120},      // function string 2
    {ESCB + 'R', 71},       // maright
    {ESCB + 'S', 122},      // function string 4
    {ESCB + 'W', 80},       // delwordend
    {ESCB + '[', 6},        // prefix 128
    {ESCB + 'a', kTyping},  // a grave
    {ESCB + 'b', 66},       // begline
    {ESCB + 'c', 74},       // fcenter
    {ESCB + 'd', 69},       // deline
    {ESCB + 'e', kTyping},  // e grave
    {ESCB + 'f', 68},       // endline
    {ESCB + 'g', 94},       // ldenter
    {ESCB + 'h', 93},       // manynulines
    {ESCB + 'i', kTyping},  // i grave
    {ESCB + 'j', 76},       // joinline
    {ESCB + 'k', 96},       // falign
    {ESCB + 'l', 72},       // flushleft
    {ESCB + 'm', 95},       // xnextnumx
    {ESCB + 'n', 81},       // xnextword
    {ESCB + 'o', kTyping},  // o grave
    {ESCB + 'p', 82},       // xprevword
    {ESCB + 'r', 73},       // flushright
    {ESCB + 's', 75},       // splitline
    {ESCB + 't', 77},       // repchar
    {ESCB + 'u', kTyping},  // u grave
    {ESCB + 127, 69},       // deline
    {NUM + 2, 22},          // inmode
    {NUM + 3, 5},           // rubout
    {NUM + 5, 28},          // up_page
    {NUM + 6, 30},          // downpage
    {NUM + 13, 21},         // prcmnd
    {NUM + 15, 123},        // function string 5
    {NUM + 17, 124},        // function string 6
    {NUM + 18, 125},        // function string 7
    {NUM + 19, 126},        // function string 8
    {NUM + 20, 127},        // function string 9
    {NUM + 23, 19},         // curright
    {NUM + 33, 25},         // makestars
    {NUM + 43, 20},         // upline
    {NUM + 194, 70},        // marleft
    {NUM + 195, 71},        // maright
    {NUM + 208, 72},        // flushleft
    {NUM + 209, 74},        // fcenter
    {NUM + 210, 73},        // flushright
    {NUM + 216, 28},        // up_page
    {NUM + 218, 7},         // prefix 256
    {NUM + 222, 30},        // downpage
    {NUM + 224, 119},       // function string 1
    {NUM + 225, 120},       // function string 2
    {NUM + 226, 121},       // function string 3
    {NUM + 227, 122},       // function string 4
    {NUM + 228, 123},       // function string 5
    {NUM + 229, 124},       // function string 6
    {NUM + 230, 125},       // function string 7
    {NUM + 231, 126},       // function string 8
    {NUM + 232, 127},       // function string 9
};

// The accented characters (Latin-1) of the accent keys.
constexpr Binding kAccents[] = {
    {ESC + 'A', 0xE2},   // â
    {ESC + 'E', 0xEA},   // ê
    {ESC + 'I', 0xEE},   // î
    {ESC + 'O', 0xF4},   // ô
    {ESC + 'U', 0xFB},   // û
    {ESC + 'a', 0xE1},   // á
    {ESC + 'c', 0xE7},   // ç
    {ESC + 'e', 0xE9},   // é
    {ESC + 'i', 0xED},   // í
    {ESC + 'o', 0xF3},   // ó
    {ESCB + 'N', 0xF1},  // ñ
    {ESCB + 'a', 0xE0},  // à
    {ESCB + 'e', 0xE8},  // è
    {ESCB + 'i', 0xEC},  // ì
    {ESCB + 'o', 0xF2},  // ò
    {ESCB + 'u', 0xF9},  // ù
};

// Screen characters of the line-drawing cells: the 8-bit drawing characters, and on a UTF-8
// terminal the box-drawing character of the cell's arms (1 left, 2 down, 4 right, 8 up).
struct Drawing {
    int cell;
    int eight_bit;
    int unicode;
};
constexpr Drawing kDrawing[] = {
    {15, 238, 0x2575},  // up
    {16, 229, 0x2576},  // right
    {17, 243, 0x2577},  // down
    {18, 247, 0x2574},  // left
    {20, 232, 0x2500},  // left, right
    {21, 246, 0x2502},  // down, up
    {22, 227, 0x253C},  // all four
    {23, 195, 0x2518},  // left, up
    {24, 196, 0x2514},  // right, up
    {25, 194, 0x2510},  // left, down
    {26, 193, 0x250C},  // down, right
    {27, 211, 0x2534},  // left, right, up
    {28, 206, 0x252C},  // left, down, right
    {29, 197, 0x2524},  // left, down, up
    {30, 215, 0x251C},  // down, right, up
};

constexpr bool is_letter(int c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

constexpr std::array<int, kKeyIndexes> default_intran() {
    std::array<int, kKeyIndexes> t{};
    for (int c = 32; c <= 126; ++c) {
        const bool fourth =
            is_letter(c) || c == '-' || c == '.' || c == '/' || c == '_' || c == '~';
        t[c] = (c >= '0' && c <= '9') ? 3 : fourth ? 4 : 2;
    }
    for (const Binding& b : kDefaultKeys)
        t[b.index] = b.code;
    return t;
}

constexpr std::array<unsigned char, kMappedKeys> default_char_map() {
    std::array<unsigned char, kMappedKeys> t{};
    for (int c = 32; c <= 126; ++c)
        t[c] = static_cast<unsigned char>(c);
    for (const Binding& b : kAccents)
        t[b.index] = static_cast<unsigned char>(b.code);
    return t;
}

constexpr std::array<int, 256> default_outtran() {
    std::array<int, 256> t{};
    for (int c = 0; c < 256; ++c)
        t[c] = (c >= 32 && c <= 126) || (c >= 192 && c <= 254) ? c : '~';
    t[173] = '-';  // soft hyphen
    for (const Drawing& d : kDrawing)
        t[d.cell] = d.eight_bit;
    return t;
}

constexpr std::array<int, 256> default_charkind() {
    std::array<int, 256> t{};
    for (int c = 0; c < 256; ++c) {
        if (is_letter(c) || c == '_') t[c] = kWordChar;
        if (c >= '0' && c <= '9') t[c] = kWordChar | kNumberChar;
    }
    for (int c : {192, 194, 199, 200, 201, 202, 206, 212, 217, 219,
                  224, 226, 231, 232, 233, 234, 238, 244, 249, 251}) {
        t[c] = kWordChar;
    }
    for (int c : {'\n', ' ', ',', ':', ';'})
        t[c] = kWordSep;
    for (int c : {'!', '.'})
        t[c] = kWordSep | kSentenceEnd | kNumberChar;
    t['?'] = kWordSep | kSentenceEnd;
    t[4] = kWordChar | kWordSep | kSentenceEnd;
    for (int c : {'#', '&', '\'', '(', ')', '*', '+', '-', '/', '<', '=', '>'})
        t[c] = kNumberChar;
    for (int c : {245, 247, 248, 250, 252, 253, 254})
        t[c] = 8;
    t[246] = 16;
    t[243] = 32;
    return t;
}

constexpr long kMaxStringSteps = 10'000'000;
constexpr long kMaxUnanswered = 100'000;  // keys a procedure may give a waiting message
constexpr int kMaxNumber = 239;           // a number sequence saturates at key index 623
constexpr char kInterruptKeys[] = {3, 0};

int number = 0;           // the number of a number sequence being read
bool parameters = false;  // past the first ';' of a number sequence: its modifiers are skipped
int pushed_back = -1;     // a keyboard byte read ahead while decoding UTF-8 or a key sequence

FILE* kbd = stdin;  // the keyboard's stream

bool keyboard() {
    return inptr == kbd;
}

// End of keyboard input: the terminal is gone, so nothing can be asked. Keep the edits and go.
[[noreturn]] void keyboard_gone() {
    emergency_save_all();
    reseterm();
    std::_Exit(1);
}

// Waits until the keyboard has a byte. A signal that asks for work (resize, stop, hang-up) ends
// the wait with false. The signals are held back from the check of pending work until the wait
// itself, so one that comes in between cannot be missed while the editor sleeps.
bool wait_for_key(int fd, bool strings_first) {
    sigset_t held;
    sigset_t old;
    sigemptyset(&held);
    for (int sig : {SIGINT, SIGWINCH, SIGTSTP, SIGCONT, SIGHUP, SIGTERM})
        sigaddset(&held, sig);
    sigprocmask(SIG_BLOCK, &held, &old);
    sigwork();
    pollfd p{fd, POLLIN, 0};
    // Keys queued by a signal (the interrupt key's string) come before the keyboard.
    const bool queued = strings_first && fnptr > 0 && fnstack[fnptr] != nullptr;
    const int n = queued ? 0 : ppoll(&p, 1, nullptr, &old);
    const int err = errno;
    sigprocmask(SIG_SETMASK, &old, nullptr);
    errno = err;
    return n > 0 || (n < 0 && errno != EINTR);
}

// One byte of the input stream: 0 to 255, or -1 when a signal interrupted the wait (a handler
// may have queued keys, so the caller looks at the function strings again).
int input_byte(bool strings_first = false) {
    if (pushed_back >= 0 && keyboard()) {
        int b = pushed_back;
        pushed_back = -1;
        return b;
    }
    if (keyboard() && kbd == nullptr) return '\r';  // unattended: every answer is Return
    if (keyboard() && fileno(kbd) >= 0) {
        // Waiting in poll rather than in read lets a signal end the wait even when its handler
        // was installed to restart system calls. The keyboard is read a byte at a time, past any
        // stream buffer, so that poll tells truly whether keys are waiting.
        if (!wait_for_key(fileno(kbd), strings_first)) return -1;
        unsigned char byte = 0;
        const ssize_t n = read(fileno(kbd), &byte, 1);
        if (n == 1) return byte;
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) return -1;
        keyboard_gone();
    }
    int c = std::getc(inptr);
    if (c != EOF) return c & 0xFF;
    if (std::ferror(inptr) && errno == EINTR) {
        std::clearerr(inptr);
        return -1;
    }
    if (keyboard()) keyboard_gone();
    return 255;  // the driver's stream: byte 255 ends the driver
}

bool input_pending() {
    if (!keyboard() || kbd == nullptr || pushed_back >= 0) return pushed_back >= 0;
    pollfd p{fileno(kbd), POLLIN, 0};
    return p.fd >= 0 && poll(&p, 1, 0) > 0 && (p.revents & POLLIN) != 0;
}

int continuation_byte() {
    int b;
    while ((b = input_byte()) < 0)
        sigwork();
    return b;
}

// A UTF-8 sequence typed at the keyboard, whose first byte `lead` has been read. Returns the
// Latin-1 character for U+00A0 to U+00FF, or -1 for anything else (which is ignored). A byte that
// cannot continue the sequence is kept for the next key.
int utf8_latin1(int lead) {
    int more = lead >= 0xF0 && lead <= 0xF4   ? 3
               : lead >= 0xE0 && lead <= 0xEF ? 2
               : lead >= 0xC2 && lead <= 0xDF ? 1
                                              : 0;
    int value = lead & (more == 1 ? 0x1F : more == 2 ? 0x0F : 0x07);
    if (more == 0) return -1;  // a stray continuation byte or a byte UTF-8 never uses
    for (int i = 0; i < more; ++i) {
        int b = continuation_byte();
        if ((b & 0xC0) != 0x80) {
            pushed_back = b;
            return -1;
        }
        value = (value << 6) | (b & 0x3F);
    }
    // Only U+00A0 to U+00FF have a byte in the store; any other character is ignored rather
    // than kept as the low byte of its code, which would be another character altogether.
    return value >= 0xA0 && value <= 0xFF ? value : -1;
}

// True when the keyboard has another byte within `ms` milliseconds: a terminal sends the bytes of
// one key together, while a person's keys come far apart.
bool byte_follows(int ms) {
    if (pushed_back >= 0) return true;
    if (kbd == nullptr) return false;
    const int fd = fileno(kbd);
    if (fd < 0) {  // keys held in memory: all that was typed is there already
        const int c = std::getc(kbd);
        if (c == EOF) return false;
        std::ungetc(c, kbd);
        return true;
    }
    pollfd p{fd, POLLIN, 0};
    return poll(&p, 1, ms) > 0 && (p.revents & POLLIN) != 0;
}

// Terminals send some keys as ESC O and a capital letter: the cursor keys, Home and End in the
// keypad's application mode, which are the same keys as their ESC [ forms, and F1 to F4, which
// older terminals send as the numbered sequences 11 to 14. Any other such sequence is no key.
int ss3_index(int letter) {
    switch (letter) {
        case 'A':
        case 'B':
        case 'C':
        case 'D':
        case 'F':
        case 'H':
            return ESCB + letter;
        case 'P':
        case 'Q':
        case 'R':
        case 'S':
            return NUM + 11 + (letter - 'P');
        default:
            return -1;
    }
}

// ESC O read from the keyboard: the accent key of o circumflex, or the start of a key sent as
// ESC O and a capital letter (see ss3_index). Returns the key index, or -1 for no key.
int after_esc_o() {
    constexpr int kSequenceGap = 50;  // ms
    if (!byte_follows(kSequenceGap)) return ESC + 'O';
    const int b = input_byte();
    if (b >= 'A' && b <= 'Z') return ss3_index(b);
    if (b >= 0) pushed_back = b;  // the next key, typed after the accent key
    return ESC + 'O';
}

void set_typing(int ch) {
    holdch = static_cast<char>(ch);
    type = (charkind[ch & 0xFF] & kWordChar) != 0 ? 4 : kTyping;
}

// Carries out a code that the key reader handles itself. Returns true when fetchchar must return
// the key to its caller.
bool act(int index, bool from_string) {
    switch (type) {
        case 1:
        case 5:
            return true;
        case 2:
        case 3:
        case 4: {
            const int ch = index < kMappedKeys ? char_map[index] : 0;
            if (ch == 0) return false;  // a typing code on a key that has no character
            holdch = static_cast<char>(ch);
            if (type == 4 && transb == 1 && ch >= 'a' && ch <= 'z')
                holdch = static_cast<char>(ch - 32);
            return true;
        }
        case 6:
            escflg = ESC;
            return false;
        case 7:
            escflg = ESCB;
            return false;
        case 8:
            escflg = NUM;
            number = std::clamp(index - (ESCB + '0'), 0, kMaxNumber);
            parameters = false;
            return false;
        case 13:
            if (fnptr > 0 && fnstack[fnptr] == nullptr) {
                --fnptr;
            } else {
                resumeprog();
            }
            return false;
        case 14:
            if (from_string) {
                pushfn(nullptr);
            } else if (progstate == 1) {
                voluntary = 1;  // the driver asked to be suspended: resuming acknowledges
                suspendprog();
            }
            return false;
        case 15:
            killprog();
            return false;
        case 16:
            acknowledge();
            return false;
        default:
            break;
    }
    if (type >= 107 && type <= 117) {
        if (from_string) procctl(type);
        return false;
    }
    if (type >= 118 && type <= 127) {
        pushfn(fn[type - 118].c_str());
        return false;
    }
    return (type >= 10 && type <= 12) || (type >= 17 && type <= 106);
}

}  // namespace

std::array<int, kKeyIndexes> intran = default_intran();
std::array<unsigned char, kMappedKeys> char_map = default_char_map();
std::array<int, 256> outtran = default_outtran();
std::array<int, 256> charkind = default_charkind();
int escflg = 0;
std::array<const char*, kFnStack + 1> fnstack{};
int fnptr = 0;
std::array<Name, 10> fn;
FILE* inptr = stdin;

void reset_keys() {
    intran = default_intran();
    char_map = default_char_map();
    outtran = default_outtran();
    charkind = default_charkind();
    escflg = 0;
    fnstack.fill(nullptr);
    fnptr = 0;
    for (Name& f : fn)
        f.clear();
    kbd = stdin;
    inptr = stdin;
    number = 0;
    parameters = false;
    pushed_back = -1;
}

void use_unicode_drawing() {
    for (const Drawing& d : kDrawing)
        outtran[d.cell] = d.unicode;
    // A UTF-8 terminal shows every Latin-1 sign (guillemets, inverted marks, degree...) and y with
    // diaeresis as it is: text decoded from UTF-8 files holds them.
    for (int c = 160; c < 192; ++c) {
        if (c != 173) outtran[static_cast<std::size_t>(c)] = c;
    }
    outtran[255] = 255;
}

void setintran() {}

void set_keyboard(FILE* stream) {
    kbd = stream;
    inptr = stream;
    pushed_back = -1;
}

int orugetc() {
    int b;
    while ((b = input_byte()) < 0)
        sigwork();
    return b;
}

void read_keyboard() {
    inptr = kbd;
    pushed_back = -1;
}

void read_stream(FILE* stream) {
    inptr = stream != nullptr ? stream : kbd;
}

void pushfn(const char* s) {
    if (fnptr > kFnStack - 1) return;
    fnstack[++fnptr] = s;
}

void IntHandler(int) {
    pushfn(kInterruptKeys);
}

void fetchchar() {
    long steps = 0;  // bytes taken from key strings in this call without yielding a key
    for (;;) {
        int b;
        bool from_string = false;
        if (fnptr > 0 && fnstack[fnptr] != nullptr) {
            const char*& s = fnstack[fnptr];
            if (*s == '\0') {
                --fnptr;
                continue;
            }
            if (++steps > kMaxStringSteps) {
                // A procedure loop that never yields a key would hold the editor for ever.
                fnstack.fill(nullptr);
                fnptr = 0;
                steps = 0;
                diserr("Procedure abandoned: its loop yields no key");
                continue;
            }
            b = static_cast<unsigned char>(*s++);
            from_string = true;
        } else {
            // Keys typed ahead are read before the screen is brought up to date, so a burst
            // of keys costs one update. Work left from start-up is done while the user looks.
            if (!input_pending()) {
                screen_refresh();
                settle_store();
            }
            b = input_byte(true);
            if (b < 0) {
                sigwork();
                continue;
            }
            if (b >= 0x80 && utf8_terminal && keyboard() && escflg == 0) {
                const int ch = utf8_latin1(b);
                if (ch < 0) continue;
                set_typing(ch);
                return;
            }
        }
        int index;
        if (escflg == NUM) {
            if (b >= '0' && b <= '9') {
                if (!parameters) number = std::min(number * 10 + (b - '0'), kMaxNumber);
                continue;
            }
            // Modifiers and further parameters (ESC [ 1 ; 5 C) belong to the same key, which the
            // first number names; the sequence ends at its first other byte.
            if (b == ';') {
                parameters = true;
                continue;
            }
            parameters = false;
            index = NUM + number;
        } else if (escflg == ESC && b == 'O' && !from_string && keyboard()) {
            index = after_esc_o();
            if (index < 0) {
                escflg = 0;
                continue;
            }
        } else {
            index = escflg + b;
        }
        escflg = 0;
        holdch = static_cast<char>(index & 0xFF);
        type = intran[index];
        if (act(index, from_string)) return;
    }
}

void gcr() {
    long unanswered = 0;  // keys from key strings that did not answer
    do {
        fetchchar();
        if (fnptr > 0 && ++unanswered > kMaxUnanswered) {
            // A procedure looping without ever giving the answer would hold the editor for ever;
            // the keyboard answers instead.
            fnstack.fill(nullptr);
            fnptr = 0;
            unanswered = 0;
            diserr("Procedure abandoned: it never answers the message");
        }
    } while (type != 1 && type != 5);
    del = type == 1 ? 1 : 2;
}

int gnum() {
    long value = 0;
    for (;;) {
        fetchchar();
        if (type != 3) break;
        value = std::clamp(value * 10 + (holdch - '0'), -999'999'999L, 999'999'999L);
    }
    return static_cast<int>(value);
}

void glett() {
    do {
        fetchchar();
    } while (type < 2 || type > 4);
}
