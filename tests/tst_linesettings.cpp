#include "serial/linesettings.h"

#include <QTest>

using Parity = LineSettings::Parity;
using StopBits = LineSettings::StopBits;

class TestLineSettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void wellFormedTextIsAccepted_data();
    void wellFormedTextIsAccepted();
    void everyOfferedBaudRateIsAccepted_data();
    void everyOfferedBaudRateIsAccepted();
    void malformedTextIsRejected_data();
    void malformedTextIsRejected();
    void textWithLeadingCommaNamesMissingBaudRate();
    void oneAndHalfStopBitsAreSendableOnlyWithFiveDataBits();
};

void TestLineSettings::wellFormedTextIsAccepted_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("baud");
    QTest::addColumn<Parity>("parity");
    QTest::addColumn<int>("dataBits");
    QTest::addColumn<StopBits>("stopBits");

    QTest::newRow("9600,N,8,1") << "9600,N,8,1" << 9600 << Parity::None << 8 << StopBits::One;
    QTest::newRow("110,N,5,1") << "110,N,5,1" << 110 << Parity::None << 5 << StopBits::One;
    QTest::newRow("19200,M,7,2") << "19200,M,7,2" << 19200 << Parity::Mark << 7 << StopBits::Two;
    QTest::newRow("300,E,6,1") << "300,E,6,1" << 300 << Parity::Even << 6 << StopBits::One;
    QTest::newRow("56000,O,8,2") << "56000,O,8,2" << 56000 << Parity::Odd << 8 << StopBits::Two;
    QTest::newRow("14400,S,7,1") << "14400,S,7,1" << 14400 << Parity::Space << 7 << StopBits::One;
    QTest::newRow("1.5 stop bits with 5 data bits")
        << "1200,N,5,1.5" << 1200 << Parity::None << 5 << StopBits::OneAndHalf;
    QTest::newRow("1.5 stop bits with 8 data bits still parse")
        << "9600,N,8,1.5" << 9600 << Parity::None << 8 << StopBits::OneAndHalf;
}

void TestLineSettings::wellFormedTextIsAccepted()
{
    QFETCH(QString, text);
    QFETCH(int, baud);
    QFETCH(Parity, parity);
    QFETCH(int, dataBits);
    QFETCH(StopBits, stopBits);

    QString problem;
    const std::optional<LineSettings> settings = LineSettings::parse(text, &problem);
    QVERIFY2(settings, qPrintable(problem));
    QCOMPARE(settings->baudRate(), baud);
    QCOMPARE(settings->parity(), parity);
    QCOMPARE(settings->dataBits(), dataBits);
    QCOMPARE(settings->stopBits(), stopBits);
    QCOMPARE(settings->toString(), text);
}

void TestLineSettings::everyOfferedBaudRateIsAccepted_data()
{
    QTest::addColumn<int>("baud");
    for (int baud : LineSettings::kBaudRates)
        QTest::addRow("%d", baud) << baud;
}

void TestLineSettings::everyOfferedBaudRateIsAccepted()
{
    QFETCH(int, baud);
    const QString text = QStringLiteral("%1,N,8,1").arg(baud);
    const std::optional<LineSettings> settings = LineSettings::parse(text);
    QVERIFY(settings);
    QCOMPARE(settings->baudRate(), baud);
}

void TestLineSettings::malformedTextIsRejected_data()
{
    QTest::addColumn<QString>("text");

    QTest::newRow("leading comma, no baud rate") << ",N,8,1";
    QTest::newRow("stop bits missing") << "9600,N,8";
    QTest::newRow("unknown parity letter") << "9600,X,8,1";
    QTest::newRow("lower-case parity letter") << "9600,n,8,1";
    QTest::newRow("nine data bits") << "9600,N,9,1";
    QTest::newRow("four data bits") << "9600,N,4,1";
    QTest::newRow("three stop bits") << "9600,N,8,3";
    QTest::newRow("decimal comma in stop bits") << "9600,N,5,1,5";
    QTest::newRow("rate not offered") << "9601,N,8,1";
    QTest::newRow("76800 not offered") << "76800,N,8,1";
    QTest::newRow("leading zero on rate") << "09600,N,8,1";
    QTest::newRow("blank after comma") << "9600, N,8,1";
    QTest::newRow("trailing blank") << "9600,N,8,1 ";
    QTest::newRow("empty text") << "";
    QTest::newRow("extra piece") << "9600,N,8,1,1";
    QTest::newRow("empty parity piece") << "9600,,8,1";
    QTest::newRow("trailing comma") << "9600,N,8,1,";
    QTest::newRow("semicolons") << "9600;N;8;1";
}

void TestLineSettings::malformedTextIsRejected()
{
    QFETCH(QString, text);
    QString problem;
    QVERIFY(!LineSettings::parse(text, &problem));
    QVERIFY(!problem.isEmpty());
}

void TestLineSettings::textWithLeadingCommaNamesMissingBaudRate()
{
    QString problem;
    QVERIFY(!LineSettings::parse(QStringLiteral(",N,8,1"), &problem));
    QCOMPARE(problem, QStringLiteral("Baudrate fehlt"));
}

void TestLineSettings::oneAndHalfStopBitsAreSendableOnlyWithFiveDataBits()
{
    QVERIFY(LineSettings::parse(QStringLiteral("9600,N,5,1.5"))->isSendable());
    QVERIFY(!LineSettings::parse(QStringLiteral("9600,N,6,1.5"))->isSendable());
    QVERIFY(!LineSettings::parse(QStringLiteral("9600,N,8,1.5"))->isSendable());
    QVERIFY(LineSettings::parse(QStringLiteral("9600,N,8,2"))->isSendable());
}

QTEST_GUILESS_MAIN(TestLineSettings)
#include "tst_linesettings.moc"
