#include "app/replugcommand.h"
#include "app/sendfilecommand.h"
#include "devices/reconnector.h"
#include "filehelpers.h"
#include "files/sendfilereader.h"
#include "mainwindowfixture.h"
#include "serial/filetransfer.h"
#include "serial/outputqueue.h"
#include "testbytes.h"
#include "windows/eightbitedit.h"
#include "windows/filesendwindow.h"
#include "windows/frmeingabe.h"
#include "windows/frmsendefenster.h"
#include "windows/trafficview/trafficview.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A file of the given length that takes no disk space, its last bytes a
// marker, so that a cut or a wrap at 2 or 4 GiB would show.
bool writeSparseFile(const QString &path, qint64 size, const QByteArray &tail)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.resize(size) && file.seek(size - tail.size())
        && file.write(tail) == tail.size();
}

} // namespace

// "Datei senden" through the real main window to a pty device that reads
// only when the test says so: the reading of the file, the bytes on the
// line, the progress window and its "Abbrechen", the question before the
// connection or the program ends, a device that vanishes.
// What the far end of a pty has taken into its reader's buffer already; a
// flush of the driver's output cannot take it back.
constexpr qsizetype kFarEndBuffer = 4096;

class TestFileSend : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MainWindowFixture> m_f;
    QByteArray m_file;

    QString path(const QString &name) const { return m_f->folder.filePath(name); }
    MDITavel &window() const { return *m_f->window; }
    MSComm &comm() const { return m_f->comm(); }
    FileTransfer &transfer() const { return window().sendFileCommand().transfer(); }
    FileSendWindow *progressWindow() const { return window().findChild<FileSendWindow *>(); }
    // Reads from the device until it has stayed quiet for a moment.
    QByteArray readUntilQuiet() { return m_f->com1.readFor(500); }

    // Through the menu command, as the user does; an empty name cancels.
    void sendFile(const QString &file)
    {
        m_f->dialogs.fileAnswers << file;
        m_f->action("MnDateiDatei")->trigger();
    }

    QByteArray received() const
    {
        FrmEmpfang *shown = window().empfang().loaded();
        return shown ? shown->log().bytes(0, shown->log().size()) : QByteArray();
    }

    // Starts sending firmware.bin, far larger than the pty takes while
    // nobody reads, and waits until the driver is full, so that the transfer
    // stands still.
    bool startStalledTransfer()
    {
        m_file.resize(4 * 1024 * 1024);
        for (qsizetype i = 0; i < m_file.size(); ++i)
            m_file[i] = char((i * 7 + i / 251) & 0xFF);
        if (!writeFile(path(QStringLiteral("firmware.bin")), m_file))
            return false;
        sendFile(path(QStringLiteral("firmware.bin")));
        if (!transfer().isRunning() || !progressWindow())
            return false;
        qint64 before = -1;
        while (transfer().sent() != before) {
            before = transfer().sent();
            QTest::qWait(100);
        }
        return before > 0 && before < m_file.size();
    }

