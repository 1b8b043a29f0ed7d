#include "frmleitungen.h"
#include "linelamp.h"
#include "serial/linechoices.h"
#include "serial/linessettings.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

namespace {

QPushButton *button(const QString &caption, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setAccessibleName(QString(caption).remove(QLatin1Char('&')));
    return b;
}

QRadioButton *option(const QString &caption, const QString &groupName, QWidget *parent)
{
    auto *o = new QRadioButton(caption, parent);
    o->setAccessibleName(groupName + QLatin1Char(' ') + QString(caption).remove(QLatin1Char('&')));
    return o;
}

// The levels in the order of LineChoices::Level.
QComboBox *levelBox(QLabel *label, QWidget *parent)
{
    auto *box = new QComboBox(parent);
    box->addItems({ LineChoices::levelCaption(LineChoices::Level::On),
        LineChoices::levelCaption(LineChoices::Level::Off) });
    label->setBuddy(box);
    box->setAccessibleName(label->text().remove(QLatin1Char('&')).remove(QLatin1Char(':')));
    return box;
}

// A flow control as the window shows it, with its access key; the file keeps
// the bare words of LineChoices::flowRows().
QString flowOptionCaption(LineChoices::FlowControl flow)
{
    switch (flow) {
    case LineChoices::FlowControl::None:
        //: No flow control.
        return QCoreApplication::translate("FrmLeitungen", "&keine");
    case LineChoices::FlowControl::RtsCts:
        return QCoreApplication::translate("FrmLeitungen", "RTS/&CTS");
    case LineChoices::FlowControl::XonXoff:
        return QCoreApplication::translate("FrmLeitungen", "&XON/XOFF");
    }
    return {};
}

} // namespace

// Laid out by layouts, not twips: the window is new and has no design to
// keep. Its access keys are 1, 2, T, R, B, U, K, C, X, Ö, F, L and S; D and
// I are the menu bar's (Datei, Info), and a key both had would only move the
// focus, not press the button.
void FrmLeitungen::buildControls()
{
    //: The control lines as they are now.
    auto *now = new QGroupBox(tr("Leitungen jetzt"), this);
    dtrButton = button(QStringLiteral("D&TR"), now);
    rtsButton = button(QStringLiteral("&RTS"), now);
    for (QPushButton *own : { dtrButton, rtsButton })
        own->setCheckable(true);
    auto *lampRow = new QHBoxLayout;
    lampRow->setSpacing(12);
    const char *farLines[] = { "CTS", "DSR", "DCD", "RI" };
    for (std::size_t i = 0; i < lamps.size(); ++i) {
        lamps[i] = new LineLamp(QLatin1String(farLines[i]), now);
        lampRow->addWidget(lamps[i]);
    }
    lampRow->addStretch(1);
    breakButton = button(tr("&Break senden"), now);
    //: Length of the BREAK.
    auto *lengthLabel = new QLabel(tr("Da&uer:"), now);
    breakLength = new QSpinBox(now);
    breakLength->setRange(LinesSettings::kBreakMinMs, LinesSettings::kBreakMaxMs);
    breakLength->setSuffix(QStringLiteral(" ms"));
    breakLength->setSingleStep(10);
    // The length is saved as it changes; digits being typed are not a length yet.
    breakLength->setKeyboardTracking(false);
    breakLength->setAccessibleName(tr("Dauer des Breaks"));
    lengthLabel->setBuddy(breakLength);
    auto *nowGrid = new QGridLayout(now);
    nowGrid->addWidget(dtrButton, 0, 0);
    nowGrid->addWidget(rtsButton, 0, 1);
    nowGrid->addLayout(lampRow, 0, 2, 1, 2);
    nowGrid->addWidget(breakButton, 1, 0, 1, 2);
    auto *lengthRow = new QHBoxLayout;
    lengthRow->addWidget(lengthLabel);
    lengthRow->addWidget(breakLength);
    lengthRow->addStretch(1);
    nowGrid->addLayout(lengthRow, 1, 2, 1, 2);
    nowGrid->setColumnStretch(3, 1);

    auto *portRow = new QHBoxLayout;
    //: Followed by the port choices COM1, COM2.
    portRow->addWidget(new QLabel(tr("Einstellungen für:"), this));
    for (int i = 0; i < int(portOptions.size()); ++i) {
        portOptions[i] = option(QStringLiteral("COM&%1").arg(ComPortMap::kFirstPort + i),
            tr("Einstellungen für"), this);
        portRow->addWidget(portOptions[i]);
    }
    portRow->addStretch(1);

    auto *flow = new QGroupBox(tr("Flusssteuerung"), this);
    auto *flowColumn = new QVBoxLayout(flow);
    // The table's rows, each with its access key: k, C, X.
    for (std::size_t i = 0; i < flowOptions.size(); ++i) {
        const QString caption = flowOptionCaption(LineChoices::flowRows()[i].value);
        flowOptions[i] = option(caption, tr("Flusssteuerung"), flow);
        flowColumn->addWidget(flowOptions[i]);
    }
    flowColumn->addStretch(1);

    //: When the port is opened.
    auto *atOpen = new QGroupBox(tr("Beim Öffnen"), this);
    auto *dtrLabel = new QLabel(tr("DTR beim &Öffnen:"), atOpen);
    auto *rtsLabel = new QLabel(tr("RTS beim Ö&ffnen:"), atOpen);
    dtrAtOpen = levelBox(dtrLabel, atOpen);
    rtsAtOpen = levelBox(rtsLabel, atOpen);
    //: Leave DTR on after the port is closed (disconnect).
    keepDtr = new QCheckBox(tr("DTR nach dem Trennen ein &lassen"), atOpen);
    keepDtr->setAccessibleName(tr("DTR nach dem Trennen ein lassen"));
    auto *atOpenGrid = new QGridLayout(atOpen);
    atOpenGrid->addWidget(dtrLabel, 0, 0);
    atOpenGrid->addWidget(dtrAtOpen, 0, 1);
    atOpenGrid->addWidget(rtsLabel, 1, 0);
    atOpenGrid->addWidget(rtsAtOpen, 1, 1);
    atOpenGrid->addWidget(keepDtr, 2, 0, 1, 3);
    atOpenGrid->setColumnStretch(2, 1);

    auto *choiceRow = new QHBoxLayout;
    choiceRow->addWidget(flow);
    choiceRow->addWidget(atOpen, 1);

    closeButton = button(tr("&Schließen"), this);
    auto *closeRow = new QHBoxLayout;
    closeRow->addStretch(1);
    closeRow->addWidget(closeButton);

    auto *page = new QVBoxLayout(this);
    page->setContentsMargins(8, 8, 8, 8);
    page->addWidget(now);
    page->addSpacing(4);
    page->addLayout(portRow);
    page->addLayout(choiceRow);
    page->addLayout(closeRow);
    // A fixed size, as the other child windows have.
    page->setSizeConstraint(QLayout::SetFixedSize);
    ensurePolished();
    setFixedSize(sizeHint());
}
