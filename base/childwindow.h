#pragma once

#include "module1.h"

#include <QWidget>

class QMdiSubWindow;

// The content of a child window of the main window. Subclasses are the forms;
// the window model (ChildFrame, FormSlot) places them at their stored place
// when they load and stores their position back when they unload.
class ChildWindow : public QWidget
{
    Q_OBJECT

public:
    // positionIndex: the window's entry in WindowLeft and WindowTop.
    ChildWindow(Module1 &state, int positionIndex, QWidget *parent = nullptr);

    Module1 &state() const { return m_state; }

    // Where the window goes as it loads, in twips within the main window's
    // area; by default its entry in WindowLeft and WindowTop.
    virtual QPoint storedPlace() const;
    // Keeps the place the window has as it unloads, or as the settings are
    // saved while it stays open.
    virtual void storePlace(QPoint twips);

    // The MDI frame around this window, once it has been loaded.
    QMdiSubWindow *frame() const;
    // What a "Schließen" button does: the window disappears but stays loaded.
    void hideWindow();

    // Puts the keyboard focus into this window as it comes to the front: to
    // the control that last had it, else to the first control. Access keys
    // work only in the window that holds the focus, so without this a key
    // meant for the window in front could press a button of one behind it.
    void takeFocus();
    // The control that gets the focus when the window first comes to the
    // front; by default the first in the tab order.
    virtual QWidget *firstControl() const;

    // Buttons the frame offers; by default minimise, maximise and close.
    virtual Qt::WindowFlags frameButtons() const;

    // Runs once the window is placed, before it becomes visible.
    virtual void Form_Load() { }
    // Copies the window's data into the shared state: as it unloads, and when
    // the settings are saved while it stays open.
    virtual void storeState() { }
    // Runs as the window unloads, after its position has been stored. Never
    // refuses.
    virtual void Form_Unload() { storeState(); }

protected:
    // For a window that has no entry in WindowLeft and WindowTop: tavel.cfg
    // holds five, for the five windows it was made for. Such a window keeps
    // its place with its own settings by overriding storedPlace and
    // storePlace.
    explicit ChildWindow(Module1 &state, QWidget *parent = nullptr);

    // The inner size in twips, as the window was designed.
    void setClientSizeTwips(int width, int height);
    // Places a control as the window was designed: left, top, width and height
    // in twips within its parent.
    void setGeometryTwips(QWidget *control, int left, int top, int width, int height) const;

private:
    Module1 &m_state;
    // -1 for a window that keeps its place itself.
    int m_positionIndex = -1;
    bool m_focusedBefore = false;
};
