#include "rawpty.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

bool makeRaw(int fd)
{
    struct termios settings = {};
    if (::tcgetattr(fd, &settings) != 0)
        return false;
    ::cfmakeraw(&settings);
    return ::tcsetattr(fd, TCSANOW, &settings) == 0;
}

} // namespace

bool openRawPty(RawPty &pty)
{
    pty.master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    char name[128] = {};
    bool ok = pty.master >= 0 && ::grantpt(pty.master) == 0 && ::unlockpt(pty.master) == 0
        && ::ptsname_r(pty.master, name, sizeof name) == 0;
    if (ok) {
        pty.slave = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        ok = pty.slave >= 0 && makeRaw(pty.master) && makeRaw(pty.slave);
    }
    if (!ok) {
        const int error = errno;
        closeRawPty(pty);
        errno = error;
        return false;
    }
    pty.slavePath = name;
    return true;
}

void closeRawPty(RawPty &pty)
{
    for (int *fd : { &pty.master, &pty.slave }) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
    pty.slavePath.clear();
}
