#include "ptydevice.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

// A user's path through the real executable in a real X server: keys and
// clicks go through xdotool, the device at the far end of COM1 is a
// pseudo-terminal, and the test checks what reached it and what tavel.cfg
// holds after the program was ended with SIGTERM.
class TestUserPath : public QObject
{
    Q_OBJECT

private:
    QProcess m_xvfb;
    QString m_display;
    QTemporaryDir m_folder;

    QByteArray xdotool(const QStringList &arguments, int timeoutMs = 10000)
    {
        QProcess tool;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), m_display);
        tool.setProcessEnvironment(env);
        tool.start(QStringLiteral("xdotool"), arguments);
        if (!tool.waitForFinished(timeoutMs))
            tool.kill();
        return tool.readAllStandardOutput().trimmed();
    }

    void key(const QString &keys)
    {
        xdotool({ QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("60"), keys });
        QTest::qWait(300);
    }

    // The visible windows with exactly this title, newest last.
    QList<QByteArray> windows(const QString &title, bool sync = false)
    {
        QStringList arguments { QStringLiteral("search") };
        if (sync)
            arguments << QStringLiteral("--sync");
        arguments << QStringLiteral("--onlyvisible") << QStringLiteral("--name")
                  << QLatin1Char('^') + title + QLatin1Char('$');
        const QByteArray found = xdotool(arguments, sync ? 20000 : 10000);
        return found.isEmpty() ? QList<QByteArray>() : found.split('\n');
    }

    // No window manager runs here, so the test gives a window the focus as a
    // click on it would.
    void focus(const QByteArray &window)
    {
        xdotool({ QStringLiteral("windowfocus"), QString::fromLatin1(window) });
        QTest::qWait(300);
    }

    void type(const QString &text)
    {
        xdotool({ QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("40"), text });
        QTest::qWait(300);
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
        if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty()
            || QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
            QSKIP("Xvfb and xdotool are needed (./test installs them)");
        // Xvfb picks a free display itself and writes its number to stdout.
        m_xvfb.start(QStringLiteral("Xvfb"),
            { QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                QStringLiteral("0"), QStringLiteral("1280x800x24"), QStringLiteral("-nolisten"),
                QStringLiteral("tcp") });
        QVERIFY(m_xvfb.waitForStarted(10000));
        QDeadlineTimer deadline(10000);
        while (!m_xvfb.canReadLine() && !deadline.hasExpired())
            m_xvfb.waitForReadyRead(100);
        m_display = QLatin1Char(':') + QString::fromLatin1(m_xvfb.readLine().trimmed());
        QVERIFY(m_display.size() > 1);
    }

    void cleanupTestCase()
    {
        m_xvfb.terminate();
        m_xvfb.waitForFinished(5000);
    }

    void connectTypeSendAndAutomate()
    {
        PtyDevice com1;
        PtyDevice com2;
        const QString program = m_folder.filePath(QStringLiteral("tavel"));
        QVERIFY(QFile::copy(QStringLiteral(TAVEL_EXECUTABLE), program));
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
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TAVEL_COM1"), com1.slavePath());
        env.insert(QStringLiteral("TAVEL_COM2"), com2.slavePath());
        env.insert(QStringLiteral("DISPLAY"), m_display);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        tavel.setProcessEnvironment(env);
        tavel.setProcessChannelMode(QProcess::ForwardedChannels);
        tavel.start(program, {});
        QVERIFY(tavel.waitForStarted(10000));

        const QByteArray window = xdotool({ QStringLiteral("search"), QStringLiteral("--sync"),
                                              QStringLiteral("--name"), QStringLiteral("^Tavel$") },
            20000)
                                      .split('\n')
                                      .value(0);
        QVERIFY2(!window.isEmpty(), "the main window did not appear");
        // No window manager runs here, so the test gives the window the focus.
        xdotool({ QStringLiteral("windowfocus"), QString::fromLatin1(window) });
        QTest::qWait(500);

        key(QStringLiteral("F8"));
        key(QStringLiteral("alt+h"));
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
        xdotool({ QStringLiteral("mousemove"), QStringLiteral("189"), QStringLiteral("151"),
            QStringLiteral("click"), QStringLiteral("1") });
        QCOMPARE(com1.read(4, 5000), QByteArray("PING"));

        sendFileToADeviceThatDoesNotRead(com1, window);

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
};

QTEST_GUILESS_MAIN(TestUserPath)
#include "tst_userpath.moc"
