#include "filehelpers.h"
#include "ptydevice.h"
#include "xsession.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

// A user's path through the real executable in a real X server: keys and
// clicks go through xdotool, the device at the far end of COM1 is a
// pseudo-terminal, and the test checks what reached it, what tavel.cfg holds
// after the program was ended with SIGTERM, and what a capture holds after
// SIGKILL.
class TestUserPath : public QObject
{
    Q_OBJECT

private:
    XSession m_x;
    QTemporaryDir m_folder;

    // Starts a copy of the program, beside which it keeps its tavel.cfg, and
    // gives its main window the focus.
    QByteArray launch(QProcess &tavel, const PtyDevice &com1, const PtyDevice &com2)
    {
        const QString program = m_folder.filePath(QStringLiteral("tavel"));
        if (!QFile::exists(program) && !QFile::copy(QStringLiteral(TAVEL_EXECUTABLE), program))
            return {};
        m_x.startProgram(tavel, program, com1.slavePath(), com2.slavePath());
        if (!tavel.waitForStarted(10000))
            return {};
        const QByteArray window = m_x.waitForWindow(QStringLiteral("Tavel"));
        if (!window.isEmpty())
            focus(window);
        return window;
    }

    void key(const QString &keys) { m_x.key(keys); }
    void type(const QString &text) { m_x.type(text); }
    void focus(const QByteArray &window) { m_x.focus(window); }
    QList<QByteArray> windows(const QString &title, bool sync = false)
    {
        return m_x.windows(title, sync);
    }

    // One save of each kind through the Datei menu: the received bytes and
    // the bytes handed to the port (the file sent is not among them) as they
    // came, and tavel.cfg written now. Alt+D is also the settings window's
    // "&Datenbits", and Qt takes turns between the two while that window is
    // the active one, so the input window comes to the front first.
    void saveEachKind(
        const QByteArray &mainWindow, const QByteArray &received, const QString &settingsFile)
    {
        const QString receivedFile = m_folder.filePath(QStringLiteral("empfangen.bin"));
        QVERIFY(m_x.saveThroughDialog(mainWindow, QStringLiteral("F5 alt+d e"),
            QStringLiteral("Empfangene Daten speichern"), receivedFile));
        QTRY_COMPARE(contentsOf(receivedFile), received);

        const QString sentFile = m_folder.filePath(QStringLiteral("gesendet.bin"));
        QVERIFY(m_x.saveThroughDialog(mainWindow, QStringLiteral("F5 alt+d g"),
            QStringLiteral("Gesendete Daten speichern"), sentFile));
        QTRY_COMPARE(contentsOf(sentFile), QByteArray("HalloHalloXYPING"));

        QVERIFY(QFile::remove(settingsFile));
        focus(mainWindow);
        key(QStringLiteral("F5 alt+d s"));
        QTRY_VERIFY(QFile::exists(settingsFile));
        QCOMPARE(contentsOf(settingsFile).split('\n').value(10), QByteArray("\"PING\",\"0\"\r"));
    }

