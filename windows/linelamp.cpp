#include "linelamp.h"

#include "serial/linechoices.h"

#include <QPainter>
#include <QRadialGradient>
#include <algorithm>

namespace {

const QColor kLit(40, 210, 40);
const QColor kDark(30, 70, 30);
// Between the lamp and the name.
constexpr int kGap = 4;

} // namespace

LineLamp::LineLamp(const QString &line, QWidget *parent)
    : QWidget(parent)
    , m_line(line)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAccessibleName(m_line + QStringLiteral(": ") + stateWord(m_state));
}

QString LineLamp::stateWord(State state)
{
    switch (state) {
    case State::On:
        return LineChoices::levelCaption(LineChoices::Level::On);
    case State::Off:
        return LineChoices::levelCaption(LineChoices::Level::Off);
    case State::Unknown:
        break;
    }
    //: State of a control line that cannot be read.
    return tr("unbekannt");
}

void LineLamp::setState(State state)
{
    if (state == m_state)
        return;
    m_state = state;
    // setAccessibleName sends the NameChanged event itself, so a screen
    // reader hears of the change; it is called only on a real change, as it
    // announces even an unchanged name.
    setAccessibleName(m_line + QStringLiteral(": ") + stateWord(m_state));
    update();
}

int LineLamp::lampDiameter() const
{
    // As tall as a capital letter and a little more, so the lamp sits on
    // the text's line at any font size.
    return fontMetrics().ascent();
}

QSize LineLamp::sizeHint() const
{
    const QFontMetrics metrics = fontMetrics();
    return QSize(lampDiameter() + kGap + metrics.horizontalAdvance(m_line) + 1,
        std::max(lampDiameter() + 2, metrics.height()));
}

void LineLamp::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const int diameter = lampDiameter();
    paintLamp(painter, QRectF(0.5, (height() - diameter) / 2.0 + 0.5, diameter - 1, diameter - 1),
        m_state, palette());
    const bool known = m_state != State::Unknown;
    painter.setPen(
        palette().color(known ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    painter.drawText(QRect(diameter + kGap, 0, width() - diameter - kGap, height()),
        Qt::AlignLeft | Qt::AlignVCenter, m_line);
}

QIcon LineLamp::icon(State state, int diameter, const QPalette &palette)
{
    QPixmap pixmap(diameter, diameter);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    paintLamp(painter, QRectF(0.5, 0.5, diameter - 1, diameter - 1), state, palette);
    return QIcon(pixmap);
}

void LineLamp::paintLamp(
    QPainter &painter, const QRectF &lamp, State state, const QPalette &palette)
{
    if (state != State::Unknown) {
        // A highlight up and to the left, as on the connection indicator.
        const QColor colour = state == State::On ? kLit : kDark;
        const qreal diameter = lamp.width() + 1;
        QRadialGradient shading(
            lamp.topLeft() + QPointF(diameter * 0.35, diameter * 0.3), diameter * 0.7);
        shading.setColorAt(0.0, colour.lighter(state == State::On ? 170 : 140));
        shading.setColorAt(1.0, colour);
        painter.setBrush(shading);
        painter.setPen(QPen(colour.darker(200), 1));
    } else {
        // Hollow and greyed: no colour that could be taken for a reading.
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(palette.color(QPalette::Disabled, QPalette::WindowText), 1));
    }
    painter.drawEllipse(lamp);
}
