#include "testdice.h"
#include "traffic/trafficlayout.h"
#include "traffic/trafficlog.h"
#include "traffic/trafficnavigation.h"
#include "traffic/trafficrendering.h"

#include <QSignalSpy>
#include <QTest>

using Kind = TrafficRendering::Kind;
using Spans = QList<QPair<qint64, qint64>>;

namespace {

// Where each line starts, or with lineEnd where it ends.
QList<qint64> perLine(
    const TrafficLog &log, qint64 (TrafficLog::*of)(qint64) const = &TrafficLog::lineStart)
{
    QList<qint64> offsets;
    for (qint64 line = 0; line < log.lineCount(); ++line)
        offsets.append((log.*of)(line));
    return offsets;
}

// The line starts of a byte string, worked out the slow and obvious way.
QList<qint64> expectedStarts(const QByteArray &bytes)
{
    QList<qint64> starts { 0 };
    for (qint64 i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            continue;
        if (bytes[i] == '\r' || bytes[i] == '\n')
            starts.append(i + 1);
    }
    return starts;
}

Spans rowSpans(const TrafficLayout &layout)
{
    Spans spans;
    for (qint64 row = 0; row < layout.rowCount(); ++row) {
        const TrafficLayout::Span span = layout.rowSpan(row);
        spans.append({ span.from, span.to });
    }
    return spans;
}

QByteArray randomStream(qint64 size, const QByteArray &alphabet)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &c : bytes)
        c = alphabet[testDice().bounded(int(alphabet.size()))];
    return bytes;
}

} // namespace

