#pragma once

#include <QByteArray>

// A device's log as a serial line brings it: time, sensor, readings, a German
// state word, CR LF, in Windows-1252. Four MiB of distinct lines, repeated to
// the size asked for; the same bytes on every call.
QByteArray textLog(qsizetype size);
