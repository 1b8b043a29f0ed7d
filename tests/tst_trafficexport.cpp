#include "testbytes.h"
#include "testdice.h"
#include "text/hexnotation.h"
#include "traffic/arrivaltimes.h"
#include "traffic/trafficexport.h"
#include "traffic/trafficlog.h"

#include <QTest>
#include <ctime>
#include <memory>

// What the saves write, from a log's snapshot: the raw bytes, the hex view's
// text and the hex listing with a time stamp per burst; and the arrival-time
// record they rest on. Times are read in UTC, set before Qt starts.

using Format = TrafficExport::Format;

namespace {

// 12:00:00,000 on 2026-12-06, UTC.
constexpr qint64 kNoon = 1796558400000;

struct Read
{
    QByteArray bytes;
    qint64 msecs;
};

// A read without time empties the log, as "Empfangsfenster löschen" does.
TrafficSnapshot snapshotOf(const QList<Read> &reads)
{
    TrafficLog log;
    for (const Read &read : reads) {
        if (read.msecs < 0)
            log.clear();
        else
            log.append(read.bytes, read.msecs);
    }
    return log.snapshot();
}

// Bytes over several blocks, in reads of random length with rising times.
QList<Read> randomReads(qint64 total)
{
    QList<Read> reads;
    qint64 msecs = kNoon;
    for (qint64 done = 0; done < total;) {
        const qint64 n = std::min<qint64>(testDice().bounded(1, 9000), total - done);
        QByteArray bytes(n, Qt::Uninitialized);
        for (char &c : bytes)
            c = char(testDice().bounded(256));
        reads.append({ bytes, msecs += testDice().bounded(0, 250) });
        done += n;
    }
    return reads;
}

// The bytes back from a timed listing: every line's hex after its stamp.
QByteArray bytesOfTimedListing(const QByteArray &listing)
{
    QByteArray bytes;
    for (const QByteArray &line : listing.split('\n')) {
        if (line.isEmpty())
            continue;
        const QByteArray hex = line.mid(14);
        for (qsizetype i = 0; i + 3 <= hex.size(); i += 3)
            bytes.append(char(hex.mid(i, 2).toInt(nullptr, 16)));
    }
    return bytes;
}

} // namespace

Q_DECLARE_METATYPE(Read)

class TestTrafficExport : public QObject
{
    Q_OBJECT

public:
    static void initMain()
    {
        qputenv("TZ", "UTC");
        ::tzset();
    }

private Q_SLOTS:
    void allByteValuesRoundTrip_data()
    {
        QTest::addColumn<QList<Read>>("reads");
        const QByteArray all = everyByteValue();
        QTest::newRow("256 values, one read") << QList<Read> { { all, kNoon } };
        QTest::newRow("over 64 KiB blocks") << randomReads(3 * TrafficLog::kBlockSize + 12345);
        QTest::newRow("empty log") << QList<Read> {};
    }
    void allByteValuesRoundTrip()
    {
        QFETCH(QList<Read>, reads);
        QByteArray sent;
        for (const Read &read : reads)
            sent += read.bytes;
        const TrafficSnapshot snapshot = snapshotOf(reads);
        QCOMPARE(TrafficExport::whole(snapshot, Format::Raw), sent);
        QCOMPARE(TrafficExport::whole(snapshot, Format::Hex), HexNotation::write(sent).toLatin1());
        const QByteArray listing = TrafficExport::whole(snapshot, Format::TimedHex);
        QCOMPARE(bytesOfTimedListing(listing), sent);
        QCOMPARE(listing.isEmpty(), sent.isEmpty());
    }

