#pragma once

#include "base/childwindow.h"
#include "routinessettings.h"

#include <QTimer>
#include <array>
#include <functional>

class ButtonCommands;
class QLabel;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTableWidget;
class RuleEditor;
class Routines;

// "Abläufe": what runs by itself on the open port, on two pages. On one, each
// automation button's commands repeated every so many milliseconds, so many
// times or without end, each row with its start and stop and what it sent; on
// the other, the rules that answer patterns in the received data, with the
// fields of one rule. Every change is saved as it is made, into the window's own file.
class FrmAblaeufe : public ChildWindow
{
    Q_OBJECT

public:
    static constexpr int kRows = RoutinesSettings::kButtonCount;
    // The first place: over the right part of the main window's first size.
    static constexpr QPoint kFirstPlace { 5400, 300 };
    // How often the counts on screen catch up with a running repeat: often
    // enough to watch, seldom enough that a 1 ms repeat costs no drawing.
    static constexpr int kRefreshMs = 200;

    // settings: the window's file, which it changes as the user works and
    // which keeps its place; save writes it.
    FrmAblaeufe(Module1 &state, Routines &routines, const ButtonCommands &buttons,
        RoutinesSettings &settings, std::function<void()> save, QWidget *parent = nullptr);

    Qt::WindowFlags frameButtons() const override;
    QPoint storedPlace() const override;
    void storePlace(QPoint twips) override;
    void storeState() override;

    std::array<QLabel *, kRows> captionLabels {};
    std::array<QSpinBox *, kRows> intervalBoxes {};
    std::array<QSpinBox *, kRows> countBoxes {};
    std::array<QPushButton *, kRows> startButtons {};
    std::array<QLabel *, kRows> sentLabels {};
    std::array<QLabel *, kRows> skippedLabels {};
    QTabWidget *pages = nullptr;
    QPushButton *stopAllButton = nullptr;
    QPushButton *answeringButton = nullptr;
    QLabel *answeringLabel = nullptr;
    QTableWidget *ruleTable = nullptr;
    RuleEditor *editor = nullptr;
    QPushButton *newButton = nullptr;
    QPushButton *applyButton = nullptr;
    QPushButton *deleteButton = nullptr;
    QPushButton *restartButton = nullptr;
    QPushButton *closeButton = nullptr;

    // The actions behind the buttons, also for tests. Rows count from 0.
    void toggleRepeat(int row);
    void applyRule();
    void deleteRule();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildControls();
    QWidget *buildRepeatPage();
    QWidget *buildAnswerPage();
    void connectControls();
    void takeRepeat(int row);
    void showRepeat(int row);
    void showCaptions();
    void showRules();
    QString answerText(const RoutinesSettings::Rule &rule) const;
    void showRuleStates();
    void showAnswering();
    void ruleSelected();
    int selectedRule() const;
    void selectRule(int rule);
    // Catches up with what changed since the last refresh.
    void refresh();

    Routines &m_routines;
    const ButtonCommands &m_buttons;
    RoutinesSettings &m_settings;
    std::function<void()> m_save;
    QTimer m_refresh;
    std::array<bool, kRows> m_repeatChanged {};
    bool m_rulesChanged = false;
};
