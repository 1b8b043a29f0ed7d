#pragma once

#include <QString>

// What the two panels of the main window's status bar say: panel 1 the line
// settings, panel 2 the connection.
namespace StatusTexts {

// "Einstellungen: 9600 Baud, 8 Datenbits, keine Parität, 1 Stopbit"
QString settingsPanelText(const QString &baud, const QString &dataBits, const QString &parityWord,
    const QString &stopBits);
// "Serielle Verbindung über COM1"
QString connectionPanelText(int commPort);
// The panels without a connection: panel 1 reads "Einstellungen " (with a
// blank) until the first connection and "Einstellungen" once one has been
// closed; panel 2 reads "Keine serielle Verbindung".
QString initialSettingsPanelText();
QString closedSettingsPanelText();
QString noConnectionPanelText();
// "Verbindung über COM1 unterbrochen – warte auf das Gerät": the device went
// away and Tavel waits for it to come back.
QString waitingPanelText(int commPort);

// "Verbindung über COM1 wird hergestellt …": a serial server is being
// connected.
QString connectingPanelText(int commPort);

// The connection panel's tool tips, which name the device behind the port:
// the path the port was opened under and, where that is a link, the node;
// for a port on a serial server, the server and how it is reached.
QString connectionPanelToolTip(const QString &openPath, const QString &device);
QString waitingPanelToolTip(const QString &awaitedPath);
QString serverToolTip(const QString &address);

} // namespace StatusTexts
