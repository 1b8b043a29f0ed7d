#include "text/cp1252.h"

#include <QTest>

// Windows-1252, the one character set of the program: every byte maps to one
// character and back, the 32 codes from 80h to 9Fh included.
class TestCp1252 : public QObject
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
        QTest::newRow("left double quote") << 0x93 << 0x201C;
        QTest::newRow("trade mark") << 0x99 << 0x2122;
        QTest::newRow("Y with diaeresis") << 0x9F << 0x0178;
        QTest::newRow("undefined 81h keeps its value") << 0x81 << 0x0081;
        QTest::newRow("undefined 9Dh keeps its value") << 0x9D << 0x009D;
        QTest::newRow("no-break space") << 0xA0 << 0x00A0;
        QTest::newRow("degree sign") << 0xB0 << 0x00B0;
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
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(char(b));
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
};

QTEST_APPLESS_MAIN(TestCp1252)
#include "tst_cp1252.moc"
