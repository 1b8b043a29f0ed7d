#include "linesettings.h"

#include <QStringList>

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
    if (piece.size() != 1)
        return std::nullopt;
    for (int i = 0; i < int(LineSettings::kParityLetters.size()); ++i) {
        if (piece.at(0) == QLatin1Char(LineSettings::kParityLetters[i]))
            return LineSettings::Parity(i);
    }
    return std::nullopt;
}

std::optional<int> parseDataBits(const QString &piece)
{
    if (piece.size() == 1 && piece.at(0) >= QLatin1Char('5') && piece.at(0) <= QLatin1Char('8'))
        return piece.at(0).unicode() - '0';
    return std::nullopt;
}

std::optional<LineSettings::StopBits> parseStopBits(const QString &piece)
{
    if (piece == QLatin1String("1"))
        return LineSettings::StopBits::One;
    if (piece == QLatin1String("1.5"))
        return LineSettings::StopBits::OneAndHalf;
    if (piece == QLatin1String("2"))
        return LineSettings::StopBits::Two;
    return std::nullopt;
}

QString pieceProblem(const QString &name, const QString &piece, const QString &allowed)
{
    if (piece.isEmpty())
        return QStringLiteral("%1 fehlt").arg(name);
    return QStringLiteral("%1 „%2“ ist nicht erlaubt (erlaubt: %3)").arg(name, piece, allowed);
}

QString baudRateList()
{
    QStringList rates;
    for (int rate : LineSettings::kBaudRates)
        rates << QString::number(rate);
    return rates.join(QStringLiteral(", "));
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
        return fail(QStringLiteral("erwartet werden vier durch Kommas getrennte Angaben, "
                                   "gefunden %1")
                        .arg(text.isEmpty() ? 0 : pieces.size()));
    }
    const std::optional<int> baud = parseBaudRate(pieces.at(0));
    if (!baud)
        return fail(pieceProblem(QStringLiteral("Baudrate"), pieces.at(0), baudRateList()));
    const std::optional<Parity> parity = parseParity(pieces.at(1));
    if (!parity)
        return fail(
            pieceProblem(QStringLiteral("Parität"), pieces.at(1), QStringLiteral("N, E, O, M, S")));
    const std::optional<int> dataBits = parseDataBits(pieces.at(2));
    if (!dataBits)
        return fail(
            pieceProblem(QStringLiteral("Datenbits"), pieces.at(2), QStringLiteral("5, 6, 7, 8")));
    const std::optional<StopBits> stopBits = parseStopBits(pieces.at(3));
    if (!stopBits)
        return fail(
            pieceProblem(QStringLiteral("Stopbits"), pieces.at(3), QStringLiteral("1, 1.5, 2")));

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
        .arg(QLatin1Char(kParityLetters[int(m_parity)]))
        .arg(m_dataBits)
        .arg(QLatin1String(kStopBitsPieces[int(m_stopBits)]));
}
