#include "trafficexport.h"

#include "text/hexnotation.h"

#include <QDateTime>

TrafficExport::TrafficExport(TrafficSnapshot snapshot, Format format)
    : m_snapshot(std::move(snapshot))
    , m_format(format)
{
}

QByteArrayView TrafficExport::next()
{
    m_buffer.clear();
    if (m_done >= total()) {
        // The last line's end, once every byte is out.
        if (m_lineOpen)
            m_buffer.append('\n');
        m_lineOpen = false;
        return m_buffer;
    }
    const QByteArrayView bytes = m_snapshot.contiguousAt(m_done);
    const qint64 from = m_done;
    m_done += bytes.size();
    switch (m_format) {
    case Format::Raw:
        return bytes;
    case Format::Hex:
        appendHex(bytes);
        break;
    case Format::TimedHex:
        appendTimedHex(from, bytes);
        break;
    }
    return m_buffer;
}

void TrafficExport::appendHex(QByteArrayView bytes)
{
    const qsizetype at = m_buffer.size();
    m_buffer.resize(at + 3 * bytes.size());
    char *out = m_buffer.data() + at;
    // The notation's own table, so that the file and the view agree.
    for (const char c : bytes) {
        const auto &group = HexNotation::group(static_cast<unsigned char>(c));
        out[0] = char(group[0]);
        out[1] = char(group[1]);
        out[2] = char(group[2]);
        out += 3;
    }
}

void TrafficExport::appendTimedHex(qint64 from, QByteArrayView bytes)
{
    // A block of the snapshot is a chunk of its arrival record: walk the reads
    // that fall into it, each up to where the next one starts.
    const ArrivalTimes::Chunk *reads = m_snapshot.arrivalsAt(from);
    const qint64 blockStart = from - from % TrafficSnapshot::kBlockSize;
    const qint64 end = from + bytes.size();
    for (qsizetype i = reads ? reads->entryAt(from - blockStart) : 0; reads && i < reads->count();
         ++i) {
        const qint64 start = std::max(blockStart + reads->start(i), from);
        const qint64 stop = i + 1 < reads->count() ? blockStart + reads->start(i + 1) : end;
        if (start >= end)
            break;
        const qint64 msecs = reads->msecs(i);
        const qint64 gap = msecs - m_lastMsecs;
        if (!m_lineOpen || gap >= kBurstGapMsecs || gap < 0) {
            if (m_lineOpen)
                m_buffer.append('\n');
            m_buffer.append(timeOfDay(msecs).toLatin1());
            m_buffer.append("  ");
            m_lineOpen = true;
        }
        m_lastMsecs = msecs;
        appendHex(bytes.sliced(start - from, std::min(stop, end) - start));
    }
}

QByteArray TrafficExport::whole(const TrafficSnapshot &snapshot, Format format)
{
    TrafficExport out(snapshot, format);
    QByteArray bytes;
    while (!out.atEnd())
        bytes.append(out.next());
    return bytes;
}

QString TrafficExport::timeOfDay(qint64 msecs)
{
    return QDateTime::fromMSecsSinceEpoch(msecs).toString(QStringLiteral("hh:mm:ss,zzz"));
}
