#pragma once

#include "base/childwindow.h"

#include <QByteArrayView>

class QLabel;
class QPushButton;
class TrafficLog;
class TrafficView;
class WindowSearch;

// The sent-data window: the text echo and the hex echo of every transmit
// step, each in a view of its own, drawn as characters.
class FrmSendefenster : public ChildWindow
{
    Q_OBJECT

public:
    explicit FrmSendefenster(Module1 &state, QWidget *parent = nullptr);

    // Appends without a separator and without scrolling.
    void appendText(const QString &text);
    void appendHex(const QString &hex);
    // Keeps the bytes a transmit step handed to the port, in order, for
    // "Gesendete Daten speichern"; file sends are not among them.
    void recordHandedOver(QByteArrayView bytes);
    const TrafficLog &handedOver() const { return *m_handedOver; }
    // "Sendefenster &löschen": empties both views and the bytes kept.
    void clearViews();
    // Strg+F, F3, Umschalt+F3, in the text echo: the hex echo is a text of
    // its own whose offsets do not match it.
    WindowSearch &search() const { return *m_search; }

    TrafficView *Text1 = nullptr;
    QLabel *Label2 = nullptr;
    TrafficView *Text2 = nullptr;
    QPushButton *Command2 = nullptr;
    QPushButton *Command1 = nullptr;

private:
    TrafficLog *m_textLog = nullptr;
    TrafficLog *m_hexLog = nullptr;
    TrafficLog *m_handedOver = nullptr;
    WindowSearch *m_search = nullptr;
};
