#include "serial/networkaddress.h"

#include <QTest>

// What COM1 and COM2 may stand for across the network, read and refused.
class tst_NetworkAddress : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void addresses_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("written"); // empty: refused
        QTest::addColumn<QString>("problemStart");

        QTest::newRow("RFC 2217 by name") << "rfc2217://labor-7.example:2001"
                                          << "rfc2217://labor-7.example:2001" << QString();
        QTest::newRow("raw TCP, IPv4") << "tcp://127.0.0.1:3000"
                                       << "tcp://127.0.0.1:3000" << QString();
        QTest::newRow("IPv6 in brackets") << "rfc2217://[::1]:7000"
                                          << "rfc2217://[::1]:7000" << QString();
        QTest::newRow("scheme in capitals") << "TCP://host:1"
                                            << "tcp://host:1" << QString();
        QTest::newRow("no port") << "tcp://host" << QString() << "in „tcp://host“ fehlt der Port";
        QTest::newRow("port 0") << "tcp://host:0" << QString() << "der Port in";
        QTest::newRow("port too large") << "tcp://host:65536" << QString() << "der Port in";
        QTest::newRow("port with a sign") << "tcp://host:+22" << QString() << "der Port in";
        QTest::newRow("no host") << "rfc2217://:2000" << QString() << "„“ ist kein Rechnername";
        QTest::newRow("blank in the host")
            << "tcp://my host:1" << QString() << "„my host“ ist kein Rechnername";
        QTest::newRow("IPv6 without brackets") << "tcp://::1:2000" << QString() << "„::1“ ist";
        QTest::newRow("not IPv6 in brackets")
            << "tcp://[host]:2000" << QString() << "„host“ ist keine IPv6-Adresse";
        QTest::newRow("another scheme") << "telnet://host:23" << QString() << "„telnet://host:23“";
    }
    void addresses()
    {
        QFETCH(QString, text);
        QFETCH(QString, written);
        QFETCH(QString, problemStart);
        QString problem;
        const std::optional<NetworkAddress> address = NetworkAddress::parse(text, &problem);
        QCOMPARE(address.has_value(), !written.isEmpty());
        if (address)
            QCOMPARE(address->toString(), written);
        else
            QVERIFY2(problem.startsWith(problemStart), qPrintable(problem));
    }
};

QTEST_GUILESS_MAIN(tst_NetworkAddress)
#include "tst_networkaddress.moc"
