// Start-up: check the arguments, build the store and the terminal, queue the start-up keys and
// run the edit loop.
#include <unistd.h>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "corutils.hpp"
#include "display.hpp"
#include "dxio.hpp"
#include "editor.hpp"
#include "encoding.hpp"
#include "file.hpp"
#include "gento.hpp"
#include "getparam.hpp"
#include "globals.hpp"
#include "scrin.hpp"
#include "scrout.hpp"
#include "syshandler.hpp"
#include "sysutils.hpp"
#include "templates.hpp"
#include "terminal.hpp"
#include "termutils.hpp"

namespace {

constexpr const char* kHelp =
    "To start oru, use one of the following:  \n"
    "        oru <filename>  \n"
    "        oru -p <procedurefilename>  \n"
    "        oru -d <driverfilename>  \n"
    "        oru -h  or  oru --help      (this help)  \n"
    "        oru --version  \n"
    "Notes:  \n"
    "  (1) You MUST provide the exact path to <driverfilename> if  \n"
    "      it is not in the current directory.  \n"
    "  (2) To use palom, replace oru by palom.  \n"
    "  (3) For more help, see man oru and the manual: docs/manual.md  \n"
    "      in the source tree, share/doc/oru/manual.md once installed.  \n"
    "  (4) A file named like an option, such as --help, is opened  \n"
    "      when given as ./--help.  ";

// The version IDENTIFY shows, with the date and time of the build.
constexpr const char* kVersion = "ALPHA";

const char start_up[2] = {3, 0};

// A name from the command line as the store keeps it: Latin-1, at most 48 characters, which
// every file command then carries exactly. A name that cannot be kept so is refused before the
// screen opens, rather than opening a similar name.
bool carried_name(const char* arg, std::string& name, std::size_t room) {
    if (!from_system(arg, name)) {
        // Under a UTF-8 locale: a character beyond Latin-1, or bytes that are not UTF-8 at all.
        std::fprintf(stderr, "oru: cannot use the name %s: it has no Latin-1 form.\n", arg);
        return false;
    }
    if (name.empty()) {
        std::fprintf(stderr, "oru: an empty file name cannot be used.\n");
        return false;
    }
    if (name.size() > room) {
        std::fprintf(stderr, "oru: cannot use the name %s: names are kept to %zu characters.\n",
                     arg, room);
        return false;
    }
    return true;
}

// The file argument: fetched into core file 1, or when it cannot be read, only given as its name.
void getfpar(const std::string& name) {
    curfile.assign(name);
    if (canread(curfile.c_str())) {
        fetch_range(1, kAllLines, "");
    } else {
        cur().filname = curfile;
        putfname();
    }
}

// A procedure file's keys run once the command line is open.
void getproc(const std::string& name) {
    curfile.assign(name);
    if (!canread(curfile.c_str())) {
        diserr("File not found (or no read permission)");
        return;
    }
    loadfile();
}

// The driver is run from the current directory unless the name has a path of its own.
void getdriver(const std::string& name) {
    curfile.assign(name);
    if (!canexec(curfile.c_str())) {
        diserr("Requested file cannot be located (or is not executable)!");
        return;
    }
    runprog();
}

}  // namespace

int main(int argc, char** argv) {
    const int fparnum = argc;
    const std::string_view fparam1 = argc > 1 ? argv[1] : "";
    if (fparnum > 3) {
        std::printf("Too many arguments. Type oru -h for details.\n");
        return 0;
    }
    if (fparnum == 2 && (fparam1 == "-h" || fparam1 == "--help")) {
        std::printf("\n%s\n\n", kHelp);
        return 0;
    }
    if (fparnum == 2 && fparam1 == "--version") {
        std::printf("oru %s (built %s %s)\n", kVersion, __DATE__, __TIME__);
        return 0;
    }
    if (fparnum == 2 && fparam1 == "-d") {
        std::printf("You need to give the name of the driver file. Type oru -h for details.\n");
        return 0;
    }
    if (fparnum == 2 && fparam1 == "-p") {
        std::printf("You need to give the name of the procedure file. Type oru -h for details.\n");
        return 0;
    }

    // The character set follows the user's locale (numbers keep printing with a point). Set here
    // once, its data is read once: the checks of the names and the emergency save look it up
    // again, and would otherwise load it and let it go before the terminal takes it for good.
    std::setlocale(LC_CTYPE, "");

    // The names are checked before the screen opens, so a refusal is read on the plain terminal.
    std::string named;
    std::string driver;
    if (fparnum == 3 && fparam1 == "-d") {
        if (!carried_name(argv[2], named, kNameLen)) return 1;
        driver = named.find('/') == std::string::npos ? "./" + named : named;
        if (driver.size() > static_cast<std::size_t>(kNameLen) &&
            !carried_name(argv[2], named, kNameLen - 2)) {
            return 1;
        }
    } else if ((fparnum == 3 && fparam1 == "-p") || fparnum == 2) {
        if (!carried_name(argv[fparnum - 1], named, kNameLen)) return 1;
    }

    start_store();
    writetemplate(0);
    stermpars();
    getwindsize();
    physterm();
    setintran();
    initerm();
    setsig();
    initgento();
    gendis();
    discur();

    if (fparnum == 3 && fparam1 == "-d") {
        getdriver(driver);
    } else if (fparnum == 3 && fparam1 == "-p") {
        getproc(named);
    } else if (fparnum == 2) {
        getfpar(named);
    }
    if (fparnum >= 2) {
        // The start-up work changed what the screen shows.
        gendis();
        discur();
    }
    pushfn(start_up);

    editor();

    end_driver();
    reseterm();
    scrclear();
    return 0;
}
