// Any bytes, in any split into reads, must give the received-data window the
// same log as one read: the same characters (byte 0 as a full stop), the same
// hex notation with exactly three characters per byte, one character per byte
// in the text, and the same line index, also when reads and a CR LF pair
// straddle the boundary between two of the log's blocks.
//
// Input: an options byte, a count byte, that many read lengths, two bytes that
// pick a range to copy, then the bytes received.

#include "fuzzcheck.h"
#include "text/cp1252.h"
#include "traffic/trafficlog.h"
#include "traffic/trafficrendering.h"

#include <QList>
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

namespace {

using Kind = TrafficRendering::Kind;
using ZeroByte = TrafficRendering::ZeroByte;

struct Plan
{
    // Bytes received before the fuzzed ones, to put them near a block boundary.
    QByteArray filler;
    QList<qsizetype> reads;
    std::uint8_t rangeFrom = 0;
    std::uint8_t rangeLength = 0;
    QByteArrayView received;
};

Plan planFrom(QByteArrayView input)
{
    Plan plan;
    qsizetype pos = 0;
    const auto next = [&]() -> std::uint8_t {
        return pos < input.size() ? static_cast<std::uint8_t>(input[pos++]) : 0;
    };
    const std::uint8_t options = next();
    if (options & 0x80) {
        plan.filler = QByteArray(TrafficLog::kBlockSize - (options & 0x3F), 'x');
        if (options & 0x40)
            plan.filler.back() = '\r';
    }
    const int readCount = next() % 32;
    for (int i = 0; i < readCount; ++i)
        plan.reads.append(next());
    plan.rangeFrom = next();
    plan.rangeLength = next();
    plan.received = input.sliced(std::min(pos, input.size()));
    return plan;
}

// The renderings and line starts of a byte string, worked out the slow and obvious way.
QString expectedCharacters(QByteArrayView bytes, ZeroByte zero)
{
    QString text;
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        text += b == 0 && zero == ZeroByte::FullStop ? QChar(u'.') : Cp1252::toChar(b);
    }
    return text;
}

QString expectedHex(QByteArrayView bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    QString text;
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        text += QLatin1Char(digits[b >> 4]);
        text += QLatin1Char(digits[b & 0xF]);
        text += QLatin1Char(' ');
    }
    return text;
}

// Lines start only at or after from: the filler before it holds no line end.
QList<qint64> expectedStarts(QByteArrayView bytes, qint64 from)
{
    QList<qint64> starts { 0 };
    for (qsizetype i = from; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            continue;
        if (bytes[i] == '\r' || bytes[i] == '\n')
            starts.append(i + 1);
    }
    return starts;
}

QByteArray describe(const Plan &plan, const char *which)
{
    QByteArray reads;
    for (qsizetype n : plan.reads)
        reads += QByteArray::number(n) + ' ';
    return QByteArray(which) + " log; filler " + QByteArray::number(plan.filler.size()) + ", reads "
        + reads + ", received " + escaped(plan.received);
}

void checkRendering(const TrafficLog &log, const TrafficRendering &rendering,
    const QString &expected, qint64 firstByte, const Plan &plan, const QByteArray &what)
{
    const int per = rendering.charactersPerByte();
    FUZZ_CHECK(per == (rendering.kind() == Kind::Hex ? 3 : 1), what);
    FUZZ_CHECK(rendering.length(log) == log.size() * per, what);
    const qint64 from = firstByte * per;
    const qint64 end = rendering.length(log);
    const QString text = rendering.text(log, from, end);
    FUZZ_CHECK(text == expected,
        what + "\n   rendered " + escaped(text) + "\n   expected " + escaped(expected));

    // A copy of any range is the same part of the whole rendering.
    const qint64 a = from + plan.rangeFrom % (end - from + 1);
    const qint64 b = std::min(end, a + plan.rangeLength);
    FUZZ_CHECK(rendering.text(log, a, b) == expected.mid(a - from, b - a),
        what + "\n   range " + QByteArray::number(a) + " to " + QByteArray::number(b));
    FUZZ_CHECK(rendering.text(log, b, a).isEmpty(), what);
    if (firstByte == 0)
        FUZZ_CHECK(rendering.text(log, -5, end + 7) == expected, what);
}

