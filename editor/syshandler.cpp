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

// A fault of the program itself (the evaluator checks its operands and never traps, so even an
// arithmetic fault is one): keep the user's edits as far as can be done, give the terminal back,
// say where the copies went, and end with the signal, as its default action would.
void CrashHandler(int sig) {
    emergency_save_all();
    reseterm();
    report_emergency_copies();
    signal(sig, SIG_DFL);
    sigset_t s;
    sigemptyset(&s);
    sigaddset(&s, sig);
    sigprocmask(SIG_UNBLOCK, &s, nullptr);
    raise(sig);
    _exit(128 + sig);
}

void install(int sig, void (*handler)(int)) {
    struct sigaction sa {};
    sa.sa_handler = handler;
    sigemptyset(&sa.sa_mask);
    // No SA_RESTART: a wait for a key must end so that the signal's work is done at once.
    sa.sa_flags = 0;
    sigaction(sig, &sa, nullptr);
}

// A crash handler runs once: a second fault inside it ends the program by the default action.
void install_once(int sig, void (*handler)(int)) {
    struct sigaction sa {};
    sa.sa_handler = handler;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESETHAND | SA_NODEFER;
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
    report_emergency_copies();
    std::exit(1);
}

}  // namespace

void setsig() {
    prepare_emergency();
    install(SIGTSTP, SuspHandler);
    install(SIGCONT, ResHandler);
    for (int sig : {SIGFPE, SIGSEGV, SIGBUS, SIGABRT, SIGILL})
        install_once(sig, CrashHandler);
    install(SIGINT, InterruptHandler);
    // A driver that has gone away shows as a failed write, which ends it (see dxio).
    signal(SIGPIPE, SIG_IGN);
    install(SIGWINCH, WindowHandler);
    install(SIGHUP, EndHandler);
    install(SIGTERM, EndHandler);
}

void end_if_pending() {
    if (pending_end) end_editor();
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
