#include "app/savecommands.h"
#include "automation/frmautomat.h"
#include "filehelpers.h"
#include "firstrunfile.h"
#include "mainwindowfixture.h"
#include "readonlyfolder.h"
#include "traffic/trafficexport.h"
#include "windows/eightbitedit.h"
#include "windows/frmeingabe.h"
#include "windows/frmsendefenster.h"
#include "windows/saveprogresswindow.h"
#include "windows/trafficview/trafficview.h"

#include <QDir>
#include <QPushButton>
#include <QRegularExpression>

// The save commands of the Datei menu and "&Mitschnitt …" through the real
// menus of the real main window, with COM1 on a pseudo-terminal and the file
// dialog answered by the test. What the real program leaves on disk when
// killed while capturing is tst_userpath's.

namespace {

bool g_canMount = false;

// Every byte value, then line after line, over two blocks of the log.
QByteArray longTraffic()
{
    QByteArray bytes;
    for (int i = 0; i < 256; ++i)
        bytes += char(i);
    while (bytes.size() < 2 * TrafficLog::kBlockSize + 100)
        bytes += "Zeile " + QByteArray::number(bytes.size()) + "\r\n";
    return bytes;
}

} // namespace

class TestSaveCommands : public QObject
{
    Q_OBJECT

public:
    static void initMain() { g_canMount = ReadOnlyFolder::enterPrivateMountNamespace(); }

private:
    std::unique_ptr<MainWindowFixture> m_f;
    QTemporaryDir m_top;
    QString m_folder;

    MDITavel &window() { return *m_f->window; }
    QString file(const QString &name) const { return m_folder + QLatin1Char('/') + name; }
    const RecordingDialogs::SaveDialog &lastDialog() const
    {
        return m_f->dialogs.saveDialogs.constLast();
    }

    // Chooses a menu command whose file dialog answers with this target, and
    // waits until the save has ended.
    void save(const char *command, const Dialogs::SaveTarget &target)
    {
        m_f->dialogs.saveAnswers.append(target);
        m_f->action(command)->trigger();
        QTRY_VERIFY(!window().saveCommands().running());
    }

    void connectAndReceive(const QByteArray &bytes)
    {
        m_f->connectPort();
        QVERIFY(m_f->receive(bytes));
    }

    QAction *capture() const { return m_f->action("MnMitschnitt"); }
    void startCapture(const QString &path)
    {
        m_f->dialogs.saveAnswers.append({ path, 0 });
        capture()->trigger();
    }

    // The one box shown, from the program, naming the file and the reason.
    void expectOneBoxNaming(const QString &path, int error)
    {
        QCOMPARE(m_f->dialogs.messages.size(), 1);
        QCOMPARE(m_f->dialogs.messages[0].title, QStringLiteral("Tavel"));
        const QString text = m_f->dialogs.messages[0].text;
        QVERIFY2(
            text.contains(QStringLiteral("„") + path + "“") && text.contains(expectedReason(error)),
            qPrintable(text));
    }

private Q_SLOTS:
    void init()
    {
        m_folder = m_top.filePath(QString::fromLatin1(QTest::currentTestFunction())
            + QLatin1Char('-') + QString::fromLatin1(QTest::currentDataTag()).replace(' ', '-'));
        QVERIFY(QDir().mkpath(m_folder));
        m_f = std::make_unique<MainWindowFixture>();
    }
    void cleanup() { m_f.reset(); }

