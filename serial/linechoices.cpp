#include "linechoices.h"

#include <QCoreApplication>

const std::array<LineChoices::FlowRow, 3> &LineChoices::flowRows()
{
    static const std::array<FlowRow, 3> rows { {
        // The file keeps the German word; flowCaption() translates it for display.
        //: Flow control: none (the word shown in the Lines window and in error messages)
        { FlowControl::None, QT_TRANSLATE_NOOP("LineChoices", "keine") },
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

QString LineChoices::flowCaption(FlowControl flow)
{
    return QCoreApplication::translate("LineChoices", rowOf(flow).word);
}

QString LineChoices::levelWord(Level level)
{
    // untranslated: values in tavel-leitungen.cfg
    return level == Level::On ? QStringLiteral("ein") : QStringLiteral("aus");
}

QString LineChoices::levelCaption(Level level)
{
    if (level == Level::On)
        //: Level of a control line: on
        return QCoreApplication::translate("LineChoices", "ein");
    //: Level of a control line: off
    return QCoreApplication::translate("LineChoices", "aus");
}

std::optional<LineChoices::Level> LineChoices::levelOfWord(const QString &word)
{
    if (word == QLatin1String("ein")) // untranslated: value in tavel-leitungen.cfg
        return Level::On;
    if (word == QLatin1String("aus")) // untranslated: value in tavel-leitungen.cfg
        return Level::Off;
    return std::nullopt;
}
