#include "frmablaeufe.h"

#include "base/dialogs.h"
#include "buttoncommands.h"
#include "routines.h"
#include "ruleeditor.h"
#include "text/bytecount.h"
#include "windows/eightbitedit.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTableWidget>

namespace {

QString ruleStateWord(const Routines &routines, int rule)
{
    if (!routines.isAnswering()) {
        //: State of an answering rule: answering is switched off for all rules
        return QCoreApplication::translate("FrmAblaeufe", "angehalten");
    }
    switch (routines.watch().state(rule)) {
    case AnswerWatch::State::Watching:
        //: State of an answering rule: it watches the received data for its pattern
        return QCoreApplication::translate("FrmAblaeufe", "wartet");
    case AnswerWatch::State::Done:
        //: State of a rule that answers once: it has answered and is done
        return QCoreApplication::translate("FrmAblaeufe", "beantwortet");
    case AnswerWatch::State::Braked:
        //: State of a rule stopped for answering too often within a second
        return QCoreApplication::translate("FrmAblaeufe", "gebremst");
    case AnswerWatch::State::Inactive:
        break;
    }
    //: State of a rule that is not active
    return QCoreApplication::translate("FrmAblaeufe", "aus");
}

// A count as the window shows it, grouped in thousands as the language
// writes them, like every byte count.
QString count(qint64 n)
{
    return ByteCount::number(n);
}

void setInformation(QLabel *label, const QString &text, const QString &accessibleName)
{
    if (label->text() != text)
        label->setText(text);
    // Set only on a change: each call announces the name anew.
    if (label->accessibleName() != accessibleName)
        label->setAccessibleName(accessibleName);
}

} // namespace

FrmAblaeufe::FrmAblaeufe(Module1 &state, Routines &routines, const ButtonCommands &buttons,
    RoutinesSettings &settings, std::function<void()> save, QWidget *parent)
    : ChildWindow(state, parent)
    , m_routines(routines)
    , m_buttons(buttons)
    , m_settings(settings)
    , m_save(std::move(save))
{
    //: Window title: what runs by itself on the open port (repeats and answering rules)
    setWindowTitle(tr("Abläufe"));
    buildControls();
    for (int row = 0; row < kRows; ++row) {
        const RoutinesSettings::Repeat repeat = m_settings.repeat(row + 1);
        intervalBoxes[size_t(row)]->setValue(repeat.intervalMs);
        countBoxes[size_t(row)]->setValue(repeat.count);
    }
    showCaptions();
    showRules();
    showAnswering();
    connectControls();
    m_refresh.setInterval(kRefreshMs);
    connect(&m_refresh, &QTimer::timeout, this, &FrmAblaeufe::refresh);
}

void FrmAblaeufe::connectControls()
{
    for (int row = 0; row < kRows; ++row) {
        connect(startButtons[size_t(row)], &QPushButton::clicked, this,
            [this, row] { toggleRepeat(row); });
        for (QSpinBox *box : { intervalBoxes[size_t(row)], countBoxes[size_t(row)] })
            connect(box, &QSpinBox::valueChanged, this, [this, row] { takeRepeat(row); });
    }
    connect(stopAllButton, &QPushButton::clicked, &m_routines, &Routines::stopAllRepeats);
    connect(answeringButton, &QPushButton::clicked, this, [this](bool on) {
        m_routines.setAnswering(on);
        showAnswering();
        showRuleStates();
    });
    // A send shows at the next refresh, not at once: a 1 ms repeat would
    // otherwise redraw the window a thousand times a second.
    connect(&m_routines, &Routines::repeatChanged, this, [this](int button) {
        m_repeatChanged[size_t(button - 1)] = true;
        if (!m_refresh.isActive())
            m_refresh.start();
    });
    connect(&m_routines, &Routines::answersChanged, this, [this] {
        m_rulesChanged = true;
        if (!m_refresh.isActive())
            m_refresh.start();
    });
    connect(ruleTable, &QTableWidget::itemSelectionChanged, this, &FrmAblaeufe::ruleSelected);
    connect(
        editor, &RuleEditor::edited, this, [this] { applyButton->setEnabled(!editor->problem()); });
    connect(newButton, &QPushButton::clicked, this, [this] {
        ruleTable->clearSelection();
        editor->showRule({});
        editor->patternEdit->setFocus();
    });
    connect(applyButton, &QPushButton::clicked, this, &FrmAblaeufe::applyRule);
    connect(deleteButton, &QPushButton::clicked, this, &FrmAblaeufe::deleteRule);
    connect(restartButton, &QPushButton::clicked, this, [this] {
        m_routines.restartRule(selectedRule());
        showRuleStates();
    });
    connect(closeButton, &QPushButton::clicked, this, &ChildWindow::hideWindow);
}

