#include "filehelpers.h"
#include "firstrunfile.h"
#include "ptydevice.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

class TestEndToEnd : public QObject
{
    Q_OBJECT

private:
    // Starts a copy of the real executable in a folder of its own, with COM1
    // and COM2 on the given devices, and ends it with SIGTERM after settleMs.
    QByteArray runAndTerminate(const QString &com1, const QString &com2, int settleMs)
    {
        QTemporaryDir folder;
        const QString program = folder.filePath(QStringLiteral("tavel"));
        if (!QFile::copy(QStringLiteral(TAVEL_EXECUTABLE), program))
            return "copy failed";

        QProcess tavel;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TAVEL_COM1"), com1);
        env.insert(QStringLiteral("TAVEL_COM2"), com2);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        tavel.setProcessEnvironment(env);
        tavel.setProcessChannelMode(QProcess::ForwardedChannels);
        tavel.start(program, {});
        if (!tavel.waitForStarted(10000))
            return "not started";
        QDeadlineTimer deadline(20000);
        while (!catchesSigterm(tavel.processId()) && !deadline.hasExpired())
            QTest::qWait(20);
        QTest::qWait(settleMs);
        ::kill(pid_t(tavel.processId()), SIGTERM);
        if (!tavel.waitForFinished(20000)) {
            tavel.kill();
            return "did not end";
        }
        if (tavel.exitStatus() != QProcess::NormalExit || tavel.exitCode() != 0)
            return "ended abnormally";

        QFile written(folder.filePath(QStringLiteral("tavel.cfg")));
        if (!written.open(QIODevice::ReadOnly))
            return "no tavel.cfg beside the executable";
        return written.readAll();
    }

private Q_SLOTS:
    void firstRunEndedBySigtermLeavesByteExactDefaults()
    {
        PtyDevice com1;
        PtyDevice com2;
        QCOMPARE(runAndTerminate(com1.slavePath(), com2.slavePath(), 1000), firstRunSettingsFile());
    }

    // With COM2 missing, start-up waits on the "only COM1" box; the signal
    // dismisses it and the program still ends the orderly way.
    void sigtermDismissesOpenMessageBox()
    {
        PtyDevice com1;
        QCOMPARE(runAndTerminate(com1.slavePath(), QStringLiteral("/dev/tavel-none"), 1000),
            firstRunSettingsFile());
    }
};

QTEST_GUILESS_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