    // A file far larger than the pty holds while nobody reads: the progress
    // window shows and the transfer stands still; "Verbindung trennen" asks
    // first, Nein keeps the file going, Ja stops it.
    void sendFileToADeviceThatDoesNotRead(PtyDevice &device, const QByteArray &mainWindow)
    {
        QByteArray firmware(4 * 1024 * 1024, Qt::Uninitialized);
        for (qsizetype i = 0; i < firmware.size(); ++i)
            firmware[i] = char((i * 13 + i / 997) & 0xFF);
        const QString path = m_folder.filePath(QStringLiteral("firmware.bin"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(firmware) == firmware.size());
        file.close();

        const QString title = QStringLiteral("Datei senden");
        key(QStringLiteral("alt+d"));
        key(QStringLiteral("d"));
        const QList<QByteArray> dialog = windows(title, true);
        QVERIFY2(!dialog.isEmpty(), "the file dialog did not open");
        focus(dialog.constLast());
        type(path);
        key(QStringLiteral("Return"));
        QTest::qWait(1000);
        QVERIFY2(windows(title).size() == 1, "the progress window is not showing");

        focus(mainWindow);
        key(QStringLiteral("F8"));
        key(QStringLiteral("alt+t"));
        QList<QByteArray> boxes = windows(QStringLiteral("Tavel"));
        QVERIFY2(boxes.size() == 2, "no question before the connection ends");
        focus(boxes.constLast());
        key(QStringLiteral("alt+n"));
        QCOMPARE(windows(QStringLiteral("Tavel")).size(), 1);
        QCOMPARE(windows(title).size(), 1);
        // Still going: the device reads the file from its start.
        const QByteArray head = device.read(512 * 1024, 10000);
        QVERIFY(head.size() >= 512 * 1024);
        QVERIFY(head == firmware.left(head.size()));

        focus(mainWindow);
        key(QStringLiteral("alt+t"));
        boxes = windows(QStringLiteral("Tavel"));
        QVERIFY2(boxes.size() == 2, "no question before the connection ends");
        focus(boxes.constLast());
        key(QStringLiteral("alt+j"));
        QTRY_VERIFY2(windows(title).isEmpty(), "the progress window stayed");
        const QByteArray rest = device.readFor(1000);
        QVERIFY(head.size() + rest.size() < firmware.size());
        QVERIFY(rest == firmware.mid(head.size(), rest.size()));
        focus(mainWindow);
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (const QString missing = XSession::missingTools(); !missing.isEmpty())
            QSKIP(qPrintable(missing));
        QVERIFY(m_x.start());
    }

    void connectTypeSendAndAutomate()
    {
        PtyDevice com1;
        PtyDevice com2;
        // Button 1 of the automation window already holds a command.
        QFile settings(m_folder.filePath(QStringLiteral("tavel.cfg")));
        QVERIFY(settings.open(QIODevice::WriteOnly));
        QByteArray file
            = "0,0\r\n330,330\r\n660,660\r\n990,990\r\n1320,1320\r\n6\r\n0\r\n0\r\n3\r\n0\r\n"
              "\"PING\",\"0\"\r\n";
        for (int i = 1; i < 10; ++i)
            file += "\"\",\"0\"\r\n";
        for (int i = 1; i <= 10; ++i)
            file += "\"Senden " + QByteArray::number(i) + "\"\r\n";
        settings.write(file);
        settings.close();

        QProcess tavel;
        const QByteArray window = launch(tavel, com1, com2);
        QVERIFY2(!window.isEmpty(), "the main window did not appear");

        key(QStringLiteral("F8"));
        key(QStringLiteral("alt+h"));
        const QByteArray answer("Antwort\r\n\x00\xFF", 11);
        QVERIFY(com1.write(answer));
        key(QStringLiteral("F5"));
        type(QStringLiteral("Hallo"));
        key(QStringLiteral("alt+n"));
        QCOMPARE(com1.read(5, 5000), QByteArray("Hallo"));
        // The sent-data window that the first send opened must not have taken
        // the focus: typing goes on in the entry, which still holds "Hallo".
        type(QStringLiteral("XY"));
        key(QStringLiteral("alt+n"));
        QCOMPARE(com1.read(7, 5000), QByteArray("HalloXY"));

        key(QStringLiteral("F9"));
        // The first button of the automation window, which opens at its
        // stored place (1320 twips, 88 pixels, in from the client area's
        // corner); the button stands 160/120 twips inside it, 2600 x 375 large.
        m_x.xdotool({ QStringLiteral("mousemove"), QStringLiteral("189"), QStringLiteral("151"),
            QStringLiteral("click"), QStringLiteral("1") });
        QCOMPARE(com1.read(4, 5000), QByteArray("PING"));

        sendFileToADeviceThatDoesNotRead(com1, window);
        saveEachKind(window, answer, settings.fileName());

        ::kill(pid_t(tavel.processId()), SIGTERM);
        QVERIFY(tavel.waitForFinished(20000));
        QCOMPARE(tavel.exitCode(), 0);

        QVERIFY(settings.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = settings.readAll().split('\n');
        QCOMPARE(lines.size(), 31);
        // 9600 baud, COM1, no parity, 8 data bits, 1 stop bit, as connected.
        QCOMPARE(lines.mid(5, 5), (QList<QByteArray> { "6\r", "0\r", "0\r", "3\r", "0\r" }));
        QCOMPARE(lines[10], QByteArray("\"PING\",\"0\"\r"));
    }

    // "&Mitschnitt …": after each piece the device sends the file holds
    // everything so far, and SIGKILL takes none of it away.
    void captureSurvivesSigkill()
    {
        PtyDevice com1;
        PtyDevice com2;
        QProcess tavel;
        const QByteArray window = launch(tavel, com1, com2);
        QVERIFY2(!window.isEmpty(), "the main window did not appear");
        key(QStringLiteral("F8 alt+h"));
        const QString path = m_folder.filePath(QStringLiteral("killed.bin"));
        QVERIFY(m_x.saveThroughDialog(
            window, QStringLiteral("F5 alt+d m"), QStringLiteral("Mitschnitt speichern"), path));
        QByteArray sent;
        for (int piece = 0; piece < 20; ++piece) {
            const QByteArray bytes = QByteArray::number(piece).repeated(100 * piece + 1) + "\r\n";
            QVERIFY(com1.write(bytes));
            sent += bytes;
            QTRY_COMPARE(QFileInfo(path).size(), sent.size());
        }
        ::kill(pid_t(tavel.processId()), SIGKILL);
        QVERIFY(tavel.waitForFinished(10000));
        QCOMPARE(tavel.exitStatus(), QProcess::CrashExit);
        QCOMPARE(contentsOf(path), sent);
    }
};

QTEST_GUILESS_MAIN(TestUserPath)
#include "tst_userpath.moc"
