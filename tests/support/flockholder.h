#pragma once

#include "serial/filelocks.h"

#include <QProcess>
#include <QTest>

// Another program holding a file with flock, as another Tavel holds its
// device: util-linux's flock(1), which keeps the lock for as long as the
// command it runs (cat, reading until the test closes its input).
struct FlockHolder
{
    explicit FlockHolder(const QString &path)
    {
        process.start(
            QStringLiteral("flock"), { QStringLiteral("--nonblock"), path, QStringLiteral("cat") });
        pid = process.waitForStarted(10000) ? process.processId() : 0;
        held = pid > 0
            && QTest::qWaitFor([&] { return FileLocks::holders(path).contains(pid); }, 10000);
    }
    ~FlockHolder() { release(); }

    void release()
    {
        process.closeWriteChannel();
        if (!process.waitForFinished(10000))
            process.kill();
    }

    QProcess process;
    qint64 pid = 0;
    bool held = false;
};
