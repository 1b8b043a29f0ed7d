#include "traffic/trafficlayout.h"
#include "traffic/trafficlog.h"
#include "traffic/trafficnavigation.h"
#include "traffic/trafficrendering.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

using Kind = TrafficRendering::Kind;
using Spans = QList<QPair<qint64, qint64>>;

namespace {

QList<qint64> lineStarts(const TrafficLog &log)
{
    QList<qint64> starts;
    for (qint64 line = 0; line < log.lineCount(); ++line)
        starts.append(log.lineStart(line));
    return starts;
}

QList<qint64> lineEnds(const TrafficLog &log)
{
    QList<qint64> ends;
    for (qint64 line = 0; line < log.lineCount(); ++line)
        ends.append(log.lineEnd(line));
    return ends;
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
        c = alphabet[QRandomGenerator::global()->bounded(int(alphabet.size()))];
    return bytes;
}

} // namespace

class TestTrafficLog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void lineIndexAcrossAppends_data();
    void lineIndexAcrossAppends();
    void lineIndexMatchesOneAppendForAnySplit();
    void crLfSplitAtBlockBoundaryIsOneLineEnd();
    void clearEmptiesLogAndForgetsPendingCr();
    void rangesAcrossBlocksAreExact();
    void appendReportsWhereNewBytesStart();
    void windows1252CharactersFrom80ToFF();
    void renderingOfReceivedBytes_data();
    void renderingOfReceivedBytes();
    void controlCodesShowAsSymbols_data();
    void controlCodesShowAsSymbols();
    void rowsAtWidth_data();
    void rowsAtWidth();
    void lineOfMoreThan255ExtraRowsKeepsThemAll();
    void appendingInPiecesGivesSameRows();
    void rewrapGivesSameRowsAsFreshLayout();
    void everyPositionRoundTripsThroughItsCell();
    void caretStepsOverCrLfInOneMove();
    void doubleClickSelectsWordOrGroup_data();
    void doubleClickSelectsWordOrGroup();
};

void TestTrafficLog::lineIndexAcrossAppends_data()
{
    QTest::addColumn<QByteArrayList>("appends");
    QTest::addColumn<QList<qint64>>("starts");
    QTest::addColumn<QList<qint64>>("ends");

    QTest::newRow("empty") << QByteArrayList {} << QList<qint64> { 0 } << QList<qint64> { 0 };
    QTest::newRow("no line end") << QByteArrayList { "abc" } << QList<qint64> { 0 }
                                 << QList<qint64> { 3 };
    QTest::newRow("lone LF") << QByteArrayList { "a\nb" } << QList<qint64> { 0, 2 }
                             << QList<qint64> { 1, 3 };
    QTest::newRow("lone CR") << QByteArrayList { "a\rb" } << QList<qint64> { 0, 2 }
                             << QList<qint64> { 1, 3 };
    QTest::newRow("CR LF") << QByteArrayList { "a\r\nb" } << QList<qint64> { 0, 3 }
                           << QList<qint64> { 1, 4 };
    QTest::newRow("CR ends one append, LF starts the next")
        << QByteArrayList { "a\r", "\nb" } << QList<qint64> { 0, 3 } << QList<qint64> { 1, 4 };
    QTest::newRow("CR ends one append, a letter starts the next")
        << QByteArrayList { "a\r", "b" } << QList<qint64> { 0, 2 } << QList<qint64> { 1, 3 };
    QTest::newRow("CR CR LF") << QByteArrayList { "a\r\r\nb" } << QList<qint64> { 0, 2, 4 }
                              << QList<qint64> { 1, 2, 5 };
    QTest::newRow("LF CR is two line ends")
        << QByteArrayList { "a\n\rb" } << QList<qint64> { 0, 2, 3 } << QList<qint64> { 1, 2, 4 };
    QTest::newRow("CR LF at the end")
        << QByteArrayList { "a\r\n" } << QList<qint64> { 0, 3 } << QList<qint64> { 1, 3 };
    QTest::newRow("CR then CR in two appends")
        << QByteArrayList { "\r", "\r" } << QList<qint64> { 0, 1, 2 } << QList<qint64> { 0, 1, 2 };
    QTest::newRow("byte by byte") << QByteArrayList { "a", "\r", "\n", "b" }
                                  << QList<qint64> { 0, 3 } << QList<qint64> { 1, 4 };
    QTest::newRow("only LFs") << QByteArrayList { "\n\n\n" } << QList<qint64> { 0, 1, 2, 3 }
                              << QList<qint64> { 0, 1, 2, 3 };
}

