#include "filehelpers.h"
#include "folderchangetracer.h"
#include "ptydevice.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <climits>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char **environ;

// The real program is asked to end (SIGTERM) and killed (SIGKILL, which
// nothing can catch) on its way out, once before each change its save makes
// in its folder, every one of them in turn. Whatever the moment, tavel.cfg
// must be the whole old file or the whole new one. The moments are found by
// following the program's system calls, not by the clock, so that the test
// decides the same on a loaded machine as on an idle one.

namespace {

// A file as the user's last run might have left it: line feeds only and
// blanks after the commas, which the program reads but never writes, so that
// the file it writes differs from the old one in every line.
QByteArray settingsFile(
    const QByteArray &firstConnectionField, const QByteArray &lineEnd, const QByteArray &afterComma)
{
    const QList<QByteArray> lines = { "600," + afterComma + "450", "1200," + afterComma + "900",
        "1800," + afterComma + "1350", "150," + afterComma + "2400", "3000," + afterComma + "300",
        firstConnectionField, "1", "0", "3", "0", "\"ATZ\"," + afterComma + "\"1\"", "\"\",\"\"",
        "\"a,b\"\"c\",\"0\"", "\"\",\"\"", "\"\",\"\"", "\"\",\"\"", "\"\",\"\"", "\"\",\"\"",
        "\"\",\"\"", "\"\",\"\"", "\"Reset\"",
        "\"Gr\xF6\xDF"
        "e \"\"neu\"\"\"",
        "\"Senden 3\"", "\"Senden 4\"", "\"Senden 5\"", "\"Senden 6\"", "\"Senden 7\"",
        "\"Senden 8\"", "\"Senden 9\"", "\"Senden 10\"" };
    QByteArray bytes;
    for (const QByteArray &line : lines)
        bytes += line + lineEnd;
    return bytes;
}

void sleepMs(long ms)
{
    const timespec t = { 0, ms * 1000000 };
    ::clock_nanosleep(CLOCK_MONOTONIC, 0, &t, nullptr);
}

// The system call of a change, without the file names the program made up.
QString callOf(const QString &change)
{
    return change.section(QLatin1Char(' '), 0, 0);
}

} // namespace

