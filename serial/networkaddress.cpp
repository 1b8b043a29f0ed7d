#include "networkaddress.h"

#include <QCoreApplication>
#include <QHostAddress>

namespace {

const QString kRfc2217 = QStringLiteral("rfc2217://"); // untranslated: address scheme
const QString kRawTcp = QStringLiteral("tcp://"); // untranslated: address scheme

// Letters, digits, dots and hyphens: what a host name holds (RFC 1123).
bool isHostName(const QString &host)
{
    if (host.isEmpty() || host.size() > 253)
        return false;
    for (QChar c : host) {
        if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != QLatin1Char('.')
            && c != QLatin1Char('-'))
            return false;
    }
    return !host.startsWith(QLatin1Char('-')) && !host.startsWith(QLatin1Char('.'));
}

} // namespace

bool NetworkAddress::looksLikeOne(const QString &text)
{
    return text.startsWith(kRfc2217, Qt::CaseInsensitive)
        || text.startsWith(kRawTcp, Qt::CaseInsensitive);
}

std::optional<NetworkAddress> NetworkAddress::parse(const QString &text, QString *problem)
{
    const auto fail = [&](const QString &why) -> std::optional<NetworkAddress> {
        if (problem)
            *problem = why;
        return std::nullopt;
    };
    NetworkAddress address;
    QString rest;
    if (text.startsWith(kRfc2217, Qt::CaseInsensitive)) {
        rest = text.mid(kRfc2217.size());
    } else if (text.startsWith(kRawTcp, Qt::CaseInsensitive)) {
        address.kind = Kind::RawTcp;
        rest = text.mid(kRawTcp.size());
    } else {
        return fail(QCoreApplication::translate(
            "NetworkAddress", "„%1“ beginnt weder mit rfc2217:// noch mit tcp://")
                        .arg(text));
    }
    const qsizetype colon = rest.lastIndexOf(QLatin1Char(':'));
    if (colon < 0)
        //: %1 is the server address as entered; HOST:PORT shows the expected form
        return fail(
            QCoreApplication::translate("NetworkAddress", "in „%1“ fehlt der Port (HOST:PORT)")
                .arg(text));
    QString host = rest.left(colon);
    const QString portText = rest.mid(colon + 1);
    bool ok = false;
    const uint port = portText.toUInt(&ok);
    if (!ok || portText != QString::number(port) || port < 1 || port > 65535)
        return fail(QCoreApplication::translate(
            "NetworkAddress", "der Port in „%1“ ist keine Zahl von 1 bis 65535")
                        .arg(text));
    if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']'))) {
        host = host.mid(1, host.size() - 2);
        if (QHostAddress(host).protocol() != QAbstractSocket::IPv6Protocol)
            return fail(QCoreApplication::translate("NetworkAddress", "„%1“ ist keine IPv6-Adresse")
                            .arg(host));
    } else if (!isHostName(host)) {
        return fail(QCoreApplication::translate(
            "NetworkAddress", "„%1“ ist kein Rechnername und keine Adresse")
                        .arg(host));
    }
    address.host = host;
    address.port = quint16(port);
    return address;
}

QString NetworkAddress::toString() const
{
    const QString shownHost
        = host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host;
    return (kind == Kind::Rfc2217 ? kRfc2217 : kRawTcp) + shownHost + QLatin1Char(':')
        + QString::number(port);
}