private Q_SLOTS:
    void init()
    {
        m_f = std::make_unique<MainWindowFixture>();
        QCOMPARE(m_f->start, MDITavel::StartOutcome::Running);
        m_f->connectPort();
        QVERIFY(comm().PortOpen() && m_f->dialogs.messages.isEmpty());
    }

    void cleanup()
    {
        m_f.reset();
        QVERIFY(!QApplication::overrideCursor());
    }

    void fileAboveMemoryLimitIsRefused()
    {
        const qint64 size = qint64(3) << 30;
        QVERIFY(writeSparseFile(path("huge.bin"), size, "end"));
        const SendFileReader::Loaded loaded
            = SendFileReader::load(path("huge.bin"), qint64(1) << 30);
        QVERIFY(!loaded.ok() && loaded.bytes.isEmpty());
        QCOMPARE(loaded.error,
            QStringLiteral("Die Datei „%1“ ist mit 3.221.225.472 Bytes zu groß zum Senden: es "
                           "stehen nur 1.073.741.824 Bytes Arbeitsspeicher zur Verfügung.")
                .arg(path("huge.bin")));
    }

    void fileAboveTwoGibibytesIsReadWhole()
    {
        const qint64 size = (qint64(1) << 31) + 5;
        const std::optional<qint64> available = SendFileReader::availableMemory();
        QVERIFY(available && *available > 0);
        if (*available < 3 * size)
            QSKIP("not enough free memory to hold a file above 2 GiB");
        QVERIFY(writeSparseFile(path("large.bin"), size, "\x01\x02\x03\x04\x05"));
        SendFileReader::Loaded loaded = SendFileReader::load(path("large.bin"));
        QFile::remove(path("large.bin"));
        QVERIFY2(loaded.ok(), qPrintable(loaded.error));
        QCOMPARE(qint64(loaded.bytes.size()), size);
        QCOMPARE(loaded.bytes.right(6), QByteArray("\x00\x01\x02\x03\x04\x05", 6));
    }

    // The pieces behind Output leave in order and uncopied, a slice never
    // crossing into the next piece; dropping one (a file cancelled) takes
    // only what is left of it. Slices of at most 2 bytes, apart by '|'.
    void queueHandsOutPiecesInOrder_data()
    {
        QTest::addColumn<qint64>("takenFirst");
        QTest::addColumn<int>("dropped"); // the piece, 1 (an empty one): none
        QTest::addColumn<QByteArray>("slices");
        QTest::newRow("none dropped") << qint64(0) << 1 << QByteArray("ab|c|de|f|gh");
        QTest::newRow("front piece, partly taken") << qint64(2) << 0 << QByteArray("de|f|gh");
        QTest::newRow("middle piece") << qint64(2) << 2 << QByteArray("c|gh");
        QTest::newRow("last piece") << qint64(0) << 3 << QByteArray("ab|c|de|f");
    }
    void queueHandsOutPiecesInOrder()
    {
        QFETCH(qint64, takenFirst);
        QFETCH(int, dropped);
        QFETCH(QByteArray, slices);
        const QByteArray first("abc");
        OutputQueue queue;
        const qint64 starts[] = { queue.append(first), queue.append(QByteArray()),
            queue.append("def"), queue.append("gh") };
        QCOMPARE(starts[3], qint64(6));
        QCOMPARE(queue.front(4096).data(), first.constData());
        queue.consume(takenFirst);
        const qint64 left = slices.size() - slices.count('|');
        QCOMPARE(queue.dropPiece(dropped == 1 ? 99 : starts[dropped]), 8 - takenFirst - left);
        QCOMPARE(queue.size(), left);
        QCOMPARE(queue.taken(), takenFirst);
        QCOMPARE(queue.end(), takenFirst + left);
        QByteArrayList out;
        while (!queue.isEmpty()) {
            out << queue.front(2).toByteArray();
            queue.consume(out.constLast().size());
        }
        QCOMPARE(out.join('|'), slices);
        queue.append("x");
        queue.clear();
        QVERIFY(queue.isEmpty() && queue.front(100).isEmpty());
    }

    // Ten megabytes, every byte value among them, arrive exactly while what
    // the device sends keeps showing; the sent-data window is left alone,
    // loaded or not.
    void fileArrivesExactlyWhileReceivedDataKeepShowing()
    {
        const QByteArray bytes = everyByteValue(0, 10 * 1024 * 1024);
        QVERIFY(writeFile(path("ten.bin"), bytes));
        sendFile(path("ten.bin"));
        QCOMPARE(m_f->dialogs.fileDialogTitles, QStringList { QStringLiteral("Datei senden") });
        // The command has handed the bytes over without waiting for the line.
        QVERIFY(comm().bytesToWrite() > bytes.size() / 2);
        QVERIFY(!QApplication::overrideCursor());
        QByteArray arrived;
        QByteArray answered;
        qint64 shownDuringSend = 0;
        QDeadlineTimer deadline(120000);
        for (int reply = 0; arrived.size() < bytes.size() && !deadline.hasExpired(); ++reply) {
            arrived += m_f->com1.read(qMin<qint64>(128 * 1024, bytes.size() - arrived.size()));
            const QByteArray answer = "reply " + QByteArray::number(reply) + "\r\n";
            QVERIFY(m_f->com1.write(answer));
            answered += answer;
            if (arrived.size() < bytes.size())
                shownDuringSend = received().size();
        }
        QVERIFY(arrived == bytes);
        QVERIFY2(shownDuringSend > 0, "nothing received was shown while the file was leaving");
        QTRY_COMPARE(received(), answered);
        QTRY_COMPARE(comm().bytesToWrite(), qint64(0));
        QVERIFY(!window().sendefenster().loaded());

        FrmSendefenster &sent = window().sendefenster().show();
        sent.appendText(QStringLiteral("AB"));
        QVERIFY(writeFile(path("values.bin"), bytes.left(256)));
        sendFile(path("values.bin"));
        QCOMPARE(m_f->com1.read(256), bytes.left(256));
        QCOMPARE(m_f->com1.readFor(200), QByteArray());
        QCOMPARE(sent.Text1->text(), QStringLiteral("AB"));
        QCOMPARE(sent.Text2->text(), QString());
        QVERIFY(m_f->dialogs.messages.isEmpty());
    }

    // Nothing reaches the line, and a file that cannot be read is named
    // with the reason, without the command waiting on it.
    void fileThatIsNotSentSaysWhy_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");
        const QString noConnection = QStringLiteral("Es besteht keine serielle Verbindung.");
        QTest::newRow("port closed: no dialog") << "closed" << noConnection;
        QTest::newRow("dialog cancelled") << "cancelled" << QString();
        QTest::newRow("empty file") << "empty" << QString();
        QTest::newRow("directory") << "directory" << QStringLiteral("Ist ein Verzeichnis");
        QTest::newRow("vanished after the dialog")
            << "vanished" << QStringLiteral("Datei oder Verzeichnis nicht gefunden");
        QTest::newRow("FIFO without a writer") << "fifo" << QStringLiteral("benannte Pipe");
        QTest::newRow("device file") << "device" << QStringLiteral("Gerätedatei");
        QTest::newRow("no permission") << "unreadable" << QStringLiteral("Zugriff verweigert");
    }
    void fileThatIsNotSentSaysWhy()
    {
        QFETCH(QString, kind);
        QFETCH(QString, message);
        QString file = path(kind);
        const QByteArray name = QFile::encodeName(file);
        if (kind == QLatin1String("directory"))
            QVERIFY(QDir().mkpath(file));
        else if (kind == QLatin1String("empty") || kind == QLatin1String("closed"))
            QVERIFY(writeFile(file, kind == QLatin1String("empty") ? "" : "hello"));
        else if (kind == QLatin1String("fifo"))
            QVERIFY(::mkfifo(name.constData(), 0600) == 0);
        else if (kind == QLatin1String("device"))
            file = QStringLiteral("/dev/zero");
        else if (kind == QLatin1String("unreadable"))
            QVERIFY(writeFile(file, "secret") && QFile::setPermissions(file, {}));
        else if (kind == QLatin1String("cancelled"))
            file.clear();
        if (kind == QLatin1String("closed"))
            QVERIFY(!comm().setPortOpen(false));
        // Root reads every file; as nobody, this thread may not.
        const bool asNobody = kind == QLatin1String("unreadable") && ::geteuid() == 0;
        if (asNobody)
            ::setfsuid(65534);
        sendFile(file);
        if (asNobody)
            ::setfsuid(0);
        QCOMPARE(m_f->dialogs.fileDialogTitles.size(), kind == QLatin1String("closed") ? 0 : 1);
        QCOMPARE(m_f->dialogs.messages.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty()) {
            const QString text = m_f->dialogs.messages[0].text;
            QVERIFY2(text.contains(message), qPrintable(text));
            if (kind != QLatin1String("closed"))
                QVERIFY2(text.contains(QStringLiteral("„%1“").arg(file)), qPrintable(text));
            QCOMPARE(m_f->dialogs.messages[0].title, QStringLiteral("Tavel"));
        }
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(m_f->com1.readFor(200), QByteArray());
        QCOMPARE(comm().bytesToWrite(), qint64(0));
        QCOMPARE(comm().PortOpen(), kind != QLatin1String("closed"));
        QVERIFY(!window().sendefenster().loaded());
    }

    // The window counts what the driver took and closes at the end; then
    // the connection ends without a question.
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
        window().einstellungen().get().Command2->click();
        QVERIFY(!comm().PortOpen());
        QVERIFY(m_f->dialogs.messages.isEmpty() && m_f->dialogs.questions.isEmpty());
    }

    // A second file is refused while one leaves; "Abbrechen" drops the rest
    // of the file, what the driver holds of it too, but not what was sent
    // after it.
    void cancelDropsTheRestButNotWhatWasSentAfterIt()
    {
        QVERIFY(startStalledTransfer());
        sendFile(path("firmware.bin"));
        QCOMPARE(m_f->dialogs.fileDialogTitles.size(), 1);
        QCOMPARE(m_f->dialogs.messageTexts(),
            QStringList { QStringLiteral("Die Datei „firmware.bin“ wird noch gesendet. Eine "
                                         "weitere Datei kann erst gesendet werden, wenn sie "
                                         "fertig ist oder abgebrochen wurde.") });
        FrmEingabe &input = window().eingabe().show();
        input.Text1->setText(QStringLiteral("XYZ"));
        input.Command2->click();

        const qint64 sentAtCancel = transfer().sent();
        QPointer<FileSendWindow> watched(progressWindow());
        watched->button()->click();
        QVERIFY(!transfer().isRunning());
        QTRY_VERIFY(!watched);
        QVERIFY(m_f->dialogs.questions.isEmpty());
        // Of what the driver held, only what the far end had buffered already
        // arrives, then what was queued behind the file.
        const QByteArray arrived = readUntilQuiet();
        QVERIFY2(arrived.endsWith("XYZ"), arrived.right(20).toHex(' ').constData());
        QVERIFY(arrived.size() - 3 <= kFarEndBuffer);
        QVERIFY(arrived.size() - 3 <= sentAtCancel && m_file.startsWith(arrived.chopped(3)));
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
        const QString then = action == QLatin1String("Verbindung trennen")
            ? QStringLiteral("die Verbindung trennen")
            : action == QLatin1String("Verbindung herstellen") ? QStringLiteral("neu verbinden")
                                                               : QStringLiteral("Tavel beenden");
        const QString expected = QStringLiteral("Die Datei „firmware.bin“ ist erst zu %1 % "
                                                "gesendet. Senden abbrechen und %2?")
                                     .arg(transfer().percent())
                                     .arg(then);
        QPointer<FileSendWindow> watched(progressWindow());
        m_f->dialogs.questionAnswers << answer;
        FrmEinstellungen &settings = window().einstellungen().show();
        if (action == QLatin1String("Verbindung trennen"))
            settings.Command2->click();
        else if (action == QLatin1String("Verbindung herstellen"))
            settings.Command3->click();
        else
            m_f->action("MnEnde")->trigger();

        QCOMPARE(m_f->dialogs.questions.size(), 1);
        QCOMPARE(m_f->dialogs.questions[0].text, expected);
        QCOMPARE(m_f->dialogs.questions[0].title, QStringLiteral("Tavel"));
        QVERIFY(m_f->dialogs.messages.isEmpty());
        if (!answer) {
            QVERIFY(transfer().isRunning());
            QVERIFY(watched);
            QVERIFY(comm().PortOpen());
            QVERIFY(settings.looksConnected());
            QVERIFY(!window().isShutDown());
            // Still going: the device reads the whole file.
            QCOMPARE(m_f->com1.read(m_file.size(), 30000), m_file);
            return;
        }
        QVERIFY(!transfer().isRunning());
        QTRY_VERIFY(!watched);
        QCOMPARE(window().isShutDown(), action == QLatin1String("Beenden"));
        if (action == QLatin1String("Beenden"))
            return;
        QCOMPARE(comm().PortOpen(), action == QLatin1String("Verbindung herstellen"));
        QCOMPARE(comm().bytesToWrite(), qint64(0));
        // What the driver held goes with the rest, but for what the far end
        // had buffered already; nothing more leaves when the port opens again.
        const QByteArray arrived = readUntilQuiet();
        QVERIFY(arrived.size() <= kFarEndBuffer && m_file.startsWith(arrived));
        settings.Command3->click();
        QCOMPARE(readUntilQuiet(), QByteArray());
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
        const QString told = shown->progressLabel()->text();

        // A later file on another port is not the old window's to show or
        // to stop: closing it leaves the new file going.
        window().replugCommand().reconnector().stopWaiting();
        QVERIFY(!comm().setCommPort(2) && !comm().setPortOpen(true));
        QVERIFY(!transfer().start(QStringLiteral("second.bin"), QByteArray(64 * 1024, 'z')));
        QVERIFY(transfer().isRunning());
        QTest::qWait(300);
        QCOMPARE(shown->progressLabel()->text(), told);
        QPointer<FileSendWindow> watched(shown);
        shown->button()->click();
        QTRY_VERIFY(!watched);
        QVERIFY(transfer().isRunning());
        transfer().cancel();
    }

    // Told once a few seconds are known, from the last few seconds only.
    void rateAndTimeLeftOnceSteady_data()
    {
        QTest::addColumn<QList<QPoint>>("samples"); // msecs, bytes left so far
        QTest::addColumn<qint64>("total");
        QTest::addColumn<QString>("text");
        QTest::newRow("not yet steady")
            << QList<QPoint> { { 0, 0 }, { 1900, 1216 } } << qint64(22000) << QString();
        QTest::newRow("640 a second")
            << QList<QPoint> { { 0, 0 }, { 1000, 640 }, { 2000, 1280 } } << qint64(22000)
            << QStringLiteral("640 Bytes/s, noch etwa 33 s");
        QTest::newRow("the last five seconds count")
            << QList<QPoint> { { 0, 0 }, { 1000, 100000 }, { 6000, 110000 }, { 11000, 120000 } }
            << qint64(1000000) << QStringLiteral("2.000 Bytes/s, noch etwa 8 min");
        QTest::newRow("standing still")
            << QList<QPoint> { { 0, 500 }, { 3000, 500 } } << qint64(22000)
            << QStringLiteral("0 Bytes/s, steht still");
        QTest::newRow("hours") << QList<QPoint> { { 0, 0 }, { 3000, 300 } } << qint64(1000000)
                               << QStringLiteral("100 Bytes/s, noch etwa 3 h");
    }
    void rateAndTimeLeftOnceSteady()
    {
        QFETCH(QList<QPoint>, samples);
        QFETCH(qint64, total);
        QFETCH(QString, text);
        TransferRate rate;
        for (const QPoint &sample : samples)
            rate.add(sample.x(), sample.y());
        QCOMPARE(rate.text(total), text);
    }

    void progressTextCountsInGermanDigits()
    {
        QCOMPARE(FileSendWindow::progressText(0, 512), QStringLiteral("0 von 512 Bytes"));
        QCOMPARE(FileSendWindow::progressText(12345, 100000),
            QStringLiteral("12.345 von 100.000 Bytes"));
        QCOMPARE(FileSendWindow::progressText(5000000000, 6000000000),
            QStringLiteral("5.000.000.000 von 6.000.000.000 Bytes"));
    }
};

QTEST_MAIN(TestFileSend)
#include "tst_filesend.moc"
