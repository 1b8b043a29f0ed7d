// How fast a pattern is found in, or shown absent from, a gigabyte of
// traffic: one contiguous block searched forward, the same bytes in the
// traffic log's 64 KiB blocks searched forward and backward, and the stream
// matcher fed 4 KiB reads as the port delivers them. `grep -c -F` over the
// same bytes in a file is the yardstick for the patterns it can express.
//
//   bench_pattern [megabytes] [rounds]        (default 1024 and 3; the best round counts)

#include "grepfixed.h"
#include "text/blocklistsearch.h"
#include "text/blocksearch.h"
#include "text/bytepattern.h"
#include "text/cp1252.h"
#include "text/streammatcher.h"
#include "traffictext.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

namespace {

constexpr qint64 kBlockSize = 64 * 1024;
constexpr qsizetype kReadSize = 4096;

QByteArray randomBytes(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator(11).fillRange(reinterpret_cast<quint32 *>(bytes.data()), size / 4);
    return bytes;
}

// The best of rounds, in seconds.
double bestOf(int rounds, const std::function<void()> &work)
{
    double best = 1e9;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        work();
        best = std::min(best, timer.nsecsElapsed() / 1e9);
    }
    return best;
}

QString cell(double seconds, qsizetype bytes)
{
    return QString::asprintf("%.3f s (%.1f GB/s)", seconds, bytes / seconds / 1e9);
}

struct Case
{
    const char *name;
    BytePattern pattern;
    // The bytes grep -F is to look for, with -i for either case; empty when
    // grep cannot look for the pattern: it has ?? or a line feed, which ends
    // grep's lines rather than being found in them.
    QByteArray fixed;
    bool anyCase = false;
};

Case textCase(const char *name, const char *text, Qt::CaseSensitivity sensitivity)
{
    const QString characters = QString::fromUtf8(text);
    return { name, BytePattern::fromText(characters, sensitivity).pattern,
        Cp1252::fromUnicode(characters), sensitivity == Qt::CaseInsensitive };
}

Case hexCase(const char *name, const char *entry)
{
    const BytePattern pattern = BytePattern::fromHex(QString::fromLatin1(entry)).pattern;
    QByteArray fixed;
    for (const BytePattern::Element &element : pattern.elements())
        fixed.append(char(element.value));
    const bool grepCan = !QString::fromLatin1(entry).contains(u'?') && !fixed.contains('\n');
    return { name, pattern, grepCan ? fixed : QByteArray() };
}

void measure(const char *dataName, const QByteArray &bytes, const QList<Case> &cases, int rounds)
{
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("bytes"));
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(file));
    out.close();

    const QByteArrayView all(bytes);
    const auto contiguousAt = [&](qint64 offset) {
        return all.sliced(offset, std::min(kBlockSize - offset % kBlockSize, all.size() - offset));
    };
    std::printf("\n%s, %lld MiB\n", dataName, static_cast<long long>(bytes.size() >> 20));
    std::printf("| pattern | anchor | matches | one block, forward | 64 KiB blocks, forward | "
                "64 KiB blocks, backward | stream, 4 KiB reads | grep -c -F |\n");
    for (const Case &c : cases) {
        const BlockSearch search(c.pattern);
        const BlockListSearch blocks(c.pattern, kBlockSize);
        qint64 matches = 0;
        const double forward = bestOf(rounds, [&] {
            matches = 0;
            for (qsizetype at = search.find(all); at >= 0; at = search.find(all, at + 1))
                ++matches;
        });
        const double blocksForward = bestOf(rounds, [&] {
            for (qint64 at = blocks.find(contiguousAt, all.size(), 0); at >= 0;
                 at = blocks.find(contiguousAt, all.size(), at + 1)) { }
        });
        const double blocksBackward = bestOf(rounds, [&] {
            for (qint64 at = blocks.findLast(contiguousAt, all.size(), all.size()); at >= 0;
                 at = blocks.findLast(contiguousAt, all.size(), at)) { }
        });
        qint64 streamMatches = 0;
        const double stream = bestOf(rounds, [&] {
            StreamMatcher matcher(c.pattern);
            streamMatches = 0;
            for (qsizetype at = 0; at < all.size(); at += kReadSize)
                matcher.feed(all.sliced(at, std::min(kReadSize, all.size() - at)),
                    [&](qint64) { ++streamMatches; });
        });
        if (streamMatches != matches)
            qFatal("%s: the stream matcher found %lld, the search %lld", c.name,
                static_cast<long long>(streamMatches), static_cast<long long>(matches));
        QString grep = QStringLiteral("—");
        if (!c.fixed.isEmpty()) {
            const GrepRun run = grepFixed(c.fixed, c.anyCase, file, rounds);
            grep = cell(run.seconds, all.size()) + QStringLiteral(", %1 lines").arg(run.lines);
        }
        const BytePattern::Element &anchor = c.pattern.elements()[size_t(search.anchor())];
        std::printf("| %s | %s | %lld | %s | %s | %s | %s | %s |\n", c.name,
            qPrintable(QString::asprintf("%02X", anchor.value)
                + (anchor.alternative != anchor.value
                        ? QString::asprintf("/%02X", anchor.alternative)
                        : QString())),
            static_cast<long long>(matches), qPrintable(cell(forward, all.size())),
            qPrintable(cell(blocksForward, all.size())),
            qPrintable(cell(blocksBackward, all.size())), qPrintable(cell(stream, all.size())),
            qPrintable(grep));
        std::fflush(stdout);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    const qsizetype size = qsizetype(arguments.value(1, QStringLiteral("1024")).toLongLong()) << 20;
    const int rounds = arguments.value(2, QStringLiteral("3")).toInt();

    measure("device log, text lines", textLog(size),
        {
            textCase("Fehler 42", "Fehler 42", Qt::CaseSensitive),
            textCase("fehler 42, either case", "fehler 42", Qt::CaseInsensitive),
            textCase("Überlauf", "Überlauf", Qt::CaseSensitive),
            textCase("°C, U=99 (° in every line)", "°C, U=99", Qt::CaseSensitive),
            textCase("ok, either case", "ok", Qt::CaseInsensitive),
            hexCase("0D 0A ?? ?? 45 52 52", "0D 0A ?? ?? 45 52 52"),
            hexCase("07", "07"),
            textCase("Sensor (in every line)", "Sensor", Qt::CaseSensitive),
        },
        rounds);
    measure("random bytes", randomBytes(size),
        {
            hexCase("7E 01 ?? ?? 03 7E 55 AA", "7E 01 ?? ?? 03 7E 55 AA"),
            hexCase("7E 01 02 03 7E 55 AA", "7E 01 02 03 7E 55 AA"),
        },
        rounds);
    measure("zeros", QByteArray(size, '\0'),
        {
            hexCase("00 00 00 01", "00 00 00 01"),
            hexCase("01 00 00 00", "01 00 00 00"),
            hexCase("00 00 00 0A (anchor 00)", "00 00 00 0A"),
        },
        rounds);
    // Every fixed byte of the pattern is common: no anchor helps.
    QByteArray emptyLines(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        emptyLines[i] = i % 2 ? '\n' : '\r';
    measure(
        "empty lines, CR LF only", emptyLines, { hexCase("0D 0A 0D 0D", "0D 0A 0D 0D") }, rounds);
    return 0;
}
