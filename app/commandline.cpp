#include "commandline.h"

#include "app/buildinfo.h"
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
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == QStringLiteral("--help") || argument == QStringLiteral("-h"))
            return { Action::Exit, helpText(), {}, 0 };
        if (argument == QStringLiteral("--version") || argument == QStringLiteral("-v"))
            return { Action::Exit, versionText(), {}, 0 };
        if (const int length = toolkitOptionLength(arguments, i); length > 0) {
            i += length - 1;
            continue;
        }
        const QString problem = argument.startsWith(QLatin1Char('-'))
            ? QStringLiteral("tavel: unbekannte Option „%1“\n").arg(argument)
            : QStringLiteral("tavel: unerwartetes Argument „%1“\n").arg(argument);
        return { Action::Exit, {}, problem + QStringLiteral("Mehr dazu mit „tavel --help“.\n"),
            kUsageExitCode };
    }
    return {};
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
    return QStringLiteral("Tavel %1\n"
                          "Lizenz: GPL-3.0-or-later <https://www.gnu.org/licenses/gpl-3.0.html>\n"
                          "Dies ist freie Software: Sie dürfen sie ändern und weitergeben.\n"
                          "Es gibt KEINE GARANTIE, soweit das Gesetz es zulässt.\n")
        .arg(QLatin1String(kTavelVersion));
}

QString CommandLine::helpText()
{
    QString ports;
    for (int port = ComPortMap::kFirstPort; port <= ComPortMap::kLastPort; ++port)
        ports += QStringLiteral("  %1  Gerät für COM%2\n")
                     .arg(ComPortMap::environmentVariable(port))
                     .arg(port);
    return QStringLiteral("Aufruf: tavel [--help] [--version]\n"
                          "\n"
                          "Tavel ist ein serielles Terminal: Text und Hex-Bytes über COM1 oder "
                          "COM2\nsenden und alles Empfangene als Text und Hex sehen.\n"
                          "\n"
                          "Optionen:\n"
                          "  -h, --help     diese Hilfe zeigen und beenden\n"
                          "  -v, --version  die Version zeigen und beenden\n"
                          "\n"
                          "Umgebungsvariablen:\n")
        + ports
        + QStringLiteral("  Ohne sie gilt die Zuordnung aus „Datei → Geräte zuordnen …“; ohne "
                         "diese\n"
                         "  stehen COM1 und COM2 für die ersten gefundenen seriellen Geräte.\n"
                         "\n"
                         "Einstellungen:\n"
                         "  tavel.cfg liegt im Ordner des Programms, wenn dieser beschreibbar "
                         "ist und\n"
                         "  kein Programmordner des Systems wie /usr/bin; sonst in\n"
                         "  $XDG_CONFIG_HOME/tavel/ (ohne XDG_CONFIG_HOME in ~/.config/tavel/).\n"
                         "  Die Gerätezuordnung liegt daneben in tavel-geraete.cfg.\n");
}
