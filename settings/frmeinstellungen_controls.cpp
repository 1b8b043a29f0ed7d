#include "frmeinstellungen.h"
#include "indicatorball.h"
#include "serial/connectionchoices.h"

#include <QGroupBox>

namespace {

template<std::size_t N>
void fillGroup(std::array<QRadioButton *, N> &group, QGroupBox *frame, const QStringList &captions,
    const QString &groupName)
{
    for (std::size_t i = 0; i < N; ++i) {
        group[i] = new QRadioButton(captions.at(int(i)), frame);
        group[i]->setAccessibleName(groupName + QStringLiteral(" ") + captions.at(int(i)));
    }
}

QPushButton *button(const QString &caption, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setAccessibleName(QString(caption).remove(QLatin1Char('&')));
    return b;
}

} // namespace

// The window as it was designed, positions in twips; the tab order runs through
// the three command buttons first, then parity, data bits, stop bits and port.
void FrmEinstellungen::buildControls()
{
    setClientSizeTwips(4845, 3360);

    Label1 = new QLabel(tr("Baudrate"), this);
    setGeometryTwips(Label1, 120, 60, 1000, 240);
    List2 = new QListWidget(this);
    List2->addItems(ConnectionChoices::baudCaptions());
    List2->setAccessibleName(tr("Baudrate"));
    Label1->setBuddy(List2);
    setGeometryTwips(List2, 120, 300, 1000, 1500);

    //: serial line setting
    auto *frame4 = new QGroupBox(tr("&Datenbits"), this);
    setGeometryTwips(frame4, 1240, 0, 1000, 1800);
    //: serial line setting; accessible name of the group, followed by an option's caption
    fillGroup(Option3, frame4, ConnectionChoices::dataBitsCaptions(), tr("Datenbits"));
    for (int i = 0; i < 4; ++i)
        setGeometryTwips(Option3[i], 120, 300 + 360 * i, 760, 300);

    //: serial line setting
    auto *frame3 = new QGroupBox(tr("&Parität"), this);
    setGeometryTwips(frame3, 2360, 0, 2370, 1800);
    //: serial line setting; accessible name of the group, followed by an option's caption
    fillGroup(Option2, frame3, ConnectionChoices::parityCaptions(), tr("Parität"));
    for (int i = 0; i < 3; ++i)
        setGeometryTwips(Option2[i], 120, 300 + 360 * i, 1150, 300);
    for (int i = 3; i < 5; ++i)
        setGeometryTwips(Option2[i], 1320, 300 + 360 * (i - 3), 950, 300);
    Image1[0] = new QLabel(frame3);
    Image1[0]->setPixmap(indicatorBall(QColor(150, 150, 150)));
    //: the connection indicator, a grey ball
    Image1[0]->setAccessibleName(tr("Verbindungsanzeige: nicht verbunden"));
    Image1[1] = new QLabel(frame3);
    Image1[1]->setPixmap(indicatorBall(QColor(220, 20, 20)));
    //: the connection indicator, a red ball
    Image1[1]->setAccessibleName(tr("Verbindungsanzeige: verbunden"));
    for (QLabel *image : Image1)
        setGeometryTwips(image, 1740, 1140, 510, 510);
    Image1[1]->hide();

    //: serial line setting
    auto *frame5 = new QGroupBox(tr("&Stopbits"), this);
    setGeometryTwips(frame5, 120, 1920, 1000, 1380);
    //: serial line setting; accessible name of the group, followed by an option's caption
    fillGroup(Option4, frame5, ConnectionChoices::stopBitsCaptions(), tr("Stopbits"));
    for (int i = 0; i < 3; ++i)
        setGeometryTwips(Option4[i], 120, 300 + 330 * i, 760, 300);
    Option4[1]->setEnabled(false);

    auto *frame2 = new QGroupBox(tr("&COM-Port"), this);
    setGeometryTwips(frame2, 1240, 1920, 1000, 1380);
    fillGroup(Option1, frame2, ConnectionChoices::portCaptions(), tr("COM-Port"));
    for (int i = 0; i < int(Option1.size()); ++i)
        setGeometryTwips(Option1[i], 120, 300 + 360 * i, 800, 300);

    Command3 = button(tr("Verbindung &herstellen"), this);
    Command2 = button(tr("Verbindung &trennen"), this);
    Command1 = button(tr("Schließe&n"), this);
    setGeometryTwips(Command3, 2480, 1980, 2250, 375);
    setGeometryTwips(Command2, 2480, 2430, 2250, 375);
    setGeometryTwips(Command1, 2480, 2880, 2250, 375);
    Command2->setEnabled(false);

    QWidget *order[] = { Command3, Command2, Command1, Option2[0], Option2[1], Option2[2],
        Option2[3], Option2[4], Option3[0], Option3[1], Option3[2], Option3[3], Option4[0],
        Option4[1], Option4[2], Option1[0], Option1[1], List2 };
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}
