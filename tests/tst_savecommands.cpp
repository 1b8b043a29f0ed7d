#include "app/savecommands.h"
#include "automation/frmautomat.h"
#include "filehelpers.h"
#include "firstrunfile.h"
#include "mainwindowfixture.h"
#include "readonlyfolder.h"
#include "settings/frmeinstellungen.h"
#include "text/hexnotation.h"
#include "traffic/trafficlog.h"
#include "windows/eightbitedit.h"
#include "windows/frmeingabe.h"
#include "windows/frmempfang.h"
#include "windows/frmsendefenster.h"
#include "windows/saveprogresswindow.h"
#include "windows/traffic/trafficview.h"

#include <QAction>
#include <QDir>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTest>
#include <sys/mount.h>

// "&Empfangene Daten speichern", "&Gesendete Daten speichern" and
// "Einstellungen &speichern" through the real menus of the real main window,
// with COM1 on a pseudo-terminal and the file dialog answered by the test.

using Target = Dialogs::SaveTarget;

namespace {

bool g_canMount = false;

const QStringList kReceivedFilters { QStringLiteral("Rohdaten (*.bin)"),
    QStringLiteral("Hexdarstellung (*.txt)"),
    QStringLiteral("Hexdarstellung mit Zeitstempeln (*.txt)") };

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

// The files in a folder, the temporary files of a save among them.
QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
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

    // Chooses a menu command whose file dialog answers with this target, and
    // waits until the save has ended.
    void save(const char *command, const Target &target)
    {
        m_f->dialogs.saveAnswers.append(target);
        window().findChild<QAction *>(QLatin1String(command))->trigger();
        QTRY_VERIFY(!window().saveCommands().running());
    }

    void connectAndReceive(const QByteArray &bytes)
    {
        window().einstellungen().loaded()->Command3->click();
        QVERIFY(m_f->com1.write(bytes));
        QTRY_COMPARE(window().empfang().get().log().size(), bytes.size());
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
        QTest::addColumn<qsizetype>("filter");
        QTest::newRow("Rohdaten") << qsizetype(0);
        QTest::newRow("Hexdarstellung") << qsizetype(1);
        QTest::newRow("Hexdarstellung mit Zeitstempeln") << qsizetype(2);
    }
    void receivedDataSavedInTheFormChosen()
    {
        QFETCH(qsizetype, filter);
        const QByteArray sent = longTraffic();
        connectAndReceive(sent);
        save("MnEmpfangSpeichern", { file(QStringLiteral("out")), filter });

        const RecordingDialogs::SaveDialog &dialog = m_f->dialogs.saveDialogs.constLast();
        QCOMPARE(dialog.title, QStringLiteral("Empfangene Daten speichern"));
        QCOMPARE(dialog.filters, kReceivedFilters);
        QVERIFY2(QRegularExpression(QStringLiteral("/empfangen-20\\d{6}-\\d{6}\\.bin$"))
                     .match(dialog.suggestedPath)
                     .hasMatch(),
            qPrintable(dialog.suggestedPath));
        QVERIFY(m_f->dialogs.messages.isEmpty());

        const QByteArray written = contentsOf(file(QStringLiteral("out")));
        const QByteArray hexView = window().empfang().get().Text2->text().toLatin1();
        QCOMPARE(hexView, HexNotation::write(sent).toLatin1());
        if (filter == 0) {
            QCOMPARE(written, sent);
        } else if (filter == 1) {
            QCOMPARE(written, hexView);
        } else {
            // One line per burst, each "hh:mm:ss,mmm  " and its bytes in hex.
            QByteArray hex;
            const QRegularExpression line(
                QStringLiteral("^\\d\\d:\\d\\d:\\d\\d,\\d\\d\\d  (.+ )$"));
            QVERIFY(written.endsWith('\n'));
            for (const QByteArray &text : written.chopped(1).split('\n')) {
                const QRegularExpressionMatch match = line.match(QString::fromLatin1(text));
                QVERIFY2(match.hasMatch(), text.left(40).constData());
                hex += match.captured(1).toLatin1();
            }
            QCOMPARE(hex, hexView);
        }
        // The next dialog starts in the folder used last.
        save("MnEmpfangSpeichern", {});
        QCOMPARE(QFileInfo(m_f->dialogs.saveDialogs.constLast().suggestedPath).absolutePath(),
            QFileInfo(file(QStringLiteral("out"))).absolutePath());
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
        window().einstellungen().loaded()->Command3->click();
        FrmEingabe &input = window().eingabe().get();
        input.Text1->setText(QStringLiteral("Hallo"));
        input.Command2->click();
        input.OptionHex->click();
        input.Text2->setText(QStringLiteral("41 00 FF "));
        input.Command2->click();
        const QString sendMe = file(QStringLiteral("datei.bin"));
        QVERIFY(writeFile(sendMe, "DATEI"));
        m_f->dialogs.fileAnswers.append(sendMe);
        window().SendFile();
        frmAutomat &automat = window().automat().get();
        automat.txtAutomat[0]->setText(QStringLiteral("PING"));
        automat.CmdAutomat[0]->click();
        QCOMPARE(m_f->com1.read(17),
            QByteArray("HalloA\0\xFF"
                       "DATEIPING",
                17));

        save("MnSendenspeichern", { file(QStringLiteral("sent.bin")), 0 });
        save("MnSendenspeichern", { file(QStringLiteral("sent.txt")), 1 });
        QCOMPARE(m_f->dialogs.saveDialogs[0].title, QStringLiteral("Gesendete Daten speichern"));
        QCOMPARE(m_f->dialogs.saveDialogs[0].filters, kReceivedFilters.mid(0, 2));
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
        automat.CmdAutomat[0]->setText(QStringLiteral("Wecken"));
        automat.txtAutomat[0]->setText(QStringLiteral("AT"));
        window().einstellungen().loaded()->List2->setCurrentRow(8);
        window().empfang().show().frame()->move(77, 55);
        window().sendefenster().show().frame()->showMinimized();

        window().findChild<QAction *>(QStringLiteral("MnEinstSpeichern"))->trigger();
        const QByteArray now = contentsOf(m_f->settingsPath());
        QVERIFY(now != firstRunSettingsFile());
        QVERIFY(now.contains("\"Wecken\"") && now.contains("\"AT\""));
        QVERIFY(window().automat().loaded() && window().empfang().loaded());
        QVERIFY(m_f->dialogs.messages.isEmpty());

        window().close();
        QCOMPARE(contentsOf(m_f->settingsPath()), now);
    }

