#include "ptydevice.h"
#include "ser2netserver.h"
#include "serial/telnetcomport.h"
#include "testbytes.h"

#include <QTcpSocket>
#include <QTest>
#include <termios.h>

// The Telnet side of a serial server against Debian's ser2net on 127.0.0.1,
// serving a pty the test plays as the device: what the server says at once
// is understood, every byte value passes both ways, and com-port commands
// reach the device.
class tst_SerialServer : public QObject
{
    Q_OBJECT

private:
    PtyDevice m_device;
    Ser2NetServer m_server;

    // A client of the Telnet port, taking the server's bytes apart as they come.
    struct Client
    {
        QTcpSocket socket;
        TelnetComPort telnet;
        QByteArray data;
        QList<TelnetComPort::Message> messages;

        bool connectTo(quint16 port)
        {
            socket.connectToHost(QHostAddress::LocalHost, port);
            if (!socket.waitForConnected(5000))
                return false;
            QObject::connect(&socket, &QTcpSocket::readyRead, &socket, [this] {
                const TelnetComPort::Received got = telnet.feed(socket.readAll());
                data += got.data;
                messages += got.messages;
                if (!got.reply.isEmpty())
                    socket.write(got.reply);
            });
            socket.write(TelnetComPort::greeting());
            return QTest::qWaitFor([this] { return telnet.comPortAgreed(); }, 5000);
        }
        bool hasMessage(std::uint8_t command)
        {
            return std::any_of(messages.begin(), messages.end(),
                [command](const TelnetComPort::Message &m) { return m.command == command; });
        }
    };

    speed_t deviceSpeed() const
    {
        termios settings = {};
        ::tcgetattr(m_device.slaveFd(), &settings);
        return cfgetospeed(&settings);
    }
    bool deviceHasTwoStopBits() const
    {
        termios settings = {};
        ::tcgetattr(m_device.slaveFd(), &settings);
        return settings.c_cflag & CSTOPB;
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (!Ser2NetServer::isInstalled())
            QSKIP("ser2net is needed (./test installs it)");
        QVERIFY2(m_server.start(m_device.slavePath()), qPrintable(m_server.errorString()));
    }
    // ser2net takes a moment to let go of the device after a client left.
    void init() { QVERIFY(m_server.waitUntilIdle()); }

    void everyByteBothWays()
    {
        Client client;
        QVERIFY(client.connectTo(m_server.telnetPort()));
        const QByteArray all
            = everyByteValue() + QByteArray(8, '\xff') + "\r\n\r" + QByteArray(1, 0);
        client.socket.write(TelnetComPort::escape(all));
        QCOMPARE(m_device.read(all.size()), all);
        QVERIFY(m_device.write(all));
        QTRY_COMPARE(client.data, all);
    }

    void comPortCommandsReachTheDevice()
    {
        Client client;
        QVERIFY(client.connectTo(m_server.telnetPort()));
        client.socket.write(TelnetComPort::setBaudRate(115200));
        client.socket.write(TelnetComPort::command(TelnetComPort::SetStopSize, "\x02"));
        QTRY_VERIFY(client.hasMessage(TelnetComPort::SetBaudRate)
            && client.hasMessage(TelnetComPort::SetStopSize));
        QTRY_COMPARE(deviceSpeed(), speed_t(B115200));
        QVERIFY(deviceHasTwoStopBits());
    }

    void rawPortPassesBytesAsTheyAre()
    {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, m_server.rawPort());
        QVERIFY(socket.waitForConnected(5000));
        const QByteArray all = everyByteValue();
        socket.write(all);
        QCOMPARE(m_device.read(all.size()), all);
        QVERIFY(m_device.write(all));
        QByteArray got;
        QTRY_VERIFY((got += socket.readAll()).size() >= all.size());
        QCOMPARE(got, all);
    }
};

QTEST_GUILESS_MAIN(tst_SerialServer)
#include "tst_serialserver.moc"
