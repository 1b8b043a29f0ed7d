#pragma once

#include <QAccessible>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QtGui/private/qguiapplication_p.h>
#include <QtGui/qpa/qplatformaccessibility.h>
#include <QtGui/qpa/qplatformintegration.h>

// Turns Qt's accessibility on as a screen reader's bridge does, and records
// the notifications the program sends while it lives: which object, which
// event. Qt sends none while no assistive technology listens, so without this
// a test would see no announcement at all. A test that uses it links
// Qt6::GuiPrivate.
class AccessibilityRecorder
{
public:
    struct Event
    {
        QPointer<QObject> object;
        QAccessible::Event type;
    };

    AccessibilityRecorder()
    {
        QAccessible::installUpdateHandler(&AccessibilityRecorder::record);
        if (QPlatformIntegration *platform = QGuiApplicationPrivate::platformIntegration()) {
            if (QPlatformAccessibility *accessibility = platform->accessibility())
                accessibility->setActive(true);
        }
    }

    ~AccessibilityRecorder()
    {
        QAccessible::installUpdateHandler(nullptr);
        events().clear();
    }

    AccessibilityRecorder(const AccessibilityRecorder &) = delete;
    AccessibilityRecorder &operator=(const AccessibilityRecorder &) = delete;

    bool isActive() const { return QAccessible::isActive(); }

    // Whether an event of that type has come for the object since the last clear().
    bool saw(const QObject *object, QAccessible::Event type) const
    {
        for (const Event &event : events()) {
            if (event.object == object && event.type == type)
                return true;
        }
        return false;
    }
    void clear() { events().clear(); }

    // What assistive technology reads for an object.
    static QString text(QObject *object, QAccessible::Text kind)
    {
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(object);
        return iface ? iface->text(kind) : QString();
    }
    static QString name(QObject *object) { return text(object, QAccessible::Name); }
    static QString description(QObject *object) { return text(object, QAccessible::Description); }

private:
    static QList<Event> &events()
    {
        static QList<Event> recorded;
        return recorded;
    }
    static void record(QAccessibleEvent *event)
    {
        events().append({ event->object(), event->type() });
    }
};
