// A serial device on a pseudo-terminal, for trying Tavel without hardware
// and for tests: it prints the device path, then echoes, records or sends.

#include "datasource.h"
#include "options.h"
#include "rawpty.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t kChunk = 65536;
// Received bytes wait here while the other side does not read its echo;
// past this much the simulator stops reading, so the sender blocks instead
// of the simulator growing without end.
constexpr std::size_t kMaxPending = 1 << 20;
// Nobody has the device open: check again this often.
constexpr int kIdlePollMs = 50;

int g_wakeWrite = -1;

void onSignal(int)
{
    const char byte = 0;
    [[maybe_unused]] const ssize_t ignored = ::write(g_wakeWrite, &byte, 1);
}

bool installSignals(int wakePipe[2])
{
    if (::pipe2(wakePipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    g_wakeWrite = wakePipe[1];
    struct sigaction action = {};
    action.sa_handler = onSignal;
    ::sigemptyset(&action.sa_mask);
    for (int signal : { SIGTERM, SIGINT, SIGHUP })
        ::sigaction(signal, &action, nullptr);
    ::signal(SIGPIPE, SIG_IGN);
    return true;
}

// The master end, non-blocking; the slave path goes to slavePath. The slave
// is made raw once and closed again, so that the master sees a hang-up until
// a program opens the device.
int openPseudoTerminal(std::string &slavePath)
{
    RawPty pty;
    if (!openRawPty(pty))
        return -1;
    ::close(pty.slave);
    slavePath = pty.slavePath;
    return pty.master;
}

bool makeLink(const std::string &link, const std::string &target)
{
    struct stat status = {};
    if (::lstat(link.c_str(), &status) == 0) {
        if (!S_ISLNK(status.st_mode)) {
            std::fprintf(stderr, "devicesim: %s exists and is no link\n", link.c_str());
            return false;
        }
        ::unlink(link.c_str());
    }
    if (::symlink(target.c_str(), link.c_str()) != 0) {
        std::fprintf(stderr, "devicesim: %s: %s\n", link.c_str(), std::strerror(errno));
        return false;
    }
    return true;
}

// Removes the link only while it still points at this simulator's device.
void removeLink(const std::string &link, const std::string &target)
{
    char buffer[512] = {};
    const ssize_t size = ::readlink(link.c_str(), buffer, sizeof buffer - 1);
    if (size > 0 && target == std::string(buffer, std::size_t(size)))
        ::unlink(link.c_str());
}

struct Device
{
    int master = -1;
    int record = -1;
    bool echo = false;
    DataSource source;
    std::string pending;
    bool reportedDone = false;
};

void receive(Device &device)
{
    char buffer[kChunk];
    const ssize_t size = ::read(device.master, buffer, sizeof buffer);
    if (size <= 0)
        return;
    if (device.record >= 0 && ::write(device.record, buffer, std::size_t(size)) != size)
        std::fprintf(stderr, "devicesim: recording failed: %s\n", std::strerror(errno));
    if (device.echo)
        device.pending.append(buffer, std::size_t(size));
}

void transmit(Device &device)
{
    if (device.pending.size() < kChunk)
        device.source.take(device.pending, kChunk);
    if (device.pending.empty())
        return;
    const ssize_t size = ::write(device.master, device.pending.data(), device.pending.size());
    if (size > 0)
        device.pending.erase(0, std::size_t(size));
    if (device.source.isDone() && device.source.total() > 0 && device.pending.empty()
        && !device.reportedDone) {
        device.reportedDone = true;
        std::fprintf(stderr, "devicesim: sent %llu bytes\n",
            static_cast<unsigned long long>(device.source.total()));
    }
}

// Runs until a signal arrives on the wake pipe.
void serve(Device &device, int wakeRead)
{
    for (;;) {
        const bool hasOutput = !device.pending.empty() || !device.source.isDone();
        short events = device.pending.size() < kMaxPending ? POLLIN : 0;
        if (hasOutput)
            events |= POLLOUT;
        struct pollfd fds[2] = { { device.master, events, 0 }, { wakeRead, POLLIN, 0 } };
        if (::poll(fds, 2, -1) < 0 && errno != EINTR)
            return;
        if (fds[1].revents & POLLIN)
            return;
        if ((fds[0].revents & POLLHUP) && !(fds[0].revents & POLLIN)) {
            // Nobody has the device open; a hang-up is reported at once on
            // every poll, so wait a little instead of spinning.
            struct pollfd wake = { wakeRead, POLLIN, 0 };
            if (::poll(&wake, 1, kIdlePollMs) > 0)
                return;
            continue;
        }
        if (fds[0].revents & POLLIN)
            receive(device);
        if (fds[0].revents & POLLOUT)
            transmit(device);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    const std::optional<Options> options = parseOptions(argc, argv);
    if (!options)
        return 2;

    Device device;
    device.echo = options->echo;
    if (!device.source.start(*options)) {
        std::fprintf(stderr, "devicesim: %s\n", device.source.errorText().c_str());
        return 1;
    }
    if (!options->recordPath.empty()) {
        device.record
            = ::open(options->recordPath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        if (device.record < 0) {
            std::fprintf(
                stderr, "devicesim: %s: %s\n", options->recordPath.c_str(), std::strerror(errno));
            return 1;
        }
    }
    int wakePipe[2] = { -1, -1 };
    std::string slavePath;
    device.master = openPseudoTerminal(slavePath);
    if (device.master < 0 || !installSignals(wakePipe)) {
        std::fprintf(stderr, "devicesim: no pseudo-terminal: %s\n", std::strerror(errno));
        return 1;
    }
    if (!options->linkPath.empty() && !makeLink(options->linkPath, slavePath))
        return 1;

    std::printf("%s\n", slavePath.c_str());
    std::fflush(stdout);
    serve(device, wakePipe[0]);

    if (!options->linkPath.empty())
        removeLink(options->linkPath, slavePath);
    return 0;
}
