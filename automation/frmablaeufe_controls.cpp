#include "frmablaeufe.h"
#include "ruleeditor.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>

namespace {

QPushButton *button(const QString &caption, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setAccessibleName(QString(caption).remove(QLatin1Char('&')));
    return b;
}

QSpinBox *numberBox(int minimum, int maximum, QWidget *parent)
{
    auto *box = new QSpinBox(parent);
    box->setRange(minimum, maximum);
    box->setGroupSeparatorShown(true);
    // Saved as it changes; digits being typed are not a number yet.
    box->setKeyboardTracking(false);
    return box;
}

QLabel *countLabel(QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Wide enough for the largest count, so that a running count never moves
    // the other controls.
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("0.000.000.000")));
    return label;
}

} // namespace

QWidget *FrmAblaeufe::buildRepeatPage()
{
    auto *page = new QWidget;
    auto *grid = new QGridLayout(page);
    //: Column heading: the automation button
    const QStringList headings { tr("Taste"),
        //: Column heading: the time between two sends
        tr("Abstand"),
        //: Column heading: how many times the commands are sent
        tr("Anzahl"), QString(),
        //: Column heading: how many times the commands were sent
        tr("Gesendet"),
        //: Column heading: how many sends were skipped
        tr("Übersprungen") };
    for (int column = 0; column < int(headings.size()); ++column)
        grid->addWidget(new QLabel(headings[column], page), 0, column);
    for (int row = 0; row < kRows; ++row) {
        const auto at = size_t(row);
        captionLabels[at] = new QLabel(page);
        captionLabels[at]->setMinimumWidth(140);
        intervalBoxes[at]
            = numberBox(RoutinesSettings::kIntervalMinMs, RoutinesSettings::kIntervalMaxMs, page);
        //: Prefix of the interval box: "every 1000 ms"
        intervalBoxes[at]->setPrefix(tr("alle "));
        intervalBoxes[at]->setSuffix(QStringLiteral(" ms"));
        countBoxes[at] = numberBox(0, RoutinesSettings::kCountMax, page);
        //: Shown in the count box for 0: the commands repeat until stopped
        countBoxes[at]->setSpecialValueText(tr("ohne Ende"));
        startButtons[at] = button(tr("&Start"), page);
        sentLabels[at] = countLabel(page);
        skippedLabels[at] = countLabel(page);
        const QList<QWidget *> cells { captionLabels[at], intervalBoxes[at], countBoxes[at],
            startButtons[at], sentLabels[at], skippedLabels[at] };
        for (int column = 0; column < int(cells.size()); ++column)
            grid->addWidget(cells[column], row + 1, column);
    }
    stopAllButton = button(tr("Alle st&oppen"), page);
    grid->addWidget(stopAllButton, kRows + 1, 3);
    grid->setRowStretch(kRows + 2, 1);
    return page;
}

QWidget *FrmAblaeufe::buildAnswerPage()
{
    auto *page = new QWidget;
    // Checked while the rules answer: a screen reader says "ein" or "aus".
    //: Checkable button: while checked, the answering rules answer
    answeringButton = button(tr("Antworten &ein"), page);
    answeringButton->setCheckable(true);
    answeringLabel = new QLabel(page);
    auto *answeringRow = new QHBoxLayout;
    answeringRow->addWidget(answeringButton);
    answeringRow->addWidget(answeringLabel, 1);

    ruleTable = new QTableWidget(0, 7, page);
    //: Column heading: what a rule watches the received data for
    ruleTable->setHorizontalHeaderLabels({ tr("Muster"),
        //: Column heading: what the rule sends when its pattern is found
        tr("Antwort"),
        //: Column heading: time before the answer is sent
        tr("Verzögerung"),
        //: Column heading: every time or once
        tr("Wie oft"),
        //: Column heading: whether the rule is active
        tr("Aktiv"),
        //: Column heading: how many times the rule answered (matches answered)
        tr("Treffer"),
        //: Column heading: the rule's current state (waiting, answered, …)
        tr("Zustand") });
    ruleTable->setAccessibleName(tr("Regeln"));
    ruleTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    ruleTable->setSelectionMode(QAbstractItemView::SingleSelection);
    ruleTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ruleTable->setTabKeyNavigation(false);
    ruleTable->verticalHeader()->setDefaultSectionSize(ruleTable->fontMetrics().height() + 6);
    ruleTable->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    ruleTable->horizontalHeader()->setStretchLastSection(true);
    ruleTable->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int columnWidths[] = { 140, 150, 80, 70, 45, 55 };
    for (int column = 0; column < int(std::size(columnWidths)); ++column)
        ruleTable->setColumnWidth(column, columnWidths[column]);
    ruleTable->setFixedHeight(ruleTable->verticalHeader()->defaultSectionSize() * 6);

    editor = new RuleEditor(page);
    //: Starts a new answering rule
    newButton = button(tr("&Neu"), page);
    //: Keeps the rule as entered in the fields
    applyButton = button(tr("Ü&bernehmen"), page);
    //: Deletes the selected rule
    deleteButton = button(tr("&Löschen"), page);
    //: Lets a rule that is done or throttled watch again
    restartButton = button(tr("Regel neu sta&rten"), page);
    auto *ruleButtons = new QHBoxLayout;
    for (QPushButton *b : { newButton, applyButton, deleteButton, restartButton })
        ruleButtons->addWidget(b);
    ruleButtons->addStretch(1);

    auto *column = new QVBoxLayout(page);
    column->addLayout(answeringRow);
    column->addWidget(ruleTable);
    column->addWidget(editor);
    column->addLayout(ruleButtons);
    column->addStretch(1);
    return page;
}

// Laid out by layouts, not twips: the window is new and has no design to
// keep. Its access keys are W and A (the pages), C; on the first page S (each
// row's Start or Stopp) and O; on the second E, N, B, L, R and, in the rule's
// fields, M, T, G, V, F and K. D and I of the menu bar (Datei, Info) would
// only move the focus. The English texts keep them unique in the same way,
// clear of F and I (File, Info): R and A, C; S and O; E, N, L, D, U and P,
// W, T, H, Y, V.
void FrmAblaeufe::buildControls()
{
    pages = new QTabWidget(this);
    //: Page of repeated sends
    pages->addTab(buildRepeatPage(), tr("&Wiederholen"));
    //: Page of the rules that answer patterns in the received data
    pages->addTab(buildAnswerPage(), tr("&Antworten"));
    //: Accessible name of the pages: what runs by itself on the open port
    pages->setAccessibleName(tr("Abläufe"));
    //: Accessible name of the tab bar
    pages->tabBar()->setAccessibleName(tr("Seiten"));

    closeButton = button(tr("S&chließen"), this);
    auto *closeRow = new QHBoxLayout;
    closeRow->addStretch(1);
    closeRow->addWidget(closeButton);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(pages);
    layout->addLayout(closeRow);
    // A fixed size, as the other child windows have.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    ensurePolished();
    setFixedSize(sizeHint());
}
