#include "terminal.hpp"

#include <langinfo.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "globals.hpp"
#include "sys_linux.hpp"
#include "termutils.hpp"

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

const char* entname = nullptr;
int termnum = 9;
struct termios oldintrps {};
struct termios newintrps {};
int textline = 0;
int textcol = 0;
int cmdlen = 0;
std::array<char, kShadowCmdLen> shadow_cmdline{};
int shadow_ptr = 0;
bool utf8_terminal = false;

namespace {

constexpr int kMinLines = 5;    // status, ruler, one text row, help line, command line
constexpr int kMinCols = 21;    // the command line's prompt area and one typed character
constexpr int kMaxLines = 500;  // beyond any real terminal; bounds the screen model
constexpr int kMaxCols = 1000;
constexpr int kMaxRun = 1 << 20;  // a "$TR" count beyond this only cycles over the same row
constexpr char32_t kBlank = U' ';
const std::u32string kRule(kMaxCols, U'-');  // the help line's rule, cut to the screen's width

// ---------------------------------------------------------------------------------------------
// The screen model: what the screen commands want shown, what the terminal is known to show, and
// where both cursors are. Refresh sends only the difference.
// ---------------------------------------------------------------------------------------------
class Screen {
  public:
    void resize(int rows, int cols) {
        rows_ = rows;
        cols_ = cols;
        want_.assign(static_cast<std::size_t>(rows) * cols, kBlank);
        have_.assign(want_.size(), kBlank);
        dirty_.assign(static_cast<std::size_t>(rows), 1);
        cr_ = cc_ = 0;
        clear_pending_ = true;
        phys_r_ = phys_c_ = -1;
    }
    int rows() const { return rows_; }
    int cols() const { return cols_; }
    int row() const { return cr_; }
    int col() const { return cc_; }

    void move(int r, int c) {
        cr_ = r;
        cc_ = c;
    }
    // Characters outside the screen are dropped; the cursor still advances.
    void put(char32_t ch) {
        if (inside(cr_, cc_)) {
            want_[at(cr_, cc_)] = ch;
            dirty_[static_cast<std::size_t>(cr_)] = 1;
        }
        if (cc_ < kMaxRun * 4) ++cc_;
    }
    void clr_eol() {
        if (cr_ < 0 || cr_ >= rows_) return;
        for (int c = std::max(cc_, 0); c < cols_; ++c)
            want_[at(cr_, c)] = kBlank;
        dirty_[static_cast<std::size_t>(cr_)] = 1;
    }
    void clear() {
        std::fill(want_.begin(), want_.end(), kBlank);
        clear_pending_ = true;
    }
    void bell() { bell_pending_ = true; }
    void forget() { clear_pending_ = true; }
    char32_t cell(int r, int c) const { return inside(r, c) ? want_[at(r, c)] : kBlank; }

    void refresh() {
        if (clear_pending_) {
            call_clear_screen();
            std::fill(have_.begin(), have_.end(), kBlank);
            phys_r_ = phys_c_ = 0;
            clear_pending_ = false;
            std::fill(dirty_.begin(), dirty_.end(), 1);
        }
        // Only rows written since the last refresh can differ from what the terminal shows.
        for (int r = 0; r < rows_; ++r) {
            if (dirty_[static_cast<std::size_t>(r)] == 0) continue;
            refresh_row(r);
            dirty_[static_cast<std::size_t>(r)] = 0;
        }
        if (bell_pending_) {
            term_putc(7);
            bell_pending_ = false;
        }
        go(std::clamp(cr_, 0, rows_ - 1), std::clamp(cc_, 0, cols_ - 1));
        term_flush();
    }

  private:
    bool inside(int r, int c) const { return r >= 0 && r < rows_ && c >= 0 && c < cols_; }
    std::size_t at(int r, int c) const { return static_cast<std::size_t>(r) * cols_ + c; }

    // Control characters (C0, DEL and C1) would act on the terminal instead of showing.
    static void send_char(char32_t ch) {
        if (ch < 32 || ch == 127 || (ch >= 128 && ch < 160)) ch = U'~';
        if (ch < 128) {
            term_putc(static_cast<int>(ch));
        } else if (!utf8_terminal) {
            term_putc(ch < 256 ? static_cast<int>(ch) : '?');
        } else if (ch < 0x800) {
            term_putc(0xC0 | static_cast<int>(ch >> 6));
            term_putc(0x80 | static_cast<int>(ch & 0x3F));
        } else {
            ch = ch > 0xFFFF ? U'?' : ch;
            term_putc(0xE0 | static_cast<int>(ch >> 12));
            term_putc(0x80 | static_cast<int>((ch >> 6) & 0x3F));
            term_putc(0x80 | static_cast<int>(ch & 0x3F));
        }
    }

