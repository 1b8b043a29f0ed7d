#pragma once

#include <QString>
#include <functional>

class Module1;
class Transmitter;
class frmAutomat;
template<class Form>
class FormSlot;

// The commands behind the ten automation buttons where they count now: the
// automation window's fields while it is loaded, the shared state otherwise.
// Indexes count from 0, as the window's rows do.
class ButtonCommands
{
public:
    // clearReceived empties the received-data window, loading it if needed.
    ButtonCommands(Module1 &state, FormSlot<frmAutomat> &window, Transmitter &transmitter,
        std::function<void()> clearReceived);

    QString caption(int index) const;
    QString payload(int index) const;
    bool clearsReceived(int index) const;

    // What a click does once the connection check has passed: the payload
    // goes out and is echoed, then the received-data window is emptied if the
    // button's box is ticked. Nothing for an empty payload.
    void send(int index) const;
    static void send(Transmitter &transmitter, const QString &payload, bool clearReceived,
        const std::function<void()> &clear);

    // A stored flag ticks its box only when the number at its start is 1; a
    // file edited by hand may hold anything else, which leaves it unticked.
    static bool flagTicks(const QString &flag);

private:
    Module1 &m_state;
    FormSlot<frmAutomat> &m_window;
    Transmitter &m_transmitter;
    std::function<void()> m_clearReceived;
};
