// Start-up: check the arguments, build the store and the terminal, queue the start-up keys and
// run the edit loop.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "corutils.hpp"
#include "display.hpp"
#include "dxio.hpp"
#include "editor.hpp"
#include "gento.hpp"
#include "globals.hpp"
#include "syshandler.hpp"
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

// Key strings stay on the key-string stack while they are read, so they live here for the whole
// run. Each holds a two-letter command, a name of up to 48 characters and a carriage return.
using KeyString = FixStr<kNameLen + 3>;
const char start_up[2] = {3, 0};
KeyString fcall;
KeyString dcall;
KeyString parfetch;

bool readable(const char* name) {
    return access(name, R_OK) == 0;
}

// Builds a command key string: two letters (and for RUN the path prefix), the name, Return. A name
// too long for the string is cut; the command line keeps at most 48 characters of it anyway.
const char* command_keys(KeyString& keys, std::string_view start, std::string_view name) {
    keys.assign(start);
    keys.append(name.substr(0, std::min(name.size(), KeyString::capacity - start.size() - 1)));
    keys.push_back('\r');
    return keys.c_str();
}

// Queues the FETCH (or NAME, for a file that cannot be read) of the file argument.
void getfpar(const char* name) {
    if (std::string_view(name).size() > static_cast<std::size_t>(kNameLen)) return;
    curfile.assign(name);
    pushfn(command_keys(parfetch, readable(name) ? "FE" : "NA", name));
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
        // The driver is run from the current directory; a name given with its whole path is
        // used as it is, since "./" before it would make it relative.
        pushfn(command_keys(dcall, argv[2][0] == '/' ? "RU" : "RU./", argv[2]));
    } else if (fparnum == 3 && fparam1 == "-p") {
        pushfn(command_keys(fcall, "PR", argv[2]));
    } else if (fparnum == 2) {
        getfpar(argv[1]);
    }
    pushfn(start_up);

    editor();

    end_driver();
    reseterm();
    scrclear();
    return 0;
}
