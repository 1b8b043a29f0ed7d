#include "modemlinewatch.h"

#include "linebits.h"
#include "threadwake.h"

#include <cerrno>
#include <ctime>
#include <linux/serial.h>
#include <sys/ioctl.h>

namespace {

static_assert(LineBits::kDtr == TIOCM_DTR && LineBits::kRts == TIOCM_RTS
    && LineBits::kCts == TIOCM_CTS && LineBits::kDcd == TIOCM_CAR && LineBits::kRi == TIOCM_RNG
    && LineBits::kDsr == TIOCM_DSR);

constexpr unsigned long kWaitMask = TIOCM_CTS | TIOCM_DSR | TIOCM_CAR | TIOCM_RNG;
// For drivers that cannot wait for a change: fast enough for a lamp, rare
// enough to cost next to nothing.
constexpr long kPollMs = 100;

bool sameCounts(const serial_icounter_struct &a, const serial_icounter_struct &b)
{
    return a.cts == b.cts && a.dsr == b.dsr && a.rng == b.rng && a.dcd == b.dcd;
}

} // namespace

ModemLineWatch::ModemLineWatch(QObject *parent)
    : QObject(parent)
{
}

ModemLineWatch::~ModemLineWatch()
{
    stop();
}

void ModemLineWatch::start(int fd)
{
    stop();
    ThreadWake::prepare();
    m_stopping = false;
    m_finished = false;
    const int generation = ++m_generation;
    m_thread = std::thread([this, fd, generation] { run(fd, generation); });
}

void ModemLineWatch::stop()
{
    ++m_generation;
    if (!m_thread.joinable())
        return;
    m_stopping = true;
    ThreadWake::stopAndJoin(m_thread, m_finished);
}

void ModemLineWatch::run(int fd, int generation)
{
    const auto post = [this, generation](auto emitter) {
        QMetaObject::invokeMethod(
            this,
            [this, generation, emitter] {
                if (generation == m_generation)
                    emitter();
            },
            Qt::QueuedConnection);
    };
    int last = -1;
    bool polling = false;
    while (!m_stopping) {
        // A change between reading the lines and entering the wait would
        // wait for the next one; the driver's counts of changes show it.
        serial_icounter_struct before = {};
        const bool counted = ::ioctl(fd, TIOCGICOUNT, &before) == 0;
        int bits = 0;
        if (::ioctl(fd, TIOCMGET, &bits) != 0) {
            const int error = errno;
            post([this, error] { Q_EMIT failed(error); });
            break;
        }
        if (bits != last) {
            last = bits;
            post([this, bits] { Q_EMIT linesChanged(bits); });
        }
        serial_icounter_struct after = {};
        if (counted && ::ioctl(fd, TIOCGICOUNT, &after) == 0 && !sameCounts(before, after))
            continue;
        if (m_stopping)
            break;
        if (polling) {
            // nanosleep returns early, with EINTR, when the thread is woken.
            const timespec pause = { 0, kPollMs * 1000000L };
            ::nanosleep(&pause, nullptr);
            continue;
        }
        if (::ioctl(fd, TIOCMIWAIT, kWaitMask) != 0 && errno != EINTR) {
            const int error = errno;
            // Some USB bridges (CP210x) read and set the lines but cannot
            // wait for a change; they are looked at a few times a second.
            if (error == ENOTTY || error == EINVAL || error == EOPNOTSUPP) {
                polling = true;
                continue;
            }
            post([this, error] { Q_EMIT failed(error); });
            break;
        }
    }
    m_finished = true;
}
