#pragma once

#include <QChar>
#include <QString>

class TrafficLog;

// How a view turns a log's bytes into characters, and what copying yields.
//
// Characters: one character per byte, the byte's Windows-1252 character.
// Hex: the hex byte notation, three characters per byte ("41 ").
//
// Positions in the rendered text are qint64 character offsets. In the
// Characters rendering they equal byte offsets, so CR and LF are part of the
// text although no cell shows them.
class TrafficRendering
{
public:
    enum class Kind { Characters, Hex };
    // Whether byte 0 is the full stop the received-data window shows for it,
    // or the NUL character like every other control code.
    enum class ZeroByte { Control, FullStop };

    TrafficRendering() = default;
    explicit TrafficRendering(Kind kind, ZeroByte zero = ZeroByte::Control)
        : m_kind(kind)
        , m_zero(zero)
    {
    }

    Kind kind() const { return m_kind; }
    ZeroByte zeroByte() const { return m_zero; }
    int charactersPerByte() const { return m_kind == Kind::Hex ? 3 : 1; }

    qint64 length(const TrafficLog &log) const;
    // The rendered characters from position from up to to, exactly as a copy
    // yields them: real control characters, not the symbols drawn for them.
    QString text(const TrafficLog &log, qint64 from, qint64 to) const;

    // The character a byte stands for in the Characters rendering.
    QChar character(unsigned char byte) const;
    // What a cell shows for a byte in the Characters rendering: its character,
    // or a visible symbol for a control code (U+2400 block: NUL to US, DEL),
    // U+FFFD for the five codes Windows-1252 leaves undefined.
    QChar symbol(unsigned char byte) const;
    static QChar hexDigit(int nibble);

    bool operator==(const TrafficRendering &) const = default;

private:
    void writeCharacters(const TrafficLog &log, qint64 from, qint64 to, QChar *out) const;
    void writeHex(const TrafficLog &log, qint64 from, qint64 to, QChar *out) const;

    Kind m_kind = Kind::Characters;
    ZeroByte m_zero = ZeroByte::Control;
};
