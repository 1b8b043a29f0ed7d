#include "repeatrun.h"

#include <QSocketNotifier>
#include <cstdint>
#include <ctime>
#include <sys/timerfd.h>
#include <unistd.h>

namespace {

timespec fromNanoseconds(std::int64_t ns)
{
    return { time_t(ns / 1'000'000'000), long(ns % 1'000'000'000) };
}

std::int64_t monotonicNow()
{
    timespec now {};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return std::int64_t(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

} // namespace

RepeatRun::RepeatRun(Send send, QObject *parent)
    : QObject(parent)
    , m_send(std::move(send))
{
}

RepeatRun::~RepeatRun()
{
    delete m_notifier;
    if (m_fd >= 0)
        ::close(m_fd);
}

void RepeatRun::start(RoutinesSettings::Repeat repeat)
{
    stop();
    // The schedule starts now: the first send may take a while (the sent-data
    // window loads with its first echo), which must not move the ones after it.
    const std::int64_t origin = monotonicNow();
    m_running = true;
    m_count = repeat.count;
    m_sent = 0;
    m_skipped = 0;
    attempt();
    if (m_running && !arm(repeat.intervalMs, origin))
        m_running = false;
    emit changed();
}

void RepeatRun::stop()
{
    if (!m_running)
        return;
    m_running = false;
    if (m_fd >= 0) {
        const itimerspec off {};
        ::timerfd_settime(m_fd, 0, &off, nullptr);
        m_notifier->setEnabled(false);
    }
    emit changed();
}

bool RepeatRun::arm(int intervalMs, std::int64_t origin)
{
    if (m_fd < 0) {
        m_fd = ::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
        if (m_fd < 0)
            return false;
        m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read);
        connect(m_notifier, &QSocketNotifier::activated, this, &RepeatRun::onDue);
    }
    // Expirations of an earlier run that were not read yet do not count.
    std::uint64_t stale = 0;
    (void)!::read(m_fd, &stale, sizeof stale);
    const std::int64_t interval = std::int64_t(intervalMs) * 1'000'000;
    // Slots that passed during a long first send show as expirations at once.
    const itimerspec schedule { fromNanoseconds(interval), fromNanoseconds(origin + interval) };
    if (::timerfd_settime(m_fd, TFD_TIMER_ABSTIME, &schedule, nullptr) != 0)
        return false;
    m_notifier->setEnabled(true);
    return true;
}

void RepeatRun::onDue()
{
    std::uint64_t expirations = 0;
    if (::read(m_fd, &expirations, sizeof expirations) != sizeof expirations || !m_running)
        return;
    // Slots that passed while the program was busy elsewhere are skipped:
    // only the latest one is sent, on time for the ones after it.
    m_skipped += qint64(expirations) - 1;
    attempt();
    emit changed();
}

void RepeatRun::attempt()
{
    switch (m_send()) {
    case Attempt::Sent:
        ++m_sent;
        if (m_count > 0 && m_sent >= m_count)
            stop();
        break;
    case Attempt::Skipped:
        ++m_skipped;
        break;
    case Attempt::Refused:
        stop();
        break;
    }
}
