#include "linechoices.h"

const std::array<LineChoices::FlowRow, 3> &LineChoices::flowRows()
{
    static const std::array<FlowRow, 3> rows { {
        { FlowControl::None, "keine" },
        { FlowControl::RtsCts, "RTS/CTS" },
        { FlowControl::XonXoff, "XON/XOFF" },
    } };
    return rows;
}

const LineChoices::FlowRow &LineChoices::rowOf(FlowControl flow)
{
    for (const FlowRow &row : flowRows()) {
        if (row.value == flow)
            return row;
    }
    return flowRows().front();
}

std::optional<LineChoices::FlowControl> LineChoices::flowOfWord(const QString &word)
{
    for (const FlowRow &row : flowRows()) {
        if (word == QLatin1String(row.word))
            return row.value;
    }
    return std::nullopt;
}

QString LineChoices::levelWord(Level level)
{
    return level == Level::On ? QStringLiteral("ein") : QStringLiteral("aus");
}

std::optional<LineChoices::Level> LineChoices::levelOfWord(const QString &word)
{
    if (word == QLatin1String("ein"))
        return Level::On;
    if (word == QLatin1String("aus"))
        return Level::Off;
    return std::nullopt;
}
