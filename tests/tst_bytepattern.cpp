#include "testbytes.h"
#include "testdice.h"
#include "text/blocklistsearch.h"
#include "text/blocksearch.h"
#include "text/bytepattern.h"
#include "text/casefold.h"
#include "text/cp1252.h"
#include "text/hexnotation.h"
#include "text/patternsetmatcher.h"
#include "text/streammatcher.h"

#include <QTest>

using Starts = QList<qint64>;
Q_DECLARE_METATYPE(BytePattern)

namespace {

// A pattern as the tests draw it: a byte value per position, -1 for any
// byte, and whether letters match in either case. The slow search reads this,
// not the BytePattern, so that a fault in the pattern's case table shows.
struct DrawnPattern
{
    QList<int> values;
    bool anyCase = false;

    BytePattern build() const
    {
        QString entry;
        QByteArray bytes;
        for (int value : values) {
            entry += value < 0 ? QStringLiteral("?? ")
                               : HexNotation::write(QByteArray(1, char(value)));
            bytes.append(char(value));
        }
        const BytePattern::ParseResult parsed = anyCase
            ? BytePattern::fromText(Cp1252::toUnicode(bytes), Qt::CaseInsensitive)
            : BytePattern::fromHex(entry);
        Q_ASSERT(parsed.ok());
        return parsed.pattern;
    }

    // Case compared through Qt's lower case of the characters themselves.
    bool accepts(qsizetype position, unsigned char byte) const
    {
        const int value = values[position];
        if (value < 0 || value == byte)
            return true;
        return anyCase
            && Cp1252::toChar(byte).toLower()
            == Cp1252::toChar(static_cast<unsigned char>(value)).toLower();
    }
};

Starts slowSearch(const DrawnPattern &drawn, QByteArrayView bytes)
{
    Starts starts;
    for (qsizetype start = 0; start + drawn.values.size() <= bytes.size(); ++start) {
        qsizetype i = 0;
        while (i < drawn.values.size()
            && drawn.accepts(i, static_cast<unsigned char>(bytes[start + i])))
            ++i;
        if (i == drawn.values.size())
            starts.append(start);
    }
    return starts;
}

BytePattern hexPattern(const char *entry)
{
    const BytePattern::ParseResult parsed = BytePattern::fromHex(QString::fromLatin1(entry));
    Q_ASSERT(parsed.ok());
    return parsed.pattern;
}

// Match starts as the stream matcher reports them, the bytes fed in pieces
// that end where the cuts say.
Starts streamStarts(const BytePattern &pattern, QByteArrayView bytes, const QList<qsizetype> &cuts)
{
    StreamMatcher matcher(pattern);
    Starts starts;
    qsizetype from = 0;
    for (qsizetype cut : cuts + QList<qsizetype> { bytes.size() }) {
        matcher.feed(bytes.sliced(from, cut - from),
            [&](qint64 end) { starts.append(end - pattern.size() + 1); });
        from = cut;
    }
    return starts;
}

Starts forwardStarts(const BlockSearch &search, QByteArrayView bytes)
{
    Starts starts;
    for (qsizetype at = search.find(bytes, 0); at >= 0; at = search.find(bytes, at + 1))
        starts.append(at);
    return starts;
}

Starts backwardStarts(const BlockSearch &search, QByteArrayView bytes)
{
    Starts starts;
    for (qsizetype at = search.findLast(bytes, bytes.size()); at >= 0;
         at = search.findLast(bytes, at))
        starts.prepend(at);
    return starts;
}

// The bytes cut into blocks of blockSize, as the traffic log keeps them, and
// searched forward and backward; { -2 } when the directions disagree.
Starts blockListStarts(const BytePattern &pattern, QByteArrayView bytes, qint64 blockSize)
{
    const BlockListSearch search(pattern, blockSize);
    const auto contiguousAt = [&](qint64 offset) {
        return bytes.sliced(
            offset, std::min<qint64>(blockSize - offset % blockSize, bytes.size() - offset));
    };
    Starts forward;
    for (qint64 at = search.find(contiguousAt, bytes.size(), 0); at >= 0;
         at = search.find(contiguousAt, bytes.size(), at + 1))
        forward.append(at);
    Starts backward;
    for (qint64 at = search.findLast(contiguousAt, bytes.size(), bytes.size()); at >= 0;
         at = search.findLast(contiguousAt, bytes.size(), at))
        backward.prepend(at);
    return forward == backward ? forward : Starts { -2 };
}

QByteArray cp1252Bytes(const char *text)
{
    return Cp1252::fromUnicode(QString::fromUtf8(text));
}

} // namespace

