#pragma once

#include "base/childwindow.h"
#include "devices/comportmap.h"

#include <array>
#include <functional>

class LineLamp;
class LinesSettings;
class PortLines;
class QCheckBox;
class QComboBox;
class QPushButton;
class QRadioButton;
class QSpinBox;

// "Leitungen": the wires beside the data. DTR and RTS of the open port can be
// switched, a BREAK sent and the far end's four lines watched; below, what
// each port does with its lines: the flow control, DTR and RTS at opening and
// DTR after closing. A choice takes effect and is saved as it is made.
class FrmLeitungen : public ChildWindow
{
    Q_OBJECT

public:
    // The first place: below the input window and right of the settings
    // window, so that in the main window's first size it covers neither.
    static constexpr QPoint kFirstPlace { 9000, 4950 };

    // settings: the window's file, which it changes as the user chooses and
    // which keeps its place; save writes it.
    FrmLeitungen(Module1 &state, PortLines &lines, LinesSettings &settings,
        std::function<void()> save, QWidget *parent = nullptr);

    Qt::WindowFlags frameButtons() const override;
    QPoint storedPlace() const override;
    void storePlace(QPoint twips) override;
    void storeState() override;

    // The port whose choices the window shows.
    int shownPort() const;

    std::array<QRadioButton *, ComPortMap::kPortCount> portOptions {};
    QPushButton *dtrButton = nullptr;
    QPushButton *rtsButton = nullptr;
    QPushButton *breakButton = nullptr;
    QSpinBox *breakLength = nullptr;
    // CTS, DSR, DCD, RI.
    std::array<LineLamp *, 4> lamps {};
    // In the order of LineChoices::flowRows().
    std::array<QRadioButton *, 3> flowOptions {};
    QComboBox *dtrAtOpen = nullptr;
    QComboBox *rtsAtOpen = nullptr;
    QCheckBox *keepDtr = nullptr;
    QPushButton *closeButton = nullptr;

private:
    void buildControls();
    void connectControls();
    // What PortLines reports: the open port, the lines, the BREAK.
    void showLines();
    void showOwnLine(QPushButton *button, int bit, const QString &whyNot);
    // The chosen port's choices into the controls.
    void showChoices();
    // The controls' choices to the port and into the file.
    void takeChoices();
    void sendBreak();

    PortLines &m_lines;
    LinesSettings &m_settings;
    std::function<void()> m_save;
    // The controls are being filled, not changed by the user.
    bool m_showing = false;
};
