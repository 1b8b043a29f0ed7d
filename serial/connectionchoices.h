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

} // namespace ConnectionChoices