    void write_cell(int r, int c) {
        send_char(want_[at(r, c)]);
        have_[at(r, c)] = want_[at(r, c)];
        phys_r_ = r;
        phys_c_ = c + 1;
        // After the last column the terminal's cursor position depends on its wrap behaviour.
        if (phys_c_ >= cols_) phys_r_ = phys_c_ = -1;
    }

    // Moves the terminal's cursor by the cheapest means: not at all, a few backspaces, rewriting
    // a few cells the terminal already shows, or cursor addressing.
    void go(int r, int c) {
        if (phys_r_ == r && phys_c_ == c) return;
        if (phys_r_ == r && phys_c_ > c && phys_c_ - c <= 4) {
            for (int i = c; i < phys_c_; ++i)
                term_putc('\b');
            phys_c_ = c;
            return;
        }
        if (phys_r_ == r && phys_c_ >= 0 && c > phys_c_ && c - phys_c_ <= 3) {
            bool same = true;
            for (int i = phys_c_; i < c; ++i)
                same = same && have_[at(r, i)] == want_[at(r, i)];
            if (same) {
                for (int i = phys_c_; i < c; ++i)
                    write_cell(r, i);
                return;
            }
        }
        call_cursor_address(r, c);
        phys_r_ = r;
        phys_c_ = c;
    }

    void refresh_row(int r) {
        int first = 0;
        while (first < cols_ && want_[at(r, first)] == have_[at(r, first)])
            ++first;
        if (first == cols_) return;
        int last = cols_ - 1;
        while (want_[at(r, last)] == have_[at(r, last)])
            --last;
        int wend = cols_;
        while (wend > 0 && want_[at(r, wend - 1)] == kBlank)
            --wend;
        // Blanks that replace text at the end of the row: one clear-to-end instead of spaces.
        int eol = cols_;
        if (last >= wend && can_clr_eol() && last - std::max(first, wend) + 1 >= 4) {
            eol = std::max(first, wend);
            last = eol - 1;
        }
        int c = first;
        while (c <= last) {
            if (want_[at(r, c)] == have_[at(r, c)]) {
                ++c;
                continue;
            }
            // A run of changes, joined across short stretches that are already right.
            int end = c;
            for (int gap = 0, i = c; i <= last && gap < 5; ++i) {
                if (want_[at(r, i)] != have_[at(r, i)]) {
                    end = i;
                    gap = 0;
                } else {
                    ++gap;
                }
            }
            go(r, c);
            for (int i = c; i <= end; ++i)
                write_cell(r, i);
            c = end + 1;
        }
        if (eol < cols_) {
            go(r, eol);
            call_clr_eol();
            for (int i = eol; i < cols_; ++i)
                have_[at(r, i)] = kBlank;
        }
    }

