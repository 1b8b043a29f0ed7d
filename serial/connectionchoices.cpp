#include "connectionchoices.h"

#include "devices/comportmap.h"
#include "linesettings.h"

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

} // namespace

namespace ConnectionChoices {

const QStringList &baudRates()
{
    static const QStringList list
        = textsOf(LineSettings::kBaudRates, [](int rate) { return QString::number(rate); });
    return list;
}

const QStringList &parityCaptions()
{
    static const QStringList list = { QStringLiteral("Keine"), QStringLiteral("Gerade"),
        QStringLiteral("Ungerade"), QStringLiteral("Mark"), QStringLiteral("Space") };
    return list;
}

const QStringList &parityPieces()
{
    static const QStringList list = textsOf(
        LineSettings::kParityLetters, [](char letter) { return QString(QLatin1Char(letter)); });
    return list;
}

const QStringList &parityWords()
{
    static const QStringList list = { QStringLiteral("keine"), QStringLiteral("gerade"),
        QStringLiteral("ungerade"), QStringLiteral("Mark"), QStringLiteral("Space") };
    return list;
}

const QStringList &dataBitsCaptions()
{
    static const QStringList list
        = { QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("7"), QStringLiteral("8") };
    return list;
}

const QStringList &stopBitsCaptions()
{
    static const QStringList list
        = { QStringLiteral("1"), QStringLiteral("1,5"), QStringLiteral("2") };
    return list;
}

const QStringList &stopBitsPieces()
{
    static const QStringList list = textsOf(LineSettings::kStopBitsPieces,
        [](const char *piece) { return QString::fromLatin1(piece); });
    return list;
}

QString settingsText(
    const QString &baud, const QString &parity, const QString &dataBits, const QString &stopBits)
{
    return baud + QLatin1Char(',') + parity + QLatin1Char(',') + dataBits + QLatin1Char(',')
        + stopBits;
}

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

QString portToolTip(int commPort)
{
    const QString path = ComPortMap::devicePath(commPort);
    const QString assign = QStringLiteral("Rechte Maustaste: Geräte zuordnen");
    QString source;
    switch (ComPortMap::sourceOf(commPort)) {
    case ComPortMap::Source::Environment:
        source = QStringLiteral("aus %1").arg(ComPortMap::environmentVariable(commPort));
        break;
    case ComPortMap::Source::Assignment:
        source = QStringLiteral("zugeordnet");
        break;
    case ComPortMap::Source::DeviceList:
        source = QStringLiteral("gefundenes Gerät");
        break;
    case ComPortMap::Source::None:
        return QStringLiteral("Für COM%1 ist kein Gerät bekannt.\n%2").arg(commPort).arg(assign);
    }
    return QStringLiteral("COM%1: %2 (%3)\n%4").arg(commPort).arg(path, source, assign);
}

} // namespace ConnectionChoices
