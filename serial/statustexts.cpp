#include "statustexts.h"

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

QString connectionPanelToolTip(const QString &openPath, const QString &device)
{
    if (device.isEmpty() || device == openPath)
        return QStringLiteral("Gerät: %1").arg(openPath);
    return QStringLiteral("Gerät: %1 (%2)").arg(openPath, device);
}

QString waitingPanelToolTip(const QString &awaitedPath)
{
    return QStringLiteral("Warte auf das Gerät %1").arg(awaitedPath);
}

} // namespace StatusTexts