    int rows_ = 0;
    int cols_ = 0;
    std::vector<char32_t> want_;
    std::vector<char32_t> have_;
    std::vector<unsigned char> dirty_;  // per row: written since the last refresh
    int cr_ = 0;
    int cc_ = 0;
    int phys_r_ = -1;
    int phys_c_ = -1;
    bool clear_pending_ = true;
    bool bell_pending_ = false;
};

// Progress messages can come thousands of times a second (a generation shows six); nobody can
// read them that fast, and drawing and sending each costs more than the work it reports. One that
// follows the last shown within kProgressGap is only noted, and drawn (over any earlier one) the
// moment anything else looks at or changes the screen, so the model never shows a stale order;
// every wait for a key refreshes the terminal from it.
constexpr auto kProgressGap = std::chrono::milliseconds(40);
std::chrono::steady_clock::duration progress_gap = kProgressGap;
std::chrono::steady_clock::time_point last_progress{};
std::string owed_help;  // the help-line text of the last progress message not drawn yet
bool help_owed = false;

bool progress_due() {
    const auto now = std::chrono::steady_clock::now();
    if (last_progress != std::chrono::steady_clock::time_point{} &&
        now - last_progress < progress_gap) {
        return false;
    }
    last_progress = now;
    return true;
}

void draw_help_line(Screen& s, std::string_view raw);

Screen& screen() {
    static Screen s = [] {
        Screen n;
        n.resize(24, 80);
        return n;
    }();
    if (help_owed) {
        help_owed = false;
        draw_help_line(s, owed_help);
    }
    return s;
}

std::vector<std::string>* command_capture = nullptr;

// Where the last placement put the terminal's cursor, as the user sees it, and the help line's
// text: a whole-screen redraw puts both back.
enum class Place { Text, Command, Help };
Place place = Place::Text;
std::string help_shown;
// The upper-case lock's mark, drawn into the help line's rule (empty while the lock is off).
std::string lock_mark;
constexpr int kLockCol = 1;
constexpr int kLockWidth = 4;

// ---------------------------------------------------------------------------------------------
// Reading screen commands
// ---------------------------------------------------------------------------------------------

// A decimal number as atoi reads it (leading blanks, a sign, digits), saturated instead of
// overflowing. `pos` is left after the digits.
int number(std::string_view s, std::size_t& pos) {
    while (pos < s.size() && (s[pos] == ' ' || s[pos] == '\t'))
        ++pos;
    bool neg = false;
    if (pos < s.size() && (s[pos] == '-' || s[pos] == '+')) neg = s[pos++] == '-';
    long v = 0;
    while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9') {
        v = std::min(v * 10 + (s[pos++] - '0'), 1'000'000'000L);
    }
    return static_cast<int>(neg ? -v : v);
}

// Skips the comma after a number; false when there is none.
bool comma(std::string_view s, std::size_t& pos) {
    if (pos < s.size() && s[pos] == ',') {
        ++pos;
        return true;
    }
    return false;
}

// The screen characters of command text (see kWideMark).
std::u32string chars_of(std::string_view s) {
    std::u32string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        auto b = static_cast<unsigned char>(s[i]);
        if (b != static_cast<unsigned char>(kWideMark)) {
            out.push_back(b);
            continue;
        }
        char32_t cp = U'~';
        if (i + 3 < s.size() && (s[i + 1] & 0xF0) == 0xE0 && (s[i + 2] & 0xC0) == 0x80 &&
            (s[i + 3] & 0xC0) == 0x80) {
            cp = ((s[i + 1] & 0x0F) << 12) | ((s[i + 2] & 0x3F) << 6) | (s[i + 3] & 0x3F);
            i += 3;
        }
        out.push_back(cp);
    }
    return out;
}

void write(std::u32string_view text) {
    Screen& s = screen();
    for (char32_t ch : text)
        s.put(ch);
}

void write_padded(int r, int c, std::u32string_view text, int width) {
    screen().move(r, c);
    write(text);
    for (int n = static_cast<int>(text.size()); n < width; ++n)
        screen().put(kBlank);
}

void move_cursor(int r, int c) {
    screen().move(r, c);
}

void draw_lock(Screen& s) {
    s.move(helpline, kLockCol);
    for (int i = 0; i < kLockWidth; ++i)
        s.put(i < static_cast<int>(lock_mark.size()) ? static_cast<unsigned char>(lock_mark[i])
                                                     : U'-');
}

void draw_help_line(Screen& s, std::string_view raw) {
    s.move(helpline, 0);
    for (char32_t ch :
         std::u32string_view(kRule).substr(0, static_cast<std::size_t>(std::max(swidth + 2, 0))))
        s.put(ch);
    if (!lock_mark.empty()) draw_lock(s);
    s.move(helpline, 6);
    for (char32_t ch : chars_of(raw))
        s.put(ch);
    help_shown.assign(raw);
    place = Place::Help;
}

