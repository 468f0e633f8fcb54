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
// The interrupt key opens the command line, and asks a long operation to stop.
void InterruptHandler(int sig) {
    abortreq = 1;
    IntHandler(sig);
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

// Draws everything again, the status included even while status output is off.
void redraw_all() {
    const int keep = visible;
    visible = 1;
    gendis();
    discur();
    visible = keep;
    screen_refresh();
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

void continue_editor() {
    physterm();
    initerm();
    call_reset_prog_mode();
    redraw_all();
}

void resize_window() {
    reseterm();
    stermpars();
    physterm();
    initerm();
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
        ibeep();
    }
    redraw_all();
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
    install(SIGINT, InterruptHandler);
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
