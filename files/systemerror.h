#pragma once

#include <QString>

class QFileDevice;
class QSerialPort;

// The one wording of a system error, in the program's language, for every box
// that gives a reason: a save, a capture, a file to send, a port. The common
// causes are worded here, the same whichever locale the process runs in and
// whichever Qt translation is loaded, so that one cause reads alike in every
// box; a cause the table lacks keeps the system's own text.
namespace SystemError {

// The reason for an errno value.
QString reason(int error);

// The reason for the last error of a file Qt opened, read or wrote. Qt words
// a failed system call with the system's text for its errno, and errno itself
// may be overwritten by the time the call returns, so the text is traced back
// to its errno; a cause of Qt's own (a directory where a file should be, a
// file it cannot open) is worded after Qt's error code.
QString reason(const QFileDevice &file);

// The same for a serial port, after its last error.
QString reason(const QSerialPort &port);

} // namespace SystemError