Qt::WindowFlags FrmAblaeufe::frameButtons() const
{
    return Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint;
}

QPoint FrmAblaeufe::storedPlace() const
{
    return m_settings.windowPlace().value_or(kFirstPlace);
}

void FrmAblaeufe::storePlace(QPoint twips)
{
    m_settings.setWindowPlace(twips);
}

void FrmAblaeufe::storeState()
{
    m_save();
}

void FrmAblaeufe::showEvent(QShowEvent *event)
{
    // The captions are renamed in the automation window.
    showCaptions();
    ChildWindow::showEvent(event);
}

void FrmAblaeufe::toggleRepeat(int row)
{
    if (m_routines.repeat(row + 1).isRunning()) {
        m_routines.stopRepeat(row + 1);
        showRepeat(row);
        return;
    }
    // A number typed and not yet confirmed counts, as the user sees it.
    intervalBoxes[size_t(row)]->interpretText();
    countBoxes[size_t(row)]->interpretText();
    takeRepeat(row);
    const Routines::StartResult started
        = m_routines.startRepeat(row + 1, m_settings.repeat(row + 1));
    showRepeat(row);
    if (started == Routines::StartResult::NothingToSend) {
        //: %1 is the caption of an automation button
        Dialogs::current().message(
            tr("Die Taste „%1“ hat keine Daten zum Senden.").arg(m_buttons.caption(row)),
            kApplicationTitle);
    }
}

void FrmAblaeufe::takeRepeat(int row)
{
    m_settings.setRepeat(
        row + 1, { intervalBoxes[size_t(row)]->value(), countBoxes[size_t(row)]->value() });
    m_save();
}

void FrmAblaeufe::showRepeat(int row)
{
    const RepeatRun &run = m_routines.repeat(row + 1);
    const bool running = run.isRunning();
    QPushButton *button = startButtons[size_t(row)];
    const QString caption = captionLabels[size_t(row)]->text();
    //: Stops the repeat of this row; shares its access key with "&Start"
    const QString command = running ? tr("&Stopp") : tr("&Start");
    button->setText(command);
    const QString name = QString(command).remove(QLatin1Char('&')) + QLatin1Char(' ') + caption;
    if (button->accessibleName() != name)
        button->setAccessibleName(name);
    // The numbers are those of the run under way until it ends.
    intervalBoxes[size_t(row)]->setEnabled(!running);
    countBoxes[size_t(row)]->setEnabled(!running);
    setInformation(sentLabels[size_t(row)], count(run.sent()),
        //: Accessible name: %1 is the button caption, %2 how many times its commands were sent
        tr("%1: %2 gesendet").arg(caption, count(run.sent())));
    setInformation(skippedLabels[size_t(row)], count(run.skipped()),
        //: Accessible name: %1 is the button caption, %2 how many sends were skipped
        tr("%1: %2 übersprungen").arg(caption, count(run.skipped())));
}

void FrmAblaeufe::showCaptions()
{
    QStringList captions;
    for (int row = 0; row < kRows; ++row) {
        captions << m_buttons.caption(row);
        setInformation(captionLabels[size_t(row)], captions.last(), captions.last());
        showRepeat(row);
        //: Accessible name of the interval box: %1 is the button caption, then "every" (… ms)
        intervalBoxes[size_t(row)]->setAccessibleName(tr("%1: alle").arg(captions.last()));
        //: Accessible name of the box for how many times to send: %1 is the button caption
        countBoxes[size_t(row)]->setAccessibleName(tr("%1: Anzahl").arg(captions.last()));
    }
    editor->setButtonCaptions(captions);
    for (int i = 0; i < ruleTable->rowCount(); ++i) {
        if (QTableWidgetItem *answer = ruleTable->item(i, 1))
            answer->setText(answerText(m_settings.rules().at(i)));
    }
}

QString FrmAblaeufe::answerText(const RoutinesSettings::Rule &rule) const
{
    if (rule.answerButton == 0)
        return RoutinesSettings::written(rule.payloadNotation, rule.payload);
    //: %1 is the automation button's number, %2 its caption
    return tr("Taste %1: %2").arg(rule.answerButton).arg(m_buttons.caption(rule.answerButton - 1));
}

