#include "filehelpers.h"
#include "firstrunfile.h"
#include "linedouble.h"
#include "ptydevice.h"
#include "ser2netserver.h"

#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <sys/ioctl.h>

// A user's path through the real executable in a real X server (Xvfb): keys
// and clicks go through xdotool, the device at the far end of COM1 is a
// pseudo-terminal, and the test checks what reached it, what tavel.cfg holds
// after the program was ended with SIGTERM, and what a capture holds after
// SIGKILL. No window manager runs, so the test gives a window the focus as a
// click on it would.
class TestUserPath : public QObject
{
    Q_OBJECT

private:
    QProcess m_xvfb;
    QProcessEnvironment m_environment = QProcessEnvironment::systemEnvironment();
    QTemporaryDir m_folder;
    PtyDevice m_com1;
    PtyDevice m_com2;

    QByteArray xdotool(const QStringList &arguments, int timeoutMs = 10000)
    {
        QProcess tool;
        tool.setProcessEnvironment(m_environment);
        tool.start(QStringLiteral("xdotool"), arguments);
        if (!tool.waitForFinished(timeoutMs))
            tool.kill();
        return tool.readAllStandardOutput().trimmed();
    }
    // Any xdotool command, as blank-separated words, and a moment for its effect.
    void x(const QString &command)
    {
        xdotool(command.split(QLatin1Char(' '), Qt::SkipEmptyParts));
        QTest::qWait(300);
    }
    // Keys as xdotool names them; several, one after the other, apart by blanks.
    void key(const QString &keys) { x(QStringLiteral("key --delay 60 ") + keys); }
    void focus(const QByteArray &window) { x("windowfocus " + QString::fromLatin1(window)); }
    void type(const QString &text)
    {
        xdotool({ QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("40"), text });
        QTest::qWait(300);
    }
    // The visible windows with exactly this title, newest last; with sync,
    // waits up to 20 s for one to appear.
    QList<QByteArray> windows(const QString &title, bool sync = false)
    {
        QStringList arguments = QStringLiteral("search --onlyvisible --name").split(' ');
        arguments << '^' + title + '$';
        if (sync)
            arguments.insert(1, QStringLiteral("--sync"));
        const QByteArray found = xdotool(arguments, sync ? 20000 : 10000);
        return found.isEmpty() ? QList<QByteArray>() : found.split('\n');
    }

    // Starts a copy of the program, beside which it keeps its tavel.cfg, and
    // gives its main window the focus.
    QByteArray launch(QProcess &tavel) { return launch(tavel, m_environment); }
    // com1: what COM1 stands for, when not the first pty.
    QByteArray launch(QProcess &tavel, const QProcessEnvironment &base, QString com1 = {})
    {
        const QString program = m_folder.filePath(QStringLiteral("tavel"));
        if (!QFile::exists(program) && !QFile::copy(QStringLiteral(TAVEL_EXECUTABLE), program))
            return {};
        QProcessEnvironment environment = base;
        environment.insert(
            QStringLiteral("TAVEL_COM1"), com1.isEmpty() ? m_com1.slavePath() : com1);
        environment.insert(QStringLiteral("TAVEL_COM2"), m_com2.slavePath());
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        tavel.setProcessEnvironment(environment);
        tavel.setProcessChannelMode(QProcess::ForwardedChannels);
        tavel.start(program, {});
        if (!tavel.waitForStarted(10000))
            return {};
        const QByteArray window
            = xdotool(QStringLiteral("search --sync --name ^Tavel$").split(' '), 20000)
                  .split('\n')
                  .value(0);
        if (!window.isEmpty())
            focus(window);
        return window;
    }

