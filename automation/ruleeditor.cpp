#include "ruleeditor.h"

#include "text/hexnotation.h"
#include "windows/eightbitedit.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

namespace {

constexpr int kOwnPayload = RoutinesSettings::kButtonCount;

using Notation = RoutinesSettings::Notation;

Notation notationAt(const QComboBox *box)
{
    return box->currentIndex() == 1 ? Notation::Hex : Notation::Text;
}

QComboBox *notationBox(const QString &accessibleName, QWidget *parent)
{
    auto *box = new QComboBox(parent);
    //: Notation of an entry: as text (shown, not the file's "Text:" token)
    box->addItems({ QCoreApplication::translate("RuleEditor", "Text"),
        //: Notation of an entry: in hex notation
        QCoreApplication::translate("RuleEditor", "Hex") });
    box->setAccessibleName(accessibleName);
    return box;
}

EightBitEdit *entry(const QString &accessibleName, QWidget *parent)
{
    auto *edit = new EightBitEdit(EightBitEdit::Lines::Single, parent);
    edit->setAccessibleName(accessibleName);
    edit->setTabChangesFocus(true);
    // One line, as high as the program's other one-line fields.
    edit->setFixedHeight(QLineEdit().sizeHint().height());
    return edit;
}

QLabel *labelFor(const QString &caption, QWidget *buddy, QWidget *parent)
{
    auto *label = new QLabel(caption, parent);
    label->setBuddy(buddy);
    return label;
}

} // namespace

RuleEditor::RuleEditor(QWidget *parent)
    : QWidget(parent)
{
    buildControls();
    showRule({});
    connect(patternNotation, &QComboBox::currentIndexChanged, this, &RuleEditor::check);
    connect(payloadNotation, &QComboBox::currentIndexChanged, this, &RuleEditor::check);
    connect(answerChoice, &QComboBox::currentIndexChanged, this, &RuleEditor::check);
    connect(patternEdit, &EightBitEdit::textChanged, this, &RuleEditor::check);
    connect(payloadEdit, &EightBitEdit::textChanged, this, &RuleEditor::check);
    connect(delay, &QSpinBox::valueChanged, this, &RuleEditor::check);
    connect(how, &QComboBox::currentIndexChanged, this, &RuleEditor::check);
    connect(active, &QCheckBox::toggled, this, &RuleEditor::check);
}

void RuleEditor::buildControls()
{
    //: Accessible name: text or hex notation of the pattern
    patternNotation = notationBox(tr("Schreibweise des Musters"), this);
    //: What the rule watches the received data for
    patternEdit = entry(tr("Muster"), this);
    answerChoice = new QComboBox(this);
    //: What the rule sends when its pattern is found
    answerChoice->setAccessibleName(tr("Antwort"));
    //: Accessible name: text or hex notation of the rule's own data
    payloadNotation = notationBox(tr("Schreibweise der eigenen Daten"), this);
    //: Data of the rule's own that it sends instead of a button's commands
    payloadEdit = entry(tr("Eigene Daten"), this);
    delay = new QSpinBox(this);
    delay->setRange(0, RoutinesSettings::kDelayMaxMs);
    delay->setSuffix(QStringLiteral(" ms"));
    delay->setSingleStep(10);
    delay->setAccessibleName(tr("Verzögerung"));
    how = new QComboBox(this);
    how->addItems({ howOftenWord(true), howOftenWord(false) });
    how->setAccessibleName(tr("Wie oft"));
    //: Check box: whether the rule answers at all
    active = new QCheckBox(tr("a&ktiv"), this);
    active->setAccessibleName(tr("aktiv"));
    problemLabel = new QLabel(this);
    problemLabel->setWordWrap(true);
    QPalette warning = problemLabel->palette();
    warning.setColor(QPalette::WindowText, QColor(160, 0, 0));
    problemLabel->setPalette(warning);

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(labelFor(tr("&Muster:"), patternEdit, this), 0, 0);
    grid->addWidget(patternNotation, 0, 1);
    grid->addWidget(patternEdit, 0, 2, 1, 3);
    grid->addWidget(labelFor(tr("An&twort:"), answerChoice, this), 1, 0);
    grid->addWidget(answerChoice, 1, 1, 1, 4);
    grid->addWidget(labelFor(tr("Ei&gene Daten:"), payloadEdit, this), 2, 0);
    grid->addWidget(payloadNotation, 2, 1);
    grid->addWidget(payloadEdit, 2, 2, 1, 3);
    auto *timing = new QHBoxLayout;
    timing->addWidget(delay);
    timing->addSpacing(12);
    timing->addWidget(labelFor(tr("Wie o&ft:"), how, this));
    timing->addWidget(how);
    timing->addSpacing(12);
    timing->addWidget(active);
    timing->addStretch(1);
    grid->addWidget(labelFor(tr("&Verzögerung:"), delay, this), 3, 0);
    grid->addLayout(timing, 3, 1, 1, 4);
    grid->addWidget(problemLabel, 4, 0, 1, 5);
    grid->setColumnStretch(2, 1);
    setButtonCaptions({});
}

