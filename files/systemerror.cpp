#include "systemerror.h"

#include <QCoreApplication>
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
    const char *text; // UTF-8, the source text of its translation
};

QString wordingText(const Wording &wording)
{
    return QCoreApplication::translate("SystemError", wording.text);
}

// The causes a user of this program meets: files that are missing, locked
// away or too large, disks that are full or read-only, ports that are held,
// gone or not ports at all, servers that refuse or cannot be reached. Short
// noun phrases, as each stands inside a
// sentence of its box, after a colon or in parentheses.
constexpr Wording kWordings[] = {
    { EACCES, QT_TRANSLATE_NOOP("SystemError", "Zugriff verweigert") },
    { EPERM, QT_TRANSLATE_NOOP("SystemError", "Vorgang nicht erlaubt") },
    { ENOENT, QT_TRANSLATE_NOOP("SystemError", "Datei oder Verzeichnis nicht gefunden") },
    { ENOTDIR, QT_TRANSLATE_NOOP("SystemError", "Ist kein Verzeichnis") },
    { EISDIR, QT_TRANSLATE_NOOP("SystemError", "Ist ein Verzeichnis") },
    { EEXIST, QT_TRANSLATE_NOOP("SystemError", "Datei existiert bereits") },
    { ELOOP, QT_TRANSLATE_NOOP("SystemError", "Zu viele Ebenen symbolischer Verknüpfungen") },
    { ENAMETOOLONG, QT_TRANSLATE_NOOP("SystemError", "Dateiname zu lang") },
    { ENOSPC, QT_TRANSLATE_NOOP("SystemError", "Kein Platz mehr auf dem Gerät") },
#ifdef EDQUOT // not in every C library
    { EDQUOT, QT_TRANSLATE_NOOP("SystemError", "Speicherkontingent überschritten") },
#endif
    { EFBIG, QT_TRANSLATE_NOOP("SystemError", "Datei zu groß") },
    { EROFS, QT_TRANSLATE_NOOP("SystemError", "Dateisystem ist schreibgeschützt") },
    { ETXTBSY, QT_TRANSLATE_NOOP("SystemError", "Programmdatei wird gerade ausgeführt") },
    { EBUSY, QT_TRANSLATE_NOOP("SystemError", "Gerät oder Ressource belegt") },
    { EIO, QT_TRANSLATE_NOOP("SystemError", "Ein-/Ausgabefehler") },
    { ENXIO, QT_TRANSLATE_NOOP("SystemError", "Gerät nicht vorhanden oder nicht erreichbar") },
    { ENODEV, QT_TRANSLATE_NOOP("SystemError", "Kein passendes Gerät vorhanden") },
    { ENOTTY, QT_TRANSLATE_NOOP("SystemError", "Kein Terminalgerät") },
    { EAGAIN, QT_TRANSLATE_NOOP("SystemError", "Ressource vorübergehend nicht verfügbar") },
    { EINVAL, QT_TRANSLATE_NOOP("SystemError", "Ungültiger Wert") },
    { EBADF, QT_TRANSLATE_NOOP("SystemError", "Datei ist nicht geöffnet") },
    { EMFILE, QT_TRANSLATE_NOOP("SystemError", "Zu viele offene Dateien") },
    { ENFILE, QT_TRANSLATE_NOOP("SystemError", "Zu viele offene Dateien im System") },
    { ENOMEM, QT_TRANSLATE_NOOP("SystemError", "Nicht genügend Arbeitsspeicher") },
    { ECONNREFUSED, QT_TRANSLATE_NOOP("SystemError", "Verbindung abgelehnt") },
    { ECONNRESET, QT_TRANSLATE_NOOP("SystemError", "Verbindung vom Gegenüber zurückgesetzt") },
    { ETIMEDOUT, QT_TRANSLATE_NOOP("SystemError", "Zeitüberschreitung der Verbindung") },
    { EHOSTUNREACH, QT_TRANSLATE_NOOP("SystemError", "Keine Route zum Zielrechner") },
    { ENETUNREACH, QT_TRANSLATE_NOOP("SystemError", "Netzwerk ist nicht erreichbar") },
    { EADDRNOTAVAIL,
        QT_TRANSLATE_NOOP("SystemError", "Die angeforderte Adresse kann nicht zugewiesen werden") },
    { EPIPE, QT_TRANSLATE_NOOP("SystemError", "Verbindung unterbrochen") },
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
            return wordingText(wording);
    }
    return std::nullopt;
}

// Causes that Qt finds by itself, without a failed system call.
QString fileDeviceReason(QFileDevice::FileError error, const QString &qtText)
{
    switch (error) {
    case QFileDevice::ReadError:
        return QCoreApplication::translate("SystemError", "Lesefehler");
    case QFileDevice::WriteError:
        return QCoreApplication::translate("SystemError", "Schreibfehler");
    case QFileDevice::OpenError:
        return QCoreApplication::translate("SystemError", "Datei lässt sich nicht öffnen");
    case QFileDevice::ResourceError:
        return QCoreApplication::translate("SystemError", "Nicht genügend Ressourcen");
    case QFileDevice::AbortError:
        return QCoreApplication::translate("SystemError", "Vorgang abgebrochen");
    case QFileDevice::TimeOutError:
        return QCoreApplication::translate("SystemError", "Zeitüberschreitung");
    case QFileDevice::RemoveError:
        return QCoreApplication::translate("SystemError", "Datei lässt sich nicht entfernen");
    case QFileDevice::RenameError:
        return QCoreApplication::translate("SystemError", "Datei lässt sich nicht umbenennen");
    case QFileDevice::PositionError:
        return QCoreApplication::translate("SystemError", "Position in der Datei nicht erreichbar");
    case QFileDevice::ResizeError:
        return QCoreApplication::translate("SystemError", "Dateigröße lässt sich nicht ändern");
    case QFileDevice::PermissionsError:
        return QCoreApplication::translate(
            "SystemError", "Zugriffsrechte lassen sich nicht ändern");
    case QFileDevice::CopyError:
        return QCoreApplication::translate("SystemError", "Datei lässt sich nicht kopieren");
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
        return QCoreApplication::translate("SystemError", "Gerät ist bereits geöffnet");
    case QSerialPort::NotOpenError:
        return QCoreApplication::translate("SystemError", "Gerät ist nicht geöffnet");
    case QSerialPort::WriteError:
        return QCoreApplication::translate("SystemError", "Schreibfehler");
    case QSerialPort::ReadError:
        return QCoreApplication::translate("SystemError", "Lesefehler");
    case QSerialPort::ResourceError:
        return QCoreApplication::translate("SystemError", "Gerät nicht mehr verfügbar");
    case QSerialPort::UnsupportedOperationError:
        return QCoreApplication::translate("SystemError", "Vom Gerät nicht unterstützt");
    case QSerialPort::TimeoutError:
        return QCoreApplication::translate("SystemError", "Zeitüberschreitung");
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
        return wordingText(*wording);
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
