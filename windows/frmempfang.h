#pragma once

#include "base/childwindow.h"

#include <QByteArrayView>

class QLabel;
class QPushButton;
class TrafficLog;
class TrafficView;
class WindowSearch;

// The received-data window. It keeps what arrived once, as the bytes
// themselves; its text view draws them as characters (byte 0 as ".") and its
// hex view in the hex byte notation, both from the same log.
class FrmEmpfang : public ChildWindow
{
    Q_OBJECT

public:
    explicit FrmEmpfang(Module1 &state, QWidget *parent = nullptr);

    // Appends what one read delivered and brings the text view's end into
    // view, unless a match of a search is on show there.
    void appendReceived(QByteArrayView bytes);
    // "Empfangsfenster &löschen": empties both views.
    void clearViews();
    const TrafficLog &log() const { return *m_log; }
    // Strg+F, F3, Umschalt+F3.
    WindowSearch &search() const { return *m_search; }

    TrafficView *Text1 = nullptr;
    QLabel *Label1 = nullptr;
    TrafficView *Text2 = nullptr;
    QPushButton *Command2 = nullptr;
    QPushButton *Command1 = nullptr;

private:
    TrafficLog *m_log = nullptr;
    WindowSearch *m_search = nullptr;
};