    void timedListingSplitsAtGaps_data()
    {
        QTest::addColumn<QList<Read>>("reads");
        QTest::addColumn<QByteArray>("listing");
        QTest::newRow("one read") << QList<Read> { { "AB", kNoon + 7 } }
                                  << QByteArray("12:00:00,007  41 42 \n");
        QTest::newRow("99 ms apart join") << QList<Read> { { "A", kNoon }, { "B", kNoon + 99 },
            { "C", kNoon + 198 } } << QByteArray("12:00:00,000  41 42 43 \n");
        QTest::newRow("100 ms apart split") << QList<Read> { { "A", kNoon },
            { "BC", kNoon + 100 } } << QByteArray("12:00:00,000  41 \n12:00:00,100  42 43 \n");
        QTest::newRow("same millisecond") << QList<Read> { { "\r", kNoon + 5 },
            { "\n", kNoon + 5 } } << QByteArray("12:00:00,005  0D 0A \n");
        QTest::newRow("clock set back") << QList<Read> { { "A", kNoon + 3600000 }, { "B", kNoon } }
                                        << QByteArray("13:00:00,000  41 \n12:00:00,000  42 \n");
        QTest::newRow("weeks apart")
            << QList<Read> { { "A", kNoon }, { "B", kNoon + 60LL * 86400000 + 1 } }
            << QByteArray("12:00:00,000  41 \n12:00:00,001  42 \n");
        QTest::newRow("cleared") << QList<Read> { { "old", kNoon }, { {}, -1 }, { "N", kNoon + 20 },
            { "O", kNoon + 40 } } << QByteArray("12:00:00,020  4E 4F \n");
        const qint64 block = TrafficLog::kBlockSize;
        QTest::newRow("read across a block boundary")
            << QList<Read> { { QByteArray(block - 2, 'a'), kNoon }, { "bcde", kNoon + 500 } }
            << "12:00:00,000  " + QByteArray("61 ").repeated(block - 2)
                + "\n12:00:00,500  62 63 64 65 \n";
    }
    void timedListingSplitsAtGaps()
    {
        QFETCH(QList<Read>, reads);
        QFETCH(QByteArray, listing);
        QCOMPARE(TrafficExport::whole(snapshotOf(reads), Format::TimedHex), listing);
    }

    // Every byte knows the read it came with; a record entry costs a few
    // bytes per read, and reads of the same millisecond share one.
    void everyByteHasTheTimeOfItsRead()
    {
        const QList<Read> reads = randomReads(2 * TrafficLog::kBlockSize);
        TrafficLog log;
        QList<qint64> expected;
        for (const Read &read : reads) {
            log.append(read.bytes, read.msecs);
            expected.append(QList<qint64>(read.bytes.size(), read.msecs));
        }
        for (qint64 offset = 0; offset < log.size(); offset += 97)
            QCOMPARE(log.arrivalMsecs(offset), expected[offset]);
        QCOMPARE(log.arrivalMsecs(log.size() - 1), expected.constLast());

        ArrivalTimes sameMillisecond;
        for (int i = 0; i < 1000; ++i)
            sameMillisecond.record(i, 1, kNoon);
        QCOMPARE(sameMillisecond.snapshot().front()->count(), 1);
    }

    // A snapshot keeps what the log held when it was taken, whatever the log
    // does afterwards: grow in the same block, be cleared, go away.
    void snapshotOutlivesLaterAppendsAndClear()
    {
        auto log = std::make_unique<TrafficLog>();
        const QByteArray first = everyByteValue().repeated(300);
        log->append(first, kNoon);
        const TrafficSnapshot snapshot = log->snapshot();
        log->append("more in the same block", kNoon + 1000);
        log->clear();
        log->append("after clear", kNoon + 2000);
        log.reset();
        QCOMPARE(snapshot.size(), first.size());
        QCOMPARE(TrafficExport::whole(snapshot, Format::Raw), first);
        QCOMPARE(TrafficExport::whole(snapshot, Format::TimedHex).count('\n'), 1);
    }

    void piecesReportProgressBlockByBlock()
    {
        const TrafficSnapshot snapshot
            = snapshotOf({ { QByteArray(2 * TrafficLog::kBlockSize + 10, 'x'), kNoon } });
        TrafficExport out(snapshot, Format::Hex);
        QList<qint64> progress;
        while (!out.atEnd()) {
            out.next();
            progress.append(out.done());
        }
        QCOMPARE(progress,
            (QList<qint64> {
                TrafficLog::kBlockSize, 2 * TrafficLog::kBlockSize, snapshot.size() }));
    }
};

QTEST_GUILESS_MAIN(TestTrafficExport)
#include "tst_trafficexport.moc"
