#pragma once

#include <QtGlobal>
#include <optional>

// The driver's counts of bytes lost before anyone could read them: overrun
// in the UART's receiver and overflow of the driver's own buffer.
struct SerialErrorCounts
{
    quint32 overrun = 0;
    quint32 bufferOverrun = 0;

    friend bool operator==(const SerialErrorCounts &, const SerialErrorCounts &) = default;
};

// Tells from successive readings of the driver's error counts whether data
// were lost since the last look. Only the change matters: what was lost
// before the port was opened belongs to nobody.
class OverrunWatch
{
public:
    // The counts the driver keeps for an open terminal device, or nothing
    // when it keeps none (a pseudo-terminal, a driver without the call).
    static std::optional<SerialErrorCounts> readCounts(int fd);

    // Begins with the counts at opening; without counts there is nothing to watch.
    void start(std::optional<SerialErrorCounts> counts) { m_last = counts; }
    void stop() { m_last.reset(); }
    bool isWatching() const { return m_last.has_value(); }

    // True when either count moved on since the last look. The kernel's
    // counters are plain ints that wrap, so any change is growth. A reading
    // that failed ends the watch: the device has gone or stopped counting.
    bool update(std::optional<SerialErrorCounts> counts);

private:
    std::optional<SerialErrorCounts> m_last;
};