void message(char k, std::string_view raw) {
    if (k == 'h' && !progress_due()) {
        owed_help.assign(raw);
        help_owed = true;
        return;
    }
    std::u32string text = chars_of(raw);
    switch (k) {
        case 'w':
            write_padded(0, 7, text, 2);
            break;
        case 'r':
            write_padded(0, 11, text, 5);
            break;
        case 'c':
            write_padded(0, 17, text, 5);
            break;
        case 'n': {
            std::size_t slash = text.rfind(U'/');
            if (slash != std::u32string::npos) text.erase(0, slash);
            if (text.size() > 20) text.resize(20);
            write_padded(0, 26, text, 20);
            break;
        }
        case 'l':
            write_padded(0, 56, text, 5);
            break;
        case 'v':
            write_padded(0, 70, text, 9);
            break;
        case 't':
            write_padded(1, 2, text, 0);
            break;
        case 'm':
            write_padded(cmdline, 10, text, 9);
            break;
        case 'M':
        case 'b':
        case 'e':
        case 'f':
        case 'h':
        case 'i':
            draw_help_line(screen(), raw);
            // A message is sent at once, to be read while the work goes on; clearing the line
            // waits for the next refresh, so a whole-screen redraw goes out in one piece.
            if (!raw.empty()) screen_refresh();
            break;
        case 'u': {
            // The lock's mark changes nothing else on the screen, the cursor included.
            Screen& s = screen();
            const int r = s.row();
            const int c = s.col();
            lock_mark.assign(raw.substr(0, kLockWidth));
            draw_lock(s);
            s.move(r, c);
            break;
        }
        default:
            break;
    }
}

void text_command(std::string_view s) {
    if (s.size() < 3) return;
    std::size_t pos = 3;
    switch (s[2]) {
        case 'F': {
            int row = number(s, pos);
            move_cursor(row, 0);
            if (comma(s, pos)) write(chars_of(s.substr(pos)));
            break;
        }
        case 'L': {
            int row = number(s, pos);
            move_cursor(row, 2);
            std::u32string text;
            if (comma(s, pos)) text = chars_of(s.substr(pos));
            write(text);
            if (static_cast<int>(text.size()) < swidth) screen().clr_eol();
            break;
        }
        case 'R': {
            int row = number(s, pos);
            comma(s, pos);
            int col = number(s, pos);
            comma(s, pos);
            int n = std::clamp(number(s, pos), 0, kMaxRun);
            comma(s, pos);
            std::u32string chars = chars_of(s.substr(pos));
            for (int i = 0; i < n; ++i) {
                move_cursor(row, col);
                screen().put(i < static_cast<int>(chars.size()) ? chars[i] : U'^');
                ++col;
                if (col > swidth + 1) {
                    col = 2;
                    if (row != helpline - 1) ++row;
                }
            }
            break;
        }
        case 'f':
            move_cursor(2, 0);
            write(chars_of(s.substr(3)).substr(0, 2));
            break;
        case 'x':
            for (int row = 2; row <= helpline - 1; ++row) {
                move_cursor(row, 0);
                screen().clr_eol();
            }
            break;
        default:
            break;
    }
}

void command_line_command(std::string_view s) {
    if (s.size() < 3) return;
    if (s[2] != '-') place = Place::Command;
    switch (s[2]) {
        case '+':
            move_cursor(cmdline, 19 + cmdlen);
            break;
        case 'L': {
            std::u32string text = chars_of(s.substr(3));
            write(text);
            cmdlen += static_cast<int>(text.size());
            break;
        }
        case 'c':
            if (s.size() > 3) write(chars_of(s.substr(3, 1)));
            cmdlen += 1;
            break;
        case 'x':
            move_cursor(cmdline, 19);
            screen().clr_eol();
            cmdlen = 0;
            break;
        case 'b':
            move_cursor(screen().row(), std::max(screen().col() - 1, 0));
            screen().put(kBlank);
            move_cursor(screen().row(), std::max(screen().col() - 1, 0));
            cmdlen = std::max(cmdlen - 1, 0);
            break;
        default:
            break;
    }
}

void labels() {
    write_padded(0, 2, U"Core: ", 0);
    write_padded(0, 10, U"(     ,     )", 0);
    write_padded(0, 49, U"Lines: ", 0);
    write_padded(0, 63, U"View: ", 0);
    write_padded(cmdline, 0, U"Expecting ", 0);
}