void FrmAblaeufe::refresh()
{
    bool pending = false;
    for (int row = 0; row < kRows; ++row) {
        if (std::exchange(m_repeatChanged[size_t(row)], false))
            showRepeat(row);
        pending |= m_routines.repeat(row + 1).isRunning();
    }
    if (std::exchange(m_rulesChanged, false)) {
        showRuleStates();
        showAnswering();
    }
    if (!pending)
        m_refresh.stop();
}

void FrmAblaeufe::showAnswering()
{
    const bool on = m_routines.isAnswering();
    answeringButton->setChecked(on);
    const QString state = on ? tr("Die aktiven Regeln antworten, solange die Verbindung besteht.")
                             : tr("Angehalten: keine Regel antwortet.");
    setInformation(answeringLabel, state, state);
}

void FrmAblaeufe::showRules()
{
    const QList<RoutinesSettings::Rule> &rules = m_settings.rules();
    const int selected = selectedRule();
    // Rows without their cells yet must not be looked at as selected.
    const QSignalBlocker filling(ruleTable);
    ruleTable->setRowCount(int(rules.size()));
    for (int i = 0; i < int(rules.size()); ++i) {
        const RoutinesSettings::Rule &rule = rules[i];
        const QStringList cells { RoutinesSettings::written(rule.patternNotation, rule.pattern),
            answerText(rule), QStringLiteral("%1 ms").arg(rule.delayMs),
            RuleEditor::howOftenWord(rule.everyTime),
            //: Column "Active": the rule is active (the other answer is "nein")
            rule.active ? tr("ja") : tr("nein") };
        for (int column = 0; column < int(cells.size()); ++column)
            ruleTable->setItem(i, column, new QTableWidgetItem(cells[column]));
        ruleTable->setItem(i, 5, new QTableWidgetItem);
        ruleTable->setItem(i, 6, new QTableWidgetItem);
    }
    showRuleStates();
    selectRule(std::min(selected, int(rules.size()) - 1));
}

void FrmAblaeufe::showRuleStates()
{
    for (int i = 0; i < ruleTable->rowCount(); ++i) {
        ruleTable->item(i, 5)->setText(QString::number(m_routines.watch().answered(i)));
        ruleTable->item(i, 6)->setText(ruleStateWord(m_routines, i));
    }
    const int rule = selectedRule();
    const AnswerWatch::State state = m_routines.watch().state(rule);
    restartButton->setEnabled(
        state == AnswerWatch::State::Done || state == AnswerWatch::State::Braked);
}

int FrmAblaeufe::selectedRule() const
{
    const QList<QTableWidgetSelectionRange> ranges = ruleTable->selectedRanges();
    return ranges.isEmpty() ? -1 : ranges.first().topRow();
}

void FrmAblaeufe::selectRule(int rule)
{
    if (rule < 0)
        ruleTable->clearSelection();
    else
        ruleTable->selectRow(rule);
    ruleSelected();
}

void FrmAblaeufe::ruleSelected()
{
    const int rule = selectedRule();
    if (rule >= 0)
        editor->showRule(m_settings.rules().at(rule));
    deleteButton->setEnabled(rule >= 0);
    applyButton->setEnabled(!editor->problem());
    showRuleStates();
}

void FrmAblaeufe::applyRule()
{
    if (editor->problem())
        return;
    QList<RoutinesSettings::Rule> rules = m_settings.rules();
    int rule = selectedRule();
    if (rule >= 0) {
        rules[rule] = editor->rule();
    } else {
        rules.append(editor->rule());
        rule = int(rules.size()) - 1;
    }
    const QString problem = m_settings.setRules(rules);
    if (!problem.isEmpty()) {
        editor->problemLabel->setText(problem + QLatin1Char('.'));
        editor->problemLabel->setAccessibleName(editor->problemLabel->text());
        return;
    }
    m_save();
    m_routines.setRules(m_settings.rules());
    showRules();
    selectRule(rule);
}

void FrmAblaeufe::deleteRule()
{
    const int rule = selectedRule();
    if (rule < 0)
        return;
    QList<RoutinesSettings::Rule> rules = m_settings.rules();
    rules.removeAt(rule);
    (void)m_settings.setRules(rules);
    m_save();
    m_routines.setRules(m_settings.rules());
    showRules();
    selectRule(std::min(rule, int(rules.size()) - 1));
}