// Patterns for the search of the traffic and for automation rules: read from
// the hex notation with ?? or from a text, and found in one block, in blocks,
// and in a stream arriving in pieces.
class TestBytePattern : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void hexEntryReadsAsTheInputWindowReadsIt_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("written");
        const auto row = [](const char *name, const char *entry, const char *written) {
            QTest::newRow(name) << QString::fromLatin1(entry) << QString::fromLatin1(written);
        };
        row("line end", "41 0D 0A", "41 0D 0A ");
        row("any byte between", "41 ?? 0D", "41 ?? 0D ");
        row("any byte first and last", "?? 41 ??", "?? 41 ?? ");
        row("blanks around normalised", "  41 ??   ", "41 ?? ");
        row("lower case", "ff 0a", "FF 0A ");
        row("two-space group is 00", "41    42", "41 00 42 ");
        row("one byte", "00", "00 ");
    }
    void hexEntryReadsAsTheInputWindowReadsIt()
    {
        QFETCH(QString, entry);
        QFETCH(QString, written);
        const BytePattern::ParseResult parsed = BytePattern::fromHex(entry);
        QVERIFY2(parsed.ok(), qPrintable(parsed.error));
        QCOMPARE(parsed.pattern.toHex(), written);
        QCOMPARE(parsed.normalised, HexNotation::normalise(entry));
        // The fixed bytes are what the input window would send for the same groups.
        const HexNotation::SendForm sent = HexNotation::prepareForSending(
            QString(entry).replace(QStringLiteral("??"), QStringLiteral("00")));
        QCOMPARE(parsed.pattern.size(), sent.bytes.size());
        for (qsizetype i = 0; i < sent.bytes.size(); ++i) {
            const BytePattern::Element &element = parsed.pattern.elements()[size_t(i)];
            QVERIFY(element.any || element.value == static_cast<unsigned char>(sent.bytes[i]));
        }
    }

    void hexEntryIsRefusedWithItsPosition_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("error");
        const auto row
            = [](const char *name, const char *entry, int position) {
                  QTest::newRow(name)
                      << QString::fromLatin1(entry) << position
                      << QStringLiteral("Ungültige Hex-Eingabe an Stelle %1.").arg(position);
              };
        row("last group short", "41 4", 4);
        row("no space between groups", "4142", 1);
        row("two spaces between groups", "41  42", 4);
        row("counted after the leading blanks go", "   41 4", 4);
        row("single ?", "41 ?", 4);
        row("? beside a digit", "41 4? 42", 4);
        row("? before a digit", "41 ?4 42", 4);
        row("three ?", "41 ??? 42", 4);
        row("after an any group", "41 ?? 4", 7);
        const QString onlyAny = QStringLiteral("Ein Muster nur aus ?? passt auf alles.");
        QTest::newRow("only ??") << QStringLiteral("??") << 0 << onlyAny;
        QTest::newRow("only ?? groups") << QStringLiteral("?? ?? ??") << 0 << onlyAny;
        QTest::newRow("empty") << QString() << 0 << QStringLiteral("Kein Suchmuster.");
        QTest::newRow("blanks") << QStringLiteral("   ") << 0 << QStringLiteral("Kein Suchmuster.");
    }
    void hexEntryIsRefusedWithItsPosition()
    {
        QFETCH(QString, entry);
        QFETCH(int, position);
        QFETCH(QString, error);
        const BytePattern::ParseResult parsed = BytePattern::fromHex(entry);
        QVERIFY(!parsed.ok());
        QVERIFY(parsed.pattern.isEmpty());
        QCOMPARE(parsed.error, error);
        QCOMPARE(parsed.errorPosition, qsizetype(position));
        QCOMPARE(parsed.normalised, HexNotation::normalise(entry));
        // Where no ? is involved, the position is the input window's.
        if (!entry.contains(u'?') && position > 0)
            QCOMPARE(HexNotation::prepareForSending(entry).formatErrorAt + 1, qsizetype(position));
    }

    void textBecomesWindows1252Bytes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("written");
        QTest::newRow("ASCII") << QStringLiteral("OK\r\n") << QStringLiteral("4F 4B 0D 0A ");
        QTest::newRow("umlauts and sharp s")
            << QStringLiteral("Grüße") << QStringLiteral("47 72 FC DF 65 ");
        QTest::newRow("euro sign and Y diaeresis")
            << QStringLiteral("€Ÿ") << QStringLiteral("80 9F ");
        QTest::newRow("question marks are text")
            << QStringLiteral("??") << QStringLiteral("3F 3F ");
    }
    void textBecomesWindows1252Bytes()
    {
        QFETCH(QString, text);
        QFETCH(QString, written);
        for (const auto sensitivity : { Qt::CaseSensitive, Qt::CaseInsensitive }) {
            const BytePattern::ParseResult parsed = BytePattern::fromText(text, sensitivity);
            QVERIFY(parsed.ok());
            QCOMPARE(parsed.pattern.toHex(), written);
        }
    }

    void textOutsideWindows1252IsRefusedWithItsPosition_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("error");
        const auto outside = [](const char *character, int position) {
            return QStringLiteral("Das Zeichen „%1“ an Stelle %2 gibt es in Windows-1252 nicht.")
                .arg(QString::fromUtf8(character))
                .arg(position);
        };
        QTest::newRow("Greek Omega") << QStringLiteral("aΩb") << 2 << outside("Ω", 2);
        QTest::newRow("C1 code 80h") << QStringLiteral("ab\u0080") << 3 << outside("\u0080", 3);
        QTest::newRow("emoji named whole") << QStringLiteral("ä😀") << 2 << outside("😀", 2);
        QTest::newRow("empty") << QString() << 0 << QStringLiteral("Kein Suchmuster.");
    }
    void textOutsideWindows1252IsRefusedWithItsPosition()
    {
        QFETCH(QString, text);
        QFETCH(int, position);
        QFETCH(QString, error);
        const BytePattern::ParseResult parsed = BytePattern::fromText(text, Qt::CaseInsensitive);
        QVERIFY(!parsed.ok());
        QCOMPARE(parsed.error, error);
        QCOMPARE(parsed.errorPosition, qsizetype(position));
    }

    void lettersMatchInEitherCase_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("received");
        QTest::addColumn<bool>("found");
        const auto row = [](QStringView pattern, QStringView received, bool found) {
            QTest::addRow(
                "%s in %s", qUtf8Printable(pattern.toString()), qUtf8Printable(received.toString()))
                << pattern.toString() << received.toString() << found;
        };
        for (const QStringView pair : { u"aA", u"zZ", u"äÄ", u"öÖ", u"üÜ", u"éÉ", u"àÀ", u"þÞ",
                 u"šŠ", u"žŽ", u"œŒ", u"ÿŸ" }) {
            row(pair.left(1), pair.mid(1), true);
            row(pair.mid(1), pair.left(1), true);
        }
        // ß has no capital in Windows-1252 and stays one byte: not SS.
        row(u"ß", u"ß", true);
        row(u"ß", u"S", false);
        // µ and ƒ have capitals only outside Windows-1252; neither may fall on ÿ (FFh).
        row(u"µ", u"ÿ", false);
        row(u"ƒ", u"ÿ", false);
        row(u"ÿ", u"µ", false);
        row(u"a", u"á", false);
        row(u"ä", u"a", false);
        row(u"×", u"÷", false);
        row(u"1", u"!", false);
        row(u"@", u"`", false);
    }
    void lettersMatchInEitherCase()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, received);
        QFETCH(bool, found);
        const QByteArray bytes = Cp1252::fromUnicode(received);
        const BytePattern anyCase = BytePattern::fromText(pattern, Qt::CaseInsensitive).pattern;
        QCOMPARE(BlockSearch(anyCase).find(bytes) == 0, found);
        QCOMPARE(streamStarts(anyCase, bytes, {}) == Starts { 0 }, found);
        const BytePattern exact = BytePattern::fromText(pattern, Qt::CaseSensitive).pattern;
        QCOMPARE(BlockSearch(exact).find(bytes) == 0, pattern == received);
    }

    // The pairs come from Qt's case mapping: each pair is the same letter in
    // lower and upper case, and pairs go both ways. Windows-1252 has 60: 26
    // in ASCII, 30 in its Latin-1 half, and Š Œ Ž Ÿ.
    void caseTablePairsEachLetterWithItsOtherCase()
    {
        int paired = 0;
        for (int byte = 0; byte < 256; ++byte) {
            const auto b = static_cast<unsigned char>(byte);
            const unsigned char other = CaseFold::otherCase(b);
            QCOMPARE(CaseFold::otherCase(other), b);
            if (other == b)
                continue;
            ++paired;
            QCOMPARE(Cp1252::toChar(other).toLower(), Cp1252::toChar(b).toLower());
            QCOMPARE(Cp1252::toChar(other).toUpper(), Cp1252::toChar(b).toUpper());
        }
        QCOMPARE(paired, 120);
    }

    void matchesAreFoundWhereverTheyAre_data()
    {
        QTest::addColumn<BytePattern>("pattern");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Starts>("starts");
        QTest::newRow("overlapping")
            << hexPattern("41 41 41") << QByteArray("AAAA") << Starts { 0, 1 };
        QTest::newRow("first and last byte")
            << hexPattern("41") << QByteArray("AxxA") << Starts { 0, 3 };
        QTest::newRow("the whole input") << hexPattern("41 42") << QByteArray("AB") << Starts { 0 };
        QTest::newRow("longer than the input")
            << hexPattern("41 42 43") << QByteArray("AB") << Starts {};
        QTest::newRow("empty input") << hexPattern("41") << QByteArray() << Starts {};
        QTest::newRow("any byte") << hexPattern("41 ?? 43") << QByteArray("A\0CAxCAC", 8)
                                  << Starts { 0, 3 };
        QTest::newRow("any byte at the ends")
            << hexPattern("?? 0D ??") << QByteArray("\r\r\r") << Starts { 0 };
        QTest::newRow("anchor a line end")
            << hexPattern("4F 4B 0D 0A") << QByteArray("OK\rOK\r\nOK\n") << Starts { 3 };
        QTest::newRow("either case") << BytePattern::fromText(u"Ärger", Qt::CaseInsensitive).pattern
                                     << cp1252Bytes("ärgerÄRGERärGER") << Starts { 0, 5, 10 };
        // The anchor first chosen is 00, the bytes are nearly all 00: the
        // scan moves its anchor to the 0A and must miss nothing on the way.
        QTest::newRow("common anchor byte")
            << hexPattern("00 00 00 0A")
            << QByteArray(5000, '\0') + "\n" + QByteArray(3000, '\0') + "\n"
            << Starts { 4997, 7998 };
        // Past 64 positions the stream matcher's state takes several words.
        QTest::newRow("65 positions, overlapping")
            << BytePattern::fromText(QString(65, u'A'), Qt::CaseSensitive).pattern
            << QByteArray(67, 'A') << Starts { 0, 1, 2 };
        QTest::newRow("129 positions, one byte differs")
            << BytePattern::fromText(QString(128, u'A') + u'B', Qt::CaseSensitive).pattern
            << QByteArray(130, 'A') + "B" + QByteArray(128, 'A') + "A" << Starts { 2 };
    }
    void matchesAreFoundWhereverTheyAre()
    {
        QFETCH(BytePattern, pattern);
        QFETCH(QByteArray, bytes);
        QFETCH(Starts, starts);
        const BlockSearch search(pattern);
        QCOMPARE(forwardStarts(search, bytes), starts);
        QCOMPARE(backwardStarts(search, bytes), starts);
        QCOMPARE(streamStarts(pattern, bytes, {}), starts);
        QList<qsizetype> everyByte;
        for (qsizetype cut = 1; cut < bytes.size(); ++cut)
            everyByte.append(cut);
        QCOMPARE(streamStarts(pattern, bytes, everyByte), starts);
        for (qint64 blockSize : { 1, 2, 3, 7, 64 })
            QCOMPARE(blockListStarts(pattern, bytes, blockSize), starts);
    }

    // Cut into three pieces in every way, and into blocks of every size.
    void aMatchIsFoundAcrossEveryBoundary()
    {
        const BytePattern pattern = BytePattern::fromText(u"ABCDE", Qt::CaseSensitive).pattern;
        const QByteArray bytes("xABCDEyABCDExxAB");
        const Starts starts { 1, 7 };
        for (qsizetype first = 0; first <= bytes.size(); ++first) {
            for (qsizetype second = first; second <= bytes.size(); ++second)
                QCOMPARE(streamStarts(pattern, bytes, { first, second }), starts);
        }
        for (qint64 blockSize = 1; blockSize <= bytes.size() + 1; ++blockSize)
            QCOMPARE(blockListStarts(pattern, bytes, blockSize), starts);
    }

    // Bytes in which the anchor first chosen is common make the scan move
    // its anchor (00 00 00 0A in zeros) or, when every fixed byte is common,
    // go on another way (CR CR CR CR LF in CR LF CR CR LF ...), after some
    // number of candidates. Whichever number that is, no start is skipped:
    // the one match starts at every offset in turn, and for the backward
    // search at every distance from the end.
    void aMatchAmongCommonBytesIsFound_data()
    {
        QTest::addColumn<BytePattern>("pattern");
        QTest::addColumn<QByteArray>("filler");
        QTest::addColumn<QByteArray>("match");
        QTest::newRow("a rarer anchor")
            << hexPattern("00 00 00 0A") << QByteArray(1, '\0') << QByteArray("\0\0\0\n", 4);
        QTest::newRow("no rarer anchor")
            << hexPattern("0D 0D 0D 0D 0A") << QByteArray("\r\n\r\r\n") << QByteArray("\r\r\r\r\n");
    }
    void aMatchAmongCommonBytesIsFound()
    {
        QFETCH(BytePattern, pattern);
        QFETCH(QByteArray, filler);
        QFETCH(QByteArray, match);
        const BlockSearch search(pattern);
        const qsizetype longest = 400;
        const QByteArray fill = filler.repeated(longest / filler.size() + 1);
        for (qsizetype length = 0; length < longest; ++length) {
            const QByteArray bytes = fill.left(length) + match + fill.right(length);
            QCOMPARE(search.find(bytes), length);
            QCOMPARE(search.findLast(bytes, bytes.size()), length);
            // The match at the very end and at the very start.
            QCOMPARE(search.find(fill.left(length) + match), length);
            QCOMPARE(search.findLast(match + fill.right(length), bytes.size()), 0);
        }
    }

    // Matches start at 0, 1 and 3.
    void aSearchStartsAndStopsWhereItIsTold()
    {
        const BlockSearch search(hexPattern("41 ?? 41"));
        const QByteArray bytes("AAAAxA");
        QCOMPARE(search.find(bytes, -5), 0);
        QCOMPARE(search.find(bytes, 2), 3);
        QCOMPARE(search.find(bytes, 4), -1);
        QCOMPARE(search.findLast(bytes, 100), 3);
        QCOMPARE(search.findLast(bytes, 3), 1);
        QCOMPARE(search.findLast(bytes, 1), 0);
        QCOMPARE(search.findLast(bytes, 0), -1);
    }

    void aResetStreamForgetsWhatCameBefore()
    {
        StreamMatcher matcher(hexPattern("41 41"));
        Starts ends;
        const auto note = [&](qint64 end) { ends.append(end); };
        matcher.feed("xA", note);
        matcher.reset();
        matcher.feed("A", note);
        QCOMPARE(ends, Starts {});
        matcher.feed("A", note);
        QCOMPARE(ends, Starts { 1 });
        QCOMPARE(matcher.offset(), 2);
    }

    void theEmptyPatternMatchesNowhere()
    {
        const QByteArray bytes("AB");
        QCOMPARE(BlockSearch(BytePattern()).find(bytes), -1);
        QCOMPARE(BlockSearch(BytePattern()).findLast(bytes, 2), -1);
        QCOMPARE(streamStarts(BytePattern(), bytes, { 1 }), Starts {});
        QCOMPARE(blockListStarts(BytePattern(), bytes, 1), Starts {});
    }

    void everyByteValueIsFoundFromItsHexGroup()
    {
        const QByteArray bytes = everyByteValue();
        for (int value = 0; value < 256; ++value) {
            const QString group = HexNotation::write(QByteArray(1, char(value)));
            const BlockSearch search(BytePattern::fromHex(group).pattern);
            QCOMPARE(search.find(bytes), value);
            QCOMPARE(search.findLast(bytes, bytes.size()), value);
            QCOMPARE(streamStarts(search.pattern(), bytes, { value / 2 }), Starts { value });
            const BytePattern between
                = BytePattern::fromHex(QStringLiteral("?? ") + group + QStringLiteral("??"))
                      .pattern;
            QCOMPARE(BlockSearch(between).find(bytes), value > 0 && value < 255 ? value - 1 : -1);
        }
    }

    // Random bytes from a few values, so that matches are many, and random
    // patterns: drawn from the same values or cut out of the bytes (then up to
    // 150 long, past the stream matcher's one-word state), some positions any
    // byte or letters of either case. Every way of searching finds exactly
    // what the slow search finds, whatever the pieces or blocks.
    void randomPatternsAreFoundWhereASlowSearchFindsThem()
    {
        const QByteArray alphabet = cp1252Bytes("aAäÄbÿŸ") + QByteArray(1, '\0');
        QRandomGenerator &dice = testDice();
        for (int round = 0; round < 3000; ++round) {
            // Now and then long bytes of two values, in which the search's
            // first anchor comes so often that it moves to a rarer one.
            const bool dense = round % 10 == 0;
            QByteArray bytes(
                dense ? dice.bounded(3000, 6000) : dice.bounded(300), Qt::Uninitialized);
            for (char &b : bytes) {
                if (dense)
                    b = dice.bounded(200) == 0 ? 'A' : '\0';
                else
                    b = dice.bounded(20) == 0 ? char(dice.bounded(256))
                                              : alphabet[dice.bounded(alphabet.size())];
            }
            DrawnPattern drawn;
            drawn.anyCase = dice.bounded(2) == 0;
            if (bytes.size() > 0 && dice.bounded(2) == 0) {
                const qsizetype length = 1 + dice.bounded(std::min<qsizetype>(150, bytes.size()));
                const qsizetype at = dice.bounded(bytes.size() - length + 1);
                for (char b : bytes.sliced(at, length))
                    drawn.values.append(static_cast<unsigned char>(b));
            } else {
                for (int i = 1 + dice.bounded(5); i > 0; --i)
                    drawn.values.append(
                        static_cast<unsigned char>(alphabet[dice.bounded(alphabet.size())]));
            }
            // Some positions any byte, one fixed at least.
            if (!drawn.anyCase) {
                const qsizetype fixed = dice.bounded(drawn.values.size());
                for (qsizetype i = 0; i < drawn.values.size(); ++i)
                    drawn.values[i] = i != fixed && dice.bounded(5) == 0 ? -1 : drawn.values[i];
            }
            QList<qsizetype> cuts;
            for (qsizetype cut = 0; cut < bytes.size(); cut += dice.bounded(1, 40))
                cuts.append(cut);

            const BytePattern pattern = drawn.build();
            const Starts expected = slowSearch(drawn, bytes);
            const QByteArray what = "round " + QByteArray::number(round) + ", pattern "
                + pattern.toHex().toLatin1() + (drawn.anyCase ? " in either case" : "") + ", bytes "
                + QByteArray::number(bytes.size());
            QVERIFY2(streamStarts(pattern, bytes, cuts) == expected, what);
            const BlockSearch search(pattern);
            QVERIFY2(forwardStarts(search, bytes) == expected, what);
            QVERIFY2(backwardStarts(search, bytes) == expected, what);
            QVERIFY2(blockListStarts(pattern, bytes, dice.bounded(1, 70)) == expected, what);
        }
    }

    // Several patterns watched at once (some sharing a word of state, some
    // longer than one, some empty) report exactly what each finds alone, in
    // stream order and, at one byte, in the order of the patterns.
    void aSetOfPatternsFindsWhatEachFindsAlone()
    {
        const QByteArray alphabet("abAB\0", 5);
        QRandomGenerator &dice = testDice();
        for (int round = 0; round < 500; ++round) {
            QByteArray bytes(dice.bounded(400), Qt::Uninitialized);
            for (char &b : bytes)
                b = alphabet[dice.bounded(alphabet.size())];
            std::vector<BytePattern> patterns;
            for (int n = dice.bounded(1, 13); n > 0; --n) {
                DrawnPattern drawn;
                const int length = dice.bounded(8) == 0 ? dice.bounded(100) : dice.bounded(1, 6);
                // Any byte at some positions, never at the first.
                for (int i = 0; i < length; ++i)
                    drawn.values.append(i > 0 && dice.bounded(6) == 0
                            ? -1
                            : static_cast<unsigned char>(alphabet[dice.bounded(alphabet.size())]));
                patterns.push_back(length == 0 ? BytePattern() : drawn.build());
            }
            QList<qsizetype> cuts;
            for (qsizetype cut = 0; cut < bytes.size(); cut += dice.bounded(1, 30))
                cuts.append(cut);

            QList<std::pair<qint64, int>> expected;
            for (int index = 0; index < int(patterns.size()); ++index) {
                const BytePattern &pattern = patterns[size_t(index)];
                for (qint64 start : streamStarts(pattern, bytes, cuts))
                    expected.append({ start + pattern.size() - 1, index });
            }
            std::sort(expected.begin(), expected.end());
            PatternSetMatcher set(patterns);
            QList<std::pair<qint64, int>> found;
            qsizetype from = 0;
            for (qsizetype cut : cuts + QList<qsizetype> { bytes.size() }) {
                set.feed(bytes.sliced(from, cut - from), [&](int pattern, qint64 end) {
                    found.append({ end, pattern });
                });
                from = cut;
            }
            QVERIFY2(found == expected, qPrintable(QStringLiteral("round %1").arg(round)));
        }
    }
};

QTEST_GUILESS_MAIN(TestBytePattern)
#include "tst_bytepattern.moc"
