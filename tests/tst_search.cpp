#include "text/bytepattern.h"
#include "text/cp1252.h"
#include "traffic/trafficfinder.h"
#include "traffic/trafficlog.h"
#include "traffic/trafficsearch.h"

#include <QTest>

// The matches of a pattern in a traffic log, as the data windows' search
// finds them: exact on bytes, across the log's blocks, the reads that filled
// it and its line breaks, while the log grows and when it is cleared.
class tst_Search : public QObject
{
    Q_OBJECT

private:
    static BytePattern patternOf(const QString &kind, const QString &entry)
    {
        const BytePattern::ParseResult read = kind == QLatin1String("hex")
            ? BytePattern::fromHex(entry)
            : BytePattern::fromText(entry,
                kind == QLatin1String("Text genau") ? Qt::CaseSensitive : Qt::CaseInsensitive);
        if (!read.ok())
            qWarning() << read.error;
        return read.pattern;
    }
    static bool scanned(const TrafficFinder &finder)
    {
        return QTest::qWaitFor([&finder] { return !finder.isScanning(); }, 10000);
    }
    static QList<qint64> hitsOf(const TrafficFinder &finder)
    {
        return QList<qint64>(finder.hits().begin(), finder.hits().end());
    }

private Q_SLOTS:
    void patternsInALogOfKnownReads_data()
    {
        QTest::addColumn<QByteArrayList>("reads");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QList<qint64>>("hits");
        const qint64 block = TrafficLog::kBlockSize;
        QTest::newRow("über eine Blockgrenze")
            << QByteArrayList { QByteArray(block - 2, 'x') + "AB", "CDx" } << "Text"
            << "abcd" << QList<qint64> { block - 2 };
        QTest::newRow("am Ende eines Blocks")
            << QByteArrayList { QByteArray(block - 4, 'x') + "ABCD", "x" } << "Text"
            << "abcd" << QList<qint64> { block - 4 };
        QTest::newRow("am Anfang eines Blocks")
            << QByteArrayList { QByteArray(block, 'x'), "ABCD" } << "Text"
            << "abcd" << QList<qint64> { block };
        QTest::newRow("über einen Zeilenumbruch") << QByteArrayList { "Fehler\r\n42\r\n" } << "hex"
                                                  << "0D 0A 34 32" << QList<qint64> { 6 };
        QTest::newRow("über zwei Lesevorgänge") << QByteArrayList { "OK", "AY" } << "Text"
                                                << "KA" << QList<qint64> { 1 };
        QTest::newRow("?? für jedes Byte")
            << QByteArrayList { QByteArray("\x06\x15\x06\x99\x15\x06", 6) } << "hex"
            << "06 ?? 15" << QList<qint64> { 2 };
        QTest::newRow("ä und Ä ohne Groß-/Kleinschreibung")
            << QByteArrayList { Cp1252::fromUnicode(QStringLiteral("Fähre FÄHRE fahre")) } << "Text"
            << "fÄhre" << QList<qint64> { 0, 6 };
        QTest::newRow("ä und Ä mit Groß-/Kleinschreibung")
            << QByteArrayList { Cp1252::fromUnicode(QStringLiteral("Fähre FÄHRE fahre")) }
            << "Text genau"
            << "FÄHRE" << QList<qint64> { 6 };
        QTest::newRow("erstes und letztes Byte") << QByteArrayList { "Xmitte", "X" } << "Text"
                                                 << "x" << QList<qint64> { 0, 6 };
        QTest::newRow("überlappend") << QByteArrayList { "AAAA" } << "Text"
                                     << "AAA" << QList<qint64> { 0, 1 };
        QByteArray everyByte(256, Qt::Uninitialized);
        for (int i = 0; i < 256; ++i)
            everyByte[i] = char(i);
        QTest::newRow("jeder Bytewert in Hex") << QByteArrayList { everyByte, everyByte } << "hex"
                                               << "FF 00" << QList<qint64> { 255 };
        QTest::newRow("00 und FF") << QByteArrayList { everyByte, everyByte } << "hex"
                                   << "00" << QList<qint64> { 0, 256 };
        QTest::newRow("länger als alles") << QByteArrayList { "abc" } << "Text"
                                          << "abcd" << QList<qint64> {};
    }
    void patternsInALogOfKnownReads()
    {
        QFETCH(QByteArrayList, reads);
        QFETCH(QString, kind);
        QFETCH(QString, entry);
        QFETCH(QList<qint64>, hits);
        TrafficLog log;
        for (const QByteArray &read : std::as_const(reads))
            log.append(read);
        TrafficFinder finder(log);
        finder.setPattern(patternOf(kind, entry));
        QVERIFY(scanned(finder));
        QCOMPARE(hitsOf(finder), hits);
    }

    // A scan runs over the log as it stood; what arrives meanwhile is
    // scanned next, a match across the seam of old and new bytes included.
    void arrivalsDuringAScanAreSearchedToo()
    {
        TrafficLog log;
        QByteArray old(48 * 1024 * 1024, '.');
        old.replace(1000, 5, "Fehle");
        old.replace(old.size() - 3, 3, "Feh");
        log.append(old);
        TrafficFinder finder(log);
        finder.setPattern(patternOf(QStringLiteral("Text"), QStringLiteral("fehler")));
        QVERIFY(finder.isScanning());
        log.append("ler und noch ein Fehler");
        QVERIFY(scanned(finder));
        QCOMPARE(hitsOf(finder), (QList<qint64> { old.size() - 3, old.size() + 17 }));
        log.append("FEHLER");
        QVERIFY(scanned(finder));
        QCOMPARE(finder.hits().back(), old.size() + 23);
        // Short reads are searched as they come, a match across two of them too.
        log.append("..Fe");
        log.append("hl");
        log.append("er");
        QCOMPARE(finder.hits().back(), old.size() + 31);
        QCOMPARE(finder.hits().size(), size_t(4));
    }

    // Clearing the log ends a scan and forgets its matches; the search goes
    // on in what comes after.
    void clearingTheLogEndsTheSearch()
    {
        TrafficLog log;
        log.append(QByteArray(64 * 1024 * 1024, 'a'));
        TrafficFinder finder(log);
        int changes = 0;
        connect(&finder, &TrafficFinder::changed, this, [&changes] { ++changes; });
        finder.setPattern(patternOf(QStringLiteral("Text"), QStringLiteral("ab")));
        log.clear();
        QVERIFY(finder.hits().empty());
        QVERIFY(!finder.isScanning());
        log.append("xxab");
        QVERIFY(scanned(finder));
        QCOMPARE(hitsOf(finder), QList<qint64> { 2 });
        QVERIFY(changes > 0);
    }

    // Overlapping matches are all kept, up to the limit, in order.
    void denseMatchesAllCount()
    {
        TrafficLog log;
        log.append(QByteArray(3 * TrafficLog::kBlockSize + 5, 'A'));
        TrafficFinder finder(log);
        finder.setPattern(patternOf(QStringLiteral("Text"), QStringLiteral("aa")));
        QVERIFY(scanned(finder));
        QCOMPARE(qint64(finder.hits().size()), log.size() - 1);
        QVERIFY(std::is_sorted(finder.hits().begin(), finder.hits().end()));
        QCOMPARE(finder.hits().back(), log.size() - 2);
        QCOMPARE(*finder.firstFrom(TrafficLog::kBlockSize), qsizetype(TrafficLog::kBlockSize));
        QCOMPARE(*finder.lastBefore(1), qsizetype(0));
        QVERIFY(!finder.lastBefore(0));
    }
};

QTEST_GUILESS_MAIN(tst_Search)
#include "tst_search.moc"