void TestTrafficLog::lineIndexAcrossAppends()
{
    QFETCH(QByteArrayList, appends);
    QFETCH(QList<qint64>, starts);
    QFETCH(QList<qint64>, ends);

    TrafficLog log;
    for (const QByteArray &bytes : appends)
        log.append(bytes);
    QCOMPARE(lineStarts(log), starts);
    QCOMPARE(lineEnds(log), ends);
    for (qint64 line = 0; line < log.lineCount(); ++line) {
        const qint64 next = line + 1 < log.lineCount() ? starts[line + 1] : log.size() + 1;
        for (qint64 offset = starts[line]; offset < next; ++offset)
            QCOMPARE(log.lineOf(offset), line);
    }
}

void TestTrafficLog::lineIndexMatchesOneAppendForAnySplit()
{
    const QByteArray stream = randomStream(3 * TrafficLog::kBlockSize + 123, "ab\r\n");
    TrafficLog log;
    for (qint64 done = 0; done < stream.size();) {
        const qint64 n
            = std::min<qint64>(QRandomGenerator::global()->bounded(1, 5000), stream.size() - done);
        log.append(QByteArrayView(stream).sliced(done, n));
        done += n;
    }
    const QList<qint64> starts = expectedStarts(stream);
    QCOMPARE(lineStarts(log), starts);
    for (qint64 offset = 0; offset <= stream.size(); offset += 7) {
        const auto after = std::upper_bound(starts.begin(), starts.end(), offset);
        QCOMPARE(log.lineOf(offset), qint64(after - starts.begin()) - 1);
    }
    std::vector<qint64> scanned(size_t(starts.size()));
    QCOMPARE(log.lineStarts(0, scanned), starts.size());
    QCOMPARE(QList<qint64>(scanned.begin(), scanned.end()), starts);
}

void TestTrafficLog::crLfSplitAtBlockBoundaryIsOneLineEnd()
{
    QByteArray first(TrafficLog::kBlockSize - 1, 'x');
    first.append('\r');
    TrafficLog split;
    split.append(first);
    QCOMPARE(split.lineCount(), 2);
    QCOMPARE(split.lineStart(1), TrafficLog::kBlockSize);
    split.append("\nyz");
    QCOMPARE(lineStarts(split), (QList<qint64> { 0, TrafficLog::kBlockSize + 1 }));
    QCOMPARE(split.lineEnd(0), TrafficLog::kBlockSize - 1);

    TrafficLog whole;
    whole.append(first + "\nyz");
    QCOMPARE(lineStarts(whole), lineStarts(split));
    QCOMPARE(whole.bytes(0, whole.size()), split.bytes(0, split.size()));
}

void TestTrafficLog::clearEmptiesLogAndForgetsPendingCr()
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
    QCOMPARE(lineStarts(log), (QList<qint64> { 0, 1 }));
    QCOMPARE(log.bytes(0, 2), QByteArray("\nb"));
}

