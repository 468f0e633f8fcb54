#include "dxio.hpp"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "globals.hpp"
#include "scrout.hpp"
#include "sysutils.hpp"
#include "termutils.hpp"

int progstate = 0;
int progtrans = 0;
int voluntary = 0;

namespace {

pid_t child_pid = -1;
FILE* oruinput = nullptr;   // reading end of the pipe from the driver
FILE* oruoutput = nullptr;  // writing end of the pipe to the driver

void close_streams() {
    if (oruinput != nullptr) std::fclose(oruinput);
    if (oruoutput != nullptr) std::fclose(oruoutput);
    oruinput = nullptr;
    oruoutput = nullptr;
}

// Writes to the driver and flushes. A driver that has gone away is ended, and keys come from
// the keyboard again.
void send(std::string_view text) {
    if (oruoutput == nullptr || progstate == 0) return;
    const bool ok = std::fwrite(text.data(), 1, text.size(), oruoutput) == text.size() &&
                    std::fflush(oruoutput) == 0;
    if (!ok) killprog();
}

}  // namespace

FILE* driver_output() {
    return oruoutput;
}

bool setpipe() {
    int orupipe[2];
    int progpipe[2];
    if (pipe2(orupipe, O_CLOEXEC) != 0) return false;
    if (pipe2(progpipe, O_CLOEXEC) != 0) {
        close(orupipe[0]);
        close(orupipe[1]);
        return false;
    }
    std::fflush(stdout);
    const pid_t pid = fork();
    if (pid == 0) {
        // The child: its standard input is the pipe from the editor, its standard output the pipe
        // to the editor. The descriptors are close-on-exec, so only 0 and 1 stay open.
        if (dup2(progpipe[0], 0) < 0 || dup2(orupipe[1], 1) < 0) _exit(1);
        signal(SIGPIPE, SIG_DFL);
        execlp(curfile.c_str(), curfile.c_str(), static_cast<char*>(nullptr));
        _exit(1);
    }
    close(progpipe[0]);
    close(orupipe[1]);
    if (pid < 0) {
        close(progpipe[1]);
        close(orupipe[0]);
        return false;
    }
    child_pid = pid;
    oruoutput = fdopen(progpipe[1], "w");
    oruinput = fdopen(orupipe[0], "r");
    if (oruoutput == nullptr || oruinput == nullptr) {
        if (oruoutput == nullptr) close(progpipe[1]);
        if (oruinput == nullptr) close(orupipe[0]);
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
        diserr("Can't set up pipes");
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
    if (progstate == 1) send("\n");
}

void progsend(std::string_view text) {
    send(text);
}

void end_driver() {
    if (progstate == 0 && child_pid < 0) return;
    close_streams();
    progstate = 0;
    if (child_pid > 0) {
        kill(child_pid, SIGKILL);
        waitpid(child_pid, nullptr, 0);
    }
    child_pid = -1;
}

void killprog() {
    end_driver();
    read_keyboard();
}

void reset_dxio() {
    end_driver();
    progtrans = 0;
    voluntary = 0;
}