void set_text_cursor(std::string_view s) {
    std::size_t pos = 2;
    textline = number(s, pos);
    comma(s, pos);
    textcol = number(s, pos);
    if (textcol > swidth + 1 && swidth > 0) {
        const int wraps = (textcol - 2) / swidth;  // brings textcol into 2 .. swidth + 1
        textcol -= wraps * swidth;
        if (textline < helpline - 1) textline = std::min(textline + wraps, helpline - 1);
    }
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Geometry
// ---------------------------------------------------------------------------------------------

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
    textline = 0;
    textcol = 0;
    cmdlen = 0;
    shadow_ptr = 0;
    shadow_cmdline.fill(0);
    command_capture = nullptr;
    help_owed = false;
    last_progress = {};
    progress_gap = kProgressGap;
    place = Place::Text;
    help_shown.clear();
    lock_mark.clear();
    screen().resize(24, 80);
}

void set_progress_gap(std::chrono::milliseconds gap) {
    progress_gap = gap;
}

int setgeometry(int nlines, int ncols) {
    // The screen is exactly as large as the terminal, so whatever lies beyond its edges is cut
    // off rather than wrapped onto the next row; the layout keeps its least size even on a
    // smaller terminal.
    const int rows = std::clamp(nlines, 1, kMaxLines);
    const int cols = std::clamp(ncols, 1, kMaxCols);
    if (screen().rows() != rows || screen().cols() != cols) screen().resize(rows, cols);
    nlines = std::clamp(nlines, kMinLines, kMaxLines);
    ncols = std::clamp(ncols, kMinCols, kMaxCols);
    const int olddepth = depth;
    const int oldwidth = swidth;
    swidth = ncols - 2;
    rightcol = swidth;
    // A shift must move the window by at least one column, however narrow the terminal.
    shiftc = std::max(ncols - overlap - 2, 1);
    pshift = 0;
    windowend = nlines - 3;
    depth = nlines - 4;
    helpline = nlines - 2;
    cmdline = nlines - 1;
    return depth != olddepth || swidth != oldwidth ? 1 : 0;
}

// ---------------------------------------------------------------------------------------------
// Set-up and tear-down
// ---------------------------------------------------------------------------------------------

namespace {

// True while the terminal is in the editor's mode (from initerm to reseterm).
bool holding = false;

// The editor's mode, built from the shell's attributes however they were left: every key
// arrives at once and unechoed, a carriage return stays a carriage return, and of the control
// characters only Ctrl-_ (interrupt) and Ctrl-A (suspend) act on the terminal; Ctrl-C, Ctrl-Z,
// Ctrl-S, Ctrl-Q and Ctrl-\ are keys of the editor.
struct termios editor_mode(struct termios t) {
    t.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ECHONL);
    t.c_lflag |= ISIG;
    t.c_iflag &= ~static_cast<tcflag_t>(ICRNL | INLCR | IGNCR | IXON);
    t.c_oflag &= ~static_cast<tcflag_t>(ONLCR);
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    t.c_cc[VINTR] = 0x1F;
    t.c_cc[VSUSP] = 0x01;
    for (int cc : {VQUIT, VSTART, VSTOP, VEOL, VREPRINT, VDISCARD, VWERASE, VLNEXT}) {
        t.c_cc[cc] = 0;
    }
    return t;
}

}  // namespace

void stermpars() {
    entname = std::getenv("TERM");
    if (entname == nullptr) {
        std::puts("\nTERM variable not found");
        std::exit(0);
    }
    termnum = std::strcmp(entname, "vt100") == 0 ? 4 : 9;
    // Only the character set follows the user's locale; numbers keep printing with a point.
    if (std::setlocale(LC_CTYPE, "") != nullptr) {
        utf8_terminal = std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0;
    }
    if (utf8_terminal) use_unicode_drawing();
    if (!load_terminfo(entname)) {
        std::fprintf(stderr, "oru: the terminal type \"%s\" (TERM) is not known to terminfo\n",
                     entname);
        std::exit(1);
    }
    call_initscr();
    call_init_2string();
    term_flush();
}

int getwindsize() {
    return setgeometry(get_lines(), get_columns());
}

void physterm() {
    if (termnum == 4) term_puts("\x1b[?7l");
    call_enter_ca_mode();
    screen_forget();
    term_flush();
}

void initerm() {
    call_intrflush();
    // What the terminal has when the editor takes it (at start-up, on the way back from a shell
    // escape or a stop) is the shell's mode, which leaving restores. While the editor holds the
    // terminal its mode is only set again, so a resize or a stray continue signal cannot take the
    // editor's mode for the shell's.
    if (!holding && tcgetattr(STDOUT_FILENO, &oldintrps) != 0) return;
    newintrps = editor_mode(oldintrps);
    if (tcsetattr(STDOUT_FILENO, TCSANOW, &newintrps) == 0) holding = true;
}