void TestTrafficLog::rangesAcrossBlocksAreExact()
{
    const QByteArray stream = randomStream(2 * TrafficLog::kBlockSize + 99, "0123456789\r\n\0\xff");
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

void TestTrafficLog::appendReportsWhereNewBytesStart()
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

void TestTrafficLog::windows1252CharactersFrom80ToFF()
{
    QByteArray high;
    for (int b = 0x80; b <= 0xFF; ++b)
        high.append(char(b));
    TrafficLog log;
    log.append(high);
    const QString text = TrafficRendering(Kind::Characters).text(log, 0, log.size());
    QCOMPARE(text.size(), 128);
    QCOMPARE(text[0], QChar(0x20AC)); // euro sign
    QCOMPARE(text[0x8A - 0x80], QChar(0x0160)); // S with caron
    QCOMPARE(text[0x81 - 0x80], QChar(0x0081)); // undefined, kept as its C1 code
    QCOMPARE(text[0x9F - 0x80], QChar(0x0178)); // Y with diaeresis
    QCOMPARE(text[0xA0 - 0x80], QChar(0x00A0));
    QCOMPARE(text[0xE4 - 0x80], QChar(0x00E4)); // a umlaut
    QCOMPARE(text[0xFF - 0x80], QChar(0x00FF));
    for (int b = 0xA0; b <= 0xFF; ++b)
        QCOMPARE(text[b - 0x80].unicode(), char16_t(b));
}

void TestTrafficLog::renderingOfReceivedBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<TrafficRendering>("rendering");
    QTest::addColumn<qint64>("from");
    QTest::addColumn<qint64>("to");
    QTest::addColumn<QString>("text");

    const QByteArray received("\x00\x41\x0D\x0A\xFF", 5);
    const TrafficRendering hex(Kind::Hex);
    QTest::newRow("characters, zero as full stop")
        << received << TrafficRendering(Kind::Characters, TrafficRendering::ZeroByte::FullStop)
        << 0LL << 5LL << QStringView(u".A\r\n\u00FF").toString();
    QTest::newRow("characters, zero kept") << received << TrafficRendering(Kind::Characters) << 0LL
                                           << 5LL << QStringView(u"\0A\r\n\u00FF", 5).toString();
    QTest::newRow("hex, whole") << received << hex << 0LL << 15LL
                                << QStringLiteral("00 41 0D 0A FF ");
    QTest::newRow("hex, from inside one group to inside another")
        << received << hex << 4LL << 10LL << QStringLiteral("1 0D 0");
    QTest::newRow("hex, leading zero and upper case")
        << QByteArray("\x05\xAB") << hex << 0LL << 6LL << QStringLiteral("05 AB ");
    QTest::newRow("range beyond the end is clipped")
        << QByteArray("AB") << hex << 3LL << 99LL << QStringLiteral("42 ");
}

void TestTrafficLog::renderingOfReceivedBytes()
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

void TestTrafficLog::controlCodesShowAsSymbols_data()
{
    QTest::addColumn<int>("byte");
    QTest::addColumn<bool>("zeroAsFullStop");
    QTest::addColumn<QChar>("symbol");

    QTest::newRow("NUL") << 0x00 << false << QChar(0x2400);
    QTest::newRow("NUL as full stop") << 0x00 << true << QChar(u'.');
    QTest::newRow("TAB") << 0x09 << false << QChar(0x2409);
    QTest::newRow("ESC") << 0x1B << false << QChar(0x241B);
    QTest::newRow("US") << 0x1F << false << QChar(0x241F);
    QTest::newRow("DEL") << 0x7F << false << QChar(0x2421);
    QTest::newRow("undefined 81") << 0x81 << false << QChar(0xFFFD);
    QTest::newRow("undefined 9D") << 0x9D << false << QChar(0xFFFD);
    QTest::newRow("space") << 0x20 << false << QChar(u' ');
    QTest::newRow("euro") << 0x80 << false << QChar(0x20AC);
}

void TestTrafficLog::controlCodesShowAsSymbols()
{
    QFETCH(int, byte);
    QFETCH(bool, zeroAsFullStop);
    QFETCH(QChar, symbol);
    const auto zero = zeroAsFullStop ? TrafficRendering::ZeroByte::FullStop
                                     : TrafficRendering::ZeroByte::Control;
    QCOMPARE(
        TrafficRendering(Kind::Characters, zero).symbol(static_cast<unsigned char>(byte)), symbol);
}

