#include "frmautomat.h"
#include "text/charactertable.h"
#include "windows/eightbitedit.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <algorithm>

namespace {

constexpr int kRowStep = 480;

QPushButton *button(const QString &caption, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setAccessibleName(QString(caption).remove(QLatin1Char('&')));
    return b;
}

EightBitEdit *payloadField(int n, QWidget *parent)
{
    auto *field = new EightBitEdit(EightBitEdit::Lines::Single, parent);
    QPalette colours = field->palette();
    colours.setColor(QPalette::Base, QColor(226, 249, 252));
    colours.setColor(QPalette::Text, Qt::black);
    field->setPalette(colours);
    //: Accessible name of a payload field; %1 is the command button's number
    field->setAccessibleName(
        QCoreApplication::translate("frmAutomat", "Daten für Befehl %1").arg(n + 1));
    return field;
}

} // namespace

// The window as it was designed, positions in twips; each row stands 480
// twips below the one before it.
void frmAutomat::buildControls()
{
    setClientSizeTwips(6390, 5790);

    for (int n = 0; n < kRows; ++n) {
        const int top = kRowStep * n;
        //: Tool tip of a command button
        CmdAutomat[n] = new CaptionButton(tr("Sendet nebenstehende Daten"), this);
        setGeometryTwips(CmdAutomat[n], 160, 120 + top, 2600, 375);
        // untranslated: never seen, Form_Load puts the caption from tavel.cfg over it
        setCaption(n, QStringLiteral("Command %1").arg(n + 1));
        txtAutomat[n] = payloadField(n, this);
        setGeometryTwips(txtAutomat[n], 2880, 165 + top, 1575, 285);
        chkAutomat[n] = new QCheckBox(this);
        chkAutomat[n]->setToolTip(
            tr("Löscht vor der Ausführung eines Befehls das Empfangsfenster."));
        //: Accessible name of a check box; %1 is the command button's number
        chkAutomat[n]->setAccessibleName(tr("Empfangsfenster löschen bei Befehl %1").arg(n + 1));
        setGeometryTwips(chkAutomat[n], 4560, 210 + top, 255, 195);
    }

    List1 = new QListWidget(this);
    List1->addItems(CharacterTable::items(1));
    List1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    List1->setAccessibleName(tr("Sonderzeichen"));
    setGeometryTwips(List1, 4920, 120, 1335, 3960);
    //: Inserts the selected special character into the payload field
    cmdEinfügen = button(tr("&Einfügen"), this);
    setGeometryTwips(cmdEinfügen, 4920, 4320, 1335, 375);
    //: Deliberately without access key
    cmdSchießen = button(tr("Schließen"), this);
    setGeometryTwips(cmdSchießen, 4920, 5280, 1335, 375);

    // The line joins the column of check boxes to its caption below.
    Line1 = new QFrame(this);
    //: Accessible name of the line that joins the check boxes to their column caption
    Line1->setAccessibleName(tr("Linie zur Spalte „Empfangsfenster löschen“"));
    Line1->setFrameShape(QFrame::VLine);
    Line1->setFrameShadow(QFrame::Plain);
    Line1->setLineWidth(1);
    setGeometryTwips(Line1, 4650, 360, 15, 4560);
    Line1->lower();

    //: Caption under the column of check boxes; little room
    Label2 = new QLabel(tr("Empfangsfenster löschen"), this);
    setGeometryTwips(Label2, 3840, 4920, 1785, 195);
    // The design's width fits the face it was made for; a slightly wider
    // substitute would cut the caption off, so it may grow to the right.
    Label2->resize(std::max(Label2->width(), Label2->sizeHint().width()), Label2->height());
    Label1 = new QLabel(tr("Zweck: Speichert Befehle oder Text, der oft gesendet "
                           "werden soll. Mit rechter Maustaste können Sie die "
                           "Buttonbezeichnungen ändern."),
        this);
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setGeometryTwips(Label1, 240, 5040, 3375, 735);
    for (QLabel *label : { Label1, Label2 })
        label->setAccessibleName(label->text());

    QWidget *previous = nullptr;
    for (int n = 0; n < kRows; ++n) {
        for (QWidget *control : { static_cast<QWidget *>(CmdAutomat[n]),
                 static_cast<QWidget *>(txtAutomat[n]), static_cast<QWidget *>(chkAutomat[n]) }) {
            if (previous)
                setTabOrder(previous, control);
            previous = control;
        }
    }
    setTabOrder(previous, List1);
    setTabOrder(List1, cmdEinfügen);
    setTabOrder(cmdEinfügen, cmdSchießen);
}
