#pragma once

#include <QtGlobal>

// The process's resident set in bytes, from /proc/self/statm; 0 where that
// cannot be read.
qint64 residentBytes();
