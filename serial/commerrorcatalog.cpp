#include "commerrorcatalog.h"

#include "linesettings.h"

#include <QCoreApplication>

using namespace CommErrorNumber;

namespace {

// An error about the device behind a port: the text takes the port as %1,
// the device as %2 and the system's reason as %3.
CommError aboutDevice(
    int number, const QString &text, int port, const QString &device, const QString &reason)
{
    return makeCommError(number, text.arg(port).arg(device, reason));
}

} // namespace

namespace CommErrorCatalog {

CommError invalidSettings(const QString &settings, const QString &problem)
{
    return makeCommError(kInvalidSettings,
        //: %1 is the settings text as given, %2 what is wrong with it; 9600,N,8,1 is baud rate,
        //: parity letter, data bits, stop bits
        QCoreApplication::translate("CommErrorCatalog",
            "Ungültige Verbindungseinstellungen „%1“: %2. Erwartet "
            "wird die Form „9600,N,8,1“.")
            .arg(settings, problem));
}

CommError invalidPortNumber(int port)
{
    return makeCommError(kInvalidPortNumber,
        QCoreApplication::translate(
            "CommErrorCatalog", "Ungültige Portnummer %1: es gibt nur COM1 und COM2.")
            .arg(port));
}

CommError portAlreadyOpen(int port)
{
    return makeCommError(kPortAlreadyOpen,
        QCoreApplication::translate("CommErrorCatalog",
            "COM%1 ist geöffnet; der Port lässt sich nur wechseln, "
            "wenn die Verbindung getrennt ist.")
            .arg(port));
}

CommError portNotOpen()
{
    return makeCommError(kPortNotOpen,
        QCoreApplication::translate("CommErrorCatalog", "Der serielle Port ist nicht geöffnet."));
}

CommError portInUse(int port, const QString &device, const QString &reason)
{
    return aboutDevice(kPortInUse,
        //: %1 is the port number, %2 the device path, %3 the system's reason (e.g. who holds the
        //: device)
        QCoreApplication::translate("CommErrorCatalog",
            "COM%1 (%2) wird bereits von einem anderen Programm "
            "benutzt (%3)."),
        port, device, reason);
}

CommError noDeviceForPort(int port)
{
    return makeCommError(kDeviceNotFound,
        //: “Datei → Geräte zuordnen …” names the command Assign devices… in the File menu
        QCoreApplication::translate("CommErrorCatalog",
            "Für COM%1 wurde kein serielles Gerät gefunden. Schließen Sie ein Gerät an "
            "oder wählen Sie eines unter „Datei → Geräte zuordnen …“.")
            .arg(port));
}

CommError deviceNotFound(int port, const QString &device, const QString &reason)
{
    return aboutDevice(kDeviceNotFound,
        //: %1 is the port number, %2 the device path, %3 the system's reason
        QCoreApplication::translate(
            "CommErrorCatalog", "Das Gerät %2 für COM%1 existiert nicht (%3)."),
        port, device, reason);
}

CommError accessDenied(int port, const QString &device, const QString &reason)
{
    return aboutDevice(kAccessDenied,
        //: %1 is the port number, %2 the device path, %3 the system's reason; “dialout” is the name
        //: of a Unix group and stays as it is
        QCoreApplication::translate("CommErrorCatalog",
            "Kein Zugriff auf das Gerät %2 für COM%1 (%3). Der "
            "Benutzer muss eventuell Mitglied der Gruppe „dialout“ "
            "sein."),
        port, device, reason);
}

CommError notASerialPort(int port, const QString &device, const QString &reason)
{
    return aboutDevice(kNotASerialPort,
        //: %1 is the port number, %2 the device path, %3 the system's reason
        QCoreApplication::translate(
            "CommErrorCatalog", "%2 für COM%1 ist keine serielle Schnittstelle (%3)."),
        port, device, reason);
}

CommError settingsRefused(int port, const QString &device, const QString &reason)
{
    return aboutDevice(kSettingsRefused,
        //: %1 is the port number, %2 the device path, %3 the system's reason (which setting was
        //: refused, e.g. a baud rate)
        QCoreApplication::translate("CommErrorCatalog",
            "Der Treiber von %2 für COM%1 lehnt die Einstellung ab: "
            "%3."),
        port, device, reason);
}

CommError stopBitsNeedFiveDataBits(const LineSettings &settings)
{
    return makeCommError(kSettingsRefused,
        //: %1 is the reason (1.5 stop bits need 5 data bits), %2 the settings text such as
        //: 9600,N,8,1.5
        QCoreApplication::translate("CommErrorCatalog", "%1 (Einstellungen „%2“).")
            .arg(LineSettings::unsendableReason(), settings.toString()));
}

CommError openFailed(int port, const QString &device, const QString &reason)
{
    return aboutDevice(kOpenFailed,
        //: %1 is the port number, %2 the device path, %3 the system's reason
        QCoreApplication::translate(
            "CommErrorCatalog", "COM%1 (%2) konnte nicht geöffnet werden (%3)."),
        port, device, reason);
}

CommError serverNotFound(int port, const QString &address, const QString &reason)
{
    return aboutDevice(kDeviceNotFound,
        //: %1 is the port number, %2 the server address (rfc2217://HOST:PORT), %3 the reason
        QCoreApplication::translate(
            "CommErrorCatalog", "Der Server %2 für COM%1 ist nicht zu finden (%3)."),
        port, address, reason);
}

CommError connectFailed(int port, const QString &address, const QString &reason)
{
    return aboutDevice(kOpenFailed,
        //: %1 is the port number, %2 the server address (rfc2217://HOST:PORT), %3 the reason
        QCoreApplication::translate(
            "CommErrorCatalog", "COM%1 (%2) konnte nicht verbunden werden (%3)."),
        port, address, reason);
}

} // namespace CommErrorCatalog
