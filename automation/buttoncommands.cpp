#include "buttoncommands.h"

#include "base/formslot.h"
#include "frmautomat.h"
#include "text/cp1252.h"
#include "windows/eightbitedit.h"
#include "windows/transmitter.h"

#include <QCheckBox>
#include <QRegularExpression>

ButtonCommands::ButtonCommands(Module1 &state, FormSlot<frmAutomat> &window,
    Transmitter &transmitter, std::function<void()> clearReceived)
    : m_state(state)
    , m_window(window)
    , m_transmitter(transmitter)
    , m_clearReceived(std::move(clearReceived))
{
}

QString ButtonCommands::caption(int index) const
{
    if (const frmAutomat *window = m_window.loaded())
        return window->CmdAutomat[size_t(index)]->caption();
    return m_state.AutomationButtons[size_t(index)].Caption;
}

QString ButtonCommands::payload(int index) const
{
    if (const frmAutomat *window = m_window.loaded())
        return window->txtAutomat[size_t(index)]->text();
    return m_state.AutomationButtons[size_t(index)].Payload;
}

bool ButtonCommands::clearsReceived(int index) const
{
    if (const frmAutomat *window = m_window.loaded())
        return window->chkAutomat[size_t(index)]->isChecked();
    return flagTicks(m_state.AutomationButtons[size_t(index)].ClearFlag);
}

void ButtonCommands::send(int index) const
{
    send(m_transmitter, payload(index), clearsReceived(index), m_clearReceived);
}

void ButtonCommands::send(Transmitter &transmitter, const QString &payload, bool clearReceived,
    const std::function<void()> &clear)
{
    if (payload.isEmpty())
        return;
    transmitter.transmit(Cp1252::fromUnicode(payload), payload);
    // Within the same action, before any further received data can be shown,
    // so that the answer to the command arrives in an empty window.
    if (clearReceived && clear)
        clear();
}

bool ButtonCommands::flagTicks(const QString &flag)
{
    static const QRegularExpression number(
        QStringLiteral("^[ \\t\\n]*([+-]?(?:\\d+\\.?\\d*|\\.\\d+)(?:[eE][+-]?\\d+)?)"));
    const QRegularExpressionMatch match = number.match(flag);
    return match.hasMatch() && match.captured(1).toDouble() == 1.0;
}
