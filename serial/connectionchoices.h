#pragma once

#include <QString>
#include <QStringList>

// The values behind the choices of the connection settings window: each
// choice is stored as a position in its group, and these tables give the
// piece of the Settings text and the word of the status text for it.
namespace ConnectionChoices {

const QStringList &baudRates(); // "110" ... "56000", then "57600" ... "921600"
const QStringList &parityCaptions(); // "Keine", "Gerade", ...
const QStringList &parityPieces(); // "N", "E", "O", "M", "S"
const QStringList &parityWords(); // "keine", "gerade", "ungerade", "Mark", "Space"
const QStringList &dataBitsCaptions(); // "5" ... "8", also the pieces
const QStringList &stopBitsCaptions(); // "1", "1,5", "2"
const QStringList &stopBitsPieces(); // "1", "1.5", "2"

// "9600,N,8,1" from its four pieces.
QString settingsText(
    const QString &baud, const QString &parity, const QString &dataBits, const QString &stopBits);
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

// Tool tips that name the device behind a port. The connection panel's:
// the path the port was opened under and, where that is a link, the node.
QString connectionPanelToolTip(const QString &openPath, const QString &device);
QString waitingPanelToolTip(const QString &awaitedPath);
// The port option's: which device COMn stands for and why (see ComPortMap).
QString portToolTip(int commPort);

} // namespace ConnectionChoices
