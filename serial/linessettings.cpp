#include "linessettings.h"

#include "text/smalltextfile.h"

#include <QCoreApplication>
#include <QSet>
#include <QStringList>
#include <algorithm>

namespace {

// The keys of tavel-leitungen.cfg, never translated.
const QString kFlow = QStringLiteral("Flusssteuerung"); // untranslated: key in tavel-leitungen.cfg
const QString kDtr = QStringLiteral("DTR");
const QString kRts = QStringLiteral("RTS");
const QString kKeepDtr
    = QStringLiteral("DTR-nach-Trennen"); // untranslated: key in tavel-leitungen.cfg
const QString kBreak = QStringLiteral("Break"); // untranslated: key in tavel-leitungen.cfg
const QString kWindow = QStringLiteral("Fenster"); // untranslated: key in tavel-leitungen.cfg

// Sets one port's choice from KEY=VALUE; false when the value is not one of
// the key's.
bool setPortChoice(LineChoices &choices, const QString &key, const QString &value)
{
    if (key == kFlow) {
        const std::optional<LineChoices::FlowControl> flow = LineChoices::flowOfWord(value);
        if (flow)
            choices.flowControl = *flow;
        return flow.has_value();
    }
    const std::optional<LineChoices::Level> level = LineChoices::levelOfWord(value);
    if (!level)
        return false;
    if (key == kDtr)
        choices.dtrAtOpen = *level;
    else if (key == kRts)
        choices.rtsAtOpen = *level;
    else if (key == kKeepDtr)
        choices.keepDtrAfterClose = *level == LineChoices::Level::On;
    else
        return false;
    return true;
}

} // namespace

LinesSettings::ReadResult LinesSettings::parse(const QByteArray &bytes)
{
    const auto fail = [](const QString &problem) { return ReadResult { {}, problem }; };
    QString undecodable;
    const std::optional<QString> decoded = SmallTextFile::decode(bytes, undecodable);
    if (!decoded)
        return fail(undecodable);
    const QString &text = *decoded;

    ReadResult result;
    QSet<QString> seen;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines.at(i).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        const QString key = line.left(std::max<qsizetype>(equals, 0)).trimmed();
        const QString value = line.mid(equals + 1).trimmed();
        //: A line of the Lines window's settings file: %1 is its number, %2 the line itself
        const QString unclear
            = QCoreApplication::translate("LinesSettings", "Zeile %1 ist unverständlich: „%2“")
                  .arg(i + 1)
                  .arg(line);
        if (equals <= 0)
            return fail(unclear);
        if (seen.contains(key))
            //: %1 is a key of the settings file, %2 the line number
            return fail(QCoreApplication::translate(
                "LinesSettings", "„%1“ steht in Zeile %2 ein zweites Mal")
                            .arg(key)
                            .arg(i + 1));
        seen.insert(key);
        if (key == kBreak) {
            const std::optional<int> ms = SmallTextFile::strictNumber(value);
            if (!ms || *ms < kBreakMinMs || *ms > kBreakMaxMs)
                return fail(unclear);
            result.settings.m_breakMs = *ms;
            continue;
        }
        if (key == kWindow) {
            result.settings.m_windowPlace = SmallTextFile::placeOf(value);
            if (!result.settings.m_windowPlace)
                return fail(unclear);
            continue;
        }
        const qsizetype dot = key.indexOf(QLatin1Char('.'));
        const int port = dot > 0 ? ComPortMap::portOfName(key.left(dot)) : 0;
        if (port == 0
            || !setPortChoice(
                result.settings.m_choices[port - ComPortMap::kFirstPort], key.mid(dot + 1), value))
            return fail(unclear);
    }
    return result;
}

QByteArray LinesSettings::serialize() const
{
    // untranslated: comment line of tavel-leitungen.cfg
    QString text = QStringLiteral("# Tavel: Leitungen je Port\n");
    for (int port = ComPortMap::kFirstPort; port <= ComPortMap::kLastPort; ++port) {
        const LineChoices &c = m_choices[port - ComPortMap::kFirstPort];
        const QString prefix = QStringLiteral("COM%1.").arg(port);
        text += prefix + kFlow + QLatin1Char('=')
            + QLatin1String(LineChoices::rowOf(c.flowControl).word) + QLatin1Char('\n');
        text += prefix + kDtr + QLatin1Char('=') + LineChoices::levelWord(c.dtrAtOpen)
            + QLatin1Char('\n');
        text += prefix + kRts + QLatin1Char('=') + LineChoices::levelWord(c.rtsAtOpen)
            + QLatin1Char('\n');
        text += prefix + kKeepDtr + QLatin1Char('=')
            + LineChoices::levelWord(
                c.keepDtrAfterClose ? LineChoices::Level::On : LineChoices::Level::Off)
            + QLatin1Char('\n');
    }
    text += kBreak + QLatin1Char('=') + QString::number(m_breakMs) + QLatin1Char('\n');
    if (m_windowPlace) {
        text
            += kWindow + QStringLiteral("=%1,%2\n").arg(m_windowPlace->x()).arg(m_windowPlace->y());
    }
    return text.toUtf8();
}

LineChoices LinesSettings::choices(int port) const
{
    return ComPortMap::isValidPort(port) ? m_choices[port - ComPortMap::kFirstPort]
                                         : LineChoices {};
}

void LinesSettings::setChoices(int port, const LineChoices &choices)
{
    if (ComPortMap::isValidPort(port))
        m_choices[port - ComPortMap::kFirstPort] = choices;
}

void LinesSettings::setBreakMs(int ms)
{
    m_breakMs = std::clamp(ms, kBreakMinMs, kBreakMaxMs);
}