class TestTrafficLog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void lineIndexAcrossAppends_data()
    {
        QTest::addColumn<QByteArrayList>("appends");
        QTest::addColumn<QList<qint64>>("starts");
        QTest::addColumn<QList<qint64>>("ends");
        const auto row
            = [](const char *name, QByteArrayList appends, QList<qint64> starts,
                  QList<qint64> ends) { QTest::newRow(name) << appends << starts << ends; };
        row("empty", {}, { 0 }, { 0 });
        row("no line end", { "abc" }, { 0 }, { 3 });
        row("lone LF", { "a\nb" }, { 0, 2 }, { 1, 3 });
        row("lone CR", { "a\rb" }, { 0, 2 }, { 1, 3 });
        row("CR LF", { "a\r\nb" }, { 0, 3 }, { 1, 4 });
        row("CR ends one append, LF starts the next", { "a\r", "\nb" }, { 0, 3 }, { 1, 4 });
        row("CR ends one append, a letter starts the next", { "a\r", "b" }, { 0, 2 }, { 1, 3 });
        row("CR CR LF", { "a\r\r\nb" }, { 0, 2, 4 }, { 1, 2, 5 });
        row("LF CR is two line ends", { "a\n\rb" }, { 0, 2, 3 }, { 1, 2, 4 });
        row("CR LF at the end", { "a\r\n" }, { 0, 3 }, { 1, 3 });
        row("CR then CR in two appends", { "\r", "\r" }, { 0, 1, 2 }, { 0, 1, 2 });
        row("byte by byte", { "a", "\r", "\n", "b" }, { 0, 3 }, { 1, 4 });
        row("only LFs", { "\n\n\n" }, { 0, 1, 2, 3 }, { 0, 1, 2, 3 });
    }

    void lineIndexAcrossAppends()
    {
        QFETCH(QByteArrayList, appends);
        QFETCH(QList<qint64>, starts);
        QFETCH(QList<qint64>, ends);
        TrafficLog log;
        for (const QByteArray &bytes : appends)
            log.append(bytes);
        QCOMPARE(perLine(log), starts);
        QCOMPARE(perLine(log, &TrafficLog::lineEnd), ends);
        for (qint64 line = 0; line < log.lineCount(); ++line) {
            const qint64 next = line + 1 < log.lineCount() ? starts[line + 1] : log.size() + 1;
            for (qint64 offset = starts[line]; offset < next; ++offset)
                QCOMPARE(log.lineOf(offset), line);
        }
    }

    void lineIndexMatchesOneAppendForAnySplit()
    {
        const QByteArray stream = randomStream(3 * TrafficLog::kBlockSize + 123, "ab\r\n");
        TrafficLog log;
        for (qint64 done = 0; done < stream.size();) {
            const qint64 n = std::min<qint64>(testDice().bounded(1, 5000), stream.size() - done);
            log.append(QByteArrayView(stream).sliced(done, n));
            done += n;
        }
        const QList<qint64> starts = expectedStarts(stream);
        QCOMPARE(perLine(log), starts);
        for (qint64 offset = 0; offset <= stream.size(); offset += 7) {
            const auto after = std::upper_bound(starts.begin(), starts.end(), offset);
            QCOMPARE(log.lineOf(offset), qint64(after - starts.begin()) - 1);
        }
        std::vector<qint64> scanned(size_t(starts.size()));
        QCOMPARE(log.lineStarts(0, scanned), starts.size());
        QCOMPARE(QList<qint64>(scanned.begin(), scanned.end()), starts);
    }

    void crLfSplitAtBlockBoundaryIsOneLineEnd()
    {
        QByteArray first(TrafficLog::kBlockSize - 1, 'x');
        first.append('\r');
        TrafficLog split;
        split.append(first);
        QCOMPARE(split.lineCount(), 2);
        QCOMPARE(split.lineStart(1), TrafficLog::kBlockSize);
        split.append("\nyz");
        QCOMPARE(perLine(split), (QList<qint64> { 0, TrafficLog::kBlockSize + 1 }));
        QCOMPARE(split.lineEnd(0), TrafficLog::kBlockSize - 1);

        TrafficLog whole;
        whole.append(first + "\nyz");
        QCOMPARE(perLine(whole), perLine(split));
        QCOMPARE(whole.bytes(0, whole.size()), split.bytes(0, split.size()));
    }

    void clearEmptiesLogAndForgetsPendingCr()
    {
        TrafficLog log;
        QSignalSpy cleared(&log, &TrafficLog::cleared);
        log.append(QByteArray(100000, 'a') + "\r");
        log.clear();
        QCOMPARE(cleared.count(), 1);
        QCOMPARE(log.size(), 0);
        QCOMPARE(log.lineCount(), 1);
        QVERIFY(log.contiguousAt(0).isEmpty());
        log.append("\nb");
        QCOMPARE(perLine(log), (QList<qint64> { 0, 1 }));
        QCOMPARE(log.bytes(0, 2), QByteArray("\nb"));
    }

    void rangesAcrossBlocksAreExact()
    {
        const QByteArray stream
            = randomStream(2 * TrafficLog::kBlockSize + 99, "0123456789\r\n\0\xff");
        TrafficLog log;
        log.append(stream.first(1000));
        log.append(stream.sliced(1000));
        QCOMPARE(log.size(), stream.size());
        QCOMPARE(log.bytes(0, log.size()), stream);
        const qint64 from = TrafficLog::kBlockSize - 10;
        QCOMPARE(log.bytes(from, 70000), stream.mid(from, 70000));
        QCOMPARE(log.bytes(log.size() - 5, 100), stream.right(5));
        QCOMPARE(log.bytes(-5, 3), stream.left(3));
        QCOMPARE(log.byteAt(TrafficLog::kBlockSize),
            static_cast<unsigned char>(stream[TrafficLog::kBlockSize]));
        QCOMPARE(log.contiguousAt(from).size(), 10);
    }

    void appendReportsWhereNewBytesStart()
    {
        TrafficLog log;
        QSignalSpy appended(&log, &TrafficLog::appended);
        log.append("abc");
        log.append("");
        log.append("de");
        QCOMPARE(appended.count(), 2);
        QCOMPARE(appended.at(1).at(0).toLongLong(), 3);
        QCOMPARE(appended.at(1).at(1).toLongLong(), 2);
    }

    void renderingOfReceivedBytes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<TrafficRendering>("rendering");
        QTest::addColumn<qint64>("from");
        QTest::addColumn<qint64>("to");
        QTest::addColumn<QString>("text");
        const auto row = [](const char *name, QByteArray bytes, TrafficRendering rendering,
                             qint64 from, qint64 to, QStringView text) {
            QTest::newRow(name) << bytes << rendering << from << to << text.toString();
        };
        const QByteArray received("\x00\x41\x0D\x0A\xFF", 5);
        const TrafficRendering chars(Kind::Characters);
        const TrafficRendering hex(Kind::Hex);
        row("zero as full stop", received,
            TrafficRendering(Kind::Characters, TrafficRendering::ZeroByte::FullStop), 0, 5,
            u".A\r\n\u00FF");
        row("zero kept", received, chars, 0, 5, QStringView(u"\0A\r\n\u00FF", 5));
        row("Windows-1252 from 80 to FF, undefined codes kept", "\x80\x81\x8A\x9F\xA0\xE4", chars,
            0, 6, u"\u20AC\u0081\u0160\u0178\u00A0\u00E4");
        row("hex, whole", received, hex, 0, 15, u"00 41 0D 0A FF ");
        row("hex, from inside one group to inside another", received, hex, 4, 10, u"1 0D 0");
        row("hex, leading zero and upper case", "\x05\xAB", hex, 0, 6, u"05 AB ");
        row("range beyond the end is clipped", "AB", hex, 3, 99, u"42 ");
    }
    void renderingOfReceivedBytes()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(TrafficRendering, rendering);
        QFETCH(qint64, from);
        QFETCH(qint64, to);
        QFETCH(QString, text);
        TrafficLog log;
        log.append(bytes);
        QCOMPARE(rendering.text(log, from, to), text);
    }

    void rowsAtWidth_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("columns");
        QTest::addColumn<Spans>("rows");
        const auto row
            = [](const char *name, QByteArray bytes, Kind kind, int columns, Spans rows) {
                  QTest::newRow(name) << bytes << int(kind) << columns << rows;
              };
        const Kind chars = Kind::Characters;
        row("short lines", "ab\ncd\r\nef", chars, 4, { { 0, 2 }, { 3, 5 }, { 7, 9 } });
        row("long line wraps", "abcdefghij\nk", chars, 4,
            { { 0, 4 }, { 4, 8 }, { 8, 10 }, { 11, 12 } });
        row("line that fills its row exactly", "abcd\nef", chars, 4, { { 0, 4 }, { 5, 7 } });
        row("empty lines", "\n\n", chars, 4, { { 0, 0 }, { 1, 1 }, { 2, 2 } });
        row("endless line", "abcdefghij", chars, 3, { { 0, 3 }, { 3, 6 }, { 6, 9 }, { 9, 10 } });
        row("line end last", "abcd\r\n", chars, 2, { { 0, 2 }, { 2, 4 }, { 6, 6 } });
        row("empty log", "", chars, 4, { { 0, 0 } });
        row("hex wraps after whole groups", "ABCDE", Kind::Hex, 8, { { 0, 9 }, { 9, 15 } });
        row("hex line breaks are groups too", "A\r\nB", Kind::Hex, 12, { { 0, 12 } });
        row("hex narrower than a group", "ABC", Kind::Hex, 2, { { 0, 3 }, { 3, 6 }, { 6, 9 } });
        row("hex exact rows", "ABCDEF", Kind::Hex, 9, { { 0, 9 }, { 9, 18 } });
        row("hex empty", "", Kind::Hex, 9, { { 0, 0 } });
    }

    void rowsAtWidth()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, kind);
        QFETCH(int, columns);
        QFETCH(Spans, rows);
        TrafficLog log;
        log.append(bytes);
        TrafficLayout layout;
        layout.setColumns(columns);
        layout.setLog(&log, TrafficRendering(Kind(kind)));
        QCOMPARE(layout.rowCount(), rows.size());
        QCOMPARE(rowSpans(layout), rows);
    }

    void lineOfMoreThan255ExtraRowsKeepsThemAll()
    {
        TrafficLog log;
        log.append(QByteArray(1000, 'a') + "\r\n" + QByteArray(5, 'b') + "\n");
        TrafficLayout layout;
        layout.setColumns(3);
        layout.setLog(&log, TrafficRendering(Kind::Characters));
        QCOMPARE(layout.rowCount(), 334 + 2 + 1);
        QCOMPARE(layout.rowSpan(333).from, 999);
        QCOMPARE(layout.rowSpan(333).to, 1000);
        QCOMPARE(layout.rowSpan(334).from, 1002);
        QCOMPARE(layout.cellOf(1003).row, 334);
        QCOMPARE(layout.rowSpan(336).from, log.size());
    }

    void appendingInPiecesAndRewrappingGiveTheRowsOfAFreshLayout()
    {
        const QByteArray stream = randomStream(150000, "abcdefghijklmnopqrstuvwxyz\r\n");
        TrafficLog log;
        TrafficLayout growing;
        growing.setColumns(7);
        growing.setLog(&log, TrafficRendering(Kind::Characters));
        for (qint64 done = 0; done < stream.size();) {
            const qint64 n = std::min<qint64>(testDice().bounded(1, 300), stream.size() - done);
            log.append(QByteArrayView(stream).sliced(done, n));
            growing.sync();
            done += n;
        }
        for (int columns : { 7, 3, 50, 1, 17 }) {
            growing.setColumns(columns);
            TrafficLayout fresh;
            fresh.setColumns(columns);
            fresh.setLog(&log, TrafficRendering(Kind::Characters));
            QCOMPARE(rowSpans(growing), rowSpans(fresh));
        }
    }

    void everyPositionRoundTripsThroughItsCell()
    {
        TrafficLog log;
        log.append(randomStream(5000, "abcdef\r\n"));
        for (Kind kind : { Kind::Characters, Kind::Hex }) {
            TrafficLayout layout;
            layout.setColumns(5);
            layout.setLog(&log, TrafficRendering(kind));
            TrafficNavigation navigation(layout);
            for (qint64 pos = 0; pos < layout.length(); pos = navigation.next(pos)) {
                const TrafficLayout::Cell cell = layout.cellOf(pos);
                QVERIFY(cell.row < layout.rowCount());
                QCOMPARE(layout.positionAt(cell.row, cell.column), pos);
            }
        }
    }

    void caretStepsOverCrLfInOneMove()
    {
        TrafficLog log;
        log.append("ab\r\ncd");
        TrafficLayout layout;
        layout.setLog(&log, TrafficRendering(Kind::Characters));
        TrafficNavigation navigation(layout);
        QCOMPARE(navigation.next(2), 4);
        QCOMPARE(navigation.previous(4), 2);
        QCOMPARE(navigation.next(6), 6);
        QCOMPARE(navigation.previous(0), 0);
        QCOMPARE(navigation.moveRows(1, 1, 1), 5);
        QCOMPARE(navigation.rowEnd(0), 2);
    }

    // "Hallo Welt_1!\r\n": a word with digit and underscore, punctuation alone,
    // a hex group.
    void doubleClickSelectsWordOrGroup()
    {
        TrafficLog log;
        log.append("Hallo Welt_1!\r\n");
        const auto wordAt = [&log](Kind kind, qint64 position) {
            TrafficLayout layout;
            layout.setLog(&log, TrafficRendering(kind));
            const TrafficLayout::Span word = TrafficNavigation(layout).wordAt(position);
            return QPair(word.from, word.to);
        };
        QCOMPARE(wordAt(Kind::Characters, 2), QPair(0LL, 5LL));
        QCOMPARE(wordAt(Kind::Characters, 8), QPair(6LL, 12LL));
        QCOMPARE(wordAt(Kind::Characters, 12), QPair(12LL, 13LL));
        QCOMPARE(wordAt(Kind::Hex, 7), QPair(6LL, 9LL));
    }
};

QTEST_GUILESS_MAIN(TestTrafficLog)
#include "tst_trafficlog.moc"