void reseterm() {
    if (termnum == 4) term_puts("\x1b[?8l\x1b[?7h");
    call_exit_ca_mode();
    term_flush();
    call_reset_shell_mode();
    if (holding) tcsetattr(STDOUT_FILENO, TCSANOW, &oldintrps);
    holding = false;
}

void scrclear() {
    call_clear_screen();
    term_flush();
    screen_forget();
}

// ---------------------------------------------------------------------------------------------
// Cursor and command-line functions
// ---------------------------------------------------------------------------------------------

void txtcur() {
    pltransmit("$+");
}
void rmtxtcur() {
    pltransmit("$-");
}
void cmdcur() {
    pltransmit("$C+");
}
void rmcmdcur() {
    pltransmit("$C-");
}
void clrtextzone() {
    pltransmit("$Tx");
}

void postcur(int column, int row) {
    char cmd[32];
    std::snprintf(cmd, sizeof cmd, "$p%d,%d", row, column);
    pltransmit(cmd);
}

void restorecursor() {
    pltransmit(mode != 0 ? "$+" : "$C+");
}
void ibeep() {
    pltransmit("$b");
}

void backspace() {
    pltransmit("$Cb");
    shadow_ptr = std::max(shadow_ptr - 1, 0);
}

void putcmdlett(char ch) {
    const char cmd[4] = {'$', 'C', 'c', ch};
    pltransmit(std::string_view(cmd, 4));
    if (shadow_ptr < kShadowCmdLen) shadow_cmdline[shadow_ptr++] = ch;
}

// ---------------------------------------------------------------------------------------------
// The screen-command interpreter
// ---------------------------------------------------------------------------------------------

void pltransmit(std::string_view cmd) {
    if (command_capture != nullptr) command_capture->emplace_back(cmd);
    if (visible == 0 || cmd.size() < 2) return;
    switch (cmd[1]) {
        case '+':
            move_cursor(textline, textcol);
            place = Place::Text;
            break;
        case 'C':
            command_line_command(cmd);
            break;
        case 'T':
            text_command(cmd);
            break;
        case 'W':
            labels();
            break;
        case 'X':
            screen().clear();
            break;
        case 'b':
            screen().bell();
            break;
        case 'c':
            move_cursor(textline, textcol);
            if (cmd.size() > 2) write(chars_of(cmd.substr(2)).substr(0, 1));
            textcol += 1;
            place = Place::Text;
            break;
        case 'm':
            if (cmd.size() > 2) message(cmd[2], cmd.substr(3));
            break;
        case 'p':
            set_text_cursor(cmd);
            break;
        default:
            break;
    }
}

void screen_refresh() {
    screen().refresh();
}
void screen_forget() {
    screen().forget();
}

std::u32string screen_row(int r) {
    std::u32string row;
    for (int c = 0; c < screen().cols(); ++c)
        row.push_back(screen().cell(r, c));
    return row;
}

std::string screen_text(int r) {
    std::string row;
    for (char32_t ch : screen_row(r))
        row.push_back(static_cast<char>(ch < 256 ? ch : U'?'));
    return row;
}

int screen_cursor_row() {
    return screen().row();
}
int screen_cursor_col() {
    return screen().col();
}

CursorPlace cursor_place() {
    CursorPlace p;
    p.where = place == Place::Command ? 1 : place == Place::Help ? 2 : 0;
    if (place == Place::Help) p.message = help_shown;
    return p;
}

void put_cursor_back(const CursorPlace& p) {
    if (visible == 0) return;
    if (p.where == 1) {
        pltransmit("$C+");
    } else if (p.where == 2) {
        draw_help_line(screen(), p.message);
    } else {
        pltransmit("$+");
    }
}

void set_command_capture(std::vector<std::string>* sink) {
    command_capture = sink;
}

void append_screen_char(std::string& out, int ch) {
    if (ch < 256) {
        out.push_back(static_cast<char>(ch));
        return;
    }
    if (ch > 0xFFFF) ch = '?';
    out.push_back(kWideMark);
    out.push_back(static_cast<char>(0xE0 | (ch >> 12)));
    out.push_back(static_cast<char>(0x80 | ((ch >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (ch & 0x3F)));
}
