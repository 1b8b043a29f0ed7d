#include "systemerror.h"

#include <QFileDevice>
#include <QFileInfo>
#include <QSerialPort>
#include <cerrno>
#include <cstring>
#include <optional>

namespace {

struct Wording
{
    int error;
    const char *text; // UTF-8
};

// The causes a user of this program meets: files that are missing, locked
// away or too large, disks that are full or read-only, ports that are held,
// gone or not ports at all, servers that refuse or cannot be reached. Short
// noun phrases, as each stands inside a
// sentence of its box, after a colon or in parentheses.
constexpr Wording kWordings[] = {
    { EACCES, "Zugriff verweigert" },
    { EPERM, "Vorgang nicht erlaubt" },
    { ENOENT, "Datei oder Verzeichnis nicht gefunden" },
    { ENOTDIR, "Ist kein Verzeichnis" },
    { EISDIR, "Ist ein Verzeichnis" },
    { EEXIST, "Datei existiert bereits" },
    { ELOOP, "Zu viele Ebenen symbolischer Verknüpfungen" },
    { ENAMETOOLONG, "Dateiname zu lang" },
    { ENOSPC, "Kein Platz mehr auf dem Gerät" },
#ifdef EDQUOT // not in every C library
    { EDQUOT, "Speicherkontingent überschritten" },
#endif
    { EFBIG, "Datei zu groß" },
    { EROFS, "Dateisystem ist schreibgeschützt" },
    { ETXTBSY, "Programmdatei wird gerade ausgeführt" },
    { EBUSY, "Gerät oder Ressource belegt" },
    { EIO, "Ein-/Ausgabefehler" },
    { ENXIO, "Gerät nicht vorhanden oder nicht erreichbar" },
    { ENODEV, "Kein passendes Gerät vorhanden" },
    { ENOTTY, "Kein Terminalgerät" },
    { EAGAIN, "Ressource vorübergehend nicht verfügbar" },
    { EINVAL, "Ungültiger Wert" },
    { EBADF, "Datei ist nicht geöffnet" },
    { EMFILE, "Zu viele offene Dateien" },
    { ENFILE, "Zu viele offene Dateien im System" },
    { ENOMEM, "Nicht genügend Arbeitsspeicher" },
    { ECONNREFUSED, "Verbindung abgelehnt" },
    { ECONNRESET, "Verbindung vom Gegenüber zurückgesetzt" },
    { ETIMEDOUT, "Zeitüberschreitung der Verbindung" },
    { EHOSTUNREACH, "Keine Route zum Zielrechner" },
    { ENETUNREACH, "Netzwerk ist nicht erreichbar" },
    { EADDRNOTAVAIL, "Die angeforderte Adresse kann nicht zugewiesen werden" },
    { EPIPE, "Verbindung unterbrochen" },
};

const Wording *wordingOf(int error)
{
    for (const Wording &wording : kWordings) {
        if (wording.error == error)
            return &wording;
    }
    return nullptr;
}

// The wording of the errno whose system text Qt passed on; the text itself
// when it is none of them (a text of Qt's own, or a cause the table lacks).
// Qt has words of its own for a few errnos and the C library's for the rest;
// both are compared.
std::optional<QString> rewordSystemText(const QString &systemText)
{
    for (const Wording &wording : kWordings) {
        if (systemText == qt_error_string(wording.error)
            || systemText == QString::fromLocal8Bit(std::strerror(wording.error)))
            return QString::fromUtf8(wording.text);
    }
    return std::nullopt;
}

// Causes that Qt finds by itself, without a failed system call.
QString fileDeviceReason(QFileDevice::FileError error, const QString &qtText)
{
    switch (error) {
    case QFileDevice::ReadError:
        return QStringLiteral("Lesefehler");
    case QFileDevice::WriteError:
        return QStringLiteral("Schreibfehler");
    case QFileDevice::OpenError:
        return QStringLiteral("Datei lässt sich nicht öffnen");
    case QFileDevice::ResourceError:
        return QStringLiteral("Nicht genügend Ressourcen");
    case QFileDevice::AbortError:
        return QStringLiteral("Vorgang abgebrochen");
    case QFileDevice::TimeOutError:
        return QStringLiteral("Zeitüberschreitung");
    case QFileDevice::RemoveError:
        return QStringLiteral("Datei lässt sich nicht entfernen");
    case QFileDevice::RenameError:
        return QStringLiteral("Datei lässt sich nicht umbenennen");
    case QFileDevice::PositionError:
        return QStringLiteral("Position in der Datei nicht erreichbar");
    case QFileDevice::ResizeError:
        return QStringLiteral("Dateigröße lässt sich nicht ändern");
    case QFileDevice::PermissionsError:
        return QStringLiteral("Zugriffsrechte lassen sich nicht ändern");
    case QFileDevice::CopyError:
        return QStringLiteral("Datei lässt sich nicht kopieren");
    case QFileDevice::NoError:
    case QFileDevice::FatalError:
    case QFileDevice::UnspecifiedError:
        break;
    }
    return qtText;
}

QString serialPortReason(QSerialPort::SerialPortError error, const QString &qtText)
{
    switch (error) {
    case QSerialPort::DeviceNotFoundError:
        return SystemError::reason(ENODEV);
    case QSerialPort::PermissionError:
        return SystemError::reason(EACCES);
    case QSerialPort::OpenError:
        return QStringLiteral("Gerät ist bereits geöffnet");
    case QSerialPort::NotOpenError:
        return QStringLiteral("Gerät ist nicht geöffnet");
    case QSerialPort::WriteError:
        return QStringLiteral("Schreibfehler");
    case QSerialPort::ReadError:
        return QStringLiteral("Lesefehler");
    case QSerialPort::ResourceError:
        return QStringLiteral("Gerät nicht mehr verfügbar");
    case QSerialPort::UnsupportedOperationError:
        return QStringLiteral("Vom Gerät nicht unterstützt");
    case QSerialPort::TimeoutError:
        return QStringLiteral("Zeitüberschreitung");
    case QSerialPort::NoError:
    case QSerialPort::UnknownError:
        break;
    }
    return qtText;
}

} // namespace

QString SystemError::reason(int error)
{
    if (const Wording *wording = wordingOf(error))
        return QString::fromUtf8(wording->text);
    return QString::fromLocal8Bit(std::strerror(error));
}

QString SystemError::reason(const QFileDevice &file)
{
    // Qt refuses a directory before any system call, in words of its own.
    if (file.error() != QFileDevice::NoError && QFileInfo(file.fileName()).isDir())
        return reason(EISDIR);
    const QString qtText = file.errorString();
    return rewordSystemText(qtText).value_or(fileDeviceReason(file.error(), qtText));
}

QString SystemError::reason(const QSerialPort &port)
{
    const QString qtText = port.errorString();
    return rewordSystemText(qtText).value_or(serialPortReason(port.error(), qtText));
}
