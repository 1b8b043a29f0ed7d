#include "connectionchoices.h"

#include "devices/comportmap.h"
#include "linesettings.h"
#include "statustexts.h"

#include <QCoreApplication>
#include <algorithm>

namespace {

// The texts of a table of the line settings, in its order.
template<class Table, class Text>
QStringList textsOf(const Table &table, Text text)
{
    QStringList texts;
    for (const auto &entry : table)
        texts.append(text(entry));
    return texts;
}

// The row of a table at a position; nothing for -1 or a position outside it.
template<class Table>
auto rowAt(const Table &table, int position) -> std::optional<typename Table::value_type>
{
    if (position < 0 || position >= int(table.size()))
        return std::nullopt;
    return table[std::size_t(position)];
}

} // namespace

namespace ConnectionChoices {

const QStringList &portCaptions()
{
    static const QStringList list = [] {
        QStringList captions;
        for (int port = ComPortMap::kFirstPort; port <= ComPortMap::kLastPort; ++port)
            captions.append(QStringLiteral("COM%1").arg(port));
        return captions;
    }();
    return list;
}

const QStringList &baudCaptions()
{
    static const QStringList list
        = textsOf(LineSettings::kBaudRates, [](int rate) { return QString::number(rate); });
    return list;
}

QStringList parityCaptions()
{
    return textsOf(LineSettings::kParities, [](const LineSettings::ParityRow &row) {
        return QCoreApplication::translate("LineSettings", row.caption);
    });
}

const QStringList &dataBitsCaptions()
{
    static const QStringList list
        = textsOf(LineSettings::kDataBits, [](int bits) { return QString::number(bits); });
    return list;
}

QStringList stopBitsCaptions()
{
    return textsOf(LineSettings::kStopBitsRows, [](const LineSettings::StopBitsRow &row) {
        return QCoreApplication::translate("LineSettings", row.caption);
    });
}

Connection connectionFor(const Positions &positions)
{
    Connection connection;
    connection.commPort = ComPortMap::kFirstPort
        + std::clamp(positions.port, 0, ComPortMap::kLastPort - ComPortMap::kFirstPort);
    const auto parity = rowAt(LineSettings::kParities, positions.parity);
    const auto dataBits = rowAt(LineSettings::kDataBits, positions.dataBits);
    const auto stopBits = rowAt(LineSettings::kStopBitsRows, positions.stopBits);
    if (!parity || !dataBits || !stopBits)
        return connection;

    const auto baud = rowAt(LineSettings::kBaudRates, positions.baud);
    const QString baudPiece = baud ? QString::number(*baud) : QString();
    const QString dataBitsPiece = QString::number(*dataBits);
    const QString stopBitsPiece = QString::fromLatin1(stopBits->piece);
    connection.line = Line {
        QStringList {
            baudPiece, QString(QLatin1Char(parity->letter)), dataBitsPiece, stopBitsPiece }
            .join(QLatin1Char(',')),
        StatusTexts::settingsPanelText(baudPiece, dataBitsPiece,
            QCoreApplication::translate("LineSettings", parity->word), stopBitsPiece),
    };
    return connection;
}

QString portToolTip(int commPort, const QString &holder)
{
    const QString path = ComPortMap::devicePath(commPort);
    //: Tool tip line of a port option: a right click opens the Assign devices dialog
    const QString assign
        = QCoreApplication::translate("ConnectionChoices", "Rechte Maustaste: Geräte zuordnen");
    QString source;
    switch (ComPortMap::sourceOf(commPort)) {
    case ComPortMap::Source::Environment:
        //: Where the port's device comes from: %1 is an environment variable (TAVEL_COM1)
        source = QCoreApplication::translate("ConnectionChoices", "aus %1")
                     .arg(ComPortMap::environmentVariable(commPort));
        break;
    case ComPortMap::Source::Assignment:
        //: Where the port's device comes from: the user assigned it
        source = QCoreApplication::translate("ConnectionChoices", "zugeordnet");
        break;
    case ComPortMap::Source::DeviceList:
        //: Where the port's device comes from: the first device the system reports
        source = QCoreApplication::translate("ConnectionChoices", "gefundenes Gerät");
        break;
    case ComPortMap::Source::None:
        //: Tool tip of a port option; %2 is the line about the right click
        return QCoreApplication::translate(
            "ConnectionChoices", "Für COM%1 ist kein Gerät bekannt.\n%2")
            .arg(commPort)
            .arg(assign);
    }
    QStringList lines { QStringLiteral("COM%1: %2 (%3)").arg(commPort).arg(path, source) };
    if (!holder.isEmpty())
        lines << holder;
    lines << assign;
    return lines.join(QLatin1Char('\n'));
}

} // namespace ConnectionChoices
