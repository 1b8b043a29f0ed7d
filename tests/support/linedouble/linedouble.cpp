// Preloaded into the program under test (LD_PRELOAD), this gives the slave end
// of a pseudo-terminal the modem lines of a real UART, which a pty lacks: the
// modem-line and break ioctls are answered from the state file that
// TAVEL_LINE_DOUBLE names, and opening and closing the port move DTR and RTS
// as the kernel does for a serial port. Any other file, any other request,
// and everything while the variable is unset goes to the C library unchanged.
// Built without sanitizers: it runs before a sanitizer's runtime is set up.

#include "modemlines.h"
#include "statemap.h"

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>

#define LINEDOUBLE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

template<typename Function>
Function next(const char *name)
{
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

using IoctlFunction = int (*)(int, unsigned long, ...);
using OpenFunction = int (*)(const char *, int, ...);
using OpenatFunction = int (*)(int, const char *, int, ...);
using CloseFunction = int (*)(int);

// The ports this process opened, by descriptor, so that close() touches only
// those. Descriptors past the end are never counted as ports.
constexpr int TrackedFds = 65536;
std::atomic<unsigned long long> g_opened[TrackedFds / 64];

void setOpened(int fd, bool opened)
{
    if (fd < 0 || fd >= TrackedFds)
        return;
    const unsigned long long bit = 1ull << (fd % 64);
    if (opened)
        g_opened[fd / 64].fetch_or(bit);
    else
        g_opened[fd / 64].fetch_and(~bit);
}

bool wasOpened(int fd)
{
    return fd >= 0 && fd < TrackedFds && (g_opened[fd / 64].load() & (1ull << (fd % 64)));
}

LineDoubleState *portState(int fd)
{
    LineDoubleState *state = mappedLineDoubleState();
    return state && isPtySlave(fd) ? state : nullptr;
}

// An open() or openat() that returned fd: a pty slave is a serial port just
// opened, whose DTR and RTS the kernel raises unless the baud rate is B0.
int opened(int fd, int flags)
{
    if (fd < 0)
        return fd;
    const int error = errno;
    LineDoubleState *state = (flags & O_PATH) ? nullptr : portState(fd);
    setOpened(fd, state != nullptr);
    if (state) {
        struct termios settings = {};
        ModemLines::portOpened(
            *state, ::tcgetattr(fd, &settings) == 0 && ::cfgetospeed(&settings) != B0);
    }
    errno = error;
    return fd;
}

// The mode argument is there only when the flags ask for a new file.
mode_t modeArgument(int flags, va_list args)
{
    return (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE ? mode_t(va_arg(args, int)) : 0;
}

} // namespace

LINEDOUBLE_EXPORT int ioctl(int fd, unsigned long request, ...) noexcept
{
    static const auto real = next<IoctlFunction>("ioctl");
    va_list args;
    va_start(args, request);
    // Every request this library answers takes one argument, a pointer or a
    // value of a pointer's size; one that takes none gets whatever is there,
    // which the driver then ignores.
    void *arg = va_arg(args, void *);
    va_end(args);
    if (ModemLines::isModemRequest(request)) {
        if (LineDoubleState *state = portState(fd))
            return ModemLines::answer(*state, request, arg);
    }
    return real(fd, request, arg);
}

LINEDOUBLE_EXPORT int open(const char *path, int flags, ...)
{
    static const auto real = next<OpenFunction>("open");
    va_list args;
    va_start(args, flags);
    const mode_t mode = modeArgument(flags, args);
    va_end(args);
    return opened(real(path, flags, mode), flags);
}

LINEDOUBLE_EXPORT int open64(const char *path, int flags, ...)
{
    static const auto real = next<OpenFunction>("open64");
    va_list args;
    va_start(args, flags);
    const mode_t mode = modeArgument(flags, args);
    va_end(args);
    return opened(real(path, flags, mode), flags);
}

LINEDOUBLE_EXPORT int openat(int directory, const char *path, int flags, ...)
{
    static const auto real = next<OpenatFunction>("openat");
    va_list args;
    va_start(args, flags);
    const mode_t mode = modeArgument(flags, args);
    va_end(args);
    return opened(real(directory, path, flags, mode), flags);
}

LINEDOUBLE_EXPORT int openat64(int directory, const char *path, int flags, ...)
{
    static const auto real = next<OpenatFunction>("openat64");
    va_list args;
    va_start(args, flags);
    const mode_t mode = modeArgument(flags, args);
    va_end(args);
    return opened(real(directory, path, flags, mode), flags);
}

// The hang-up on close: with HUPCL set, the kernel drops DTR and RTS. The
// descriptor may have been reused since by something else without passing
// here (dup2, a socket), so it is asked again what it is.
LINEDOUBLE_EXPORT int close(int fd)
{
    static const auto real = next<CloseFunction>("close");
    if (wasOpened(fd)) {
        const int error = errno;
        setOpened(fd, false);
        struct termios settings = {};
        if (LineDoubleState *state = portState(fd);
            state && ::tcgetattr(fd, &settings) == 0 && (settings.c_cflag & HUPCL))
            ModemLines::portHungUp(*state);
        errno = error;
    }
    return real(fd);
}
