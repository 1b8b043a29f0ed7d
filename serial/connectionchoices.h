#pragma once

#include "devices/comportmap.h"

#include <QString>
#include <QStringList>
#include <optional>

// The choices of the connection settings window and what they ask for. Each
// group of options (port, baud rate, parity, data bits, stop bits) is stored
// as the position of the chosen option, and the options stand in the order of
// LineSettings' tables, so a position picks a row there.
namespace ConnectionChoices {

// The options' captions, in their order: "COM1", "COM2"; "110" ... "921600";
// "Keine", "Gerade", ...; "5" ... "8"; "1", "1,5", "2". Parity and stop bits
// are words and numbers of the interface's language, made anew each time.
const QStringList &portCaptions();
const QStringList &baudCaptions();
QStringList parityCaptions();
const QStringList &dataBitsCaptions();
QStringList stopBitsCaptions();

// The positions of the chosen options, -1 for a group without a choice.
struct Positions
{
    int port = 0;
    int baud = 0;
    int parity = 0;
    int dataBits = 0;
    int stopBits = 0;
};

struct Line
{
    // "9600,N,8,1" for MSComm::setSettings. Without a chosen rate the text
    // lacks it (",N,8,1"), and MSComm refuses it saying so.
    QString settings;
    // Status bar panel 1 once the port is open with these settings.
    QString panelText;
};

struct Connection
{
    int commPort = ComPortMap::kFirstPort;
    // None while parity, data bits or stop bits are not chosen.
    std::optional<Line> line;
};

// The port is always one of the group's: a position outside it counts as
// the nearest port.
Connection connectionFor(const Positions &positions);

// The port option's tool tip: which device COMn stands for and why (see
// ComPortMap), and who holds it when a connect found it held ("belegt von
// ...", see DeviceHolder).
QString portToolTip(int commPort, const QString &holder = {});

} // namespace ConnectionChoices
