#include "linescommand.h"

#include "base/dialogs.h"
#include "base/module1.h"
#include "serial/portlines.h"

#include <QCoreApplication>

LinesCommand::LinesCommand(const QString &settingsPath, PortLines &lines)
    : m_file(settingsPath)
    , m_lines(lines)
{
}

void LinesCommand::load()
{
    m_file.load();
    // No port is open yet, so nothing here can be refused.
    for (int port = ComPortMap::kFirstPort; port <= ComPortMap::kLastPort; ++port)
        m_lines.setChoices(port, settings().choices(port));
}

void LinesCommand::reportRefusals()
{
    // Queued: the refusal comes from inside the opening of the port, which
    // a modal box must not interrupt.
    QObject::connect(
        &m_lines, &PortLines::flowRefused, &m_lines,
        [this](const QString &reason) {
            Dialogs::current().message(
                //: %1 is the port number, %2 the driver's reason
                QCoreApplication::translate(
                    "LinesCommand", "COM%1 ist ohne die gewählte Flusssteuerung verbunden: %2.")
                    .arg(m_lines.port())
                    .arg(reason),
                kApplicationTitle);
        },
        Qt::QueuedConnection);
}
