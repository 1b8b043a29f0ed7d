#include "text/cp1252.h"
#include "text/hexnotation.h"

#include <QTest>

class TestHexNotation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void bytesAreWrittenAsGroupsWithTrailingSpace_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("notation");
        QTest::newRow("empty") << QByteArray() << QString();
        QTest::newRow("41 0A") << QByteArray("A\n") << QStringLiteral("41 0A ");
        QTest::newRow("zero and FF") << QByteArray("\x00\xff", 2) << QStringLiteral("00 FF ");
        QTest::newRow("line end") << QByteArray("\r\n") << QStringLiteral("0D 0A ");
    }
    void bytesAreWrittenAsGroupsWithTrailingSpace()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, notation);
        QCOMPARE(HexNotation::write(bytes), notation);
    }

    void textIsWrittenByItsWindows1252Codes()
    {
        QCOMPARE(HexNotation::writeText(u"AB"), QStringLiteral("41 42 "));
        QCOMPARE(HexNotation::writeText(u"€ÿ"), QStringLiteral("80 FF "));
        QCOMPARE(HexNotation::writeText(u""), QString());
    }

    void pieceValueFollowsTheReadingRules_data()
    {
        QTest::addColumn<QString>("piece");
        QTest::addColumn<int>("value");
        QTest::newRow("two digits") << QStringLiteral("41") << 0x41;
        QTest::newRow("lower case") << QStringLiteral("ff") << 0xff;
        QTest::newRow("three digits") << QStringLiteral("123") << 0x123;
        QTest::newRow("group with space") << QStringLiteral("0A ") << 0x0A;
        QTest::newRow("leading space") << QStringLiteral(" 4") << 4;
        QTest::newRow("leading tab and line feed") << QStringLiteral("\t\n5") << 5;
        QTest::newRow("carriage return stops") << QStringLiteral("\r5") << 0;
        QTest::newRow("stops at other character") << QStringLiteral("4G1") << 4;
        QTest::newRow("no digit") << QStringLiteral("xy") << 0;
        QTest::newRow("spaces only") << QStringLiteral("   ") << 0;
        QTest::newRow("empty") << QString() << 0;
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
        QByteArray all;
        for (int b = 1; b < 256; ++b)
            all.append(char(b));
        QCOMPARE(HexNotation::toText(HexNotation::write(all)), Cp1252::toUnicode(all));
        const HexNotation::SendForm form = HexNotation::prepareForSending(HexNotation::write(all));
        QVERIFY(form.ok());
        QCOMPARE(form.bytes, all);
    }
};

QTEST_GUILESS_MAIN(TestHexNotation)
#include "tst_hexnotation.moc"
