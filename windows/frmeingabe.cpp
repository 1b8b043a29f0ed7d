#include "frmeingabe.h"

#include "base/dialogs.h"
#include "eightbitedit.h"
#include "text/charactertable.h"
#include "text/cp1252.h"
#include "text/hexnotation.h"
#include "transmitter.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

namespace {

// The insertion of the character table: in front of the caret, never over a
// selection, whether the caret stands at the start, in the middle or at the end.
// The caret moves on by a fixed step, even when less went in (a lone space
// without a selected item); a caret past the end stands at the end.
void insertAtCaret(EightBitEdit *entry, const QString &inserted, qsizetype step)
{
    const qsizetype p = entry->caretPosition();
    QString text = entry->text();
    text.insert(p, inserted);
    entry->setText(text);
    entry->setCaretPosition(p + step);
    entry->setFocus();
}

} // namespace

FrmEingabe::FrmEingabe(Module1 &state, Transmitter &transmitter, QWidget *parent)
    : ChildWindow(state, WindowIndex::kEingabe, parent)
    , m_transmitter(transmitter)
{
    setWindowTitle(tr("Eingabefenster"));
    buildControls();
    Text2->setKeyFilter(HexNotation::filterTypedCharacter);

    // A mode button that is already selected does not convert again: that
    // would overwrite the visible entry with the stale hidden one.
    connect(OptionHex, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            OptionHex_Click();
    });
    connect(OptionText, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            OptionText_Click();
    });
    connect(List1, &QListWidget::itemDoubleClicked, this, &FrmEingabe::List1_DblClick);
    connect(Command3, &QPushButton::clicked, this, &FrmEingabe::List1_DblClick);
    connect(Command2, &QPushButton::clicked, this, &FrmEingabe::Command2_Click);
    connect(CmdLöschen, &QPushButton::clicked, this, &FrmEingabe::CmdLöschen_Click);
    connect(Command1, &QPushButton::clicked, this, &ChildWindow::hideWindow);
}

bool FrmEingabe::isHexMode() const
{
    return OptionHex->isChecked();
}

void FrmEingabe::OptionHex_Click()
{
    Text1->hide();
    Text2->show();
    Label2[2]->show();
    Text2->setText(HexNotation::writeText(Text1->text()));
}

void FrmEingabe::OptionText_Click()
{
    Text2->hide();
    Text1->show();
    Label2[2]->hide();
    Text1->setText(HexNotation::toText(Text2->text()));
}

void FrmEingabe::List1_DblClick()
{
    const QList<QListWidgetItem *> selected = List1->selectedItems();
    const QString item = selected.isEmpty() ? QString() : selected.first()->text();
    if (isHexMode()) {
        insertAtCaret(Text2, item.left(2) + QLatin1Char(' '), 3);
        return;
    }
    const int code = CharacterTable::codeOfItem(item);
    // Without a selected item the code is 0, which no entry can hold: nothing
    // goes in.
    if (code != 0)
        insertAtCaret(Text1, QString(Cp1252::toChar(static_cast<unsigned char>(code))), 1);
}

void FrmEingabe::Command2_Click()
{
    if (!m_transmitter.connectionCheck())
        return;
    QByteArray payload;
    if (!isHexMode()) {
        if (Text1->isEmpty())
            return;
        payload = Cp1252::fromUnicode(Text1->text());
    } else {
        if (Text2->isEmpty())
            return;
        const HexNotation::SendForm form = HexNotation::prepareForSending(Text2->text());
        // The normalised form stays in the entry even when the check fails, so
        // that the user corrects what was checked.
        if (form.normalised != Text2->text())
            Text2->setText(form.normalised);
        if (!form.ok()) {
            //: "Farmatfehler" is a deliberate misspelling of "Formatfehler"
            //: (format error) that must stay in the German text.
            Dialogs::current().message(
                tr("Farmatfehler bei der Hexwerteingabe"), kApplicationTitle);
            return;
        }
        payload = form.bytes;
    }
    // Both echoes are the entries as they stand, the hidden one included.
    m_transmitter.transmit(payload, Text1->text(), Text2->text());
}

void FrmEingabe::CmdLöschen_Click()
{
    Text1->setText(QString());
    Text2->setText(QString());
}
