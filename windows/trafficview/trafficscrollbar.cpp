#include "trafficscrollbar.h"

#include <QStyle>
#include <QStyleOptionSlider>

TrafficScrollBar::TrafficScrollBar(QWidget *parent)
    : QScrollBar(Qt::Vertical, parent)
{
}

TrafficScrollBar::Look TrafficScrollBar::look() const
{
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect slider
        = style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this);
    // The arrows grey out at either end.
    return { slider, value() == minimum(), value() == maximum() };
}

void TrafficScrollBar::setState(int maximum, int pageStep, int value)
{
    // Between the calls the bar passes through looks it never shows (a new
    // range with the old value); only the end counts.
    m_settingState = true;
    setRange(0, maximum);
    setPageStep(pageStep);
    setValue(value);
    m_settingState = false;
    if (!m_hasPainted || look() != m_painted)
        update();
}

void TrafficScrollBar::sliderChange(SliderChange change)
{
    const bool moves
        = change == SliderRangeChange || change == SliderValueChange || change == SliderStepsChange;
    if (moves && (m_settingState || (m_hasPainted && look() == m_painted)))
        return;
    QScrollBar::sliderChange(change);
}

void TrafficScrollBar::paintEvent(QPaintEvent *event)
{
    m_painted = look();
    m_hasPainted = true;
    QScrollBar::paintEvent(event);
}
