#include "frmautomat.h"

#include "base/dialogs.h"
#include "buttoncommands.h"
#include "text/charactertable.h"
#include "text/cp1252.h"
#include "windows/eightbitedit.h"
#include "windows/transmitter.h"

#include <QCheckBox>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPushButton>

frmAutomat::frmAutomat(
    Module1 &state, Transmitter &transmitter, std::function<void()> clearReceived, QWidget *parent)
    : ChildWindow(state, WindowIndex::kAutomat, parent)
    , m_transmitter(transmitter)
    , m_clearReceived(std::move(clearReceived))
{
    setWindowTitle(tr("Automatisierung"));
    buildControls();
    // The shared state outlives the window, so a field that loses the focus
    // while the window is being torn down still writes to something alive.
    Module1 *shared = &state;
    for (int n = 0; n < kRows; ++n) {
        connect(CmdAutomat[n], &QPushButton::clicked, this, [this, n] { CmdAutomat_Click(n); });
        CmdAutomat[n]->installEventFilter(this);
        connect(txtAutomat[n], &EightBitEdit::focusLost, this,
            [shared, n] { shared->LastPayloadField = std::int16_t(n); });
    }
    connect(List1, &QListWidget::itemDoubleClicked, this, &frmAutomat::List1_DblClick);
    connect(cmdEinfügen, &QPushButton::clicked, this, &frmAutomat::List1_DblClick);
    connect(cmdSchießen, &QPushButton::clicked, this, &frmAutomat::cmdSchießen_Click);
}

void frmAutomat::Form_Load()
{
    const auto &buttons = state().AutomationButtons;
    for (int n = 0; n < kRows; ++n) {
        setCaption(n, buttons[n].Caption);
        txtAutomat[n]->setText(buttons[n].Payload);
        txtAutomat[n]->setCaretPosition(0);
        chkAutomat[n]->setChecked(ButtonCommands::flagTicks(buttons[n].ClearFlag));
    }
}

void frmAutomat::storeState()
{
    auto &buttons = state().AutomationButtons;
    for (int n = 0; n < kRows; ++n) {
        buttons[n].Caption = CmdAutomat[n]->caption();
        buttons[n].Payload = txtAutomat[n]->text();
        buttons[n].ClearFlag
            = chkAutomat[n]->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    }
}

void frmAutomat::setCaption(int index, const QString &caption)
{
    CmdAutomat[index]->setCaption(caption);
}

void frmAutomat::CmdAutomat_Click(int index)
{
    const QString payload = txtAutomat[index]->text();
    if (payload.isEmpty())
        return;
    if (!m_transmitter.connectionCheck())
        return;
    ButtonCommands::send(m_transmitter, payload, chkAutomat[index]->isChecked(), m_clearReceived);
}

void frmAutomat::CmdAutomat_RightButton(int index)
{
    //: %1 is the number of the command button; keep the line break
    const QString prompt = tr("Geben Sie die Bezeichnung für die\r\n"
                              "Befehlsschaltfläche %1 ein.")
                               .arg(index + 1);
    const QString answer
        = Dialogs::current().inputBox(prompt, kApplicationTitle, CmdAutomat[index]->caption());
    if (!answer.isEmpty())
        setCaption(index, answer);
}

bool frmAutomat::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress
        && static_cast<QMouseEvent *>(event)->button() == Qt::RightButton) {
        for (int n = 0; n < kRows; ++n) {
            if (watched == CmdAutomat[n]) {
                CmdAutomat_RightButton(n);
                return true;
            }
        }
    }
    return ChildWindow::eventFilter(watched, event);
}

void frmAutomat::List1_DblClick()
{
    int target = state().LastPayloadField;
    if (target < 0 || target >= kRows)
        target = 0;
    const QList<QListWidgetItem *> selected = List1->selectedItems();
    const int code = selected.isEmpty() ? 0 : CharacterTable::codeOfItem(selected.first()->text());
    // Without a selected item the code is 0, which no field can hold.
    if (code == 0)
        return;
    EightBitEdit *field = txtAutomat[target];
    const qsizetype p = field->caretPosition();
    QString text = field->text();
    text.insert(p, Cp1252::toChar(static_cast<unsigned char>(code)));
    field->setText(text);
    field->setCaretPosition(p + 1);
    field->setFocus();
}

void frmAutomat::cmdSchießen_Click()
{
    if (QMdiSubWindow *f = frame())
        f->close();
    else
        close();
}
