#include "modemlinewatch.h"

#include "linebits.h"

#include <cerrno>
#include <csignal>
#include <linux/serial.h>
#include <mutex>
#include <pthread.h>
#include <sys/ioctl.h>

namespace {

static_assert(LineBits::kDtr == TIOCM_DTR && LineBits::kRts == TIOCM_RTS
    && LineBits::kCts == TIOCM_CTS && LineBits::kDcd == TIOCM_CAR && LineBits::kRi == TIOCM_RNG
    && LineBits::kDsr == TIOCM_DSR);

constexpr unsigned long kWaitMask = TIOCM_CTS | TIOCM_DSR | TIOCM_CAR | TIOCM_RNG;

// The signal that wakes the thread from the driver's wait. Its handler does
// nothing; being installed without SA_RESTART is what makes the wait return.
int wakeSignal()
{
    return SIGRTMIN + 4;
}

void installWakeHandler()
{
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction action = {};
        action.sa_handler = [](int) {};
        sigemptyset(&action.sa_mask);
        action.sa_flags = 0;
        ::sigaction(wakeSignal(), &action, nullptr);
    });
}

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
    installWakeHandler();
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
    // The signal may come just before the thread enters the wait, and be
    // lost; it is sent again until the thread has seen the flag.
    while (!m_finished) {
        ::pthread_kill(m_thread.native_handle(), wakeSignal());
        for (int i = 0; i < 50 && !m_finished; ++i)
            std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    m_thread.join();
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
        if (::ioctl(fd, TIOCMIWAIT, kWaitMask) != 0 && errno != EINTR) {
            const int error = errno;
            post([this, error] { Q_EMIT failed(error); });
            break;
        }
    }
    m_finished = true;
}
