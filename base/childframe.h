#pragma once

#include <QMdiSubWindow>
#include <cstdint>

class ChildWindow;

// The MDI frame of one child window. Placing and storing the position lives
// here so that every window follows the same rules: placed from its stored
// place (its entry in WindowLeft/WindowTop, or a place it keeps itself) when
// it loads, stored back when it unloads in the normal state. Closing the
// frame unloads the window.
class ChildFrame : public QMdiSubWindow
{
    Q_OBJECT

public:
    explicit ChildFrame(ChildWindow *content);

    ChildWindow *content() const { return m_content; }

    // Sizes the frame so that its window has the size it was given.
    void fitToContent();
    // Moves the frame to the stored place of its window.
    void placeFromState();
    // Stores the frame's place with its window if it is in its normal state.
    void storeToState();

Q_SIGNALS:
    // The window has stored its state and is going away.
    void unloaded();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QPoint placeInTwips() const;
    QPoint withinArea(QPoint place) const;

    ChildWindow *m_content = nullptr;
    bool m_unloading = false;
    // Where the frame was put and from which stored values, so that a window
    // nobody moved stores exactly what it was placed from, whatever rounding
    // the screen's resolution brings, and a window moved into reach keeps its
    // stored place until the user moves it.
    QPoint m_placedPixels;
    std::int32_t m_placedLeft = 0;
    std::int32_t m_placedTop = 0;
};
