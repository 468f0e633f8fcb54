#include "dxio.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "encoding.hpp"
#include "globals.hpp"
#include "scrout.hpp"
#include "syshandler.hpp"
#include "sysutils.hpp"
#include "termutils.hpp"

int progstate = 0;
int progtrans = 0;
int voluntary = 0;

namespace {

pid_t child_pid = -1;
FILE* oruinput = nullptr;  // reading end of the pipe from the driver
int oruoutput = -1;        // writing end of the pipe to the driver (non-blocking)
int start_error = 0;       // why the last driver could not be started (errno), 0 when it was

void close_streams() {
    if (oruinput != nullptr) std::fclose(oruinput);
    if (oruoutput >= 0) ::close(oruoutput);
    oruinput = nullptr;
    oruoutput = -1;
}

// Waits until the driver's pipe takes bytes again. A hang-up or termination that comes meanwhile
// is carried out at once (emergency copies, then the end), so a driver that reads nothing can
// never keep the editor from saving the user's work. Other signals only resume the wait.
bool wait_writable(int fd) {
    sigset_t held;
    sigset_t old;
    sigemptyset(&held);
    sigaddset(&held, SIGHUP);
    sigaddset(&held, SIGTERM);
    sigprocmask(SIG_BLOCK, &held, &old);
    end_if_pending();
    pollfd p{fd, POLLOUT, 0};
    const int n = ::ppoll(&p, 1, nullptr, &old);
    const int err = errno;
    sigprocmask(SIG_SETMASK, &old, nullptr);
    end_if_pending();
    if (n < 0 && err != EINTR) return false;
    return true;
}

// The driver's standard error: a log in the working directory, so that its messages cannot
// write over the screen. Without one the messages are dropped.
int open_log() {
    int fd = ::open(kDriverLog, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    if (fd < 0) fd = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    return fd;
}

}  // namespace

bool write_driver(int fd, const char* p, std::size_t n) {
    while (n > 0) {
        const ssize_t w = ::write(fd, p, n);
        if (w > 0) {
            p += w;
            n -= static_cast<std::size_t>(w);
            continue;
        }
        // A window-size change interrupts the write; it goes on where it stopped.
        if (w < 0 && errno == EINTR) {
            end_if_pending();
            continue;
        }
        if (w < 0 && errno == EAGAIN) {
            if (!wait_writable(fd)) return false;
            continue;
        }
        return false;  // the driver has gone (EPIPE) or the pipe failed
    }
    return true;
}

int driver_fd() {
    return progstate == 1 ? oruoutput : -1;
}

int driver_start_error() {
    return start_error;
}

bool setpipe() {
    start_error = 0;
    int orupipe[2];
    int progpipe[2];
    int ready[2];
    if (pipe2(orupipe, O_CLOEXEC) != 0) return false;
    if (pipe2(progpipe, O_CLOEXEC) != 0) {
        close(orupipe[0]);
        close(orupipe[1]);
        return false;
    }
    if (pipe2(ready, O_CLOEXEC) != 0) {
        for (int fd : {orupipe[0], orupipe[1], progpipe[0], progpipe[1]})
            close(fd);
        return false;
    }
    const std::string program = sysname(curfile.view());
    const int log = open_log();
    std::fflush(stdout);
    const pid_t pid = fork();
    if (pid == 0) {
        // The child: its standard input is the pipe from the editor, its standard output the pipe
        // to the editor, its standard error the log. The descriptors are close-on-exec, so only
        // 0, 1 and 2 stay open. Its own process group keeps the terminal's interrupt and
        // suspend keys for the editor, which passes on what concerns the driver.
        setpgid(0, 0);
        if (dup2(progpipe[0], 0) < 0 || dup2(orupipe[1], 1) < 0) _exit(1);
        if (log >= 0) dup2(log, 2);
        signal(SIGPIPE, SIG_DFL);
        signal(SIGINT, SIG_DFL);
        signal(SIGTSTP, SIG_DFL);
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        execlp(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        const int err = errno;
        ssize_t ignored = write(ready[1], &err, sizeof err);
        (void)ignored;
        _exit(1);
    }
    if (log >= 0) close(log);
    close(progpipe[0]);
    close(orupipe[1]);
    close(ready[1]);
    if (pid < 0) {
        start_error = errno;
        close(progpipe[1]);
        close(orupipe[0]);
        close(ready[0]);
        return false;
    }
    setpgid(pid, pid);
    // The child says why it could not run the program; a successful exec closes the pipe.
    int err = 0;
    ssize_t n;
    do {
        n = read(ready[0], &err, sizeof err);
    } while (n < 0 && errno == EINTR);
    close(ready[0]);
    if (n > 0) {
        start_error = err != 0 ? err : ENOEXEC;
        close(progpipe[1]);
        close(orupipe[0]);
        waitpid(pid, nullptr, 0);
        return false;
    }
    child_pid = pid;
    oruoutput = progpipe[1];
    fcntl(oruoutput, F_SETFL, fcntl(oruoutput, F_GETFL) | O_NONBLOCK);
    oruinput = fdopen(orupipe[0], "r");
    if (oruinput == nullptr) {
        close(orupipe[0]);
        close_streams();
        kill(child_pid, SIGKILL);
        waitpid(child_pid, nullptr, 0);
        child_pid = -1;
        return false;
    }
    return true;
}

void runprog() {
    if (progstate != 0) {
        diserr("Program already running");
        del = 2;
        return;
    }
    if (!setpipe()) {
        if (start_error != 0) {
            char msg[120];
            std::snprintf(msg, sizeof msg, "Can't run %.40s: %s", curfile.c_str(),
                          std::strerror(start_error));
            diserr(msg);
        } else {
            diserr("Can't set up pipes");
        }
        del = 2;
        return;
    }
    progstate = 1;
    progtrans = 1;
    voluntary = 0;
    read_stream(oruinput);
}

void suspendprog() {
    if (progstate == 0) return;
    progstate = 2;
    kill(child_pid, SIGSTOP);
    read_keyboard();
}

void resumeprog() {
    if (progstate != 2) {
        diserr("No suspended program!");
        return;
    }
    progstate = 1;
    kill(child_pid, SIGCONT);
    read_stream(oruinput);
    if (voluntary != 0) {
        voluntary = 0;
        acknowledge();
    }
}

void acknowledge() {
    if (progstate == 1) progsend("\n");
}

// Only a running driver is written to: a stopped one reads nothing, and what was sent meanwhile
// would put the exchange out of step. A driver that has gone away is ended.
void progsend(std::string_view text) {
    if (progstate != 1 || oruoutput < 0) return;
    if (!write_driver(oruoutput, text.data(), text.size())) killprog();
}

void end_driver() {
    if (progstate == 0 && child_pid < 0) return;
    // The driver may still have work to finish after its last keys (writing its results): it
    // is left to run. Closing the pipes tells it that the editor has gone; a stopped one is
    // woken so that it can see that.
    const bool stopped = progstate == 2;
    close_streams();
    progstate = 0;
    if (child_pid > 0 && stopped) kill(child_pid, SIGCONT);
    child_pid = -1;
}

void killprog() {
    close_streams();
    progstate = 0;
    if (child_pid > 0) {
        kill(child_pid, SIGKILL);
        waitpid(child_pid, nullptr, 0);
    }
    child_pid = -1;
    read_keyboard();
}

void reset_dxio() {
    killprog();
    progtrans = 0;
    voluntary = 0;
    start_error = 0;
}
