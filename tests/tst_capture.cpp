#include "app/capturecommand.h"
#include "filehelpers.h"
#include "mainwindowfixture.h"
#include "readonlyfolder.h"
#include "settings/frmeinstellungen.h"
#include "traffic/trafficlog.h"
#include "windows/frmempfang.h"
#include "xsession.h"

#include <QAction>
#include <QDir>
#include <QPushButton>
#include <QTest>
#include <csignal>

// "&Mitschnitt …": every received byte goes to the file as it arrives, across
// "Empfangsfenster löschen" and reconnects, until the capture ends; and what
// had arrived is on disk when the program is killed.

namespace {

qint64 sizeOf(const QString &path)
{
    return QFileInfo(path).size();
}

} // namespace

class TestCapture : public QObject
{
    Q_OBJECT

public:
    static void initMain() { ReadOnlyFolder::enterPrivateMountNamespace(); }

private:
    std::unique_ptr<MainWindowFixture> m_f;
    QTemporaryDir m_dir;

    QAction *command() { return m_f->window->findChild<QAction *>(QStringLiteral("MnMitschnitt")); }

    void receive(const QByteArray &bytes)
    {
        const qint64 before = m_f->window->empfang().get().log().size();
        QVERIFY(m_f->com1.write(bytes));
        QTRY_COMPARE(m_f->window->empfang().get().log().size(), before + bytes.size());
    }

    void startCapture(const QString &path)
    {
        m_f->dialogs.saveAnswers.append({ path, 0 });
        command()->trigger();
    }

private Q_SLOTS:
    void init()
    {
        m_f = std::make_unique<MainWindowFixture>();
        m_f->window->einstellungen().loaded()->Command3->click();
    }
    void cleanup() { m_f.reset(); }

    void everyReadAppendedAcrossClearAndReconnect()
    {
        const QString path = m_dir.filePath(QStringLiteral("capture.bin"));
        QVERIFY(writeFile(path, "an old file, replaced"));
        QCOMPARE(command()->text(), QStringLiteral("&Mitschnitt …"));
        startCapture(path);
        const RecordingDialogs::SaveDialog &dialog = m_f->dialogs.saveDialogs.constLast();
        QCOMPARE(dialog.title, QStringLiteral("Mitschnitt speichern"));
        QCOMPARE(dialog.filters, QStringList { QStringLiteral("Rohdaten (*.bin)") });
        QVERIFY(
            QFileInfo(dialog.suggestedPath).fileName().startsWith(QStringLiteral("mitschnitt-")));
        QCOMPARE(command()->text(), QStringLiteral("&Mitschnitt beenden"));
        QCOMPARE(contentsOf(path), QByteArray());

        // Each read is in the file by the time the window shows it.
        receive("abc\r\n");
        QCOMPARE(contentsOf(path), QByteArray("abc\r\n"));
        m_f->window->empfang().get().Command2->click();
        receive(QByteArray("\0\xFF", 2));
        QCOMPARE(contentsOf(path), QByteArray("abc\r\n\0\xFF", 7));
        FrmEinstellungen &settings = *m_f->window->einstellungen().loaded();
        settings.Command2->click();
        settings.Command3->click();
        receive("ghi");
        QCOMPARE(contentsOf(path), QByteArray("abc\r\n\0\xFFghi", 10));

        command()->trigger();
        QCOMPARE(command()->text(), QStringLiteral("&Mitschnitt …"));
        receive("not captured");
        QCOMPARE(sizeOf(path), 10);
        QVERIFY(m_f->dialogs.messages.isEmpty());
    }

    // A full disk ends the capture with a box; the window shows everything.
    void writeFailureEndsCaptureWithBox()
    {
        const QString path = m_dir.filePath(QStringLiteral("full.bin"));
        startCapture(path);
        {
            FileSizeLimit limit(4);
            receive("abcdefgh");
        }
        receive("ij");
        QCOMPARE(contentsOf(path), QByteArray("abcd"));
        QCOMPARE(m_f->window->empfang().get().log().bytes(0, 10), QByteArray("abcdefghij"));
        QCOMPARE(command()->text(), QStringLiteral("&Mitschnitt …"));
        QCOMPARE(m_f->dialogs.messages.size(), 1);
        QCOMPARE(m_f->dialogs.messages[0].title, QStringLiteral("Tavel"));
        QVERIFY2(m_f->dialogs.messages[0].text.contains(QStringLiteral("„") + path + "“")
                && m_f->dialogs.messages[0].text.contains(reasonFor(EFBIG)),
            qPrintable(m_f->dialogs.messages[0].text));
    }

    void fileThatCannotBeMadeIsReported()
    {
        const QString folder = m_dir.filePath(QStringLiteral("read-only"));
        QVERIFY(QDir().mkpath(folder));
        ReadOnlyFolder readOnly(folder);
        if (!readOnly.isReadOnly())
            QSKIP(qPrintable(readOnly.errorString()));
        startCapture(folder + QStringLiteral("/capture.bin"));
        QCOMPARE(command()->text(), QStringLiteral("&Mitschnitt …"));
        QCOMPARE(m_f->dialogs.messages.size(), 1);
        QVERIFY(m_f->dialogs.messages[0].text.startsWith(
            QStringLiteral("Der Mitschnitt kann nicht in die Datei „%1/capture.bin“").arg(folder)));
    }

    // The real program, started under Xvfb, captures; after each piece the
    // device sends the file holds everything so far, and SIGKILL takes none
    // of it away.
    void captureSurvivesSigkill()
    {
        if (const QString missing = XSession::missingTools(); !missing.isEmpty())
            QSKIP(qPrintable(missing));
        m_f.reset();
        XSession x;
        QVERIFY(x.start());
        PtyDevice com1;
        PtyDevice com2;
        const QString program = m_dir.filePath(QStringLiteral("tavel"));
        QVERIFY(QFile::copy(QStringLiteral(TAVEL_EXECUTABLE), program));
        QProcess tavel;
        x.startProgram(tavel, program, com1.slavePath(), com2.slavePath());
        QVERIFY(tavel.waitForStarted(10000));
        const QByteArray window = x.waitForWindow(QStringLiteral("Tavel"));
        QVERIFY2(!window.isEmpty(), "the main window did not appear");
        x.focus(window);
        x.key(QStringLiteral("F8 alt+h"));

        const QString path = m_dir.filePath(QStringLiteral("killed.bin"));
        QVERIFY(x.saveThroughDialog(
            window, QStringLiteral("F5 alt+d m"), QStringLiteral("Mitschnitt speichern"), path));
        QByteArray sent;
        for (int piece = 0; piece < 20; ++piece) {
            const QByteArray bytes = QByteArray::number(piece).repeated(100 * piece + 1) + "\r\n";
            QVERIFY(com1.write(bytes));
            sent += bytes;
            QTRY_COMPARE(sizeOf(path), sent.size());
        }
        ::kill(pid_t(tavel.processId()), SIGKILL);
        QVERIFY(tavel.waitForFinished(10000));
        QCOMPARE(tavel.exitStatus(), QProcess::CrashExit);
        QCOMPARE(contentsOf(path), sent);
    }
};

QTEST_MAIN(TestCapture)
#include "tst_capture.moc"
