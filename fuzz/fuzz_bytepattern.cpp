// Any text as a search pattern, and any bytes searched for any pattern in any
// split. Reading never fails other than with a reason; a hex pattern agrees
// with the input window's send check and survives being written and read
// again; a text pattern is its Windows-1252 bytes. And the stream matcher,
// fed in the pieces the input chooses, the block search in both directions
// and the search over blocks of a size the input chooses all find exactly
// what a slow search finds.

#include "fuzzcheck.h"
#include "text/blocklistsearch.h"
#include "text/blocksearch.h"
#include "text/bytepattern.h"
#include "text/casefold.h"
#include "text/cp1252.h"
#include "text/hexnotation.h"
#include "text/patternsetmatcher.h"
#include "text/streammatcher.h"

#include <QList>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>

namespace {

using Starts = QList<qint64>;

QByteArray describe(const BytePattern::ParseResult &parsed)
{
    return "pattern " + parsed.pattern.toHex().toLatin1() + ", error " + parsed.error.toUtf8()
        + " at " + QByteArray::number(parsed.errorPosition);
}

void checkHexEntry(const QString &entry)
{
    const BytePattern::ParseResult parsed = BytePattern::fromHex(entry);
    // Written out only when a property breaks: escaping every input costs
    // more than checking it.
    const auto what = [&] { return "entry " + escaped(entry) + ": " + describe(parsed); };
    FUZZ_CHECK(parsed.normalised == HexNotation::normalise(entry), what());
    FUZZ_CHECK(parsed.ok() == !parsed.pattern.isEmpty(), what());
    const HexNotation::SendForm sent = HexNotation::prepareForSending(entry);
    if (parsed.ok()) {
        bool anyFixed = false;
        for (const BytePattern::Element &element : parsed.pattern.elements()) {
            FUZZ_CHECK(element.alternative == element.value, what());
            anyFixed = anyFixed || !element.any;
        }
        FUZZ_CHECK(anyFixed, what());
        const BytePattern::ParseResult again = BytePattern::fromHex(parsed.pattern.toHex());
        FUZZ_CHECK(again.ok() && again.pattern == parsed.pattern,
            what() + ", written and read again: " + describe(again));
    } else {
        FUZZ_CHECK(
            parsed.errorPosition >= 0 && parsed.errorPosition <= parsed.normalised.size(), what());
        FUZZ_CHECK(parsed.errorPosition == 0 || (parsed.errorPosition - 1) % 3 == 0, what());
    }
    // Without a ?, the pattern is what the input window would send, refused
    // where the input window refuses, at the same group.
    if (!entry.contains(u'?') && parsed.normalised != u" ") {
        FUZZ_CHECK(parsed.ok() == sent.ok(), what());
        if (parsed.ok()) {
            FUZZ_CHECK(parsed.pattern.toHex() == HexNotation::write(sent.bytes), what());
        } else {
            FUZZ_CHECK(parsed.errorPosition == sent.formatErrorAt + 1, what());
        }
    }
}

void checkText(const QString &text, Qt::CaseSensitivity sensitivity)
{
    const BytePattern::ParseResult parsed = BytePattern::fromText(text, sensitivity);
    const auto what = [&] { return "text " + escaped(text) + ": " + describe(parsed); };
    if (text.isEmpty() || !Cp1252::isEncodable(text)) {
        FUZZ_CHECK(!parsed.ok() && parsed.pattern.isEmpty(), what());
        if (!text.isEmpty()) {
            const qsizetype at = parsed.errorPosition - 1;
            FUZZ_CHECK(at >= 0 && at < text.size() && !Cp1252::isEncodable(text[at])
                    && Cp1252::isEncodable(QStringView(text).first(at)),
                what());
        }
        return;
    }
    FUZZ_CHECK(parsed.ok() && parsed.pattern.size() == text.size(), what());
    const QByteArray bytes = Cp1252::fromUnicode(text);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const BytePattern::Element &element = parsed.pattern.elements()[size_t(i)];
        const auto value = static_cast<unsigned char>(bytes[i]);
        FUZZ_CHECK(element.value == value && !element.any, what());
        FUZZ_CHECK(element.alternative
                == (sensitivity == Qt::CaseInsensitive ? CaseFold::otherCase(value) : value),
            what());
    }
}

// What the input asks to be searched for, and how: read from its head.
struct SearchCase
{
    QList<int> values; // -1: any byte
    bool anyCase = false;
    QList<qsizetype> cuts;
    qint64 blockSize = 1;
    QByteArrayView bytes;
};

// Options, a pattern length, the pattern, a wildcard mask, cut lengths, then
// the bytes searched. A text pattern in either case has no wildcards.
std::optional<SearchCase> readSearchCase(QByteArrayView input)
{
    if (input.size() < 5)
        return std::nullopt;
    const auto byteAt = [&](qsizetype i) { return static_cast<unsigned char>(input[i]); };
    SearchCase c;
    c.anyCase = byteAt(0) & 1;
    c.blockSize = 1 + (byteAt(0) >> 1) % 64;
    const qsizetype length = 1 + byteAt(1) % 16;
    qsizetype at = 2;
    if (input.size() < at + length + 3)
        return std::nullopt;
    const unsigned mask = c.anyCase ? 0 : byteAt(at + length) | byteAt(at + length + 1) << 8;
    for (qsizetype i = 0; i < length; ++i)
        c.values.append((mask >> i) & 1 ? -1 : byteAt(at + i));
    at += length + 2;
    const int cutCount = byteAt(at++) % 16;
    QList<qsizetype> lengths;
    for (int i = 0; i < cutCount && at < input.size(); ++i)
        lengths.append(byteAt(at++));
    c.bytes = input.sliced(at);
    qsizetype cut = 0;
    for (qsizetype piece : lengths) {
        cut = std::min(cut + piece, c.bytes.size());
        c.cuts.append(cut);
    }
    return c;
}

