#pragma once

#include "linechoices.h"

#include <QObject>
#include <QString>
#include <optional>

// What one kind of port (a serial device, a port across the network) does
// with the wires beside the data. PortLines stands on it; a kind of port that
// cannot do something says why instead.
class LineDriver : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // The lines as the driver reports them (LineBits), or why it cannot.
    struct Reading
    {
        std::optional<int> bits;
        QString reason;
    };

    virtual Reading read() = 0;
    // Raises or drops the given own lines (DTR, RTS); the reason on failure.
    virtual std::optional<QString> setOwnLines(int bits, bool on) = 0;
    // Holds or ends a BREAK. Safe to call from another thread than the one
    // that made the driver, while the port stays open.
    virtual std::optional<QString> setBreak(bool on) = 0;
    // The flow control, and whether DTR stays as it is when the port closes
    // (otherwise the port's own rule applies).
    virtual std::optional<QString> applyFlowAndHangUp(
        LineChoices::FlowControl flow, bool keepDtrAfterClose)
        = 0;
    // Reports changes of the far lines with linesChanged until stopWatching.
    virtual void startWatching() = 0;
    virtual void stopWatching() = 0;

Q_SIGNALS:
    void linesChanged(int bits);
    // The driver stopped telling (a device gone, a driver that cannot).
    void watchFailed(const QString &reason);
    // The lines can no longer be read or set (a server that stopped
    // answering for them).
    void linesLost(const QString &reason);
};
