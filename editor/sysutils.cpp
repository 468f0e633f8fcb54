#include "sysutils.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>

#include "globals.hpp"

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