    void receivedDataSavedInTheFormChosen_data()
    {
        QTest::addColumn<int>("filter");
        QTest::newRow("Rohdaten") << 0;
        QTest::newRow("Hexdarstellung") << 1;
        QTest::newRow("Hexdarstellung mit Zeitstempeln") << 2;
    }
    void receivedDataSavedInTheFormChosen()
    {
        QFETCH(int, filter);
        const QByteArray sent = longTraffic();
        connectAndReceive(sent);
        save("MnEmpfangSpeichern", { file(QStringLiteral("out")), filter });
        QCOMPARE(lastDialog().title, QStringLiteral("Empfangene Daten speichern"));
        QCOMPARE(lastDialog().filters,
            (QStringList { QStringLiteral("Rohdaten (*.bin)"),
                QStringLiteral("Hexdarstellung (*.txt)"),
                QStringLiteral("Hexdarstellung mit Zeitstempeln (*.txt)") }));
        QVERIFY2(QRegularExpression(QStringLiteral("/empfangen-20\\d{6}-\\d{6}\\.bin$"))
                     .match(lastDialog().suggestedPath)
                     .hasMatch(),
            qPrintable(lastDialog().suggestedPath));
        QVERIFY(m_f->dialogs.messages.isEmpty());

        // The file is the export of what the window holds in the form
        // chosen (the forms' own rules are tst_trafficexport's); the hex
        // file reads as the window's hex view does.
        const QByteArray written = contentsOf(file(QStringLiteral("out")));
        const TrafficExport::Format forms[] = { TrafficExport::Format::Raw,
            TrafficExport::Format::Hex, TrafficExport::Format::TimedHex };
        QCOMPARE(written,
            TrafficExport::whole(window().empfang().get().log().snapshot(), forms[filter]));
        if (filter == 0)
            QCOMPARE(written, sent);
        if (filter == 1)
            QCOMPARE(written, window().empfang().get().Text2->text().toLatin1());
        // The next dialog starts in the folder used last.
        save("MnEmpfangSpeichern", {});
        QCOMPARE(QFileInfo(lastDialog().suggestedPath).absolutePath(), m_folder);
    }

    void emptyOrUnloadedReceivedWindowSavesEmptyFile()
    {
        QVERIFY(!window().empfang().loaded());
        save("MnEmpfangSpeichern", { file(QStringLiteral("unloaded.bin")), 0 });
        window().empfang().show();
        save("MnEmpfangSpeichern", { file(QStringLiteral("empty.txt")), 2 });
        QCOMPARE(contentsOf(file(QStringLiteral("unloaded.bin"))), QByteArray());
        QCOMPARE(contentsOf(file(QStringLiteral("empty.txt"))), QByteArray());
        QVERIFY(m_f->dialogs.messages.isEmpty());
    }

    // What the input and automation windows handed to the port, in order; a
    // file sent is not part of it, and "Sendefenster löschen" empties it.
    void sentDataAreTheBytesHandedToThePort()
    {
        m_f->connectPort();
        FrmEingabe &input = window().eingabe().get();
        input.Text1->setText(QStringLiteral("Hallo"));
        input.Command2->click();
        input.OptionHex->click();
        input.Text2->setText(QStringLiteral("41 00 FF "));
        input.Command2->click();
        const QString sendMe = file(QStringLiteral("datei.bin"));
        QVERIFY(writeFile(sendMe, "DATEI"));
        m_f->dialogs.fileAnswers.append(sendMe);
        m_f->action("MnDateiDatei")->trigger();
        frmAutomat &automat = window().automat().get();
        automat.txtAutomat[0]->setText(QStringLiteral("PING"));
        automat.CmdAutomat[0]->click();
        QCOMPARE(m_f->com1.read(17),
            QByteArray("HalloA\0\xFF"
                       "DATEIPING",
                17));

        save("MnSendenspeichern", { file(QStringLiteral("sent.bin")), 0 });
        save("MnSendenspeichern", { file(QStringLiteral("sent.txt")), 1 });
        QCOMPARE(lastDialog().title, QStringLiteral("Gesendete Daten speichern"));
        QCOMPARE(lastDialog().filters.size(), 2);
        QVERIFY(m_f->dialogs.saveDialogs[0].suggestedPath.contains(QStringLiteral("/gesendet-")));
        QCOMPARE(contentsOf(file(QStringLiteral("sent.bin"))), QByteArray("HalloA\0\xFFPING", 12));
        QCOMPARE(contentsOf(file(QStringLiteral("sent.txt"))),
            QByteArray("48 61 6C 6C 6F 41 00 FF 50 49 4E 47 "));

        window().sendefenster().get().Command2->click();
        save("MnSendenspeichern", { file(QStringLiteral("sent.bin")), 0 });
        QCOMPARE(contentsOf(file(QStringLiteral("sent.bin"))), QByteArray());
    }

