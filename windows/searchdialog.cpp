#include "searchdialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

// A label whose text is the information: a screen reader says it.
void showText(QLabel *label, const QString &text)
{
    label->setText(text);
    label->setAccessibleName(text);
}

} // namespace

SearchDialog::SearchDialog(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Suchen"));
    setAccessibleName(tr("Suchen"));
    setModal(false);

    auto *entryLabel = new QLabel(tr("&Suchen nach:"), this);
    m_edit = new QLineEdit(this);
    m_edit->setAccessibleName(tr("Suchen nach"));
    entryLabel->setBuddy(m_edit);
    //: Look for the entry as text.
    m_text = new QRadioButton(tr("&Text"), this);
    m_text->setAccessibleName(tr("Text"));
    m_text->setChecked(true);
    //: Look for the entry as hex byte values.
    m_hex = new QRadioButton(tr("&Hex"), this);
    m_hex->setAccessibleName(tr("Hex"));
    m_case = new QCheckBox(tr("&Groß-/Kleinschreibung beachten"), this);
    m_case->setAccessibleName(tr("Groß-/Kleinschreibung beachten"));
    m_problem = new QLabel(this);
    m_problem->hide();
    m_result = new QLabel(this);
    //: Only measured, never shown: the widest result line, as
    //: WindowSearch's "Treffer %1 von %2%3" with the largest counts.
    m_result->setMinimumWidth(
        m_result->fontMetrics().horizontalAdvance(tr("Treffer 33.554.432 von 33.554.432 …")));

    m_next = new QPushButton(tr("&Weitersuchen"), this);
    m_next->setAccessibleName(tr("Weitersuchen"));
    m_next->setDefault(true);
    //: Go to the previous match.
    m_previous = new QPushButton(tr("&Vorheriges"), this);
    m_previous->setAccessibleName(tr("Vorheriges"));
    //: Highlight every match.
    m_markAll = new QPushButton(tr("Alle &markieren"), this);
    m_markAll->setAccessibleName(tr("Alle markieren"));
    m_close = new QPushButton(tr("Schließen"), this);
    m_close->setAccessibleName(tr("Schließen"));

    auto *entry = new QGridLayout;
    entry->addWidget(entryLabel, 0, 0);
    entry->addWidget(m_edit, 0, 1);
    entry->addWidget(m_problem, 1, 1);
    auto *kind = new QHBoxLayout;
    kind->addWidget(m_text);
    kind->addWidget(m_hex);
    kind->addStretch();
    entry->addLayout(kind, 2, 1);
    entry->addWidget(m_case, 3, 1);
    auto *buttons = new QVBoxLayout;
    for (QPushButton *button : { m_next, m_previous, m_markAll, m_close })
        buttons->addWidget(button);
    buttons->addStretch();
    auto *top = new QHBoxLayout;
    top->addLayout(entry, 1);
    top->addLayout(buttons);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_result);

    connect(m_edit, &QLineEdit::textChanged, this, &SearchDialog::readEntry);
    connect(m_text, &QRadioButton::toggled, this, &SearchDialog::readEntry);
    connect(m_case, &QCheckBox::toggled, this, &SearchDialog::readEntry);
    connect(m_next, &QPushButton::clicked, this, &SearchDialog::nextRequested);
    connect(m_previous, &QPushButton::clicked, this, &SearchDialog::previousRequested);
    connect(m_markAll, &QPushButton::clicked, this, &SearchDialog::markAllRequested);
    connect(m_close, &QPushButton::clicked, this, &QDialog::close);
    readEntry();
}

void SearchDialog::setResult(const QString &text)
{
    showText(m_result, text);
}

void SearchDialog::readEntry()
{
    const bool hex = m_hex->isChecked();
    // Case applies to letters; in hex every byte is given as it is.
    m_case->setEnabled(!hex);
    const QString entry = m_edit->text();
    m_pattern.reset();
    QString problem;
    if (!entry.isEmpty()) {
        BytePattern::ParseResult read = hex
            ? BytePattern::fromHex(entry)
            : BytePattern::fromText(
                entry, m_case->isChecked() ? Qt::CaseSensitive : Qt::CaseInsensitive);
        if (read.ok())
            m_pattern = std::move(read.pattern);
        else
            problem = read.error;
    }
    showText(m_problem, problem);
    m_problem->setVisible(!problem.isEmpty());
    for (QPushButton *button : { m_next, m_previous, m_markAll })
        button->setEnabled(m_pattern.has_value());
    Q_EMIT patternChanged();
}