    // Opens a save dialog with the keys given in the main window, types the
    // path into it (replacing the suggested name, selected) and presses Return.
    bool saveThroughDialog(const QByteArray &mainWindow, const QString &menuKeys,
        const QString &title, const QString &path)
    {
        focus(mainWindow);
        key(menuKeys);
        const QList<QByteArray> dialog = windows(title, true);
        if (dialog.isEmpty())
            return false;
        focus(dialog.constLast());
        key(QStringLiteral("ctrl+a"));
        type(path);
        key(QStringLiteral("Return"));
        return true;
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
        QVERIFY(saveThroughDialog(mainWindow, QStringLiteral("F5 alt+d e"),
            QStringLiteral("Empfangene Daten speichern"), receivedFile));
        QTRY_COMPARE(contentsOf(receivedFile), received);

        const QString sentFile = m_folder.filePath(QStringLiteral("gesendet.bin"));
        QVERIFY(saveThroughDialog(mainWindow, QStringLiteral("F5 alt+d g"),
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
    void sendFileToADeviceThatDoesNotRead(const QByteArray &mainWindow)
    {
        QByteArray firmware(4 * 1024 * 1024, Qt::Uninitialized);
        for (qsizetype i = 0; i < firmware.size(); ++i)
            firmware[i] = char((i * 13 + i / 997) & 0xFF);
        const QString path = m_folder.filePath(QStringLiteral("firmware.bin"));
        QVERIFY(writeFile(path, firmware));

        const QString title = QStringLiteral("Datei senden");
        key(QStringLiteral("alt+d d"));
        const QList<QByteArray> dialog = windows(title, true);
        QVERIFY2(!dialog.isEmpty(), "the file dialog did not open");
        focus(dialog.constLast());
        type(path);
        key(QStringLiteral("Return"));
        QTest::qWait(1000);
        QVERIFY2(windows(title).size() == 1, "the progress window is not showing");

        QByteArray head;
        for (const char *answer : { "alt+n", "alt+j" }) {
            focus(mainWindow);
            key(QStringLiteral("F8 alt+t"));
            const QList<QByteArray> boxes = windows(QStringLiteral("Tavel"));
            QVERIFY2(boxes.size() == 2, "no question before the connection ends");
            focus(boxes.constLast());
            key(QString::fromLatin1(answer));
            QCOMPARE(windows(QStringLiteral("Tavel")).size(), 1);
            if (head.isEmpty()) {
                // Still going: the device reads the file from its start.
                QCOMPARE(windows(title).size(), 1);
                head = m_com1.read(512 * 1024, 10000);
                QVERIFY(head.size() >= 512 * 1024 && head == firmware.left(head.size()));
            }
        }
        QTRY_VERIFY2(windows(title).isEmpty(), "the progress window stayed");
        const QByteArray rest = m_com1.readFor(1000);
        QVERIFY(head.size() + rest.size() < firmware.size());
        QVERIFY(rest == firmware.mid(head.size(), rest.size()));
        focus(mainWindow);
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty()
            || QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
            QSKIP("Xvfb and xdotool are needed (./test installs them)");
        // Xvfb picks a free display itself and writes its number to stdout.
        m_xvfb.start(QStringLiteral("Xvfb"),
            QStringLiteral("-displayfd 1 -screen 0 1280x800x24 -nolisten tcp").split(' '));
        QVERIFY(m_xvfb.waitForStarted(10000));
        QVERIFY(QTest::qWaitFor([this] { return m_xvfb.canReadLine(); }, 10000));
        m_environment.insert(
            QStringLiteral("DISPLAY"), ':' + QString::fromLatin1(m_xvfb.readLine().trimmed()));
    }

    void cleanupTestCase()
    {
        m_xvfb.terminate();
        m_xvfb.waitForFinished(5000);
    }

    void connectTypeSendAndAutomate()
    {
        // Button 1 of the automation window already holds a command; the
        // connection is 9600 baud, COM1, no parity, 8 data bits, 1 stop bit.
        const QString settings = m_folder.filePath(QStringLiteral("tavel.cfg"));
        const QByteArray connection = "6\r\n0\r\n0\r\n3\r\n0\r\n\"PING\",\"0\"\r\n";
        QVERIFY(writeFile(settings,
            firstRunSettingsFile().replace("0\r\n0\r\n0\r\n0\r\n0\r\n\"\",\"\"\r\n", connection)));

        QProcess tavel;
        const QByteArray window = launch(tavel);
        QVERIFY2(!window.isEmpty(), "the main window did not appear");

        key(QStringLiteral("F8 alt+h"));
        const QByteArray answer("Antwort\r\n\x00\xFF", 11);
        QVERIFY(m_com1.write(answer));
        key(QStringLiteral("F5"));
        type(QStringLiteral("Hallo"));
        key(QStringLiteral("alt+n"));
        QCOMPARE(m_com1.read(5, 5000), QByteArray("Hallo"));
        // The sent-data window that the first send opened must not have taken
        // the focus: typing goes on in the entry, which still holds "Hallo".
        type(QStringLiteral("XY"));
        key(QStringLiteral("alt+n"));
        QCOMPARE(m_com1.read(7, 5000), QByteArray("HalloXY"));

        key(QStringLiteral("F9"));
        // The first button of the automation window, which opens at its
        // stored place (1320 twips, 88 pixels, in from the client area's
        // corner); the button stands 160/120 twips inside it, 2600 x 375 large.
        x(QStringLiteral("mousemove 189 151 click 1"));
        QCOMPARE(m_com1.read(4, 5000), QByteArray("PING"));

        sendFileToADeviceThatDoesNotRead(window);
        saveEachKind(window, answer, settings);

        ::kill(pid_t(tavel.processId()), SIGTERM);
        QVERIFY(tavel.waitForFinished(20000));
        QCOMPARE(tavel.exitCode(), 0);
        const QList<QByteArray> lines = contentsOf(settings).split('\n');
        QCOMPARE(lines.size(), 31);
        QCOMPARE(lines.mid(5, 6).join('\n') + '\n', connection);
    }

    // The wires beside the data, with the double giving the pty modem lines:
    // DTR chosen off is off once connected, switched on by hand it is on, a
    // BREAK reaches the line, and the choices stay as they were written.
    void linesReachTheWire()
    {
        LineDouble lines;
        const QString linesFile = m_folder.filePath(QStringLiteral("tavel-leitungen.cfg"));
        QVERIFY(writeFile(linesFile, "COM1.DTR=aus\n"));
        QProcess tavel;
        const QByteArray window = launch(tavel, lines.environment(m_environment));
        QVERIFY2(!window.isEmpty(), "the main window did not appear");
        key(QStringLiteral("F8 alt+h"));
        QTRY_VERIFY(lines.openNs() > 0);
        QTRY_VERIFY(!lines.dtr());
        QVERIFY(lines.rts());
        key(QStringLiteral("F10 alt+t"));
        QTRY_VERIFY(lines.dtr());
        key(QStringLiteral("alt+b"));
        QTRY_COMPARE(lines.breakCount(), 1);
        ::kill(pid_t(tavel.processId()), SIGTERM);
        QVERIFY(tavel.waitForFinished(20000));
        const QByteArray kept = contentsOf(linesFile);
        QVERIFY2(kept.contains("\nCOM1.DTR=aus\n") && kept.contains("\nFenster="), kept);
    }

    // COM1 on a serial server: ser2net serves the pty, the program reaches it
    // over RFC 2217, the received bytes are saved as they came, and a server
    // that goes and comes back is connected again by itself.
    void serialServerThroughTheProgram()
    {
        if (!Ser2NetServer::isInstalled())
            QSKIP("ser2net is needed (./test installs it)");
        Ser2NetServer server;
        QVERIFY2(server.start(m_com1.slavePath()), qPrintable(server.errorString()));
        QProcess tavel;
        const QByteArray window = launch(tavel, m_environment,
            QStringLiteral("rfc2217://127.0.0.1:%1").arg(server.telnetPort()));
        QVERIFY2(!window.isEmpty(), "the main window did not appear");
        key(QStringLiteral("F8 alt+h"));
        key(QStringLiteral("F5"));
        type(QStringLiteral("Hallo"));
        key(QStringLiteral("alt+n"));
        QCOMPARE(m_com1.read(5, 5000), QByteArray("Hallo"));
        const QByteArray answer("Antwort\xff\xff\r\x00\r\n", 13);
        QVERIFY(m_com1.write(answer));
        QTest::qWait(500);

        server.stop();
        QTest::qWait(1000);
        QVERIFY2(server.restart(), qPrintable(server.errorString()));
        QTest::qWait(2000);
        focus(window);
        key(QStringLiteral("F5"));
        type(QStringLiteral("Z"));
        key(QStringLiteral("alt+n"));
        QCOMPARE(m_com1.read(6, 5000), QByteArray("HalloZ"));
        const QByteArray later("\xff nach der R\xc3\xbc"
                               "ckkehr",
            20);
        QVERIFY(m_com1.write(later));

        const QString receivedFile = m_folder.filePath(QStringLiteral("vom-server.bin"));
        QVERIFY(saveThroughDialog(window, QStringLiteral("F5 alt+d e"),
            QStringLiteral("Empfangene Daten speichern"), receivedFile));
        QTRY_COMPARE(contentsOf(receivedFile), answer + later);
        ::kill(pid_t(tavel.processId()), SIGTERM);
        QVERIFY(tavel.waitForFinished(20000));
    }

    // "&Mitschnitt …": after each piece the device sends the file holds
    // everything so far, and SIGKILL takes none of it away. Nor does it leave
    // the port locked: the next start connects at once.
    void captureAndPortSurviveSigkill()
    {
        QProcess tavel;
        const QByteArray window = launch(tavel);
        QVERIFY2(!window.isEmpty(), "the main window did not appear");
        key(QStringLiteral("F8 alt+h"));
        const QString path = m_folder.filePath(QStringLiteral("killed.bin"));
        QVERIFY(saveThroughDialog(
            window, QStringLiteral("F5 alt+d m"), QStringLiteral("Mitschnitt speichern"), path));
        QByteArray sent;
        for (int piece = 0; piece < 20; ++piece) {
            const QByteArray bytes = QByteArray::number(piece).repeated(100 * piece + 1) + "\r\n";
            QVERIFY(m_com1.write(bytes));
            sent += bytes;
            QTRY_COMPARE(QFileInfo(path).size(), sent.size());
        }
        ::kill(pid_t(tavel.processId()), SIGKILL);
        QVERIFY(tavel.waitForFinished(10000));
        QCOMPARE(tavel.exitStatus(), QProcess::CrashExit);
        QCOMPARE(contentsOf(path), sent);

        // The exclusive flag outlives the killed program while the test keeps
        // the pty open; a device nobody else has open drops it with its last
        // descriptor. (Root is not kept out by it anyway.)
        ::ioctl(m_com1.slaveFd(), TIOCNXCL);
        QProcess next;
        QVERIFY2(!launch(next).isEmpty(), "the main window did not appear");
        key(QStringLiteral("F8 alt+h"));
        QVERIFY2(windows(QStringLiteral("Serieller Port-Fehler")).isEmpty(), "the port was held");
        key(QStringLiteral("F5"));
        type(QStringLiteral("Hallo"));
        key(QStringLiteral("alt+n"));
        QCOMPARE(m_com1.read(5, 5000), QByteArray("Hallo"));
        ::kill(pid_t(next.processId()), SIGTERM);
        QVERIFY(next.waitForFinished(20000));
    }
};

QTEST_GUILESS_MAIN(TestUserPath)
#include "tst_userpath.moc"
