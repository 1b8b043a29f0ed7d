#include "filehelpers.h"
#include "firstrunfile.h"
#include "folderchangetracer.h"
#include "ptydevice.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <climits>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>

// The real program is asked to end (SIGTERM) and killed (SIGKILL, which
// nothing can catch) on its way out, once before each change its save makes
// in its folder, every one of them in turn. Whatever the moment, tavel.cfg
// must be the whole old file or the whole new one. The moments are found by
// following the program's system calls, not by the clock, so that the test
// decides the same on a loaded machine as on an idle one.

namespace {

void sleepMs(long ms)
{
    const timespec t = { 0, ms * 1000000 };
    ::clock_nanosleep(CLOCK_MONOTONIC, 0, &t, nullptr);
}

bool endedWell(int status)
{
    return status >= 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
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

    // Starts the program and waits until SIGTERM asks it to end rather than
    // killing it: it may still be starting, but reads tavel.cfg and probes
    // the ports all the same and only then ends. It is silenced, as it is
    // mostly killed, and leaves out the leak check of a sanitizer build:
    // LeakSanitizer stops every thread with ptrace at the exit, which a
    // process that is already traced refuses.
    pid_t start(QString &problem)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("TAVEL_COM1"), m_com1.slavePath());
        environment.insert(QStringLiteral("TAVEL_COM2"), m_com2.slavePath());
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        const QString asan = environment.value(QStringLiteral("ASAN_OPTIONS"));
        environment.insert(QStringLiteral("ASAN_OPTIONS"),
            asan.isEmpty() ? QStringLiteral("detect_leaks=0") : asan + ":detect_leaks=0");
        QByteArrayList variables;
        std::vector<char *> envp;
        for (const QString &variable : environment.toStringList())
            variables << variable.toLocal8Bit();
        for (QByteArray &variable : variables)
            envp.push_back(variable.data());
        envp.push_back(nullptr);
        QByteArray program = QFile::encodeName(m_program);
        char *argv[] = { program.data(), nullptr };
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        pid_t pid = -1;
        const int failed
            = ::posix_spawn(&pid, program.constData(), &actions, nullptr, argv, envp.data());
        posix_spawn_file_actions_destroy(&actions);
        if (failed) {
            problem = QStringLiteral("program did not start");
            return -1;
        }
        const QDeadlineTimer deadline(60000);
        while (!catchesSigterm(pid)) {
            int status = 0;
            if (::waitpid(pid, &status, WNOHANG) == pid || deadline.hasExpired()) {
                problem = QStringLiteral("program ended or hung while starting (%1)").arg(status);
                ::kill(pid, SIGKILL);
                ::waitpid(pid, &status, 0);
                return -1;
            }
            sleepMs(1);
        }
        return pid;
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

    bool orderlyRun()
    {
        return runUntilAskedToEnd(m_program, QProcessEnvironment::systemEnvironment(),
            m_com1.slavePath(), m_com2.slavePath());
    }

    // Asks the program to end and follows it to the entry of its change
    // number killBefore in the folder, where it is killed, so that the change
    // never happens; past its last change it ends by itself. changes: what
    // it did to the folder until then, the one it was killed before last.
    bool tracedShutdown(int killBefore, QStringList &changes, bool &killed, QString &problem)
    {
        changes.clear();
        killed = false;
        const pid_t pid = start(problem);
        FolderChangeTracer tracer(m_folder.path());
        if (pid < 0 || !tracer.attach(pid, problem))
            return false;
        ::kill(pid, SIGTERM);
        for (;;) {
            switch (tracer.runToNextChange()) {
            case FolderChangeTracer::Step::HeldAtChange:
                changes << tracer.change();
                if (changes.size() > killBefore) {
                    tracer.kill();
                    return killed = true;
                }
                break;
            case FolderChangeTracer::Step::Ended:
                problem = QStringLiteral("program ended abnormally (status %1)")
                              .arg(tracer.exitStatus());
                return endedWell(tracer.exitStatus());
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

        // An orderly end writes exactly the new file; the same end followed
        // call by call names the changes to kill before.
        QVERIFY(resetFolder(old));
        QVERIFY(orderlyRun());
        QCOMPARE(contentsOf(cfg()), written);
        QCOMPARE(contentsOf(bak()), keepsBackup ? old : QByteArray("<missing>"));
        QVERIFY(resetFolder(old));
        QString problem;
        QStringList changes;
        bool killed = false;
        QVERIFY2(tracedShutdown(INT_MAX, changes, killed, problem), qPrintable(problem));
        QCOMPARE(contentsOf(cfg()), written);
        QVERIFY2(!changes.isEmpty(), "the save was not seen in the folder");
        qInfo("the save makes %lld changes in the folder: %s", qint64(changes.size()),
            qPrintable(changes.join(QStringLiteral("; "))));

        const QRegularExpression temporary(QStringLiteral("^tavel\\.cfg\\.[A-Za-z0-9]{6}$"));
        int betweenBackupAndNew = 0;
        for (int index = 0; index < changes.size(); ++index) {
            QVERIFY(resetFolder(old));
            QStringList seen;
            QVERIFY2(tracedShutdown(index, seen, killed, problem), qPrintable(problem));
            const QString when = QStringLiteral("killed before change %1 (%2): ")
                                     .arg(index + 1)
                                     .arg(seen.value(index, changes.at(index)));
            const auto callOf = [](const QString &change) { return change.section(' ', 0, 0); };
            QVERIFY2(killed && callOf(seen.last()) == callOf(changes.at(index)),
                qPrintable(when + "this run changed the folder differently: " + seen.join("; ")));
            const QByteArray now = contentsOf(cfg());
            QVERIFY2(now == old || now == written,
                qPrintable(
                    when + "tavel.cfg is neither file: " + QString::fromLatin1(now.left(80))));
            if (QFileInfo::exists(bak())) {
                QVERIFY2(keepsBackup, qPrintable(when + "a backup appeared"));
                QVERIFY2(contentsOf(bak()) == old, qPrintable(when + "backup cut"));
                betweenBackupAndNew += now == old;
            }
            // A temporary file left by the kill keeps a name of its own.
            for (const QString &name :
                QDir(m_folder.path()).entryList(QDir::Files | QDir::Hidden)) {
                QVERIFY2(QStringList({ "tavel", "tavel.cfg", "tavel.cfg.bak", "tavel-fenster.cfg" })
                             .contains(name)
                        || temporary.match(name).hasMatch(),
                    qPrintable(when + name));
            }
        }
        if (keepsBackup)
            QVERIFY2(betweenBackupAndNew > 0, "no kill fell between the backup and the new file");
    }

    // A temporary file that a kill left beside tavel.cfg is whole, but it is
    // not the settings: the next start reads tavel.cfg and leaves it alone.
    void strayTemporaryFileIsNotTakenForTheSettings()
    {
        QVERIFY(resetFolder(settingsFile("6", "\n", " ")));
        const QString stray = m_folder.filePath(QStringLiteral("tavel.cfg.Ab12Cd"));
        const QByteArray other = settingsFile("2", "\r\n", "");
        QVERIFY(writeFile(stray, other));
        QVERIFY(orderlyRun());
        QCOMPARE(contentsOf(cfg()), settingsFile("6", "\r\n", ""));
        QCOMPARE(contentsOf(stray), other);
    }
};

QTEST_GUILESS_MAIN(TestInterruptedSave)
#include "tst_interruptedsave.moc"
