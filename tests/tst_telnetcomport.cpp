#include "serial/telnetcomport.h"

#include <QTest>

// What a serial server sends, taken apart: data, answers and com-port
// messages, whatever way the bytes were split.
class tst_TelnetComPort : public QObject
{
    Q_OBJECT

private:
    using T = TelnetComPort;

    static QByteArray bytes(std::initializer_list<int> values)
    {
        QByteArray out;
        for (int value : values)
            out += char(value);
        return out;
    }

private Q_SLOTS:
    void serverBytes_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QByteArray>("messages"); // command and value, one after the other

        QTest::newRow("plain data, CR NUL and CR LF untouched") << QByteArray("a\r\0b\r\n",
            6) << QByteArray("a\r\0b\r\n", 6) << QByteArray() << QByteArray();
        QTest::newRow("doubled FF is one FF")
            << bytes({ 1, 255, 255, 255, 255, 2 }) << bytes({ 1, 255, 255, 2 }) << QByteArray()
            << QByteArray();
        QTest::newRow("what we asked for, agreed: no answer") << bytes(
            { 255, T::kDo, 0, 255, T::kWill, 0, 255, T::kDo, 3, 255, T::kWill, 3, 255, T::kDo, 44 })
                                                              << QByteArray() << QByteArray()
                                                              << QByteArray();
        QTest::newRow("unknown options refused once")
            << bytes({ 255, T::kDo, 1, 255, T::kDo, 1, 255, T::kWill, 24, 255, T::kWill, 24 })
            << QByteArray() << bytes({ 255, T::kWont, 1, 255, T::kDont, 24 }) << QByteArray();
        QTest::newRow("binary agreed, then withdrawn")
            << bytes({ 255, T::kWill, 0, 255, T::kWont, 0, 255, T::kWont, 0 }) << QByteArray()
            << bytes({ 255, T::kDont, 0 }) << QByteArray();
        QTest::newRow("modem state and a baud rate with FF in it") << bytes(
            { 255, T::kSb, 44, 107, 0x30, 255, T::kSe, 255, T::kSb, 44, 101, 0, 0, 255, 255, 0, 255,
                T::kSe }) << QByteArray() << QByteArray() << bytes({ 7, 0x30, 1, 0, 0, 255, 0 });
        QTest::newRow("go-ahead and NOP carry nothing")
            << bytes({ 'x', 255, 249, 255, 241, 'y' }) << QByteArray("xy") << QByteArray()
            << QByteArray();
        QTest::newRow("a subnegotiation of another option is dropped")
            << bytes({ 255, T::kSb, 24, 1, 255, T::kSe, 'z' }) << QByteArray("z") << QByteArray()
            << QByteArray();
        QTest::newRow("a subnegotiation broken off by a command")
            << bytes({ 255, T::kSb, 44, 107, 1, 255, T::kDo, 1, 'z' }) << QByteArray("z")
            << bytes({ 255, T::kWont, 1 }) << QByteArray();
        QTest::newRow("an oversized subnegotiation is dropped whole")
            << bytes({ 255, T::kSb, 44, 107 }) + QByteArray(5000, 'q') + bytes({ 255, T::kSe, 'z' })
            << QByteArray("z") << QByteArray() << QByteArray();
    }
    void serverBytes()
    {
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, data);
        QFETCH(QByteArray, reply);
        QFETCH(QByteArray, messages);
        // Whole, and one byte at a time: the server may split anywhere.
        for (int piece : { int(input.size()), 1 }) {
            T telnet;
            T::Received all;
            for (qsizetype at = 0; at < input.size(); at += piece) {
                const T::Received got = telnet.feed(QByteArrayView(input).sliced(
                    at, std::min<qsizetype>(piece, input.size() - at)));
                all.data += got.data;
                all.reply += got.reply;
                all.messages += got.messages;
            }
            QCOMPARE(all.data, data);
            QCOMPARE(all.reply, reply);
            QByteArray seen;
            for (const T::Message &message : all.messages)
                seen += char(message.command) + message.value;
            QCOMPARE(seen, messages);
        }
    }

    void comPortOption()
    {
        T agreed;
        agreed.feed(bytes({ 255, T::kDo, 44 }));
        QVERIFY(agreed.comPortAgreed());
        T refused;
        refused.feed(bytes({ 255, T::kDont, 44 }));
        QVERIFY(refused.comPortRefused() && !refused.comPortAgreed());
    }

    void outgoing()
    {
        QCOMPARE(T::escape(bytes({ 255, 0, 255 })), bytes({ 255, 255, 0, 255, 255 }));
        QCOMPARE(T::setBaudRate(115200), bytes({ 255, T::kSb, 44, 1, 0, 1, 0xC2, 0, 255, T::kSe }));
        QCOMPARE(
            T::command(T::SetControl, bytes({ 8 })), bytes({ 255, T::kSb, 44, 5, 8, 255, T::kSe }));
    }

    // A server that never ends its subnegotiation holds no more than a few
    // bytes, and none of it becomes data.
    void endlessSubnegotiation()
    {
        T telnet;
        telnet.feed(bytes({ 255, T::kSb, 44, 107 }));
        const QByteArray flood(1 << 20, 'x');
        for (int i = 0; i < 16; ++i)
            QVERIFY(telnet.feed(flood).data.isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_TelnetComPort)
#include "tst_telnetcomport.moc"