void checkLines(
    const TrafficLog &log, const QByteArray &bytes, qint64 firstByte, const QByteArray &what)
{
    const QList<qint64> starts = expectedStarts(bytes, firstByte);
    FUZZ_CHECK(log.lineCount() == starts.size(),
        what + "\n   " + QByteArray::number(log.lineCount()) + " lines, expected "
            + QByteArray::number(starts.size()));
    for (qsizetype line = 0; line < starts.size(); ++line) {
        const qint64 start = starts[line];
        const qint64 next = line + 1 < starts.size() ? starts[line + 1] : -1;
        const qint64 endExpected = next < 0                                           ? bytes.size()
            : next - 2 >= start && bytes[next - 1] == '\n' && bytes[next - 2] == '\r' ? next - 2
                                                                                      : next - 1;
        FUZZ_CHECK(log.lineStart(line) == start,
            what + "\n   line " + QByteArray::number(line) + " starts at "
                + QByteArray::number(log.lineStart(line)) + ", expected "
                + QByteArray::number(start));
        FUZZ_CHECK(log.lineEnd(line) == endExpected,
            what + "\n   line " + QByteArray::number(line) + " ends at "
                + QByteArray::number(log.lineEnd(line)) + ", expected "
                + QByteArray::number(endExpected));
    }
    for (qint64 offset = firstByte; offset <= bytes.size(); ++offset) {
        const qint64 expected
            = std::upper_bound(starts.begin(), starts.end(), offset) - starts.begin() - 1;
        FUZZ_CHECK(log.lineOf(offset) == expected,
            what + "\n   offset " + QByteArray::number(offset) + " in line "
                + QByteArray::number(log.lineOf(offset)) + ", expected "
                + QByteArray::number(expected));
    }
    std::array<qint64, 5> window {};
    for (qsizetype first = 0; first < starts.size(); ++first) {
        const qsizetype n = log.lineStarts(first, window);
        FUZZ_CHECK(n == std::min<qsizetype>(window.size(), starts.size() - first), what);
        for (qsizetype i = 0; i < n; ++i)
            FUZZ_CHECK(window[size_t(i)] == starts[first + i], what);
    }
}

void checkLog(const TrafficLog &log, const QByteArray &bytes, const Plan &plan, const char *which)
{
    const QByteArray what = describe(plan, which);
    FUZZ_CHECK(log.size() == bytes.size(), what);
    // The filler is plain and large: the checks look at what follows its last bytes.
    const qint64 firstByte = std::max<qint64>(0, plan.filler.size() - 8);
    const QByteArrayView tail = QByteArrayView(bytes).sliced(firstByte);
    FUZZ_CHECK(log.bytes(firstByte, tail.size()) == tail, what);

    checkRendering(log, TrafficRendering(Kind::Characters, ZeroByte::FullStop),
        expectedCharacters(tail, ZeroByte::FullStop), firstByte, plan,
        what + ", characters with full stop");
    checkRendering(log, TrafficRendering(Kind::Characters, ZeroByte::Control),
        expectedCharacters(tail, ZeroByte::Control), firstByte, plan, what + ", characters");
    checkRendering(
        log, TrafficRendering(Kind::Hex), expectedHex(tail), firstByte, plan, what + ", hex");
    checkLines(log, bytes, firstByte, what);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const Plan plan
        = planFrom(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));
    const QByteArray bytes = plan.filler + plan.received.toByteArray();

    TrafficLog whole;
    whole.append(plan.filler);
    whole.append(plan.received);

    TrafficLog split;
    split.append(plan.filler);
    qsizetype done = 0;
    for (qsizetype length : plan.reads) {
        const qsizetype n = std::min(length, plan.received.size() - done);
        split.append(plan.received.sliced(done, n));
        done += n;
    }
    split.append(plan.received.sliced(done));

    checkLog(whole, bytes, plan, "one-read");
    checkLog(split, bytes, plan, "split");

    const qint64 firstByte = std::max<qint64>(0, plan.filler.size() - 8);
    for (const TrafficRendering rendering :
        { TrafficRendering(Kind::Characters, ZeroByte::FullStop), TrafficRendering(Kind::Hex) }) {
        const qint64 from = firstByte * rendering.charactersPerByte();
        FUZZ_CHECK(rendering.text(split, from, rendering.length(split))
                == rendering.text(whole, from, rendering.length(whole)),
            describe(plan, "split and one-read"));
    }
    return 0;
}