    void settingsSaveFailureShowsTheShutdownsBox()
    {
        QVERIFY(writeFile(m_f->settingsPath(), firstRunSettingsFile()));
        {
            FileSizeLimit limit(16);
            window().findChild<QAction *>(QStringLiteral("MnEinstSpeichern"))->trigger();
        }
        QCOMPARE(m_f->dialogs.messages.size(), 1);
        QCOMPARE(m_f->dialogs.messages[0].title, QStringLiteral("Tavel"));
        QVERIFY(m_f->dialogs.messages[0].text.contains(reasonFor(EFBIG)));
        QVERIFY(m_f->dialogs.messages[0].text.contains(QStringLiteral("nicht gespeichert")));
        QCOMPARE(contentsOf(m_f->settingsPath()), firstRunSettingsFile());
    }

    // A save that cannot be finished leaves the old file whole and no
    // temporary file beside it, and names the file and the system's reason.
    void failedSaveKeepsOldFileWhole_data()
    {
        QTest::addColumn<QString>("spoil");
        QTest::newRow("file size limit") << QStringLiteral("limit");
        QTest::newRow("full file system") << QStringLiteral("full");
        QTest::newRow("read-only folder") << QStringLiteral("read-only");
    }
    void failedSaveKeepsOldFileWhole()
    {
        QFETCH(QString, spoil);
        const QString folder = file(spoil);
        QVERIFY(QDir().mkpath(folder));
        const QString target = folder + QStringLiteral("/alt.bin");
        connectAndReceive(longTraffic());

        int error = EFBIG;
        std::unique_ptr<FileSizeLimit> limit;
        std::unique_ptr<ReadOnlyFolder> readOnly;
        const auto unmount = qScopeGuard([&] {
            if (spoil == QStringLiteral("full"))
                ::umount2(QFile::encodeName(folder).constData(), MNT_DETACH);
        });
        if (spoil == QStringLiteral("full")) {
            if (!g_canMount)
                QSKIP("a full file system needs a tmpfs mounted, which needs root");
            QVERIFY(::mount("tavel-test", QFile::encodeName(folder).constData(), "tmpfs", 0,
                        "size=64k,mode=0700")
                == 0);
            QVERIFY(writeFile(target, "OLD"));
            QFile filler(folder + QStringLiteral("/filler"));
            QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
            while (filler.write(QByteArray(4096, 'f')) > 0) { }
            error = ENOSPC;
        } else {
            QVERIFY(writeFile(target, "OLD"));
        }
        if (spoil == QStringLiteral("limit"))
            limit = std::make_unique<FileSizeLimit>(1000);
        if (spoil == QStringLiteral("read-only")) {
            readOnly = std::make_unique<ReadOnlyFolder>(folder);
            if (!readOnly->isReadOnly())
                QSKIP(qPrintable(readOnly->errorString()));
            error = g_canMount ? EROFS : EACCES;
        }
        const QStringList before = filesIn(folder);

        save("MnEmpfangSpeichern", { target, 0 });
        limit.reset();
        QCOMPARE(contentsOf(target), QByteArray("OLD"));
        QCOMPARE(filesIn(folder), before);
        QCOMPARE(m_f->dialogs.messages.size(), 1);
        QCOMPARE(m_f->dialogs.messages[0].title, QStringLiteral("Tavel"));
        QVERIFY2(m_f->dialogs.messages[0].text.contains(QStringLiteral("„") + target + "“")
                && m_f->dialogs.messages[0].text.contains(reasonFor(error)),
            qPrintable(m_f->dialogs.messages[0].text));
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
        QCOMPARE(filesIn(m_folder), QStringList { QStringLiteral("cancel.bin") });
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
        QAction *command = window().findChild<QAction *>(QStringLiteral("MnEmpfangSpeichern"));
        command->trigger();
        command->trigger();
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
};

QTEST_MAIN(TestSaveCommands)
#include "tst_savecommands.moc"
