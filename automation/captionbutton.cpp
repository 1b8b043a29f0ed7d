#include "captionbutton.h"

#include <QEvent>
#include <QFontMetrics>
#include <QStyle>
#include <QStyleOptionButton>

CaptionButton::CaptionButton(const QString &toolTip, QWidget *parent)
    : QPushButton(parent)
    , m_toolTip(toolTip)
{
    setToolTip(m_toolTip);
    setAccessibleDescription(m_toolTip);
}

void CaptionButton::setCaption(const QString &caption)
{
    m_caption = caption;
    setAccessibleName(QString(caption).remove(QLatin1Char('&')));
    showCaption();
}

void CaptionButton::resizeEvent(QResizeEvent *event)
{
    QPushButton::resizeEvent(event);
    showCaption();
}

void CaptionButton::changeEvent(QEvent *event)
{
    QPushButton::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        showCaption();
}

void CaptionButton::showCaption()
{
    // The room the style leaves for the label inside the bevel.
    QStyleOptionButton option;
    initStyleOption(&option);
    const QRect label = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    const int room
        = label.width() - 2 * style()->pixelMetric(QStyle::PM_ButtonMargin, &option, this);
    const QString shown
        = fontMetrics().elidedText(m_caption, Qt::ElideRight, room, Qt::TextShowMnemonic);
    setText(shown);
    setToolTip(shown == m_caption
            ? m_toolTip
            : QString(m_caption).remove(QLatin1Char('&')) + QLatin1Char('\n') + m_toolTip);
}
