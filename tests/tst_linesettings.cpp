#include "serial/linesettings.h"

#include <QTest>

using Parity = LineSettings::Parity;
using StopBits = LineSettings::StopBits;

class TestLineSettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void wellFormedTextIsAccepted_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("baud");
        QTest::addColumn<Parity>("parity");
        QTest::addColumn<int>("dataBits");
        QTest::addColumn<StopBits>("stopBits");
        for (int baud : LineSettings::kBaudRates)
            QTest::addRow("%d,N,8,1", baud) << QStringLiteral("%1,N,8,1").arg(baud) << baud
                                            << Parity::None << 8 << StopBits::One;
        QTest::newRow("110,N,5,1") << "110,N,5,1" << 110 << Parity::None << 5 << StopBits::One;
        QTest::newRow("19200,M,7,2")
            << "19200,M,7,2" << 19200 << Parity::Mark << 7 << StopBits::Two;
        QTest::newRow("300,E,6,1") << "300,E,6,1" << 300 << Parity::Even << 6 << StopBits::One;
        QTest::newRow("56000,O,8,2") << "56000,O,8,2" << 56000 << Parity::Odd << 8 << StopBits::Two;
        QTest::newRow("14400,S,7,1")
            << "14400,S,7,1" << 14400 << Parity::Space << 7 << StopBits::One;
        QTest::newRow("1.5 stop bits with 5 data bits")
            << "1200,N,5,1.5" << 1200 << Parity::None << 5 << StopBits::OneAndHalf;
        QTest::newRow("1.5 stop bits with 8 data bits still parse")
            << "9600,N,8,1.5" << 9600 << Parity::None << 8 << StopBits::OneAndHalf;
    }
    void wellFormedTextIsAccepted()
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

    void malformedTextIsRejected_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("problem"); // empty: any
        QTest::newRow("leading comma, no baud rate") << ",N,8,1"
                                                     << "Baudrate fehlt";
        const char *texts[] = { "9600,N,8", "9600,X,8,1", "9600,n,8,1", "9600,N,9,1", "9600,N,4,1",
            "9600,N,8,3", "9600,N,5,1,5", "9601,N,8,1", "76800,N,8,1", "09600,N,8,1", "9600, N,8,1",
            "9600,N,8,1 ", "", "9600,N,8,1,1", "9600,,8,1", "9600,N,8,1,", "9600;N;8;1" };
        for (const char *text : texts)
            QTest::addRow("\"%s\"", text) << QString::fromLatin1(text) << QString();
    }
    void malformedTextIsRejected()
    {
        QFETCH(QString, text);
        QFETCH(QString, problem);
        QString found;
        QVERIFY(!LineSettings::parse(text, &found));
        QVERIFY(!found.isEmpty());
        if (!problem.isEmpty())
            QCOMPARE(found, problem);
    }

    void oneAndHalfStopBitsAreSendableOnlyWithFiveDataBits()
    {
        QVERIFY(LineSettings::parse(QStringLiteral("9600,N,5,1.5"))->isSendable());
        QVERIFY(!LineSettings::parse(QStringLiteral("9600,N,6,1.5"))->isSendable());
        QVERIFY(!LineSettings::parse(QStringLiteral("9600,N,8,1.5"))->isSendable());
        QVERIFY(LineSettings::parse(QStringLiteral("9600,N,8,2"))->isSendable());
    }
};

QTEST_GUILESS_MAIN(TestLineSettings)
#include "tst_linesettings.moc"
