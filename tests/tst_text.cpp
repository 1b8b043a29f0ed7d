#include "testbytes.h"
#include "text/bytecount.h"
#include "text/charactertable.h"
#include "text/cp1252.h"
#include "text/hexnotation.h"

#include <QTest>

// The program's shared types: Windows-1252, its one character set (every
// byte one character and back, the 32 codes from 80h to 9Fh included), the
// character table of the input and automation windows, the hex byte
// notation, and byte counts as the messages write them.
class TestText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void bytesMapToTheirCharacters_data()
    {
        QTest::addColumn<int>("byte");
        QTest::addColumn<int>("unicode");
        QTest::newRow("control code") << 0x0D << 0x000D;
        QTest::newRow("ASCII") << 0x41 << 0x0041;
        QTest::newRow("euro sign") << 0x80 << 0x20AC;
        QTest::newRow("low double quote") << 0x84 << 0x201E;
        QTest::newRow("Y with diaeresis") << 0x9F << 0x0178;
        QTest::newRow("undefined 81h keeps its value") << 0x81 << 0x0081;
        QTest::newRow("undefined 9Dh keeps its value") << 0x9D << 0x009D;
        QTest::newRow("no-break space") << 0xA0 << 0x00A0;
        QTest::newRow("y with diaeresis") << 0xFF << 0x00FF;
    }

    void bytesMapToTheirCharacters()
    {
        QFETCH(int, byte);
        QFETCH(int, unicode);
        QCOMPARE(Cp1252::toChar(static_cast<unsigned char>(byte)).unicode(), char16_t(unicode));
        QCOMPARE(Cp1252::toByte(QChar(char16_t(unicode))), byte);
    }

    void everyByteSurvivesARoundTrip()
    {
        const QByteArray all = everyByteValue();
        const QString text = Cp1252::toUnicode(all);
        QCOMPARE(text.size(), 256);
        QVERIFY(Cp1252::isEncodable(text));
        QCOMPARE(Cp1252::fromUnicode(text), all);
    }

    void charactersOutsideTheSetAreRefused_data()
    {
        QTest::addColumn<int>("unicode");
        QTest::newRow("Latin-1's C1 code 80h, which 1252 spends on the euro") << 0x0080;
        QTest::newRow("C1 code 9Fh") << 0x009F;
        QTest::newRow("Greek alpha") << 0x03B1;
        QTest::newRow("replacement character") << 0xFFFD;
    }

    void charactersOutsideTheSetAreRefused()
    {
        QFETCH(int, unicode);
        const QChar ch { char16_t(unicode) };
        QCOMPARE(Cp1252::toByte(ch), -1);
        QVERIFY(!Cp1252::isEncodable(ch));
        QCOMPARE(Cp1252::fromUnicode(QString(ch)), QByteArray("?"));
    }

    void itemsFollowTheTableRule_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("item");
        const auto row = [](int code, const char *item) {
            QTest::addRow("%d", code) << code << QString::fromUtf8(item);
        };
        row(0, "00h ; 0");
        row(31, "1Fh ; 31");
        row(32, "20h ; 32, Space ");
        row(33, "21h ; 33, !");
        row(65, "41h ; 65, A");
        row(127, "7Fh ; 127");
        row(128, "80h ; 128, €");
        row(129, "81h ; 129");
        row(130, "82h ; 130, ‚");
        row(142, "8Eh ; 142, Ž");
        row(144, "90h ; 144");
        row(157, "9Dh ; 157");
        row(159, "9Fh ; 159, Ÿ");
        row(228, "E4h ; 228, ä");
        row(255, "FFh ; 255, ÿ");
    }
    void itemsFollowTheTableRule()
    {
        QFETCH(int, code);
        QFETCH(QString, item);
        QCOMPARE(CharacterTable::itemText(code), item);
    }

    // The input window's table has all 256 codes, the automation window's
    // lacks code 0; an item reads back as its code.
    void tablesListTheCodesInOrder()
    {
        const QStringList items = CharacterTable::items(0);
        QCOMPARE(items.size(), 256);
        for (int code = 0; code < 256; ++code) {
            QCOMPARE(items.at(code), CharacterTable::itemText(code));
            QCOMPARE(CharacterTable::codeOfItem(items.at(code)), code);
        }
        QCOMPARE(CharacterTable::items(1), items.mid(1));
    }

    void noSelectionReadsAsCodeZero() { QCOMPARE(CharacterTable::codeOfItem(u""), 0); }

    void textIsWrittenByItsWindows1252Codes()
    {
        QCOMPARE(HexNotation::writeText(u"AB"), QStringLiteral("41 42 "));
        QCOMPARE(HexNotation::writeText(u"€ÿ"), QStringLiteral("80 FF "));
        QCOMPARE(HexNotation::writeText(u""), QString());
        QCOMPARE(HexNotation::write(QByteArray("\x00\n", 2)), QStringLiteral("00 0A "));
    }

    void pieceValueFollowsTheReadingRules_data()
    {
        QTest::addColumn<QString>("piece");
        QTest::addColumn<int>("value");
        QTest::newRow("lower case") << QStringLiteral("ff") << 0xff;
        QTest::newRow("three digits") << QStringLiteral("123") << 0x123;
        QTest::newRow("leading space") << QStringLiteral(" 4") << 4;
        QTest::newRow("leading tab and line feed") << QStringLiteral("\t\n5") << 5;
        QTest::newRow("carriage return stops") << QStringLiteral("\r5") << 0;
        QTest::newRow("stops at other character") << QStringLiteral("4G1") << 4;
        QTest::newRow("space between digits stops") << QStringLiteral("4 1") << 4;
    }
    void pieceValueFollowsTheReadingRules()
    {
        QFETCH(QString, piece);
        QFETCH(int, value);
        QCOMPARE(HexNotation::pieceValue(piece), value);
    }

    void hexEntryConvertsToTextInStepsOfThree_data()
    {
        QTest::addColumn<QString>("hex");
        QTest::addColumn<QString>("text");
        QTest::newRow("AB") << QStringLiteral("41 42 ") << QStringLiteral("AB");
        QTest::newRow("groups 00 vanish") << QStringLiteral("41 00 42 ") << QStringLiteral("AB");
        QTest::newRow("line end") << QStringLiteral("0D 0A ") << QStringLiteral("\r\n");
        QTest::newRow("without last space") << QStringLiteral("41 42") << QStringLiteral("AB");
        QTest::newRow("lower case") << QStringLiteral("6a ") << QStringLiteral("j");
        QTest::newRow("high codes")
            << QStringLiteral("80 FF ") << QString(QChar(0x20AC)) + QChar(0xFF);
        QTest::newRow("misaligned read in steps")
            << QStringLiteral(" 41 42") << QString(QChar(4)) + QChar(4);
        QTest::newRow("zero as two, not as three")
            << QStringLiteral("00A41 ") << QStringLiteral("A");
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("garbage is no error") << QStringLiteral("zz 41 ") << QStringLiteral("A");
    }
    void hexEntryConvertsToTextInStepsOfThree()
    {
        QFETCH(QString, hex);
        QFETCH(QString, text);
        QCOMPARE(HexNotation::toText(hex), text);
    }

    void sendingNormalisesAndChecksTheGroups_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("normalised");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("errorAt");
        const auto ok
            = [](const char *name, const char *entry, const char *normalised, QByteArray bytes) {
                  QTest::newRow(name) << QString::fromLatin1(entry)
                                      << QString::fromLatin1(normalised) << bytes << -1;
              };
        const auto bad = [](const char *name, const char *entry, const char *normalised, int at) {
            QTest::newRow(name) << QString::fromLatin1(entry) << QString::fromLatin1(normalised)
                                << QByteArray() << at;
        };
        ok("well formed", "41 42 ", "41 42 ", "AB");
        ok("leading space normalised", " 41 42 ", "41 42 ", "AB");
        ok("no trailing space", "41 42", "41 42 ", "AB");
        ok("many trailing spaces", "41 42    ", "41 42 ", "AB");
        ok("00 sends one zero byte", "00 ", "00 ", QByteArray(1, '\0'));
        ok("two-space group sends 0", "41    42 ", "41    42 ", QByteArray("A\0B", 3));
        ok("digits are not checked", "GG ", "GG ", QByteArray(1, '\0'));
        ok("lower case", "ff ", "ff ", "\xff");
        bad("41 4 format error", "41 4", "41 4 ", 3);
        bad("four digits without space", "4142", "4142 ", 0);
        bad("spaces only", "    ", " ", 0);
        bad("two spaces between groups", "41  42 ", "41  42 ", 3);
        bad("line break is no space", "41\r\n42 ", "41\r\n42 ", 0);
    }
    void sendingNormalisesAndChecksTheGroups()
    {
        QFETCH(QString, entry);
        QFETCH(QString, normalised);
        QFETCH(QByteArray, bytes);
        QFETCH(int, errorAt);
        const HexNotation::SendForm form = HexNotation::prepareForSending(entry);
        QCOMPARE(form.normalised, normalised);
        QCOMPARE(form.formatErrorAt, qsizetype(errorAt));
        QCOMPARE(form.ok(), errorAt < 0);
        QCOMPARE(form.bytes, bytes);
    }

    void normaliseRemovesOnlySpaces()
    {
        QCOMPARE(HexNotation::normalise(u"\t41 "), QStringLiteral("\t41 "));
        QCOMPARE(HexNotation::normalise(u""), QStringLiteral(" "));
    }

    void keyFilterOfTheHexEntry_data()
    {
        QTest::addColumn<QChar>("typed");
        QTest::addColumn<QChar>("passed"); // null: discarded
        for (char c : QByteArray("0123456789ABCDEF "))
            QTest::addRow("%c passes", c) << QChar(c) << QChar(c);
        for (char c : QByteArray("abcdef"))
            QTest::addRow("%c upper-cased", c) << QChar(c) << QChar(c - 32);
        QTest::newRow("Backspace passes") << QChar(8) << QChar(8);
        const char16_t discarded[] = { u'g', u'G', u'x', u'z', u'-', u'.', u'\r', u'\n', u'\t', 3,
            22, 24, 1, 26, 127, 0xE4, 0x20AC };
        for (char16_t c : discarded)
            QTest::addRow("U+%04X discarded", unsigned(c)) << QChar(c) << QChar();
    }
    void keyFilterOfTheHexEntry()
    {
        QFETCH(QChar, typed);
        QFETCH(QChar, passed);
        const std::optional<QChar> result = HexNotation::filterTypedCharacter(typed);
        if (passed.isNull()) {
            QVERIFY(!result);
        } else {
            QVERIFY(result);
            QCOMPARE(*result, passed);
        }
    }

    void everyByteSurvivesWriteAndConvertExceptZero()
    {
        const QByteArray all = everyByteValue(1);
        QCOMPARE(HexNotation::toText(HexNotation::write(all)), Cp1252::toUnicode(all));
        const HexNotation::SendForm form = HexNotation::prepareForSending(HexNotation::write(all));
        QVERIFY(form.ok());
        QCOMPARE(form.bytes, all);
    }

    void byteCountsAreGroupedByThousandsWithADot_data()
    {
        QTest::addColumn<qint64>("count");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("amount");
        QTest::newRow("none") << qint64(0) << "0"
                              << "0 Bytes";
        QTest::newRow("one") << qint64(1) << "1"
                             << "1 Byte";
        QTest::newRow("below a thousand") << qint64(999) << "999"
                                          << "999 Bytes";
        QTest::newRow("a thousand") << qint64(1000) << "1.000"
                                    << "1.000 Bytes";
        QTest::newRow("27 blocks of 512") << qint64(13824) << "13.824"
                                          << "13.824 Bytes";
        QTest::newRow("past 32 bits") << qint64(5000000000) << "5.000.000.000"
                                      << "5.000.000.000 Bytes";
    }
    void byteCountsAreGroupedByThousandsWithADot()
    {
        QFETCH(qint64, count);
        QFETCH(QString, number);
        QFETCH(QString, amount);
        QCOMPARE(ByteCount::number(count), number);
        QCOMPARE(ByteCount::amount(count), amount);
    }
};

QTEST_GUILESS_MAIN(TestText)
#include "tst_text.moc"
