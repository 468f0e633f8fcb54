#include "sysutils.hpp"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>

#include "display.hpp"
#include "dxio.hpp"
#include "getparam.hpp"
#include "globals.hpp"
#include "scrout.hpp"
#include "sys_linux.hpp"
#include "syshandler.hpp"
#include "terminal.hpp"
#include "termutils.hpp"

namespace {

using SaveName = FixStr<kNameLen + 16>;

// The bytes of a core file go out through one fixed buffer: no allocation, so a signal handler
// may call this.
std::array<char, 1 << 16> savebuf;
std::size_t saved = 0;

bool drain(int fd) {
    std::size_t done = 0;
    while (done < saved) {
        ssize_t n = write(fd, savebuf.data() + done, saved - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    saved = 0;
    return true;
}

bool put(int fd, char ch) {
    if (saved == savebuf.size() && !drain(fd)) return false;
    savebuf[saved++] = ch;
    return true;
}

// Opens a new file for the copy of core file n: "<name>.save" or "oru-core-N.save", and when
// that exists already "<...>.save.1" to ".save.9".
int open_copy(int n, SaveName& name) {
    char base[32];
    const COREFILE& cf = core[n];
    for (int attempt = 0; attempt < 10; ++attempt) {
        if (cf.filname.empty()) {
            std::snprintf(base, sizeof base, "oru-core-%d", n);
            name.assign(base);
        } else {
            name.assign(cf.filname.view());
        }
        name.append(".save");
        if (attempt > 0) {
            char suffix[4] = {'.', static_cast<char>('0' + attempt), 0, 0};
            name.append(suffix);
        }
        int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

bool save_core(int n) {
    SaveName name;
    const int fd = open_copy(n, name);
    if (fd < 0) return false;
    saved = 0;
    bool ok = true;
    const COREFILE& cf = core[n];
    for (const LINE* l = cf.header->down; ok && l != cf.header; l = l->down) {
        const bool bytes =
            l->object != kObjNew && l->object != kObjPicture && l->object != kObjDead;
        for (long i = 0; ok && bytes && i < l->length; ++i) {
            const long at = l->index + i;
            ok = at >= 0 && at < kTextSize && put(fd, static_cast<char>(textbase[at]));
        }
        ok = ok && put(fd, '\n');
    }
    ok = ok && drain(fd);
    ok = close(fd) == 0 && ok;
    return ok;
}

}  // namespace

int emergency_save_all() {
    int copies = 0;
    for (int n = 0; n < kCoreFiles; ++n) {
        if (core[n].edited == 0 || core[n].header == nullptr) continue;
        if (save_core(n)) ++copies;
    }
    return copies;
}

// ---------------------------------------------------------------------------------------------
// Shell escapes, directories and the input switch
// ---------------------------------------------------------------------------------------------

namespace {

// Runs "/bin/sh" with the flag and the command and waits for it. While it runs the shell owns
// the terminal, so the interrupt and quit keys are for it, not for the editor.
bool run_shell(const char* flag, const char* command) {
    struct sigaction ignore {};
    struct sigaction oldint {};
    struct sigaction oldquit {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGINT, &ignore, &oldint);
    sigaction(SIGQUIT, &ignore, &oldquit);
    std::fflush(stdout);
    const pid_t pid = fork();
    if (pid == 0) {
        signal(SIGINT, SIG_DFL);
        signal(SIGQUIT, SIG_DFL);
        signal(SIGPIPE, SIG_DFL);
        if (command != nullptr) {
            execl("/bin/sh", "sh", flag, command, static_cast<char*>(nullptr));
        } else {
            execl("/bin/sh", "sh", flag, static_cast<char*>(nullptr));
        }
        const char msg[] = "System error: execl failed\r\n";
        ssize_t ignored = write(1, msg, sizeof msg - 1);
        (void)ignored;
        _exit(1);
    }
    bool ok = pid > 0;
    if (pid < 0) {
        std::printf("System error: vfork failed.\r\n");
    } else {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }
    sigaction(SIGINT, &oldint, nullptr);
    sigaction(SIGQUIT, &oldquit, nullptr);
    return ok;
}

// Waits on the plain terminal for Return or rubout. The editor's screen is not up, so this reads
// bytes itself rather than keys, which would bring the screen back first.
void wait_return() {
    for (;;) {
        const int code = intran[orugetc() & 0xFF];
        if (code == 1 || code == 5) return;
    }
}

// Runs a shell command with the terminal given back to the user meanwhile.
void shell_escape(const char* command) {
    reseterm();
    scrclear();
    std::printf("%s\r\n", command);
    const bool interactive = command[0] == '\0' && progstate == 0;
    const bool ok = run_shell(interactive ? "-i" : "-c", interactive ? nullptr : command);
    initerm();
    if (progstate == 0) {
        std::printf("\r\n\nType [return] to continue\r");
        std::fflush(stdout);
        // A resize meanwhile is handled once the screen is back: redrawing now would cover the
        // shell's output that the user is reading.
        sigset_t winch;
        sigset_t old;
        sigemptyset(&winch);
        sigaddset(&winch, SIGWINCH);
        sigprocmask(SIG_BLOCK, &winch, &old);
        wait_return();
        sigprocmask(SIG_SETMASK, &old, nullptr);
    }
    std::fflush(stdout);
    physterm();
    if (!ok) del = 2;
    retake_screen(false);
}

}  // namespace

void calsys() {
    shell_escape(sysstring.c_str());
}

void directory() {
    const char* listing;
    switch (param[1]) {
        case 0:
        case 'B' - 'A' + 1:
            listing = "ls";
            break;
        case 'F' - 'A' + 1:
            listing = "ls -l";
            break;
        case 'T' - 'A' + 1:
            listing = "ls ..";
            break;
        default:
            diserr("Invalid Argument");
            del = 2;
            pushfn("DI");
            return;
    }
    shell_escape(listing);
}

void changedir() {
    if (sysstring.empty()) {
        std::array<char, 4096> where{};
        diserr(getcwd(where.data(), where.size()) != nullptr ? where.data() : "?");
        return;
    }
    if (chdir(sysstring.c_str()) != 0) {
        diserr("Directory not found (or no permission)");
        del = 2;
    }
}

void swinput() {
    switch (param[1]) {
        case 0:
            if (progstate == 1) {
                voluntary = 1;
                suspendprog();
            }
            read_keyboard();
            pltransmit("$mU###");
            break;
        case 1:
            resumeprog();
            break;
        case 2:
            killprog();
            pltransmit("$mU###");
            break;
        default:
            break;
    }
}
