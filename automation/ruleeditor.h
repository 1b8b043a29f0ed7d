#pragma once

#include "routinessettings.h"

#include <QWidget>
#include <optional>

class EightBitEdit;
class QCheckBox;
class QComboBox;
class QLabel;
class QSpinBox;

// The fields of one answering rule in the "Abläufe" window: the pattern,
// what answers it, the delay, how often and whether it is active. It checks
// the rule as it is typed and says under the fields why it cannot be kept.
class RuleEditor : public QWidget
{
    Q_OBJECT

public:
    explicit RuleEditor(QWidget *parent = nullptr);

    // The buttons' captions, for the choice of the answer.
    void setButtonCaptions(const QStringList &captions);
    void showRule(const RoutinesSettings::Rule &rule);
    RoutinesSettings::Rule rule() const;
    // "jedes Mal" or "einmal", translated, as the choice names it; the file
    // keeps its own words (RoutinesSettings).
    static QString howOftenWord(bool everyTime);

    // Why the rule as entered cannot be kept, as a sentence, empty while no
    // pattern is entered; nothing when it can be kept.
    std::optional<QString> problem() const;

    QComboBox *patternNotation = nullptr;
    EightBitEdit *patternEdit = nullptr;
    // The ten buttons, then "Eigene Daten".
    QComboBox *answerChoice = nullptr;
    QComboBox *payloadNotation = nullptr;
    EightBitEdit *payloadEdit = nullptr;
    QSpinBox *delay = nullptr;
    QComboBox *how = nullptr;
    QCheckBox *active = nullptr;
    QLabel *problemLabel = nullptr;

Q_SIGNALS:
    // The user changed a field.
    void edited();

private:
    void buildControls();
    void check();
    // Hex entries take only what the input window's hex entry takes.
    void followNotations();

    bool m_showing = false;
};
