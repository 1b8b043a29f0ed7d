#include "filehelpers.h"
#include "mainwindowfixture.h"
#include "serial/filetransfer.h"
#include "serial/outputqueue.h"
#include "settings/frmeinstellungen.h"
#include "windows/eightbitedit.h"
#include "windows/filesendwindow.h"
#include "windows/frmeingabe.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

// A file on its way out, followed through the real main window and a pty
// device that reads only when the test says so: the progress window, the
// "Abbrechen" button, the question before the connection or the program
// ends, a device that vanishes.
class TestFileTransfer : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MainWindowFixture> m_f;
    QByteArray m_file;

    MDITavel &window() const { return *m_f->window; }
    FileTransfer &transfer() const { return m_f->window->fileTransfer(); }
    FileSendWindow *progressWindow() const { return window().findChild<FileSendWindow *>(); }
    QString filePath() const { return m_f->folder.filePath(QStringLiteral("firmware.bin")); }

    // Starts sending a file far larger than the pty takes while nobody reads,
    // and waits until the driver is full, so that the transfer stands still.
    bool startStalledTransfer()
    {
        if (!writeFile(filePath(), m_file))
            return false;
        sendFile();
        if (!transfer().isRunning() || !progressWindow())
            return false;
        qint64 before = -1;
        while (transfer().sent() != before) {
            before = transfer().sent();
            QTest::qWait(100);
        }
        return before > 0 && before < m_file.size();
    }

    void sendFile()
    {
        m_f->dialogs.fileAnswers << filePath();
        window().findChild<QAction *>(QStringLiteral("MnDateiDatei"))->trigger();
    }

    // Reads from the device until it has stayed quiet for a moment.
    QByteArray readUntilQuiet() { return m_f->com1.readFor(500); }