class TestInterruptedSave : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_folder;
    PtyDevice m_com1;
    PtyDevice m_com2;
    QString m_program;

    QString cfg() const { return m_folder.filePath(QStringLiteral("tavel.cfg")); }
    QString bak() const { return m_folder.filePath(QStringLiteral("tavel.cfg.bak")); }

    enum class Run { Orderly, Traced };

    // Starts the program with COM1 and COM2 on the ptys. A traced run is
    // silenced, as it is mostly killed, and leaves out the leak check of a
    // sanitizer build: LeakSanitizer stops every thread with ptrace at the
    // exit, which a process that is already traced refuses.
    pid_t start(Run run)
    {
        QList<QByteArray> variables;
        QByteArray asanOptions;
        for (char **e = environ; *e; ++e) {
            const QByteArray v(*e);
            if (v.startsWith("ASAN_OPTIONS="))
                asanOptions = v.mid(13);
            else if (!v.startsWith("TAVEL_COM") && !v.startsWith("QT_QPA_PLATFORM="))
                variables.append(v);
        }
        if (run == Run::Traced)
            asanOptions += asanOptions.isEmpty() ? "detect_leaks=0" : ":detect_leaks=0";
        if (!asanOptions.isEmpty())
            variables << "ASAN_OPTIONS=" + asanOptions;
        variables << "TAVEL_COM1=" + m_com1.slavePath().toLocal8Bit()
                  << "TAVEL_COM2=" + m_com2.slavePath().toLocal8Bit()
                  << "QT_QPA_PLATFORM=offscreen";
        std::vector<char *> envp;
        for (QByteArray &v : variables)
            envp.push_back(v.data());
        envp.push_back(nullptr);
        QByteArray program = QFile::encodeName(m_program);
        char *argv[] = { program.data(), nullptr };

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        if (run == Run::Traced) {
            posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
            posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        }
        pid_t pid = -1;
        if (::posix_spawn(&pid, program.constData(), &actions, nullptr, argv, envp.data()) != 0)
            pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        return pid;
    }

    // Until the program has its SIGTERM handler, from which on SIGTERM asks
    // it to end rather than killing it. It may still be starting: it reads
    // tavel.cfg and probes the ports all the same and only then ends, and a
    // box it shows meanwhile is dismissed. The deadline only keeps a program
    // that hangs from holding up the suite.
    bool waitUntilCatchesSigterm(pid_t pid, QString &problem)
    {
        const QDeadlineTimer deadline(60000);
        while (!catchesSigterm(pid)) {
            int status = 0;
            if (::waitpid(pid, &status, WNOHANG) == pid) {
                problem = QStringLiteral("program ended while starting (status %1)").arg(status);
                return false;
            }
            if (deadline.hasExpired()) {
                ::kill(pid, SIGKILL);
                ::waitpid(pid, &status, 0);
                problem = QStringLiteral("program did not start");
                return false;
            }
            sleepMs(1);
        }
        return true;
    }

    // Resets the folder to the old file alone (besides the program).
    bool resetFolder(const QByteArray &old)
    {
        const QDir dir(m_folder.path());
        for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden)) {
            if (name != QLatin1String("tavel"))
                QFile::remove(dir.filePath(name));
        }
        return writeFile(cfg(), old);
    }

    // A run to its orderly end, untraced.
    bool orderlyRun(QString &problem)
    {
        const pid_t pid = start(Run::Orderly);
        if (pid < 0) {
            problem = QStringLiteral("program did not start");
            return false;
        }
        if (!waitUntilCatchesSigterm(pid, problem))
            return false;
        ::kill(pid, SIGTERM);
        const QDeadlineTimer deadline(60000);
        int status = 0;
        while (::waitpid(pid, &status, WNOHANG) != pid) {
            if (deadline.hasExpired()) {
                ::kill(pid, SIGKILL);
                ::waitpid(pid, &status, 0);
                problem = QStringLiteral("program did not end after SIGTERM");
                return false;
            }
            sleepMs(1);
        }
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            problem = QStringLiteral("program ended abnormally (status %1)").arg(status);
            return false;
        }
        return true;
    }

    // Asks the program to end and follows it to the entry of its change
    // number killBefore in the folder, where it is killed, so that the change
    // never happens; past its last change it ends by itself. changes: what
    // it did to the folder until then, the one it was killed before last.
    bool tracedShutdown(int killBefore, QStringList &changes, bool &killed, QString &problem)
    {
        changes.clear();
        killed = false;
        const pid_t pid = start(Run::Traced);
        if (pid < 0) {
            problem = QStringLiteral("program did not start");
            return false;
        }
        FolderChangeTracer tracer(m_folder.path());
        if (!waitUntilCatchesSigterm(pid, problem) || !tracer.attach(pid, problem))
            return false;
        ::kill(pid, SIGTERM);
        for (;;) {
            switch (tracer.runToNextChange()) {
            case FolderChangeTracer::Step::HeldAtChange:
                changes << tracer.change();
                if (changes.size() > killBefore) {
                    tracer.kill();
                    killed = true;
                    return true;
                }
                break;
            case FolderChangeTracer::Step::Ended:
                if (!WIFEXITED(tracer.exitStatus()) || WEXITSTATUS(tracer.exitStatus()) != 0) {
                    problem = QStringLiteral("program ended abnormally (status %1)")
                                  .arg(tracer.exitStatus());
                    return false;
                }
                return true;
            case FolderChangeTracer::Step::Failed:
                problem = tracer.problem();
                return false;
            }
        }
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_folder.isValid());
        QVERIFY2(m_com1.isOpen() && m_com2.isOpen(), qPrintable(m_com1.errorString()));
        m_program = m_folder.filePath(QStringLiteral("tavel"));
        QVERIFY(QFile::copy(QStringLiteral(TAVEL_EXECUTABLE), m_program));
    }

    void killedShutdownLeavesOldOrNewFile_data()
    {
        QTest::addColumn<QByteArray>("old");
        QTest::addColumn<QByteArray>("written");
        QTest::addColumn<bool>("keepsBackup");
        QTest::newRow("sound old file")
            << settingsFile("6", "\n", " ") << settingsFile("6", "\r\n", "") << false;
        // A damaged file is kept as tavel.cfg.bak when the new one is written.
        QTest::newRow("damaged old file")
            << settingsFile("x6", "\n", " ") << settingsFile("0", "\r\n", "") << true;
    }

    void killedShutdownLeavesOldOrNewFile()
    {
        QFETCH(QByteArray, old);
        QFETCH(QByteArray, written);
        QFETCH(bool, keepsBackup);
        QVERIFY(old != written);

        // An orderly end writes exactly the new file.
        QVERIFY(resetFolder(old));
        QString problem;
        QVERIFY2(orderlyRun(problem), qPrintable(problem));
        QCOMPARE(contentsOf(cfg()), written);
        QCOMPARE(QFileInfo::exists(bak()), keepsBackup);
        if (keepsBackup)
            QCOMPARE(contentsOf(bak()), old);

        // The same end followed call by call names the changes to kill before.
        QVERIFY(resetFolder(old));
        QStringList changes;
        bool killed = false;
        QVERIFY2(tracedShutdown(INT_MAX, changes, killed, problem), qPrintable(problem));
        QCOMPARE(contentsOf(cfg()), written);
        QVERIFY2(!changes.isEmpty(), "the save was not seen in the folder");
        qInfo("the save makes %lld changes in the folder: %s", qint64(changes.size()),
            qPrintable(changes.join(QStringLiteral("; "))));

        const QRegularExpression temporary(QStringLiteral("^tavel\\.cfg\\.[A-Za-z0-9]{6}$"));
        int keptOld = 0, gotNew = 0, strays = 0, betweenBackupAndNew = 0;
        for (int index = 0; index < changes.size(); ++index) {
            QVERIFY(resetFolder(old));
            QStringList seen;
            QVERIFY2(tracedShutdown(index, seen, killed, problem), qPrintable(problem));
            const QString when = QStringLiteral("killed before change %1 (%2)")
                                     .arg(index + 1)
                                     .arg(seen.value(index, changes.at(index)));
            QVERIFY2(killed && callOf(seen.last()) == callOf(changes.at(index)),
                qPrintable(when + QStringLiteral(": this run changed the folder differently: ")
                    + seen.join(QStringLiteral("; "))));

            const QByteArray now = contentsOf(cfg());
            QVERIFY2(now == old || now == written,
                qPrintable(when + QStringLiteral(": tavel.cfg is neither file: ")
                    + QString::fromLatin1(now.left(80))));
            (now == old ? keptOld : gotNew)++;
            if (QFileInfo::exists(bak())) {
                QVERIFY2(keepsBackup, qPrintable(when + QStringLiteral(": a backup appeared")));
                QVERIFY2(
                    contentsOf(bak()) == old, qPrintable(when + QStringLiteral(": backup cut")));
                // Killed after the backup was made, before the new file was in place.
                if (now == old)
                    ++betweenBackupAndNew;
            }
            // A temporary file left by the kill keeps a name of its own.
            for (const QString &name :
                QDir(m_folder.path()).entryList(QDir::Files | QDir::Hidden)) {
                if (name == QLatin1String("tavel") || name == QLatin1String("tavel.cfg")
                    || name == QLatin1String("tavel.cfg.bak"))
                    continue;
                QVERIFY2(temporary.match(name).hasMatch(),
                    qPrintable(when + QStringLiteral(": ") + name));
                ++strays;
            }
        }
        qInfo("%lld kills: %d left the old file (%d of them after the backup was made), %d the "
              "new one, %d a temporary file beside it",
            qint64(changes.size()), keptOld, betweenBackupAndNew, gotNew, strays);
        if (keepsBackup)
            QVERIFY2(betweenBackupAndNew > 0, "no kill fell between the backup and the new file");
    }

    // A temporary file that a kill left beside tavel.cfg is whole, but it is
    // not the settings: the next start reads tavel.cfg and leaves it alone.
    void strayTemporaryFileIsNotTakenForTheSettings()
    {
        const QByteArray old = settingsFile("6", "\n", " ");
        QVERIFY(resetFolder(old));
        const QString stray = m_folder.filePath(QStringLiteral("tavel.cfg.Ab12Cd"));
        const QByteArray other = settingsFile("2", "\r\n", "");
        QVERIFY(writeFile(stray, other));
        QString problem;
        QVERIFY2(orderlyRun(problem), qPrintable(problem));
        QCOMPARE(contentsOf(cfg()), settingsFile("6", "\r\n", ""));
        QCOMPARE(contentsOf(stray), other);
    }
};

QTEST_GUILESS_MAIN(TestInterruptedSave)
#include "tst_interruptedsave.moc"
