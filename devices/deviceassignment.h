#pragma once

#include "comportmap.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <optional>

// Which device the user chose for COM1 and COM2, as the file
// "tavel-geraete.cfg" keeps it: UTF-8 text, one "COMn=path" line per port,
// "#" comment lines, an empty path for "no choice" (the port then stands for
// a device the system reports). For example:
//
//   # Tavel: Geräte für COM1 und COM2 (leer: das erste gefundene Gerät)
//   COM1=/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0
//   COM2=
class DeviceAssignment
{
public:
    struct ReadResult;

    static ReadResult parse(const QByteArray &bytes);
    QByteArray serialize() const;

    // Empty when no device is chosen for COMn (or n is not 1 or 2).
    QString devicePath(int port) const;
    // Only paths that pass problemWithPath() can be stored.
    void setDevicePath(int port, const QString &path);
    bool isEmpty() const;

    // Why a path cannot be stored (a phrase in the interface's language), or nothing: an empty
    // path, an absolute one on a single line, or a serial server's address
    // ("rfc2217://HOST:PORT", "tcp://HOST:PORT").
    static std::optional<QString> problemWithPath(const QString &path);

    bool operator==(const DeviceAssignment &) const = default;

private:
    std::array<QString, ComPortMap::kPortCount> m_paths;
};

struct DeviceAssignment::ReadResult
{
    // No choice at all when the file is damaged: a half-read file could
    // point a port at the wrong device.
    DeviceAssignment assignment;
    // Empty when the file was sound; otherwise a phrase in the interface's language naming the
    // line and what is wrong with it.
    QString problem;
};