BytePattern build(const SearchCase &c)
{
    if (c.anyCase) {
        QByteArray bytes;
        for (int value : c.values)
            bytes.append(char(value));
        return BytePattern::fromText(Cp1252::toUnicode(bytes), Qt::CaseInsensitive).pattern;
    }
    QString entry;
    for (int value : c.values)
        entry += value < 0 ? QStringLiteral("?? ") : HexNotation::write(QByteArray(1, char(value)));
    return BytePattern::fromHex(entry).pattern;
}

// Case compared through Qt's lower case of the characters, not the pattern's table.
Starts slowSearch(const SearchCase &c)
{
    Starts starts;
    const qsizetype n = c.values.size();
    for (qsizetype start = 0; start + n <= c.bytes.size(); ++start) {
        bool all = true;
        for (qsizetype i = 0; i < n && all; ++i) {
            const int value = c.values[i];
            const auto byte = static_cast<unsigned char>(c.bytes[start + i]);
            all = value < 0 || value == byte
                || (c.anyCase
                    && Cp1252::toChar(byte).toLower()
                        == Cp1252::toChar(static_cast<unsigned char>(value)).toLower());
        }
        if (all)
            starts.append(start);
    }
    return starts;
}

void checkSearch(const SearchCase &c)
{
    const BytePattern pattern = build(c);
    if (pattern.isEmpty())
        return; // only ??: refused, checked with the hex entries
    const Starts expected = slowSearch(c);
    const auto what = [&] {
        return "pattern " + pattern.toHex().toLatin1() + (c.anyCase ? " in either case" : "")
            + " in " + escaped(c.bytes);
    };

    StreamMatcher matcher(pattern);
    Starts streamed;
    qsizetype from = 0;
    for (qsizetype cut : c.cuts + QList<qsizetype> { c.bytes.size() }) {
        matcher.feed(c.bytes.sliced(from, cut - from),
            [&](qint64 end) { streamed.append(end - pattern.size() + 1); });
        from = cut;
    }
    FUZZ_CHECK(streamed == expected, what() + " streamed in pieces");

    // Twice in a set, around an empty pattern: each finds what it finds alone.
    PatternSetMatcher set({ pattern, BytePattern(), pattern });
    QList<std::pair<qint64, int>> inSet;
    from = 0;
    for (qsizetype cut : c.cuts + QList<qsizetype> { c.bytes.size() }) {
        set.feed(c.bytes.sliced(from, cut - from), [&](int index, qint64 end) {
            inSet.append({ end, index });
        });
        from = cut;
    }
    QList<std::pair<qint64, int>> expectedInSet;
    for (qint64 start : expected)
        expectedInSet << std::pair(start + pattern.size() - 1, 0)
                      << std::pair(start + pattern.size() - 1, 2);
    FUZZ_CHECK(inSet == expectedInSet, what() + " in a set of patterns");

    const BlockSearch search(pattern);
    Starts forward;
    for (qsizetype at = search.find(c.bytes); at >= 0; at = search.find(c.bytes, at + 1))
        forward.append(at);
    FUZZ_CHECK(forward == expected, what() + " forward");
    Starts backward;
    for (qsizetype at = search.findLast(c.bytes, c.bytes.size()); at >= 0;
         at = search.findLast(c.bytes, at))
        backward.prepend(at);
    FUZZ_CHECK(backward == expected, what() + " backward");

    const BlockListSearch blocks(pattern, c.blockSize);
    const auto contiguousAt = [&](qint64 offset) {
        return c.bytes.sliced(
            offset, std::min<qint64>(c.blockSize - offset % c.blockSize, c.bytes.size() - offset));
    };
    Starts inBlocks;
    for (qint64 at = blocks.find(contiguousAt, c.bytes.size(), 0); at >= 0;
         at = blocks.find(contiguousAt, c.bytes.size(), at + 1))
        inBlocks.append(at);
    FUZZ_CHECK(inBlocks == expected, what() + " in blocks of " + QByteArray::number(c.blockSize));
    Starts inBlocksBackward;
    for (qint64 at = blocks.findLast(contiguousAt, c.bytes.size(), c.bytes.size()); at >= 0;
         at = blocks.findLast(contiguousAt, c.bytes.size(), at))
        inBlocksBackward.prepend(at);
    FUZZ_CHECK(inBlocksBackward == expected,
        what() + " backward in blocks of " + QByteArray::number(c.blockSize));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView input(reinterpret_cast<const char *>(data), qsizetype(size));
    // One byte per character reaches digits, blanks and ? easily; the same
    // bytes as UTF-16 bring in every character a paste can put into a field.
    const QString oneBytePerCharacter
        = Cp1252::toUnicode(input.first(std::min<qsizetype>(size, 256)));
    QString utf16(qsizetype(std::min<std::size_t>(size, 512) / 2), Qt::Uninitialized);
    std::memcpy(utf16.data(), data, size_t(utf16.size()) * sizeof(QChar));
    for (const QString &entry : { oneBytePerCharacter, utf16 }) {
        checkHexEntry(entry);
        checkText(entry, Qt::CaseSensitive);
        checkText(entry, Qt::CaseInsensitive);
    }
    if (const std::optional<SearchCase> search = readSearchCase(input))
        checkSearch(*search);
    return 0;
}
