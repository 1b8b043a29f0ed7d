#include "serial/connectionchoices.h"

#include <QTest>

using ConnectionChoices::Positions;

// The settings window's choices without the window: the captions its options
// show, and the Settings text and status bar text its chosen positions give.
class TestConnectionChoices : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void optionsShowTheirCaptionsInOrder()
    {
        QCOMPARE(ConnectionChoices::portCaptions(), (QStringList { "COM1", "COM2" }));
        QCOMPARE(ConnectionChoices::baudCaptions(),
            (QStringList { "110", "300", "600", "1200", "2400", "4800", "9600", "14400", "19200",
                "28800", "38400", "56000", "57600", "115200", "230400", "460800", "921600" }));
        QCOMPARE(ConnectionChoices::parityCaptions(),
            (QStringList { "Keine", "Gerade", "Ungerade", "Mark", "Space" }));
        QCOMPARE(ConnectionChoices::dataBitsCaptions(), (QStringList { "5", "6", "7", "8" }));
        QCOMPARE(ConnectionChoices::stopBitsCaptions(), (QStringList { "1", "1,5", "2" }));
    }

    // Positions in the order port, baud rate, parity, data bits, stop bits.
    void positionsGiveSettingsAndPanelText_data()
    {
        QTest::addColumn<QList<int>>("positions");
        QTest::addColumn<int>("commPort");
        QTest::addColumn<QString>("settings"); // empty: no line settings
        QTest::addColumn<QString>("panel");
        const auto row = [](const char *name, const QList<int> &positions, int commPort,
                             const char *settings, const char *panel = "") {
            QTest::newRow(name) << positions << commPort << QString::fromUtf8(settings)
                                << QString::fromUtf8(panel);
        };
        row("first of each", { 0, 0, 0, 0, 0 }, 1, "110,N,5,1",
            "Einstellungen: 110 Baud, 5 Datenbits, keine Parität, 1 Stopbit");
        row("9600 odd 8 1", { 0, 6, 2, 3, 0 }, 1, "9600,O,8,1",
            "Einstellungen: 9600 Baud, 8 Datenbits, ungerade Parität, 1 Stopbit");
        row("19200 mark 7 2 on COM2", { 1, 8, 3, 2, 2 }, 2, "19200,M,7,2",
            "Einstellungen: 19200 Baud, 7 Datenbits, Mark Parität, 2 Stopbit");
        row("56000 even 5 1.5", { 0, 11, 1, 0, 1 }, 1, "56000,E,5,1.5",
            "Einstellungen: 56000 Baud, 5 Datenbits, gerade Parität, 1.5 Stopbit");
        row("115200 space 6 2", { 1, 13, 4, 1, 2 }, 2, "115200,S,6,2",
            "Einstellungen: 115200 Baud, 6 Datenbits, Space Parität, 2 Stopbit");
        row("last rate", { 0, 16, 0, 3, 0 }, 1, "921600,N,8,1",
            "Einstellungen: 921600 Baud, 8 Datenbits, keine Parität, 1 Stopbit");
        row("first appended rate", { 0, 12, 0, 3, 0 }, 1, "57600,N,8,1",
            "Einstellungen: 57600 Baud, 8 Datenbits, keine Parität, 1 Stopbit");
        row("port outside the group, below", { -1, 6, 0, 3, 0 }, 1, "9600,N,8,1",
            "Einstellungen: 9600 Baud, 8 Datenbits, keine Parität, 1 Stopbit");
        row("port outside the group, above", { 2, 6, 0, 3, 0 }, 2, "9600,N,8,1",
            "Einstellungen: 9600 Baud, 8 Datenbits, keine Parität, 1 Stopbit");
        row("no parity", { 0, 6, -1, 3, 0 }, 1, "");
        row("no data bits", { 1, 6, 0, -1, 0 }, 2, "");
        row("no stop bits", { 0, 6, 0, 3, -1 }, 1, "");
        row("parity outside the group", { 0, 6, 5, 3, 0 }, 1, "");
        row("data bits outside the group", { 0, 6, 0, 4, 0 }, 1, "");
        row("stop bits outside the group", { 0, 6, 0, 3, 3 }, 1, "");
    }
    void positionsGiveSettingsAndPanelText()
    {
        QFETCH(QList<int>, positions);
        QFETCH(int, commPort);
        QFETCH(QString, settings);
        QFETCH(QString, panel);
        const ConnectionChoices::Connection connection = ConnectionChoices::connectionFor(
            Positions { positions[0], positions[1], positions[2], positions[3], positions[4] });
        QCOMPARE(connection.commPort, commPort);
        QCOMPARE(bool(connection.line), !settings.isEmpty());
        if (!connection.line)
            return;
        QCOMPARE(connection.line->settings, settings);
        QCOMPARE(connection.line->panelText, panel);
    }

    // Without a rate the text goes to the port without one, which refuses it
    // and says that the rate is missing.
    void noRateLeavesTheRateOutOfTheText()
    {
        for (int baud : { -1, 17 }) {
            const ConnectionChoices::Connection connection
                = ConnectionChoices::connectionFor(Positions { 0, baud, 0, 3, 0 });
            QVERIFY(connection.line);
            QCOMPARE(connection.line->settings, QStringLiteral(",N,8,1"));
        }
    }
};

QTEST_GUILESS_MAIN(TestConnectionChoices)
#include "tst_connectionchoices.moc"
