#pragma once

#include "pacedcase.h"

// How long each stage of a paced run lasts.
struct PacedTiming
{
    double seconds = 30; // the measured stretch of data, or of quiet
    // Data before the measurement: the received-data window loads with the
    // first byte and its glyphs and layout are ready before anything counts.
    double warmUpSeconds = 2;
    int settleMs = 1000; // after the warm-up and after changing the window's state
    int tailMs = 100; // after the last byte, for the frame that shows it
};

// The bytes sent before the measured stretch: at the case's rate, or at
// 115200 baud for a case that measures the quiet after some data.
qint64 warmUpBytes(const PacedCase &run, const PacedTiming &timing);

// The real executable under the X server, measured from /proc. perfPrefix,
// when given, records a profile of the program and of the X server over the
// measured stretch (<prefix>-tavel.data, <prefix>-xvfb.data).
PacedResult runBlackBox(const PacedCase &run, const PacedTiming &timing, const QString &executable,
    const QString &display, qint64 serverPid, const QString &perfPrefix);

// The main window in this process, on the X server named by DISPLAY; the
// application object must be a FrameWatch.
PacedResult runInProcess(const PacedCase &run, const PacedTiming &timing, qint64 serverPid);