    // Written now with what the shutdown writes: the same bytes it writes
    // right after, while every window stays open.
    void settingsSavedNowAsTheShutdownWritesThem()
    {
        frmAutomat &automat = window().automat().show();
        automat.CmdAutomat[0]->setCaption(QStringLiteral("Wecken"));
        automat.txtAutomat[0]->setText(QStringLiteral("AT"));
        m_f->settings()->List2->setCurrentRow(8);
        window().empfang().show().frame()->move(77, 55);
        window().sendefenster().show().frame()->showMinimized();

        m_f->action("MnEinstSpeichern")->trigger();
        const QByteArray now = contentsOf(m_f->settingsPath());
        QVERIFY(now != firstRunSettingsFile());
        QVERIFY(now.contains("\"Wecken\"") && now.contains("\"AT\""));
        QVERIFY(window().automat().loaded() && window().empfang().loaded());
        QVERIFY(m_f->dialogs.messages.isEmpty());

        window().close();
        QCOMPARE(contentsOf(m_f->settingsPath()), now);
    }

    // A save that cannot be finished leaves the old file whole and no
    // temporary file beside it, and names the file and the system's reason.
    // (A full disk is tst_settingsstore's: both saves use one writer.)
    void failedSaveKeepsOldFileWhole_data()
    {
        QTest::addColumn<QString>("spoil");
        QTest::addColumn<bool>("settings"); // "Einstellungen speichern", else received data
        QTest::newRow("file size limit") << QStringLiteral("limit") << false;
        QTest::newRow("read-only folder") << QStringLiteral("read-only") << false;
        QTest::newRow("settings, file size limit") << QStringLiteral("limit") << true;
    }
    void failedSaveKeepsOldFileWhole()
    {
        QFETCH(QString, spoil);
        QFETCH(bool, settings);
        const QString folder = settings ? m_f->folder.path() : file(spoil);
        const QString target = settings ? m_f->settingsPath() : folder + QStringLiteral("/alt.bin");
        const QByteArray old = settings ? firstRunSettingsFile() : QByteArray("OLD");
        QVERIFY(QDir().mkpath(folder));
        connectAndReceive(longTraffic());
        QVERIFY(writeFile(target, old));

        int error = EFBIG;
        std::unique_ptr<ReadOnlyFolder> readOnly;
        if (spoil == QStringLiteral("read-only")) {
            readOnly = std::make_unique<ReadOnlyFolder>(folder);
            if (!readOnly->isReadOnly())
                QSKIP(qPrintable(readOnly->errorString()));
            error = g_canMount ? EROFS : EACCES;
        }
        const QStringList before = entriesOf(folder);
        {
            std::unique_ptr<FileSizeLimit> limit;
            if (spoil == QStringLiteral("limit"))
                limit = std::make_unique<FileSizeLimit>(settings ? 16 : 1000);
            if (settings)
                m_f->action("MnEinstSpeichern")->trigger();
            else
                save("MnEmpfangSpeichern", { target, 0 });
        }
        QCOMPARE(contentsOf(target), old);
        QCOMPARE(entriesOf(folder), before);
        expectOneBoxNaming(target, error);
    }

    // "Abbrechen" in the progress window gives the save up: the old file
    // stays, the temporary file goes.
    void cancelledSaveLeavesOldFile()
    {
        const QString target = file(QStringLiteral("cancel.bin"));
        QVERIFY(writeFile(target, "OLD"));
        TrafficLog log;
        log.append(longTraffic());
        TrafficSave running(log.snapshot(), TrafficExport::Format::Raw, target);
        QPointer<SaveProgressWindow> progress
            = new SaveProgressWindow(running, QStringLiteral("Empfangene Daten speichern"));
        progress->show();
        // Pressed before the thread starts, so that it cannot have finished first.
        progress->button()->click();
        running.start();
        QTRY_VERIFY(!running.isRunning());
        QCOMPARE(running.outcome(), TrafficSave::Outcome::Cancelled);
        QCOMPARE(contentsOf(target), QByteArray("OLD"));
        QCOMPARE(entriesOf(m_folder), QStringList { QStringLiteral("cancel.bin") });
        delete progress;
    }

