#include "syshandler.hpp"

#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "display.hpp"
#include "dxio.hpp"
#include "globals.hpp"
#include "sys_linux.hpp"
#include "sysutils.hpp"
#include "terminal.hpp"
#include "termutils.hpp"

namespace {

volatile sig_atomic_t pending_stop = 0;
volatile sig_atomic_t pending_cont = 0;
volatile sig_atomic_t pending_winch = 0;
volatile sig_atomic_t pending_end = 0;

void SuspHandler(int) {
    pending_stop = 1;
}
void ResHandler(int) {
    pending_cont = 1;
}
void WindowHandler(int) {
    pending_winch = 1;
}
void EndHandler(int) {
    pending_end = 1;
}

// The evaluator checks its operands and never traps, so an arithmetic fault is a fault of the
// program: keep the user's edits and leave.
void FpHandler(int) {
    emergency_save_all();
    _exit(1);
}

void install(int sig, void (*handler)(int)) {
    struct sigaction sa {};
    sa.sa_handler = handler;
    sigemptyset(&sa.sa_mask);
    // No SA_RESTART: a wait for a key must end so that the signal's work is done at once.
    sa.sa_flags = 0;
    sigaction(sig, &sa, nullptr);
}

void stop_editor() {
    if (progstate == 1) {
        voluntary = 0;
        suspendprog();
        return;
    }
    scrclear();
    reseterm();
    kill(getpid(), SIGSTOP);
}

}  // namespace

void retake_screen(bool resized) {
    // Another program may have had the terminal while its size changed (the change is then told
    // to that program only), so the size is read again whatever brought the editor back.
    if (getwindsize() != 0) {
        COREFILE& cf = cur();
        // Keep the cursor line in the smaller window.
        int row = 0;
        const LINE* l = cf.disln;
        while (l != cf.lnptr && l != cf.header && row < depth) {
            l = l->down;
            ++row;
        }
        if (l != cf.lnptr) cf.disln = cf.lnptr;
        if (resized) ibeep();
    }
    redraw_screen();
}

namespace {

void continue_editor() {
    physterm();
    initerm();
    retake_screen(false);
}

// The terminal stays in the editor's hands: only the size and the screen change. (The mode is
// set again all the same, in case the terminal's owner changed it meanwhile.)
void resize_window() {
    initerm();
    retake_screen(true);
}

[[noreturn]] void end_editor() {
    emergency_save_all();
    end_driver();
    reseterm();
    std::exit(1);
}

}  // namespace

void setsig() {
    install(SIGTSTP, SuspHandler);
    install(SIGCONT, ResHandler);
    install(SIGFPE, FpHandler);
    install(SIGINT, IntHandler);
    // A driver that has gone away shows as a failed write, which ends it (see dxio).
    signal(SIGPIPE, SIG_IGN);
    install(SIGWINCH, WindowHandler);
    install(SIGHUP, EndHandler);
    install(SIGTERM, EndHandler);
}

void sigwork() {
    while (pending_stop || pending_cont || pending_winch || pending_end) {
        if (pending_end) end_editor();
        if (pending_stop) {
            pending_stop = 0;
            stop_editor();
        }
        if (pending_cont) {
            pending_cont = 0;
            continue_editor();
        }
        if (pending_winch) {
            pending_winch = 0;
            resize_window();
        }
    }
}
