#include "trafficwindowparts.h"

#include "base/childwindow.h"
#include "windows/trafficview/trafficview.h"

#include <QBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace {

QFont trafficFont()
{
    // Liberation Mono has Courier New's metrics where Courier New is missing.
    // untranslated: font family names
    QFont font(QStringLiteral("Courier New"));
    // untranslated: font family names
    font.setFamilies({ QStringLiteral("Courier New"), QStringLiteral("Liberation Mono") });
    font.setStyleHint(QFont::Monospace);
    font.setPointSizeF(9.75);
    return font;
}

TrafficView *trafficView(QWidget *parent, const QColor &background, const QString &name)
{
    auto *view = new TrafficView(parent);
    view->setFont(trafficFont());
    QPalette palette = view->palette();
    palette.setColor(QPalette::Base, background);
    view->setPalette(palette);
    view->setAccessibleName(name);
    return view;
}

QPushButton *button(const QString &caption, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setAccessibleName(QString(caption).remove(QLatin1Char('&')));
    return b;
}

} // namespace

TrafficWindowParts TrafficWindowParts::build(
    ChildWindow *window, const QString &clearCaption, const QColor &background)
{
    const QString title = window->windowTitle();
    TrafficWindowParts parts;
    //: Accessible name of the text view: %1 is the window's title.
    parts.text = trafficView(window, background, tr("%1 – Text").arg(title));
    parts.hexCaption = new QLabel(tr("Hexdarstellung"), window);
    //: Accessible name of the hex view: %1 is the window's title.
    parts.hex = trafficView(window, background, tr("%1 – Hexdarstellung").arg(title));
    parts.hexCaption->setBuddy(parts.hex);
    parts.clear = button(clearCaption, window);
    parts.close = button(tr("&Schließen"), window);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(parts.clear);
    buttons->addStretch(1);
    buttons->addWidget(parts.close);
    auto *layout = new QVBoxLayout(window);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(3);
    layout->addWidget(parts.text, 1);
    layout->addWidget(parts.hexCaption);
    layout->addWidget(parts.hex, 1);
    layout->addSpacing(3);
    layout->addLayout(buttons);
    window->resize(520, 400);
    return parts;
}