    // One save at a time; ending the program while one runs asks first, and
    // Nein lets it finish.
    void oneSaveAtATimeAndEndingAsksFirst()
    {
        const QByteArray sent = longTraffic();
        connectAndReceive(sent);
        m_f->dialogs.saveAnswers
            = { { file(QStringLiteral("a.bin")), 0 }, { file(QStringLiteral("b.bin")), 0 } };
        m_f->action("MnEmpfangSpeichern")->trigger();
        m_f->action("MnEmpfangSpeichern")->trigger();
        QCOMPARE(m_f->dialogs.saveDialogs.size(), 1);
        QVERIFY(m_f->dialogs.messageTexts().constLast().contains(
            QStringLiteral("„a.bin“ wird noch gespeichert")));

        m_f->dialogs.questionAnswers = { false };
        window().close();
        QCOMPARE(m_f->dialogs.questions.size(), 1);
        QVERIFY(m_f->dialogs.questions[0].text.contains(QStringLiteral("„a.bin“")));
        QVERIFY(!window().isShutDown());
        QTRY_VERIFY(!window().saveCommands().running());
        QCOMPARE(contentsOf(file(QStringLiteral("a.bin"))), sent);
        window().close();
        QVERIFY(window().isShutDown());
        QCOMPARE(m_f->dialogs.questions.size(), 1);
    }

    // Every read is in the capture by the time the window shows it, across
    // "Empfangsfenster löschen" and reconnects, until the capture ends.
    void captureTakesEveryReadAcrossClearAndReconnect()
    {
        m_f->connectPort();
        const QString path = file(QStringLiteral("capture.bin"));
        QVERIFY(writeFile(path, "an old file, replaced"));
        startCapture(path);
        QCOMPARE(lastDialog().title, QStringLiteral("Mitschnitt speichern"));
        QCOMPARE(lastDialog().filters, QStringList { QStringLiteral("Rohdaten (*.bin)") });
        QVERIFY(QFileInfo(lastDialog().suggestedPath).fileName().startsWith("mitschnitt-"));
        QCOMPARE(capture()->text(), QStringLiteral("&Mitschnitt beenden"));
        QCOMPARE(contentsOf(path), QByteArray());

        QVERIFY(m_f->receive("abc\r\n"));
        QCOMPARE(contentsOf(path), QByteArray("abc\r\n"));
        window().empfang().get().Command2->click();
        QVERIFY(m_f->receive(QByteArray("\0\xFF", 2)));
        QCOMPARE(contentsOf(path), QByteArray("abc\r\n\0\xFF", 7));
        m_f->settings()->Command2->click();
        m_f->connectPort();
        QVERIFY(m_f->receive("ghi"));
        QCOMPARE(contentsOf(path), QByteArray("abc\r\n\0\xFFghi", 10));

        capture()->trigger();
        QCOMPARE(capture()->text(), QStringLiteral("&Mitschnitt …"));
        QVERIFY(m_f->receive("not captured"));
        QCOMPARE(QFileInfo(path).size(), 10);
        QVERIFY(m_f->dialogs.messages.isEmpty());
    }

    // A full disk ends the capture with one box; the window shows everything.
    void captureWriteFailureEndsItWithABox()
    {
        m_f->connectPort();
        const QString path = file(QStringLiteral("full.bin"));
        startCapture(path);
        {
            FileSizeLimit limit(4);
            QVERIFY(m_f->receive("abcdefgh"));
        }
        QVERIFY(m_f->receive("ij"));
        QCOMPARE(contentsOf(path), QByteArray("abcd"));
        QCOMPARE(window().empfang().get().log().bytes(0, 10), QByteArray("abcdefghij"));
        QCOMPARE(capture()->text(), QStringLiteral("&Mitschnitt …"));
        expectOneBoxNaming(path, EFBIG);
    }

    void captureFileThatCannotBeMadeIsReported()
    {
        ReadOnlyFolder readOnly(m_folder);
        if (!readOnly.isReadOnly())
            QSKIP(qPrintable(readOnly.errorString()));
        startCapture(file(QStringLiteral("capture.bin")));
        QCOMPARE(capture()->text(), QStringLiteral("&Mitschnitt …"));
        QCOMPARE(m_f->dialogs.messages.size(), 1);
        QVERIFY(m_f->dialogs.messages[0].text.startsWith(
            QStringLiteral("Der Mitschnitt kann nicht in die Datei „%1“")
                .arg(file(QStringLiteral("capture.bin")))));
    }
};

QTEST_MAIN(TestSaveCommands)
#include "tst_savecommands.moc"
