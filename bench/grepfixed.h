#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The yardstick for a search of the traffic: `grep -c -a -F` (with -i for
// either case) under LC_ALL=C over a file, best of rounds. The file should
// have been read once before, so that the page cache holds it. grep counts
// lines, not matches, and cannot look for a line feed (it ends grep's lines).
struct GrepRun
{
    // The best round's time; negative when grep could not be run.
    double seconds = -1;
    // What grep printed: the number of lines with a match.
    QByteArray lines;
};

GrepRun grepFixed(QByteArrayView fixed, bool anyCase, const QString &file, int rounds);
