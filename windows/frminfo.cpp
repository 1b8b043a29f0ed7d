#include "frminfo.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace {

const QColor kBackground(102, 143, 176);
const QColor kYellow(Qt::yellow);
const QColor kGreen(Qt::green);
constexpr qreal kTitlePoints = 20.25;
constexpr qreal kLinePoints = 14.25;
constexpr int kRuleWidth = 2;
constexpr int kMargin = 24;

QFont timesNewRoman(qreal pointSize)
{
    QFont font;
    // Liberation Serif has Times New Roman's metrics, for systems without it.
    // untranslated: font family names
    font.setFamilies({ QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif") });
    font.setPointSizeF(pointSize);
    return font;
}

} // namespace

FrmInfo::FrmInfo(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Info"));
    setAccessibleName(tr("Info"));
    setObjectName(QStringLiteral("FrmInfo"));
    QPalette background = palette();
    background.setColor(QPalette::Window, kBackground);
    setPalette(background);
    setAutoFillBackground(true);
    setCursor(infoCursor());

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(kMargin + 8, kMargin * 2 / 3, kMargin + 8, kMargin);
    layout->setSpacing(kMargin / 3);
    // The window takes the size of its lines, and each label only the size of
    // its text: everything around the words is background that closes it.
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // untranslated: the program's title and version
    const QString title = QStringLiteral("Zaruridezadud V2");
    //: Accessible description of the line with the program's title.
    Label1 = addLine(QStringLiteral("Label1"), title, kYellow, kTitlePoints, tr("Titel"));

    Line1 = new QWidget(this);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setAccessibleName(tr("Trennlinie"));
    Line1->setFixedHeight(kRuleWidth);
    QPalette rule = Line1->palette();
    rule.setColor(QPalette::Window, kYellow);
    Line1->setPalette(rule);
    Line1->setAutoFillBackground(true);
    // A drawn line, not a control: a click on it reaches the window and closes it.
    Line1->setAttribute(Qt::WA_TransparentForMouseEvents);
    layout->addWidget(Line1);
    layout->addSpacing(kMargin / 3);

    const QString about = tr("Ein Terminal für die serielle Schnittstelle");
    //: Accessible description of the line saying what the program is.
    Label2 = addLine(QStringLiteral("Label2"), about, kYellow, kLinePoints, tr("Hinweis"));
    Label3[0] = addLine(QStringLiteral("Label3_0"), QStringLiteral("www.example.org/tavel"), kGreen,
        kLinePoints, tr("Webadresse"));
    Label3[1] = addLine(QStringLiteral("Label3_1"), QStringLiteral("tavel@example.org"), kGreen,
        kLinePoints, tr("Mailadresse"));
}

QLabel *FrmInfo::addLine(const QString &objectName, const QString &text, const QColor &color,
    qreal pointSize, const QString &role)
{
    auto *label = new QLabel(text, this);
    label->setObjectName(objectName);
    // A screen reader reads the words themselves; the role says what they are.
    label->setAccessibleName(text);
    label->setAccessibleDescription(role);
    label->setFont(timesNewRoman(pointSize));
    label->setTextFormat(Qt::PlainText);
    QPalette colours = label->palette();
    colours.setColor(QPalette::WindowText, color);
    label->setPalette(colours);
    // Transparent: the window's steel blue shows through around the letters.
    label->setAutoFillBackground(false);
    layout()->addWidget(label);
    layout()->setAlignment(label, Qt::AlignHCenter);
    return label;
}

QCursor FrmInfo::infoCursor()
{
    // A yellow arrow with a dark edge and a small "i" in its body: the
    // window's own colours, and plain to see on the steel blue.
    constexpr int kSize = 32;
    QPixmap image(kSize, kSize);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    // Drawn half a pixel in, so that the outline at the tip is not cut off.
    QPainterPath arrow;
    arrow.moveTo(1.5, 1.5);
    arrow.lineTo(1.5, 24.5);
    arrow.lineTo(7.5, 18.5);
    arrow.lineTo(11.5, 28.5);
    arrow.lineTo(15.5, 26.5);
    arrow.lineTo(11.5, 17.5);
    arrow.lineTo(19.5, 17.5);
    arrow.closeSubpath();
    const QColor edge(20, 30, 40);
    painter.setPen(QPen(edge, 1.0));
    painter.setBrush(kYellow);
    painter.drawPath(arrow);
    painter.setPen(Qt::NoPen);
    painter.setBrush(edge);
    painter.drawEllipse(QRectF(4.6, 7.4, 2.8, 2.8));
    painter.drawRect(QRectF(5.0, 11.2, 2.0, 7.0));
    painter.end();
    // The hot spot is the arrow's tip.
    return QCursor(image, 2, 2);
}

void FrmInfo::mousePressEvent(QMouseEvent *event)
{
    // Only the background closes the window. A label ignores the press and
    // hands it on to here, so the position is looked at, not the receiver.
    if (childAt(event->position().toPoint()) == nullptr)
        accept();
}

void FrmInfo::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
