#pragma once

#include "linedriver.h"
#include "modemlinewatch.h"

// The wires of a serial device, through its driver's ioctls and termios. A
// driver without modem lines (a pty, some USB bridges) refuses the line
// calls; the reason says so, and the data keep flowing.
class DeviceLineDriver : public LineDriver
{
    Q_OBJECT

public:
    // fd: the open device; it stays open while this object lives.
    explicit DeviceLineDriver(int fd);
    ~DeviceLineDriver() override;

    // Sets the device's hang-up rule (HUPCL): with it the last close drops
    // DTR, without it DTR stays as it is.
    static void setHangUp(int fd, bool hangUp);

    Reading read() override;
    std::optional<QString> setOwnLines(int bits, bool on) override;
    std::optional<QString> setBreak(bool on) override;
    std::optional<QString> applyFlowAndHangUp(
        LineChoices::FlowControl flow, bool keepDtrAfterClose) override;
    void startWatching() override;
    void stopWatching() override;

private:
    int m_fd = -1;
    ModemLineWatch m_watch;
};