private Q_SLOTS:
    void init()
    {
        m_f = std::make_unique<MainWindowFixture>();
        QCOMPARE(m_f->start, MDITavel::StartOutcome::Running);
        m_f->window->einstellungen().loaded()->Command3->click();
        QVERIFY(m_f->window->MSComm1().PortOpen());
        m_file.resize(4 * 1024 * 1024);
        for (qsizetype i = 0; i < m_file.size(); ++i)
            m_file[i] = char((i * 7 + i / 251) & 0xFF);
    }

    void cleanup() { m_f.reset(); }

    void progressCountsWhatTheDriverTookAndTheWindowClosesAtTheEnd()
    {
        QVERIFY(startStalledTransfer());
        FileSendWindow *shown = progressWindow();
        QCOMPARE(shown->windowTitle(), QStringLiteral("Datei senden"));
        QVERIFY(shown->nameLabel()->text().contains(QStringLiteral("„firmware.bin“")));
        // Standing still while the device does not read: nothing but the
        // driver moves the count.
        const qint64 stalled = transfer().sent();
        QTest::qWait(300);
        QCOMPARE(transfer().sent(), stalled);
        QCOMPARE(
            shown->progressLabel()->text(), FileSendWindow::progressText(stalled, m_file.size()));
        QCOMPARE(shown->bar()->value(), int(stalled * 1000 / m_file.size()));

        QPointer<FileSendWindow> watched(shown);
        QCOMPARE(m_f->com1.read(m_file.size(), 30000), m_file);
        QTRY_VERIFY(!watched);
        QVERIFY(!transfer().isRunning());
        QCOMPARE(transfer().sent(), qint64(m_file.size()));
        QVERIFY(m_f->dialogs.messages.isEmpty());
    }

    void cancelDropsTheRestButNotWhatWasSentAfterIt()
    {
        QVERIFY(startStalledTransfer());
        FrmEingabe &input = window().eingabe().show();
        input.Text1->setText(QStringLiteral("XYZ"));
        input.Command2->click();

        const qint64 sentAtCancel = transfer().sent();
        QPointer<FileSendWindow> watched(progressWindow());
        watched->button()->click();
        QVERIFY(!transfer().isRunning());
        QTRY_VERIFY(!watched);
        QVERIFY(m_f->dialogs.questions.isEmpty());
        // What the driver held still leaves, then what was queued behind the file.
        QCOMPARE(readUntilQuiet(), m_file.left(sentAtCancel) + "XYZ");
    }

    void endingTheConnectionOrProgramAsksFirst_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("answer");
        for (const char *action : { "Verbindung trennen", "Verbindung herstellen", "Beenden" }) {
            QTest::addRow("%s, Nein", action) << QString::fromUtf8(action) << false;
            QTest::addRow("%s, Ja", action) << QString::fromUtf8(action) << true;
        }
    }

    void endingTheConnectionOrProgramAsksFirst()
    {
        QFETCH(QString, action);
        QFETCH(bool, answer);
        QVERIFY(startStalledTransfer());
        const QString expected = QStringLiteral("Die Datei „firmware.bin“ ist noch nicht ganz "
                                                "gesendet (%1 %). Trotzdem abbrechen?")
                                     .arg(transfer().percent());
        QPointer<FileSendWindow> watched(progressWindow());
        m_f->dialogs.questionAnswers << answer;
        FrmEinstellungen &settings = window().einstellungen().show();
        if (action == QLatin1String("Verbindung trennen"))
            settings.Command2->click();
        else if (action == QLatin1String("Verbindung herstellen"))
            settings.Command3->click();
        else
            window().findChild<QAction *>(QStringLiteral("MnEnde"))->trigger();

        QCOMPARE(m_f->dialogs.questions.size(), 1);
        QCOMPARE(m_f->dialogs.questions[0].text, expected);
        QCOMPARE(m_f->dialogs.questions[0].title, QStringLiteral("Tavel"));
        QVERIFY(m_f->dialogs.messages.isEmpty());
        if (!answer) {
            QVERIFY(transfer().isRunning());
            QVERIFY(watched);
            QVERIFY(window().MSComm1().PortOpen());
            QVERIFY(settings.looksConnected());
            QVERIFY(!window().isShutDown());
            // Still going: the device reads the whole file.
            QCOMPARE(m_f->com1.read(m_file.size(), 30000), m_file);
            return;
        }
        QVERIFY(!transfer().isRunning());
        QTRY_VERIFY(!watched);
        QCOMPARE(window().isShutDown(), action == QLatin1String("Beenden"));
        // The program closes the port only as the main window goes.
        if (action != QLatin1String("Beenden"))
            QCOMPARE(
                window().MSComm1().PortOpen(), action == QLatin1String("Verbindung herstellen"));
    }

    void nothingIsAskedWithoutAFileUnderWay()
    {
        FrmEinstellungen &settings = window().einstellungen().show();
        settings.Command3->click();
        settings.Command2->click();
        QVERIFY(!window().MSComm1().PortOpen());
        QVERIFY(m_f->dialogs.questions.isEmpty());
    }

    void lostDeviceEndsTheTransferAndTheWindowSaysHowFar()
    {
        QVERIFY(startStalledTransfer());
        FileSendWindow *shown = progressWindow();
        const qint64 sent = transfer().sent();
        m_f->com1.closeMaster();
        QTRY_VERIFY(!transfer().isRunning());
        QCOMPARE(transfer().sent(), sent);
        QCOMPARE(progressWindow(), shown);
        QCOMPARE(shown->progressLabel()->text(),
            QStringLiteral("Das Gerät ist nicht mehr erreichbar: %1 wurden gesendet.")
                .arg(FileSendWindow::progressText(sent, m_file.size())));
        QCOMPARE(shown->button()->text(), QStringLiteral("&Schließen"));
        QPointer<FileSendWindow> watched(shown);
        shown->button()->click();
        QTRY_VERIFY(!watched);
    }

    void secondFileIsRefusedWhileOneLeaves()
    {
        QVERIFY(startStalledTransfer());
        sendFile();
        QCOMPARE(m_f->dialogs.fileDialogTitles.size(), 1);
        QCOMPARE(m_f->dialogs.messageTexts(),
            QStringList { QStringLiteral("Die Datei „firmware.bin“ wird noch gesendet. Eine "
                                         "weitere Datei kann erst gesendet werden, wenn sie "
                                         "fertig ist oder abgebrochen wurde.") });
        QCOMPARE(m_f->com1.read(m_file.size(), 30000), m_file);
        QCOMPARE(readUntilQuiet(), QByteArray());
    }

    void progressTextCountsInGermanDigits_data()
    {
        QTest::addColumn<qint64>("sent");
        QTest::addColumn<qint64>("total");
        QTest::addColumn<QString>("text");
        QTest::newRow("start") << qint64(0) << qint64(512) << "0 von 512 Bytes";
        QTest::newRow("thousands") << qint64(12345) << qint64(100000) << "12.345 von 100.000 Bytes";
        QTest::newRow("beyond 4 GiB")
            << qint64(5000000000) << qint64(6000000000) << "5.000.000.000 von 6.000.000.000 Bytes";
    }

    void progressTextCountsInGermanDigits()
    {
        QFETCH(qint64, sent);
        QFETCH(qint64, total);
        QFETCH(QString, text);
        QCOMPARE(FileSendWindow::progressText(sent, total), text);
    }

    void queueDropsOnePieceAndKeepsTheOthersInOrder_data()
    {
        QTest::addColumn<qint64>("takenFirst");
        QTest::addColumn<int>("dropped");
        QTest::addColumn<QByteArray>("left");
        QTest::newRow("front piece, partly taken") << qint64(2) << 0 << QByteArray("defgh");
        QTest::newRow("middle piece") << qint64(2) << 1 << QByteArray("cgh");
        QTest::newRow("last piece") << qint64(0) << 2 << QByteArray("abcdef");
    }

    void queueDropsOnePieceAndKeepsTheOthersInOrder()
    {
        QFETCH(qint64, takenFirst);
        QFETCH(int, dropped);
        QFETCH(QByteArray, left);
        OutputQueue queue;
        const qint64 starts[] = { queue.append("abc"), queue.append("def"), queue.append("gh") };
        QCOMPARE(starts[2], qint64(6));
        queue.consume(takenFirst);
        queue.dropPiece(starts[dropped]);
        QCOMPARE(queue.size(), qint64(left.size()));
        QCOMPARE(queue.taken(), takenFirst);
        QByteArray out;
        while (!queue.isEmpty()) {
            out += queue.front(100).toByteArray();
            queue.consume(queue.front(100).size());
        }
        QCOMPARE(out, left);
        QCOMPARE(queue.end(), takenFirst + left.size());
    }
};

QTEST_MAIN(TestFileTransfer)
#include "tst_filetransfer.moc"
