#include "automation/frmautomat.h"
#include "capturecommand.h"
#include "mditavel.h"
#include "savecommands.h"
#include "settings/frmeinstellungen.h"
#include "windows/frmeingabe.h"
#include "windows/frmempfang.h"
#include "windows/frmsendefenster.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>

namespace {

QAction *addItem(QMenu *menu, const QString &objectName, const QString &caption,
    const QKeySequence &shortcut = {})
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(objectName);
    if (!shortcut.isEmpty()) {
        action->setShortcut(shortcut);
        // Function keys work wherever the focus is inside the program.
        action->setShortcutContext(Qt::ApplicationShortcut);
    }
    return action;
}

} // namespace

void MDITavel::buildMenus()
{
    QMenuBar *bar = menuBar();
    bar->setAccessibleName(QStringLiteral("Menüleiste"));

    QMenu *datei = bar->addMenu(QStringLiteral("&Datei"));
    datei->setObjectName(QStringLiteral("MnDatei"));
    connect(addItem(datei, QStringLiteral("MnSendenspeichern"),
                QStringLiteral("&Gesendete Daten speichern")),
        &QAction::triggered, m_saveCommands.get(), &SaveCommands::saveSent);
    connect(addItem(datei, QStringLiteral("MnEmpfangSpeichern"),
                QStringLiteral("&Empfangene Daten speichern")),
        &QAction::triggered, m_saveCommands.get(), &SaveCommands::saveReceived);
    connect(addItem(datei, QStringLiteral("MnEinstSpeichern"),
                QStringLiteral("Einstellungen &speichern")),
        &QAction::triggered, this, &MDITavel::saveSettings);
    connect(addItem(datei, QStringLiteral("MnDateiDatei"), QStringLiteral("&Datei senden")),
        &QAction::triggered, this, &MDITavel::SendFile);
    QAction *capture
        = addItem(datei, QStringLiteral("MnMitschnitt"), CaptureCommand::startCaption());
    m_capture->setAction(capture);
    connect(capture, &QAction::triggered, m_capture.get(), &CaptureCommand::toggle);
    connect(
        addItem(datei, QStringLiteral("MnGeraeteZuordnen"), QStringLiteral("Geräte &zuordnen …")),
        &QAction::triggered, this, &MDITavel::assignDevices);
    datei->addSeparator()->setObjectName(QStringLiteral("MnSep1"));
    QAction *ende = addItem(datei, QStringLiteral("MnEnde"), QStringLiteral("&Beenden"));
    connect(ende, &QAction::triggered, this, &QWidget::close);

    QMenu *fenster = bar->addMenu(QStringLiteral("Fenster"));
    fenster->setObjectName(QStringLiteral("MnFenster"));
    connect(addItem(fenster, QStringLiteral("MnFensterEingabe"), QStringLiteral("&Eingabefenster"),
                Qt::Key_F5),
        &QAction::triggered, this, [this] { m_eingabe->show(); });
    connect(addItem(fenster, QStringLiteral("MnFensterSenden"), QStringLiteral("&Gesendete Daten"),
                Qt::Key_F6),
        &QAction::triggered, this, [this] { m_sendefenster->show(); });
    connect(addItem(fenster, QStringLiteral("MnFensterEmpfang"),
                QStringLiteral("Empfangene &Daten"), Qt::Key_F7),
        &QAction::triggered, this, [this] { m_empfang->show(); });
    connect(addItem(fenster, QStringLiteral("MnFensterEinstellungen"),
                QStringLiteral("Ei&nstellungen"), Qt::Key_F8),
        &QAction::triggered, this, [this] { m_einstellungen->show(); });
    connect(addItem(fenster, QStringLiteral("MnFensterAutomatisierung"),
                QStringLiteral("&Automatisierung"), Qt::Key_F9),
        &QAction::triggered, this, [this] { m_automat->show(); });
    connect(fenster, &QMenu::aboutToShow, this, [this, fenster] { fillWindowList(fenster); });

    QAction *info = bar->addAction(QStringLiteral("&Info"));
    info->setObjectName(QStringLiteral("MnInfo"));
    connect(info, &QAction::triggered, this, &MDITavel::showInfo);
}

// Below its five commands the window menu lists the child windows shown at the
// moment, the active one checked; choosing one brings it to the front.
void MDITavel::fillWindowList(QMenu *menu)
{
    qDeleteAll(m_windowListActions);
    m_windowListActions.clear();
    QList<QMdiSubWindow *> shown;
    for (QMdiSubWindow *window : m_mdiArea->subWindowList()) {
        if (window->isVisible())
            shown.append(window);
    }
    if (shown.isEmpty())
        return;
    m_windowListActions.append(menu->addSeparator());
    int number = 1;
    for (QMdiSubWindow *window : shown) {
        QAction *action
            = menu->addAction(QStringLiteral("&%1 %2").arg(number++).arg(window->windowTitle()));
        action->setCheckable(true);
        action->setChecked(window == m_mdiArea->activeSubWindow());
        connect(action, &QAction::triggered, this, [this, window] {
            if (window->isMinimized())
                window->showNormal();
            m_mdiArea->setActiveSubWindow(window);
            if (auto *frame = qobject_cast<ChildFrame *>(window))
                frame->content()->takeFocus();
        });
        m_windowListActions.append(action);
    }
}
