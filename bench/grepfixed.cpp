#include "grepfixed.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryFile>
#include <algorithm>

GrepRun grepFixed(QByteArrayView fixed, bool anyCase, const QString &file, int rounds)
{
    GrepRun run;
    // The pattern goes in a file: its bytes need not be valid in the locale
    // of a command line, and a leading '-' stays a pattern.
    QTemporaryFile patternFile;
    if (!patternFile.open() || patternFile.write(fixed.toByteArray() + '\n') < 0)
        return run;
    patternFile.close();
    QStringList arguments { QStringLiteral("-c"), QStringLiteral("-a"), QStringLiteral("-F") };
    if (anyCase)
        arguments << QStringLiteral("-i");
    arguments << QStringLiteral("-f") << patternFile.fileName() << file;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    for (int round = 0; round < rounds; ++round) {
        QProcess grep;
        grep.setProcessEnvironment(environment);
        QElapsedTimer clock;
        clock.start();
        grep.start(QStringLiteral("grep"), arguments);
        if (!grep.waitForFinished(-1))
            return run;
        const double seconds = double(clock.nsecsElapsed()) / 1e9;
        run.seconds = run.seconds < 0 ? seconds : std::min(run.seconds, seconds);
        run.lines = grep.readAllStandardOutput().trimmed();
    }
    return run;
}
