#include "filehelpers.h"
#include "ptydevice.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char **environ;

// The real program is killed (SIGKILL, which nothing can catch) at many
// moments after SIGTERM asked it to end, most of them while it writes
// tavel.cfg. Whatever the moment, tavel.cfg must be the whole old file or the
// whole new one. TAVEL_INTERRUPT_SECONDS sets how long each case keeps killing.

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

qint64 nowNs()
{
    timespec t = {};
    ::clock_gettime(CLOCK_MONOTONIC, &t);
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

void sleepNs(qint64 ns)
{
    if (ns <= 0)
        return;
    const timespec t = { time_t(ns / 1000000000), long(ns % 1000000000) };
    ::clock_nanosleep(CLOCK_MONOTONIC, 0, &t, nullptr);
}


// Nanoseconds the process's main thread has run, from the scheduler.
qint64 cpuNs(pid_t pid)
{
    QFile stat(QStringLiteral("/proc/%1/schedstat").arg(pid));
    return stat.open(QIODevice::ReadOnly) ? stat.readAll().split(' ').value(0).toLongLong() : -1;
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
    int m_inotify = -1;

    QString cfg() const { return m_folder.filePath(QStringLiteral("tavel.cfg")); }
    QString bak() const { return m_folder.filePath(QStringLiteral("tavel.cfg.bak")); }

    // Starts the program with COM1 and COM2 on the ptys; quiet silences its
    // output, for runs that are killed anyway.
    pid_t start(bool quiet)
    {
        QList<QByteArray> variables;
        for (char **e = environ; *e; ++e) {
            const QByteArray v(*e);
            if (!v.startsWith("TAVEL_COM") && !v.startsWith("QT_QPA_PLATFORM="))
                variables.append(v);
        }
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
        if (quiet) {
            posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
            posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        }
        pid_t pid = -1;
        if (::posix_spawn(&pid, program.constData(), &actions, nullptr, argv, envp.data()) != 0)
            pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        return pid;
    }

    // Until the program has its SIGTERM handler and has gone quiet: started
    // up and waiting in its event loop (or in a box it shows at start).
    bool waitUntilSettled(pid_t pid)
    {
        QDeadlineTimer deadline(30000);
        while (!catchesSigterm(pid)) {
            if (deadline.hasExpired())
                return false;
            sleepNs(2000000);
        }
        qint64 last = cpuNs(pid);
        int quietSlices = 0;
        while (quietSlices < 3) {
            if (deadline.hasExpired())
                return false;
            sleepNs(10000000);
            const qint64 now = cpuNs(pid);
            quietSlices = now == last ? quietSlices + 1 : 0;
            last = now;
        }
        return true;
    }

    void drainInotify()
    {
        char buffer[4096];
        while (::read(m_inotify, buffer, sizeof buffer) > 0) { }
    }

    // Resets the folder to the old file alone (besides the program).
    bool resetFolder(const QByteArray &old)
    {
        const QDir dir(m_folder.path());
        for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden)) {
            if (name != QLatin1String("tavel"))
                QFile::remove(dir.filePath(name));
        }
        drainInotify();
        return writeFile(cfg(), old);
    }

    struct Timeline
    {
        qint64 exitNs = 0;
        qint64 firstWriteNs = -1;
        qint64 lastWriteNs = -1;
    };

    // A run to its orderly end, timing when the save touches the folder.
    bool referenceRun(Timeline &timeline, QString &problem)
    {
        const pid_t pid = start(false);
        if (pid < 0 || !waitUntilSettled(pid)) {
            problem = QStringLiteral("program did not start");
            return false;
        }
        drainInotify();
        const qint64 t0 = nowNs();
        ::kill(pid, SIGTERM);
        int status = 0;
        for (;;) {
            struct pollfd p = { m_inotify, POLLIN, 0 };
            if (::poll(&p, 1, 1) > 0) {
                const qint64 t = nowNs() - t0;
                drainInotify();
                if (timeline.firstWriteNs < 0)
                    timeline.firstWriteNs = t;
                timeline.lastWriteNs = t;
            }
            const pid_t done = ::waitpid(pid, &status, WNOHANG);
            if (done == pid)
                break;
            if (nowNs() - t0 > 30'000'000'000) {
                ::kill(pid, SIGKILL);
                ::waitpid(pid, &status, 0);
                problem = QStringLiteral("program did not end after SIGTERM");
                return false;
            }
        }
        timeline.exitNs = nowNs() - t0;
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            problem = QStringLiteral("program ended abnormally (status %1)").arg(status);
            return false;
        }
        return true;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_folder.isValid());
        QVERIFY2(m_com1.isOpen() && m_com2.isOpen(), qPrintable(m_com1.errorString()));
        m_program = m_folder.filePath(QStringLiteral("tavel"));
        QVERIFY(QFile::copy(QStringLiteral(TAVEL_EXECUTABLE), m_program));
        m_inotify = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        QVERIFY(m_inotify >= 0);
        QVERIFY(::inotify_add_watch(m_inotify, QFile::encodeName(m_folder.path()).constData(),
                    IN_CREATE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE)
            >= 0);
    }

    void cleanupTestCase()
    {
        if (m_inotify >= 0)
            ::close(m_inotify);
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

        // An orderly end writes exactly the new file, and shows when it does.
        QVERIFY(resetFolder(old));
        Timeline timeline;
        QString problem;
        QVERIFY2(referenceRun(timeline, problem), qPrintable(problem));
        QCOMPARE(contentsOf(cfg()), written);
        QCOMPARE(QFileInfo::exists(bak()), keepsBackup);
        if (keepsBackup)
            QCOMPARE(contentsOf(bak()), old);
        QVERIFY2(timeline.firstWriteNs >= 0, "the save was not seen in the folder");
        qInfo("SIGTERM to the first change in the folder %.2f ms, to the last %.2f ms, to the "
              "end %.2f ms",
            timeline.firstWriteNs / 1e6, timeline.lastWriteNs / 1e6, timeline.exitNs / 1e6);

        // Most kills aim at the moment the new file takes the old one's place,
        // with a spread that covers the writing and syncing before it. The aim
        // follows the outcomes (a staircase): a kill that left the old file
        // was early, one that left the new file late, so start-up jitter does
        // not drive the kills away from the save. The rest cover the whole way
        // from SIGTERM to the end.
        qint64 aim = timeline.lastWriteNs;
        const qint64 spread = 1'500'000;
        qint64 step = 2'000'000;
        bool lastWasEarly = false;
        const qint64 budgetMs = 1000
            * qEnvironmentVariable("TAVEL_INTERRUPT_SECONDS", QStringLiteral("18")).toLongLong();
        const QRegularExpression temporary(QStringLiteral("^tavel\\.cfg\\.[A-Za-z0-9]{6}$"));
        QRandomGenerator dice(4711);
        QElapsedTimer elapsed;
        elapsed.start();
        int kills = 0, keptOld = 0, gotNew = 0, strays = 0, betweenBackupAndNew = 0;
        while (kills < 15 || elapsed.elapsed() < budgetMs) {
            QVERIFY(resetFolder(old));
            const bool aimed = dice.bounded(3) != 0;
            const qint64 delay = aimed
                ? qMax<qint64>(0, aim - spread + qint64(dice.bounded(double(2 * spread))))
                : qint64(dice.bounded(1.5 * double(qMax(timeline.exitNs, aim + spread))));
            const pid_t pid = start(true);
            QVERIFY(pid > 0);
            QVERIFY2(waitUntilSettled(pid), "program did not start");
            ::kill(pid, SIGTERM);
            sleepNs(delay);
            ::kill(pid, SIGKILL);
            int status = 0;
            QCOMPARE(::waitpid(pid, &status, 0), pid);
            ++kills;

            const QByteArray now = contentsOf(cfg());
            const QString when = QStringLiteral("killed %1 µs after SIGTERM").arg(delay / 1000);
            QVERIFY2(now == old || now == written,
                qPrintable(when + QStringLiteral(": tavel.cfg is neither file: ")
                    + QString::fromLatin1(now.left(80))));
            (now == old ? keptOld : gotNew)++;
            if (aimed) {
                // Smaller steps once the aim goes back and forth.
                const bool early = now == old;
                if (early != lastWasEarly)
                    step = qMax<qint64>(100'000, step * 3 / 4);
                lastWasEarly = early;
                aim = qMax<qint64>(0, aim + (early ? step : -step));
            }
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
        qInfo("%d kills in %lld ms: %d left the old file (%d of them after the backup was "
              "made), %d the new one, %d a temporary file beside it; aim ended %.2f ms after "
              "SIGTERM",
            kills, elapsed.elapsed(), keptOld, betweenBackupAndNew, gotNew, strays, aim / 1e6);
        QVERIFY2(keptOld > 0 && gotNew > 0, "the kills did not span the save");
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
        Timeline timeline;
        QString problem;
        QVERIFY2(referenceRun(timeline, problem), qPrintable(problem));
        QCOMPARE(contentsOf(cfg()), settingsFile("6", "\r\n", ""));
        QCOMPARE(contentsOf(stray), other);
    }
};

QTEST_GUILESS_MAIN(TestInterruptedSave)
#include "tst_interruptedsave.moc"
