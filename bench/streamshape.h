#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The kinds of traffic the benchmarks stream: 80-column text lines ending in
// CR LF, printable bytes that never break a line (the received hex view of
// anything is such an endless line, and so is the text view of this), and
// binary: every byte value, with the sequences a Telnet or a line discipline
// would take for its own (FF alone and in runs, FF FA ... FF F0, CR NUL, CR LF)
// strewn in, for a path that must pass each byte unchanged.
class StreamShape
{
public:
    enum class Kind { TextLines, EndlessPrintable, Binary };

    explicit StreamShape(Kind kind);

    Kind kind() const { return m_kind; }
    QString name() const;
    // The count bytes of the stream from offset on, count at most 64 KiB.
    QByteArrayView bytes(qint64 offset, qint64 count) const;

private:
    Kind m_kind;
    QByteArray m_pattern; // one period of the stream, plus room to read past its end
    qint64 m_period = 0;
};
