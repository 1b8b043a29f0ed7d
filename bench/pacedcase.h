#pragma once

#include "streamshape.h"

#include <QList>
#include <QString>
#include <QStringList>

// One run of the paced benchmark: a line rate, what the line carries and
// what the received-data window shows meanwhile.
struct PacedCase
{
    // What the user has done to the window before the data come.
    enum class State {
        Visible, // the received-data window as it opens with the first byte
        Minimised, // the main window minimised
        Hidden, // the received-data window closed with its "Schließen" button
        Idle, // the port open and nothing arriving; the window not yet loaded
        IdleShown, // nothing arriving after the window has shown some data
    };

    qint64 bytesPerSecond = 0; // 0 in the idle states
    StreamShape::Kind shape = StreamShape::Kind::TextLines;
    State state = State::Visible;

    QString rateName() const;
    QString shapeName() const;
    QString stateName() const;
    // For the command line of a child process, and back.
    QStringList arguments() const;
    static PacedCase fromArguments(const QString &rate, const QString &shape, const QString &state);

    // The cases named on the command line: lists separated by commas, or "all".
    static QList<PacedCase> selected(
        const QString &rates, const QString &shapes, const QString &states);
};

// What one run measured; a figure below zero was not measured in that mode.
struct PacedResult
{
    QString mode;
    double seconds = 0; // wall time of the measured stretch
    double programCpu = 0; // CPU seconds of the program's process
    double serverCpu = 0; // CPU seconds of the X server
    qint64 wakeups = 0; // voluntary context switches of the program's threads
    qint64 preemptions = 0; // involuntary ones
    qint64 reads = -1;
    qint64 frames = -1; // window frames that painted a view or its scroll bar
    qint64 textPaints = -1;
    qint64 hexPaints = -1;
    double latencyP50 = -1; // ms from a read to the end of the frame that shows it
    double latencyP99 = -1;
    qint64 maxBacklog = 0; // bytes the reader let wait beyond the pace
    double loadBefore = 0;
    double loadAfter = 0;
    QString note;

    static QString tableHeader();
    QString tableRow(const PacedCase &run) const;
};

// The one-minute load average from /proc/loadavg.
double loadAverage();
