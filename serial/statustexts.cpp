#include "statustexts.h"

#include "networkaddress.h"

namespace StatusTexts {

QString settingsPanelText(const QString &baud, const QString &dataBits, const QString &parityWord,
    const QString &stopBits)
{
    return QStringLiteral("Einstellungen: ") + baud + QStringLiteral(" Baud, ") + dataBits
        + QStringLiteral(" Datenbits, ") + parityWord + QStringLiteral(" Parität, ") + stopBits
        + QStringLiteral(" Stopbit");
}

QString connectionPanelText(int commPort)
{
    return QStringLiteral("Serielle Verbindung über COM") + QString::number(commPort);
}

QString initialSettingsPanelText()
{
    return QStringLiteral("Einstellungen ");
}

QString closedSettingsPanelText()
{
    return QStringLiteral("Einstellungen");
}

QString noConnectionPanelText()
{
    return QStringLiteral("Keine serielle Verbindung");
}

QString waitingPanelText(int commPort)
{
    return QStringLiteral("Verbindung über COM%1 unterbrochen – warte auf das Gerät").arg(commPort);
}

QString serverToolTip(const QString &address)
{
    const std::optional<NetworkAddress> server = NetworkAddress::parse(address);
    if (!server)
        return QStringLiteral("Server: %1").arg(address);
    const QString where = server->toString().section(QStringLiteral("://"), 1);
    if (server->kind == NetworkAddress::Kind::Rfc2217)
        return QStringLiteral("Server: %1 (RFC 2217)").arg(where);
    return QStringLiteral("Server: %1 (rohes TCP: die Einstellungen gelten nur hier, nicht "
                          "am Port des Servers; die Leitungen sind unbekannt)")
        .arg(where);
}

QString connectingPanelText(int commPort)
{
    return QStringLiteral("Verbindung über COM%1 wird hergestellt …").arg(commPort);
}

QString connectionPanelToolTip(const QString &openPath, const QString &device)
{
    if (NetworkAddress::looksLikeOne(openPath))
        return serverToolTip(openPath);
    if (device.isEmpty() || device == openPath)
        return QStringLiteral("Gerät: %1").arg(openPath);
    return QStringLiteral("Gerät: %1 (%2)").arg(openPath, device);
}

QString waitingPanelToolTip(const QString &awaitedPath)
{
    if (NetworkAddress::looksLikeOne(awaitedPath))
        return QStringLiteral("Warte auf den Server %1").arg(awaitedPath);
    return QStringLiteral("Warte auf das Gerät %1").arg(awaitedPath);
}

} // namespace StatusTexts
