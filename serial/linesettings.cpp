#include "linesettings.h"

#include <QCoreApplication>
#include <QStringList>
#include <algorithm>

namespace {

std::optional<int> parseBaudRate(const QString &piece)
{
    // Compared as text, so that "09600" or "+9600" do not slip through a
    // numeric conversion.
    for (int rate : LineSettings::kBaudRates) {
        if (piece == QString::number(rate))
            return rate;
    }
    return std::nullopt;
}

std::optional<LineSettings::Parity> parseParity(const QString &piece)
{
    for (const LineSettings::ParityRow &row : LineSettings::kParities) {
        if (piece.size() == 1 && piece.at(0) == QLatin1Char(row.letter))
            return row.value;
    }
    return std::nullopt;
}

std::optional<int> parseDataBits(const QString &piece)
{
    for (int bits : LineSettings::kDataBits) {
        if (piece == QString::number(bits))
            return bits;
    }
    return std::nullopt;
}

std::optional<LineSettings::StopBits> parseStopBits(const QString &piece)
{
    for (const LineSettings::StopBitsRow &row : LineSettings::kStopBitsRows) {
        if (piece == QLatin1String(row.piece))
            return row.value;
    }
    return std::nullopt;
}

QString pieceProblem(const QString &name, const QString &piece, const QString &allowed)
{
    if (piece.isEmpty())
        //: %1 names a piece of the settings text (baud rate, parity, data bits, stop bits)
        return QCoreApplication::translate("LineSettings", "%1 fehlt").arg(name);
    //: %1 names a piece of the settings text (baud rate, parity, data bits, stop bits), %2 is
    //: the piece as given, %3 the list of allowed values
    return QCoreApplication::translate("LineSettings", "%1 „%2“ ist nicht erlaubt (erlaubt: %3)")
        .arg(name, piece, allowed);
}

// "110, 300, ...": what a piece may be, for the problem text.
template<class Table, class Text>
QString allowedList(const Table &table, Text text)
{
    QStringList pieces;
    for (const auto &entry : table)
        pieces << text(entry);
    return pieces.join(QStringLiteral(", "));
}

} // namespace

std::optional<LineSettings> LineSettings::parse(const QString &text, QString *problem)
{
    const auto fail = [problem](const QString &why) -> std::optional<LineSettings> {
        if (problem)
            *problem = why;
        return std::nullopt;
    };

    const QStringList pieces = text.split(QLatin1Char(','));
    if (pieces.size() != 4) {
        //: The settings text such as 9600,N,8,1 must have four pieces; %1 is how many it has
        return fail(QCoreApplication::translate("LineSettings",
            "erwartet werden vier durch Kommas getrennte Angaben, "
            "gefunden %1")
                        .arg(text.isEmpty() ? 0 : pieces.size()));
    }
    const std::optional<int> baud = parseBaudRate(pieces.at(0));
    if (!baud)
        return fail(pieceProblem(
            //: Name of a piece of the settings text, inside a sentence: "%1 fehlt" (%1 is missing)
            QCoreApplication::translate("LineSettings", "Baudrate"), pieces.at(0),
            allowedList(kBaudRates, [](int rate) { return QString::number(rate); })));
    const std::optional<Parity> parity = parseParity(pieces.at(1));
    if (!parity)
        return fail(pieceProblem(
            //: Name of a piece of the settings text, inside a sentence: "%1 fehlt" (%1 is missing)
            QCoreApplication::translate("LineSettings", "Parität"), pieces.at(1),
            allowedList(
                kParities, [](const ParityRow &row) { return QString(QLatin1Char(row.letter)); })));
    const std::optional<int> dataBits = parseDataBits(pieces.at(2));
    if (!dataBits)
        return fail(pieceProblem(
            //: Name of a piece of the settings text, inside a sentence: "%1 fehlt" (%1 is missing)
            QCoreApplication::translate("LineSettings", "Datenbits"), pieces.at(2),
            allowedList(kDataBits, [](int bits) { return QString::number(bits); })));
    const std::optional<StopBits> stopBits = parseStopBits(pieces.at(3));
    if (!stopBits)
        return fail(pieceProblem(
            //: Name of a piece of the settings text, inside a sentence: "%1 fehlt" (%1 is missing)
            QCoreApplication::translate("LineSettings", "Stopbits"), pieces.at(3),
            allowedList(kStopBitsRows,
                [](const StopBitsRow &row) { return QString::fromLatin1(row.piece); })));

    LineSettings settings;
    settings.m_baudRate = *baud;
    settings.m_parity = *parity;
    settings.m_dataBits = *dataBits;
    settings.m_stopBits = *stopBits;
    return settings;
}

QString LineSettings::toString() const
{
    return QStringLiteral("%1,%2,%3,%4")
        .arg(m_baudRate)
        .arg(QLatin1Char(rowOf(m_parity).letter))
        .arg(m_dataBits)
        .arg(QLatin1String(rowOf(m_stopBits).piece));
}

const LineSettings::ParityRow &LineSettings::rowOf(Parity parity)
{
    return *std::find_if(kParities.begin(), kParities.end(),
        [parity](const ParityRow &row) { return row.value == parity; });
}

const LineSettings::StopBitsRow &LineSettings::rowOf(StopBits stopBits)
{
    return *std::find_if(kStopBitsRows.begin(), kStopBitsRows.end(),
        [stopBits](const StopBitsRow &row) { return row.value == stopBits; });
}

QString LineSettings::unsendableReason()
{
    //: 1.5 stop bits, written with the language's decimal separator
    return QCoreApplication::translate(
        "LineSettings", "1,5 Stopbits sind nur mit 5 Datenbits möglich");
}
