#pragma once

#include <QScrollBar>

// A scroll bar that repaints only when it looks different. A traffic view
// moves its range and value with every frame of a stream, while the slider of
// a long log stays on the same pixels for minutes; a scroll bar is not opaque,
// so each repaint would also repaint everything beneath it, down to the
// window's frame.
class TrafficScrollBar : public QScrollBar
{
    Q_OBJECT

public:
    explicit TrafficScrollBar(QWidget *parent = nullptr);

    // Range, page and value at once, repainting at most once and only when
    // the bar then looks different from what is on screen.
    void setState(int maximum, int pageStep, int value);

protected:
    void sliderChange(SliderChange change) override;
    void paintEvent(QPaintEvent *event) override;

private:
    struct Look
    {
        QRect slider;
        bool atMinimum = false;
        bool atMaximum = false;
        bool operator==(const Look &) const = default;
    };

    Look look() const;

    Look m_painted;
    bool m_hasPainted = false;
    bool m_settingState = false;
};
