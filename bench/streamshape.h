#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The two kinds of traffic the benchmarks stream: 80-column text lines ending
// in CR LF, and printable bytes that never break a line (the received hex view
// of anything is such an endless line, and so is the text view of this).
class StreamShape
{
public:
    enum class Kind { TextLines, EndlessPrintable };

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
