#include "eightbitedit.h"
#include "frmeingabe.h"
#include "text/charactertable.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

namespace {

QPushButton *button(const QString &caption, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setAccessibleName(QString(caption).remove(QLatin1Char('&')));
    return b;
}

EightBitEdit *entry(const QString &name, QWidget *parent)
{
    auto *box = new EightBitEdit(EightBitEdit::Lines::Multi, parent);
    // A fixed pitch lines up the groups of the hex notation; Liberation Mono
    // has the metrics of Courier New where that face is missing.
    QFont font;
    // untranslated: font family names
    font.setFamilies({ QStringLiteral("Courier New"), QStringLiteral("Liberation Mono") });
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSizeF(9.75);
    box->setFont(font);
    QPalette colours = box->palette();
    colours.setColor(QPalette::Base, QColor(255, 253, 221));
    colours.setColor(QPalette::Text, Qt::black);
    box->setPalette(colours);
    box->setAccessibleName(name);
    return box;
}

} // namespace

// The window in twips: the mode row along the top, the entry below it on the
// left, the character table on the right with its caption above and
// "Einfügen" below, the three action buttons in a row under the entry.
void FrmEingabe::buildControls()
{
    setClientSizeTwips(9480, 4440);

    //: Caption of the row choosing how the entry is written: as text or in hex.
    Label2[1] = new QLabel(tr("Format"), this);
    setGeometryTwips(Label2[1], 120, 150, 660, 255);
    OptionText = new QRadioButton(tr("Text"), this);
    OptionText->setAccessibleName(tr("Format Text"));
    setGeometryTwips(OptionText, 780, 120, 780, 285);
    OptionHex = new QRadioButton(tr("Hex"), this);
    OptionHex->setAccessibleName(tr("Format Hex"));
    setGeometryTwips(OptionHex, 1560, 120, 780, 285);
    OptionText->setChecked(true);
    Label2[2] = new QLabel(tr("Hexwerte zweistellig und mit Leerzeichen getrennt eingeben"), this);
    setGeometryTwips(Label2[2], 2340, 150, 4620, 255);
    Label2[2]->hide();

    Text1 = entry(tr("Eingabe als Text"), this);
    Text2 = entry(tr("Eingabe als Hexwerte"), this);
    for (EightBitEdit *box : { Text1, Text2 })
        setGeometryTwips(box, 120, 480, 6840, 3360);
    Text2->hide();

    Label2[0] = new QLabel(tr("S&onderzeichen"), this);
    setGeometryTwips(Label2[0], 7080, 150, 2280, 255);
    List1 = new QListWidget(this);
    List1->addItems(CharacterTable::items(0));
    List1->setAccessibleName(tr("Sonderzeichen"));
    Label2[0]->setBuddy(List1);
    setGeometryTwips(List1, 7080, 480, 2280, 2880);
    Command3 = button(tr("&Einfügen"), this);
    setGeometryTwips(Command3, 7080, 3465, 2280, 375);

    Command2 = button(tr("Se&nden"), this);
    //: Clears both entries.
    CmdLöschen = button(tr("&Löschen"), this);
    Command1 = button(tr("&Schließen"), this);
    setGeometryTwips(Command2, 120, 3960, 1335, 375);
    setGeometryTwips(CmdLöschen, 1575, 3960, 1335, 375);
    setGeometryTwips(Command1, 3030, 3960, 1335, 375);

    // The entry comes first, so that the window opens ready for typing.
    QWidget *order[]
        = { Text1, Text2, OptionText, OptionHex, Command2, CmdLöschen, Command1, List1, Command3 };
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
    for (QLabel *label : Label2)
        label->setAccessibleName(label->text().remove(QLatin1Char('&')));
    Text1->setFocus();
}