void TestTrafficLog::rowsAtWidth_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("columns");
    QTest::addColumn<Spans>("rows");

    const int chars = int(Kind::Characters);
    const int hex = int(Kind::Hex);
    QTest::newRow("short lines") << QByteArray("ab\ncd\r\nef") << chars << 4
                                 << Spans { { 0, 2 }, { 3, 5 }, { 7, 9 } };
    QTest::newRow("long line wraps") << QByteArray("abcdefghij\nk") << chars << 4
                                     << Spans { { 0, 4 }, { 4, 8 }, { 8, 10 }, { 11, 12 } };
    QTest::newRow("line that fills its row exactly")
        << QByteArray("abcd\nef") << chars << 4 << Spans { { 0, 4 }, { 5, 7 } };
    QTest::newRow("empty lines") << QByteArray("\n\n") << chars << 4
                                 << Spans { { 0, 0 }, { 1, 1 }, { 2, 2 } };
    QTest::newRow("endless line") << QByteArray("abcdefghij") << chars << 3
                                  << Spans { { 0, 3 }, { 3, 6 }, { 6, 9 }, { 9, 10 } };
    QTest::newRow("line end last")
        << QByteArray("abcd\r\n") << chars << 2 << Spans { { 0, 2 }, { 2, 4 }, { 6, 6 } };
    QTest::newRow("empty log") << QByteArray() << chars << 4 << Spans { { 0, 0 } };
    QTest::newRow("hex wraps after whole groups")
        << QByteArray("ABCDE") << hex << 8 << Spans { { 0, 9 }, { 9, 15 } };
    QTest::newRow("hex line breaks are groups too")
        << QByteArray("A\r\nB") << hex << 12 << Spans { { 0, 12 } };
    QTest::newRow("hex narrower than a group")
        << QByteArray("ABC") << hex << 2 << Spans { { 0, 3 }, { 3, 6 }, { 6, 9 } };
    QTest::newRow("hex exact rows")
        << QByteArray("ABCDEF") << hex << 9 << Spans { { 0, 9 }, { 9, 18 } };
    QTest::newRow("hex empty") << QByteArray() << hex << 9 << Spans { { 0, 0 } };
}

void TestTrafficLog::rowsAtWidth()
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

void TestTrafficLog::lineOfMoreThan255ExtraRowsKeepsThemAll()
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

void TestTrafficLog::appendingInPiecesGivesSameRows()
{
    const QByteArray stream = randomStream(150000, "abcdefghijklmnopqrstuvwxyz\r\n");
    TrafficLog log;
    TrafficLayout growing;
    growing.setColumns(7);
    growing.setLog(&log, TrafficRendering(Kind::Characters));
    for (qint64 done = 0; done < stream.size();) {
        const qint64 n
            = std::min<qint64>(QRandomGenerator::global()->bounded(1, 300), stream.size() - done);
        log.append(QByteArrayView(stream).sliced(done, n));
        growing.sync();
        done += n;
    }
    TrafficLayout fresh;
    fresh.setColumns(7);
    fresh.setLog(&log, TrafficRendering(Kind::Characters));
    QCOMPARE(rowSpans(growing), rowSpans(fresh));
}

void TestTrafficLog::rewrapGivesSameRowsAsFreshLayout()
{
    TrafficLog log;
    log.append(randomStream(40000, "abcdefghij\r\n\n\n"));
    TrafficLayout layout;
    layout.setLog(&log, TrafficRendering(Kind::Characters));
    for (int columns : { 3, 50, 1, 17 }) {
        layout.setColumns(columns);
        TrafficLayout fresh;
        fresh.setColumns(columns);
        fresh.setLog(&log, TrafficRendering(Kind::Characters));
        QCOMPARE(rowSpans(layout), rowSpans(fresh));
    }
}

void TestTrafficLog::everyPositionRoundTripsThroughItsCell()
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

void TestTrafficLog::caretStepsOverCrLfInOneMove()
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

void TestTrafficLog::doubleClickSelectsWordOrGroup_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<qint64>("position");
    QTest::addColumn<qint64>("from");
    QTest::addColumn<qint64>("to");

    // "Hallo Welt_1!\r\n"
    QTest::newRow("word") << int(Kind::Characters) << 2LL << 0LL << 5LL;
    QTest::newRow("word with digit and underscore") << int(Kind::Characters) << 8LL << 6LL << 12LL;
    QTest::newRow("punctuation alone") << int(Kind::Characters) << 12LL << 12LL << 13LL;
    QTest::newRow("hex group") << int(Kind::Hex) << 7LL << 6LL << 9LL;
}

void TestTrafficLog::doubleClickSelectsWordOrGroup()
{
    QFETCH(int, kind);
    QFETCH(qint64, position);
    QFETCH(qint64, from);
    QFETCH(qint64, to);

    TrafficLog log;
    log.append("Hallo Welt_1!\r\n");
    TrafficLayout layout;
    layout.setLog(&log, TrafficRendering(Kind(kind)));
    const TrafficLayout::Span word = TrafficNavigation(layout).wordAt(position);
    QCOMPARE(word.from, from);
    QCOMPARE(word.to, to);
}

QTEST_GUILESS_MAIN(TestTrafficLog)
#include "tst_trafficlog.moc"
