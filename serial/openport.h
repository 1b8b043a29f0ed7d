#pragma once

#include "commerror.h"
#include "overrunwatch.h"

#include <QByteArray>
#include <QObject>
#include <optional>

class LineSettings;

// What the port object reaches through while a port is open: a serial device
// node or a port on a serial server. The port object above it (events, the
// output queue, the replug wait) is the same for every kind.
class OpenPort : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    virtual bool isOpen() const = 0;
    // The line parameters, on the device or on the server's port.
    [[nodiscard]] virtual CommResult applySettings(int commPort, const LineSettings &settings) = 0;
    // Closes on purpose, throwing away what the driver still holds when
    // dropOutput is set; DTR stays on afterwards when keepDtr is set.
    virtual void close(bool dropOutput, bool keepDtr) = 0;
    // The port went away: closes without touching its settings.
    virtual void closeLost() = 0;

    virtual QByteArray readAll() = 0;
    virtual qint64 bytesAvailable() const = 0;
    // Bytes the driver holds and has not sent, where it tells.
    virtual qint64 outputInDriver() const = 0;
    // Throws away what the driver holds, where it can.
    virtual void discardOutputInDriver() = 0;
    // The driver's counts of lost bytes, where it keeps them.
    virtual std::optional<SerialErrorCounts> errorCounts() const = 0;

Q_SIGNALS:
    void readyRead();
    // The port went away while open (adapter pulled, far end of a pty
    // closed, server gone); call closeLost().
    void lost();
};
