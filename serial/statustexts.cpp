#include "statustexts.h"

#include "networkaddress.h"

#include <QCoreApplication>

namespace StatusTexts {

QString settingsPanelText(const QString &baud, const QString &dataBits, const QString &parityWord,
    const QString &stopBits)
{
    //: Status bar: %1 is the baud rate, %2 the data bits (5 to 8), %3 the parity word
    //: (keine, gerade, ungerade, Mark, Space; translated on its own), %4 the stop bits (1, 1.5
    //: or 2)
    return QCoreApplication::translate(
        "StatusTexts", "Einstellungen: %1 Baud, %2 Datenbits, %3 Parität, %4 Stopbit")
        .arg(baud, dataBits, parityWord, stopBits);
}

QString connectionPanelText(int commPort)
{
    //: Status bar: %1 is the port number
    return QCoreApplication::translate("StatusTexts", "Serielle Verbindung über COM%1")
        .arg(commPort);
}

QString initialSettingsPanelText()
{
    //: Status bar panel of the line settings before the first connection (with a trailing
    //: blank)
    return QCoreApplication::translate("StatusTexts", "Einstellungen ");
}

QString closedSettingsPanelText()
{
    //: Status bar panel of the line settings once a connection was closed
    return QCoreApplication::translate("StatusTexts", "Einstellungen");
}

QString noConnectionPanelText()
{
    return QCoreApplication::translate("StatusTexts", "Keine serielle Verbindung");
}

QString waitingPanelText(int commPort)
{
    //: Status bar: the device went away and Tavel waits for it to come back; %1 is the port
    //: number
    return QCoreApplication::translate(
        "StatusTexts", "Verbindung über COM%1 unterbrochen – warte auf das Gerät")
        .arg(commPort);
}

QString serverToolTip(const QString &address)
{
    const std::optional<NetworkAddress> server = NetworkAddress::parse(address);
    if (!server)
        //: Tool tip: %1 is the address of a serial server
        return QCoreApplication::translate("StatusTexts", "Server: %1").arg(address);
    const QString where = server->toString().section(QStringLiteral("://"), 1);
    if (server->kind == NetworkAddress::Kind::Rfc2217)
        //: Tool tip: %1 is the serial server's HOST:PORT
        return QCoreApplication::translate("StatusTexts", "Server: %1 (RFC 2217)").arg(where);
    //: Tool tip: %1 is the server's HOST:PORT. Raw TCP carries only data: the line settings
    //: are not sent to the server's serial port, and the modem control lines (Leitungen) are
    //: unknown
    return QCoreApplication::translate("StatusTexts",
        "Server: %1 (rohes TCP: die Einstellungen gelten nur hier, nicht "
        "am Port des Servers; die Leitungen sind unbekannt)")
        .arg(where);
}

QString connectingPanelText(int commPort)
{
    //: Status bar: a serial server is being connected; %1 is the port number
    return QCoreApplication::translate("StatusTexts", "Verbindung über COM%1 wird hergestellt …")
        .arg(commPort);
}

QString connectionPanelToolTip(const QString &openPath, const QString &device)
{
    if (NetworkAddress::looksLikeOne(openPath))
        return serverToolTip(openPath);
    if (device.isEmpty() || device == openPath)
        //: Tool tip: %1 is the device path
        return QCoreApplication::translate("StatusTexts", "Gerät: %1").arg(openPath);
    //: Tool tip: %1 is the device path as configured (a link), %2 the device it leads to
    return QCoreApplication::translate("StatusTexts", "Gerät: %1 (%2)").arg(openPath, device);
}

QString waitingPanelToolTip(const QString &awaitedPath)
{
    if (NetworkAddress::looksLikeOne(awaitedPath))
        //: Tool tip: %1 is the server address
        return QCoreApplication::translate("StatusTexts", "Warte auf den Server %1")
            .arg(awaitedPath);
    //: Tool tip: %1 is the device path
    return QCoreApplication::translate("StatusTexts", "Warte auf das Gerät %1").arg(awaitedPath);
}

} // namespace StatusTexts
