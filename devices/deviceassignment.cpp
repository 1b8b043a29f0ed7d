#include "deviceassignment.h"

#include "serial/networkaddress.h"
#include "text/smalltextfile.h"

#include <QCoreApplication>
#include <QStringList>
#include <utility>

DeviceAssignment::ReadResult DeviceAssignment::parse(const QByteArray &bytes)
{
    const auto fail = [](const QString &problem) { return ReadResult { {}, problem }; };
    QString undecodable;
    const std::optional<QString> decoded = SmallTextFile::decode(bytes, undecodable);
    if (!decoded)
        return fail(undecodable);
    const QString &text = *decoded;

    ReadResult result;
    std::array<bool, ComPortMap::kPortCount> seen {};
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines.at(i).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        const int port = equals > 0 ? ComPortMap::portOfName(line.left(equals).trimmed()) : 0;
        if (port == 0)
            //: A line of the device assignment file: %1 is its number, %2 the line itself
            return fail(
                QCoreApplication::translate("DeviceAssignment", "Zeile %1 ist unverständlich: „%2“")
                    .arg(i + 1)
                    .arg(line));
        if (std::exchange(seen[port - ComPortMap::kFirstPort], true))
            //: %1 is the port number, %2 the line number in the device assignment file
            return fail(QCoreApplication::translate(
                "DeviceAssignment", "COM%1 steht in Zeile %2 ein zweites Mal")
                            .arg(port)
                            .arg(i + 1));
        const QString path = line.mid(equals + 1).trimmed();
        if (const std::optional<QString> wrong = problemWithPath(path))
            //: %1 is the line number in the device assignment file, %2 what is wrong there
            return fail(QCoreApplication::translate("DeviceAssignment", "Zeile %1: %2")
                            .arg(i + 1)
                            .arg(*wrong));
        result.assignment.m_paths[port - ComPortMap::kFirstPort] = path;
    }
    return result;
}

QByteArray DeviceAssignment::serialize() const
{
    QString text
        // untranslated: comment line of tavel-geraete.cfg
        = QStringLiteral("# Tavel: Geräte für COM1 und COM2 (leer: das erste gefundene Gerät)\n");
    for (int port = ComPortMap::kFirstPort; port <= ComPortMap::kLastPort; ++port)
        text += QStringLiteral("COM%1=%2\n").arg(port).arg(m_paths[port - ComPortMap::kFirstPort]);
    return text.toUtf8();
}

QString DeviceAssignment::devicePath(int port) const
{
    return ComPortMap::isValidPort(port) ? m_paths[port - ComPortMap::kFirstPort] : QString();
}

void DeviceAssignment::setDevicePath(int port, const QString &path)
{
    if (ComPortMap::isValidPort(port) && !problemWithPath(path))
        m_paths[port - ComPortMap::kFirstPort] = path;
}

bool DeviceAssignment::isEmpty() const
{
    for (const QString &path : m_paths) {
        if (!path.isEmpty())
            return false;
    }
    return true;
}

std::optional<QString> DeviceAssignment::problemWithPath(const QString &path)
{
    if (path.isEmpty())
        return std::nullopt;
    if (path.contains(QLatin1Char('\n')) || path.contains(QLatin1Char('\r'))
        || path.contains(QChar(0)))
        //: The rule a device path breaks: it must fit on one line and hold no NUL character
        return QCoreApplication::translate("DeviceAssignment",
            "ein Gerätepfad steht auf einer Zeile und enthält kein Nullzeichen");
    if (path != path.trimmed())
        //: %1 is a device path
        return QCoreApplication::translate(
            "DeviceAssignment", "„%1“ beginnt oder endet mit Leerzeichen")
            .arg(path);
    if (NetworkAddress::looksLikeOne(path)) {
        QString problem;
        if (!NetworkAddress::parse(path, &problem))
            return problem;
        return std::nullopt;
    }
    if (!path.startsWith(QLatin1Char('/')))
        //: %1 is a device path
        return QCoreApplication::translate(
            "DeviceAssignment", "„%1“ ist kein vollständiger Pfad (er beginnt nicht mit /)")
            .arg(path);
    return std::nullopt;
}
