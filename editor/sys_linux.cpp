#include "sys_linux.hpp"

#include <curses.h>
#include <sys/ioctl.h>
#include <term.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace {

std::string outbuf;
std::string* capture = nullptr;
bool loaded = false;
bool screen_started = false;  // output reaches the terminal (call_initscr has run)

int put_one(int ch) {
    outbuf.push_back(static_cast<char>(ch));
    return ch;
}

// Sends a capability string; absent capabilities are simply not sent.
void emit(const char* cap) {
    if (!loaded || cap == nullptr || cap == reinterpret_cast<const char*>(-1)) return;
    tputs(cap, 1, put_one);
}

void write_all(const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(STDOUT_FILENO, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;  // the terminal is gone; there is nobody left to tell
        done += static_cast<std::size_t>(n);
    }
}

}  // namespace

void term_putc(int ch) {
    outbuf.push_back(static_cast<char>(ch));
}

void term_puts(const char* s) {
    outbuf.append(s);
}

void term_flush() {
    if (outbuf.empty()) return;
    if (capture != nullptr) {
        capture->append(outbuf);
    } else if (screen_started) {
        write_all(outbuf);
    }
    outbuf.clear();
}

void set_output_capture(std::string* sink) {
    outbuf.clear();
    capture = sink;
}

bool load_terminfo(const char* name) {
    int err = 0;
    if (cur_term != nullptr) del_curterm(cur_term);
    if (setupterm(name, STDOUT_FILENO, &err) != OK || err <= 0) {
        loaded = false;
        return false;
    }
    loaded = true;
    return true;
}

bool terminfo_loaded() {
    return loaded;
}

void call_init_2string() {
    if (loaded) emit(init_2string);
}
void call_enter_ca_mode() {
    if (loaded) emit(enter_ca_mode);
}
void call_exit_ca_mode() {
    if (loaded) emit(exit_ca_mode);
}

void call_cursor_address(int r, int c) {
    if (!loaded || cursor_address == nullptr) return;
    emit(tgoto(cursor_address, c, r));
}

void call_clr_eol() {
    if (loaded) emit(clr_eol);
}
void call_clear_screen() {
    if (loaded) emit(clear_screen);
}

// The library is used at the terminfo level only: the description loaded by load_terminfo is all
// the editor needs, and the terminal's modes are set by the terminal module itself. Starting the
// library's screen as well would read the description a second time, change the modes behind the
// editor's back and send set-up strings of its own, which is most of the cost of starting.
void call_initscr() {
    screen_started = true;
}

// Keys are not read through the library and the keypad's transmit mode is never switched on, so
// there is nothing to flush or to switch off.
void call_intrflush() {}

// The editor's mode and the shell's are kept and applied by initerm and reseterm.
void call_reset_prog_mode() {}
void call_reset_shell_mode() {}

// The window-size request gives the size of the terminal as it is now; the description's numbers
// are what the terminal had when the library started, and serve when the request fails.
int get_columns() {
    winsize ws{};
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &ws) == 0 && ws.ws_col > 0) return ws.ws_col;
    return loaded && columns > 0 ? columns : 80;
}

int get_lines() {
    winsize ws{};
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &ws) == 0 && ws.ws_row > 0) return ws.ws_row;
    return loaded && lines > 0 ? lines : 24;
}

void call_set_background() {}
void set_suspend() {}

void writespaces(int n) {
    for (int i = 0; i < n; ++i)
        term_putc(' ');
}

bool can_clr_eol() {
    return !loaded || (clr_eol != nullptr && clr_eol != reinterpret_cast<const char*>(-1));
}