void RuleEditor::setButtonCaptions(const QStringList &captions)
{
    const bool showing = std::exchange(m_showing, true);
    const int chosen = answerChoice->currentIndex();
    answerChoice->clear();
    for (int n = 0; n < RoutinesSettings::kButtonCount; ++n)
        //: %1 is the automation button's number, %2 its caption
        answerChoice->addItem(tr("Taste %1: %2").arg(n + 1).arg(captions.value(n)));
    answerChoice->addItem(tr("Eigene Daten"));
    answerChoice->setCurrentIndex(chosen < 0 ? kOwnPayload : chosen);
    m_showing = showing;
}

void RuleEditor::showRule(const RoutinesSettings::Rule &rule)
{
    m_showing = true;
    patternNotation->setCurrentIndex(rule.patternNotation == Notation::Hex ? 1 : 0);
    patternEdit->setText(rule.pattern);
    answerChoice->setCurrentIndex(rule.answerButton > 0 ? rule.answerButton - 1 : kOwnPayload);
    payloadNotation->setCurrentIndex(rule.payloadNotation == Notation::Hex ? 1 : 0);
    payloadEdit->setText(rule.payload);
    delay->setValue(rule.delayMs);
    how->setCurrentIndex(rule.everyTime ? 0 : 1);
    active->setChecked(rule.active);
    m_showing = false;
    check();
}

QString RuleEditor::howOftenWord(bool everyTime)
{
    //: How often a rule answers (shown only; the file keeps its own word)
    return everyTime ? tr("jedes Mal") : tr("einmal");
}

RoutinesSettings::Rule RuleEditor::rule() const
{
    RoutinesSettings::Rule rule;
    rule.patternNotation = notationAt(patternNotation);
    rule.pattern = patternEdit->text();
    const int answer = answerChoice->currentIndex();
    rule.answerButton = answer == kOwnPayload ? 0 : answer + 1;
    rule.payloadNotation = notationAt(payloadNotation);
    rule.payload = payloadEdit->text();
    rule.delayMs = delay->value();
    rule.everyTime = how->currentIndex() == 0;
    rule.active = active->isChecked();
    return rule;
}

std::optional<QString> RuleEditor::problem() const
{
    const RoutinesSettings::Rule entered = rule();
    // A rule not begun yet is nothing to complain about; it cannot be kept either.
    if (entered.pattern.isEmpty())
        return QString();
    std::optional<QString> problem = RoutinesSettings::problemWith(entered);
    if (problem && !problem->isEmpty())
        (*problem)[0] = problem->at(0).toUpper();
    return problem ? std::optional(*problem + QLatin1Char('.')) : std::nullopt;
}

void RuleEditor::followNotations()
{
    const bool ownPayload = answerChoice->currentIndex() == kOwnPayload;
    payloadNotation->setEnabled(ownPayload);
    payloadEdit->setEnabled(ownPayload);
    for (auto [box, edit] :
        { std::pair(patternNotation, patternEdit), std::pair(payloadNotation, payloadEdit) }) {
        if (notationAt(box) == Notation::Hex)
            edit->setKeyFilter(HexNotation::filterTypedCharacter);
        else
            edit->setKeyFilter({});
    }
}

void RuleEditor::check()
{
    followNotations();
    const QString text = problem().value_or(QString());
    problemLabel->setText(text);
    // The line is the reason a screen reader gives for a refused rule.
    if (problemLabel->accessibleName() != text)
        problemLabel->setAccessibleName(text);
    if (!m_showing)
        emit edited();
}
