#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QTest>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/resource.h>

// Small helpers shared by the tests of saving and of the real program.

inline QByteArray contentsOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Every name in a folder, hidden ones included.
inline QStringList entriesOf(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

// The system's own text for an errno value, for a test's log.
inline QString reasonFor(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// The words the program's boxes give for an errno value, written out here
// rather than asked of the program, so that a changed wording shows.
inline QString expectedReason(int error)
{
    switch (error) {
    case EACCES:
        return QStringLiteral("Zugriff verweigert");
    case ENOENT:
        return QStringLiteral("Datei oder Verzeichnis nicht gefunden");
    case ENOTDIR:
        return QStringLiteral("Ist kein Verzeichnis");
    case EISDIR:
        return QStringLiteral("Ist ein Verzeichnis");
    case ENOSPC:
        return QStringLiteral("Kein Platz mehr auf dem Gerät");
    case EROFS:
        return QStringLiteral("Dateisystem ist schreibgeschützt");
    case EFBIG:
        return QStringLiteral("Datei zu groß");
    }
    return QStringLiteral("<no expected wording for errno %1>").arg(error);
}

// True once the process has its handler for SIGTERM in place, read from the
// signal mask the kernel shows for it: before that, SIGTERM would kill it
// outright instead of asking it to end.
inline bool catchesSigterm(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("SigCgt:"))
            return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (SIGTERM - 1)) & 1;
    }
    return false;
}

// Runs the real program with COM1 and COM2 on the given devices until it has
// its SIGTERM handler, and settleMs longer, then asks it to end: true when it
// ended by itself with exit code 0. The deadlines only keep a hanging program
// from holding up the suite.
inline bool runUntilAskedToEnd(const QString &program, QProcessEnvironment environment,
    const QString &com1, const QString &com2, int settleMs = 0)
{
    environment.insert(QStringLiteral("TAVEL_COM1"), com1);
    environment.insert(QStringLiteral("TAVEL_COM2"), com2);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QProcess tavel;
    tavel.setProcessEnvironment(environment);
    tavel.setProcessChannelMode(QProcess::ForwardedChannels);
    tavel.start(program, {});
    if (!tavel.waitForStarted(10000))
        return false;
    const QDeadlineTimer deadline(60000);
    while (!catchesSigterm(tavel.processId()) && !deadline.hasExpired())
        QTest::qWait(20);
    QTest::qWait(settleMs);
    ::kill(pid_t(tavel.processId()), SIGTERM);
    if (!tavel.waitForFinished(60000))
        tavel.kill();
    return tavel.exitStatus() == QProcess::NormalExit && tavel.exitCode() == 0;
}

// Makes every write past `bytes` fail with EFBIG, the way a full disk makes
// writes fail, even for root; the old limit comes back when the scope ends.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = m_old;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    rlimit m_old {};
    void (*m_oldHandler)(int) = nullptr;
};
