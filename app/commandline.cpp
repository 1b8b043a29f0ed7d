#include "commandline.h"

#include "app/buildinfo.h"
#include "app/uilanguage.h"
#include "devices/comportmap.h"

namespace {

// The options QGuiApplication and QApplication take themselves; each may be
// written with one dash or two.
const QStringList kToolkitOptionsWithValue { QStringLiteral("platform"),
    QStringLiteral("platformpluginpath"), QStringLiteral("platformtheme"), QStringLiteral("plugin"),
    QStringLiteral("qwindowgeometry"), QStringLiteral("qwindowicon"),
    QStringLiteral("qwindowtitle"), QStringLiteral("session"), QStringLiteral("display"),
    QStringLiteral("geometry"), QStringLiteral("name"), QStringLiteral("title"),
    QStringLiteral("style"), QStringLiteral("stylesheet"), QStringLiteral("qmljsdebugger") };
const QStringList kToolkitFlags { QStringLiteral("reverse"), QStringLiteral("widgetcount"),
    QStringLiteral("nograb"), QStringLiteral("dograb"), QStringLiteral("sync") };

QString withoutDashes(const QString &argument)
{
    if (argument.startsWith(QStringLiteral("--")))
        return argument.mid(2);
    if (argument.startsWith(QLatin1Char('-')))
        return argument.mid(1);
    return {};
}

} // namespace

CommandLine::Outcome CommandLine::parse(const QStringList &arguments)
{
    const auto refused = [](const QString &problem) {
        return Outcome { Action::Exit, {}, problem + tr("Mehr dazu mit „tavel --help“.\n"),
            kUsageExitCode };
    };
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == QStringLiteral("--help") || argument == QStringLiteral("-h"))
            return { Action::Exit, helpText(), {}, 0 };
        if (argument == QStringLiteral("--version") || argument == QStringLiteral("-v"))
            return { Action::Exit, versionText(), {}, 0 };
        QString language;
        if (const int length = languageOptionLength(arguments, i, language); length > 0) {
            if (language.isNull())
                return refused(tr("tavel: --sprache braucht einen Wert: de oder en\n"));
            if (!UiLanguage::fromCode(language))
                return refused(tr("tavel: unbekannte Sprache „%1“ (de oder en)\n").arg(language));
            i += length - 1;
            continue;
        }
        if (const int length = toolkitOptionLength(arguments, i); length > 0) {
            i += length - 1;
            continue;
        }
        return refused(argument.startsWith(QLatin1Char('-'))
                ? tr("tavel: unbekannte Option „%1“\n").arg(argument)
                : tr("tavel: unerwartetes Argument „%1“\n").arg(argument));
    }
    return {};
}

QString CommandLine::languageValue(const QStringList &arguments)
{
    QString found;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        QString value;
        if (const int length = languageOptionLength(arguments, i, value); length > 0) {
            found = value.isNull() ? QString() : value;
            i += length - 1;
        }
    }
    return found;
}

int CommandLine::languageOptionLength(const QStringList &arguments, qsizetype index, QString &value)
{
    const QString name = withoutDashes(arguments.at(index));
    if (name.startsWith(QStringLiteral("sprache="))) {
        value = name.mid(8);
        return 1;
    }
    if (name != QStringLiteral("sprache"))
        return 0;
    if (index + 1 >= arguments.size()) {
        value = QString();
        return 1;
    }
    value = arguments.at(index + 1);
    return 2;
}

int CommandLine::toolkitOptionLength(const QStringList &arguments, qsizetype index)
{
    const QString name = withoutDashes(arguments.at(index));
    if (kToolkitFlags.contains(name))
        return 1;
    const qsizetype equals = name.indexOf(QLatin1Char('='));
    if (equals > 0 && kToolkitOptionsWithValue.contains(name.left(equals)))
        return 1;
    if (kToolkitOptionsWithValue.contains(name) && index + 1 < arguments.size())
        return 2;
    return 0;
}

QString CommandLine::versionText()
{
    return tr("Tavel %1\n"
              "Lizenz: GPL-3.0-or-later <https://www.gnu.org/licenses/gpl-3.0.html>\n"
              "Dies ist freie Software: Sie dürfen sie ändern und weitergeben.\n"
              "Es gibt KEINE GARANTIE, soweit das Gesetz es zulässt.\n")
        .arg(QLatin1String(kTavelVersion));
}

QString CommandLine::helpText()
{
    QString ports;
    for (int port = ComPortMap::kFirstPort; port <= ComPortMap::kLastPort; ++port)
        //: %1 is the name of an environment variable, COM%2 the port it sets.
        ports += tr("  %1  Gerät für COM%2\n").arg(ComPortMap::environmentVariable(port)).arg(port);
    //: The option and variable names (--help, --sprache, TAVEL_SPRACHE) and
    //: the values de and en stay as they are.
    return tr("Aufruf: tavel [--help] [--version] [--sprache de|en]\n"
              "\n"
              "Tavel ist ein serielles Terminal: Text und Hex-Bytes über COM1 oder "
              "COM2\nsenden und alles Empfangene als Text und Hex sehen.\n"
              "\n"
              "Optionen:\n"
              "  -h, --help        diese Hilfe zeigen und beenden\n"
              "  -v, --version     die Version zeigen und beenden\n"
              "  --sprache de|en   die Oberfläche auf Deutsch oder Englisch zeigen\n"
              "\n"
              "Umgebungsvariablen:\n")
        + ports
        + tr("  Ohne sie gilt die Zuordnung aus „Datei → Geräte zuordnen …“; ohne "
             "diese\n"
             "  stehen COM1 und COM2 für die ersten gefundenen seriellen Geräte.\n"
             "  %1  de oder en, wie --sprache; die Option geht vor.\n"
             "  Ohne beide ist die Oberfläche deutsch, wenn die Sprache des Systems\n"
             "  Deutsch ist oder keine gesetzt ist (C, POSIX), sonst englisch.\n"
             "\n"
             "Einstellungen:\n"
             "  tavel.cfg liegt im Ordner des Programms, wenn dieser beschreibbar "
             "ist und\n"
             "  kein Programmordner des Systems wie /usr/bin; sonst in\n"
             "  $XDG_CONFIG_HOME/tavel/ (ohne XDG_CONFIG_HOME in ~/.config/tavel/).\n"
             "  Die Gerätezuordnung liegt daneben in tavel-geraete.cfg.\n")
              .arg(QLatin1String(UiLanguage::kVariable));
}
