#pragma once

#include "base/childwindow.h"
#include "captionbutton.h"
#include "config/savedstate.h"

#include <array>
#include <functional>

class EightBitEdit;
class QCheckBox;
class QFrame;
class QLabel;
class QListWidget;
class QPushButton;
class Transmitter;

// The automation window: ten command buttons, each sending the payload field
// beside it and, if its box is ticked, emptying the received-data window. While
// the window is open its controls are the only copy that counts; the shared
// AutomationButtons catch up when it unloads.
class frmAutomat : public ChildWindow
{
    Q_OBJECT

public:
    static constexpr int kRows = SavedState::kAutomationButtonCount;

    // clearReceived empties the received-data window, loading it if needed.
    frmAutomat(Module1 &state, Transmitter &transmitter, std::function<void()> clearReceived,
        QWidget *parent = nullptr);

    void Form_Load() override;
    void storeState() override;

    std::array<CaptionButton *, kRows> CmdAutomat {};
    std::array<EightBitEdit *, kRows> txtAutomat {};
    std::array<QCheckBox *, kRows> chkAutomat {};
    QListWidget *List1 = nullptr;
    QPushButton *cmdEinfügen = nullptr;
    QPushButton *cmdSchießen = nullptr;
    QFrame *Line1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label1 = nullptr;

    // The actions behind the controls, also for tests.
    void CmdAutomat_Click(int index);
    void CmdAutomat_RightButton(int index);
    void List1_DblClick();
    // Closes the window for good: it unloads and stores its state.
    void cmdSchießen_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    // The caption and, with it, the name a screen reader announces.
    void setCaption(int index, const QString &caption);

    Transmitter &m_transmitter;
    std::function<void()> m_clearReceived;
};
