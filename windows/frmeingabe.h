#pragma once

#include "base/childwindow.h"

#include <array>

class EightBitEdit;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class Transmitter;

// The input window: the user composes data as text or as hex byte notation,
// inserts characters from a table of all 256 codes and sends it. Holds nothing
// but its controls; only its position is kept between runs.
class FrmEingabe : public ChildWindow
{
    Q_OBJECT

public:
    FrmEingabe(Module1 &state, Transmitter &transmitter, QWidget *parent = nullptr);

    bool isHexMode() const;

    // "Format", the character table's caption and the hex hint.
    std::array<QLabel *, 3> Label2 {};
    QRadioButton *OptionText = nullptr;
    QRadioButton *OptionHex = nullptr;
    EightBitEdit *Text1 = nullptr;
    EightBitEdit *Text2 = nullptr;
    QListWidget *List1 = nullptr;
    QPushButton *Command3 = nullptr;
    QPushButton *Command2 = nullptr;
    QPushButton *CmdLöschen = nullptr;
    QPushButton *Command1 = nullptr;

    // The actions behind the controls, also for tests.
    void OptionHex_Click();
    void OptionText_Click();
    void List1_DblClick();
    void Command2_Click();
    void CmdLöschen_Click();

private:
    void buildControls();

    Transmitter &m_transmitter;
};
