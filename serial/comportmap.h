#pragma once

#include <QString>

// Which system device COM1 and COM2 stand for. The environment variables
// TAVEL_COM1 and TAVEL_COM2 win over the platform's defaults, so that a USB
// adapter or a pseudo-terminal can take a port's place without a setting of
// its own in the program.
class ComPortMap
{
public:
    static constexpr int kFirstPort = 1;
    static constexpr int kLastPort = 2;

    static bool isValidPort(int port) { return port >= kFirstPort && port <= kLastPort; }

    // The device for COMn; empty for a number outside 1..2.
    static QString devicePath(int port);
    // The device for COMn when the environment names none.
    static QString defaultDevicePath(int port);
    // "TAVEL_COM1" for port 1.
    static QString environmentVariable(int port);
};
