#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <span>
#include <vector>

// What a search of the traffic or an automation rule looks for: a run of
// bytes in which each position is either a fixed value or any byte at all.
// Read from the input window's hex notation with "??" for any byte, or from a
// text whose letters may match in either case. Reading returns the pattern or
// a reason in the interface's language; nothing here shows a message.
class BytePattern
{
public:
    // One position as a scan compares it: two values, so that a letter in
    // both cases costs no table lookup, and the mark for any byte.
    struct Element
    {
        unsigned char value = 0;
        // The letter's other case in a text read without regard to case; value otherwise.
        unsigned char alternative = 0;
        bool any = false;

        bool accepts(unsigned char byte) const
        {
            return any || byte == value || byte == alternative;
        }
        bool operator==(const Element &) const = default;
    };

    struct ParseResult;

    // The entry read as the input window reads a hex entry to send it (see
    // HexNotation::prepareForSending), with "??" as a whole group for any byte.
    static ParseResult fromHex(QStringView entry);
    // The characters as their Windows-1252 bytes.
    static ParseResult fromText(QStringView text, Qt::CaseSensitivity sensitivity);

    // The empty pattern, which matches nowhere.
    BytePattern() = default;

    qsizetype size() const { return qsizetype(m_elements.size()); }
    bool isEmpty() const { return m_elements.empty(); }
    bool matches(qsizetype index, unsigned char byte) const
    {
        return m_elements[size_t(index)].accepts(byte);
    }
    // Whether the pattern matches the bytes from start on; false when they end before it does.
    bool matchesAt(QByteArrayView bytes, qsizetype start) const
    {
        if (start < 0 || start > bytes.size() - size())
            return false;
        const char *at = bytes.data() + start;
        for (const Element &element : m_elements) {
            if (!element.accepts(static_cast<unsigned char>(*at++)))
                return false;
        }
        return true;
    }
    std::span<const Element> elements() const { return m_elements; }

    // The pattern in the hex notation, "41 ?? 0D ". The notation has no case
    // rule: a letter of a text read without regard to case is written as typed.
    QString toHex() const;

    bool operator==(const BytePattern &) const = default;

private:
    explicit BytePattern(std::vector<Element> elements);

    std::vector<Element> m_elements;
};

struct BytePattern::ParseResult
{
    // Empty when the entry is refused.
    BytePattern pattern;
    // Why the entry is refused, as a sentence for a message box; empty when accepted.
    QString error;
    // Where the entry goes wrong, counted from 1 ("Stelle"); 0 when the
    // refusal concerns the entry as a whole. A hex entry's position counts in
    // normalised, as the input window counts it after putting that form back
    // into its field.
    qsizetype errorPosition = 0;
    // The hex entry as the input window normalises it; empty for a text.
    QString normalised;

    bool ok() const { return error.isEmpty(); }
};
