#pragma once

#include "childframe.h"
#include "childwindow.h"

#include <QApplication>
#include <QMdiArea>
#include <QPointer>
#include <functional>

// Holds one child window of the main window, which exists at most once. Any
// reference to it loads it on the spot: the window is created, placed at its
// stored position and, being a child window, becomes visible. Unloading
// (its close box, or the main window closing) stores its position and
// destroys it; the next reference creates it anew.
template<class Form>
class FormSlot
{
public:
    using Factory = std::function<Form *()>;

    FormSlot(QMdiArea &area, Factory factory)
        : m_area(area)
        , m_factory(std::move(factory))
    {
    }

    // The window if it is loaded, else nullptr. Never loads.
    Form *loaded() const { return m_form; }

    // The window, loaded first if needed.
    Form &get()
    {
        if (!m_form)
            load();
        return *m_form;
    }

    // Loads if needed, makes visible and brings to the front. An open window
    // keeps its place and contents.
    Form &show()
    {
        Form &form = get();
        QMdiSubWindow *frame = form.frame();
        frame->show();
        frame->raise();
        m_area.setActiveSubWindow(frame);
        form.takeFocus();
        return form;
    }

    // Stores the window's place and data into the shared state as unloading
    // would, and leaves it loaded.
    void storeState()
    {
        if (!m_form)
            return;
        if (auto *frame = qobject_cast<ChildFrame *>(m_form->frame()))
            frame->storeToState();
        m_form->storeState();
    }

    void unload()
    {
        if (m_form)
            m_form->frame()->close();
    }

private:
    void load()
    {
        Form *form = m_factory();
        auto *frame = new ChildFrame(form);
        m_form = form;
        QObject::connect(frame, &ChildFrame::unloaded, frame, [this] { m_form = nullptr; });
        // A window loaded on first use (data arriving, an echo) appears on top
        // but leaves the activation and the keyboard focus where the user has
        // them, so that typing goes on into the window being worked in.
        QPointer<QMdiSubWindow> active = m_area.activeSubWindow();
        QPointer<QWidget> focus = QApplication::focusWidget();
        m_area.addSubWindow(frame);
        frame->fitToContent();
        frame->placeFromState();
        form->Form_Load();
        frame->show();
        if (active && active != frame) {
            m_area.setActiveSubWindow(active);
            frame->raise();
        }
        if (focus)
            focus->setFocus(Qt::OtherFocusReason);
    }

    QMdiArea &m_area;
    Factory m_factory;
    QPointer<Form> m_form;
};
