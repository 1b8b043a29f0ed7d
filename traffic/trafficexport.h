#pragma once

#include "trafficsnapshot.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// What a save of traffic writes, produced piece by piece from a snapshot so
// that a writer can stop between pieces and tell how far it got.
//
// Raw: the bytes themselves. Hex: the hex byte notation of them all, exactly
// the text the received-data window's hex view holds ("41 0D 0A "), with no
// line break. TimedHex: one line per burst, a burst being reads that each
// arrived less than 100 ms after the one before; each line is the arrival
// time of its first read ("hh:mm:ss,mmm", the machine's local time), two
// blanks, the burst's bytes in the hex byte notation, and LF.
class TrafficExport
{
public:
    enum class Format { Raw, Hex, TimedHex };

    static constexpr qint64 kBurstGapMsecs = 100;

    TrafficExport(TrafficSnapshot snapshot, Format format);

    // Bytes of the snapshot turned into output so far, and in all.
    qint64 done() const { return m_done; }
    qint64 total() const { return m_snapshot.size(); }
    bool atEnd() const { return m_done >= total() && !m_lineOpen; }

    // The output for the next block of the snapshot (at most 64 KiB of its
    // bytes); valid until the next call. Empty at the end.
    QByteArrayView next();

    // The whole output at once, for small snapshots and tests.
    static QByteArray whole(const TrafficSnapshot &snapshot, Format format);
    // "hh:mm:ss,mmm" of a time in milliseconds since 1970, in local time.
    static QString timeOfDay(qint64 msecs);

private:
    void appendHex(QByteArrayView bytes);
    void appendTimedHex(qint64 from, QByteArrayView bytes);

    TrafficSnapshot m_snapshot;
    Format m_format;
    qint64 m_done = 0;
    QByteArray m_buffer;
    // TimedHex: a line has been started and still needs its LF.
    bool m_lineOpen = false;
    qint64 m_lastMsecs = 0;
};
