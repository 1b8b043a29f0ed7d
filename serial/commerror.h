#pragma once

#include <QString>
#include <optional>

// Every failing operation of the serial-port object carries a number, the name
// of the component that raised it and a description that also gives the
// system's reason. The numbers are the program's contract with its windows:
// only kPortInUse has a message of its own there; every other number is shown
// through the error report.
namespace CommErrorNumber {
// clang-format off
inline constexpr int kInvalidSettings = 380;      // Settings text not of the form "9600,N,8,1"
inline constexpr int kInvalidPortNumber = 8002;   // CommPort other than 1 or 2
inline constexpr int kPortInUse = 8005;           // device held by another program
inline constexpr int kPortAlreadyOpen = 8006;     // CommPort changed while the port is open
inline constexpr int kPortNotOpen = 8018;         // Output on a closed port
inline constexpr int kDeviceNotFound = 8010;      // the device path does not exist
inline constexpr int kAccessDenied = 8011;        // no permission to open the device
inline constexpr int kNotASerialPort = 8012;      // no terminal device (a file, /dev/null)
inline constexpr int kSettingsRefused = 8015;     // setting refused; 1.5 stop bits need 5 data bits
inline constexpr int kOpenFailed = 8020;          // any other failure to open
// clang-format on
} // namespace CommErrorNumber

struct CommError
{
    int number = 0;
    QString source;
    QString description;
};

// The result of a port operation: empty on success.
using CommResult = std::optional<CommError>;

// The name under which the port object reports its errors, as the control it
// stands in for is named on the main window.
inline constexpr char kCommErrorSource[] = "MSComm1";

inline CommError makeCommError(int number, const QString &description)
{
    return { number, QString::fromLatin1(kCommErrorSource), description };
}
