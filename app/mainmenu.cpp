#include "automation/frmablaeufe.h"
#include "automation/frmautomat.h"
#include "capturecommand.h"
#include "deviceassignmentcommand.h"
#include "mditavel.h"
#include "savecommands.h"
#include "sendfilecommand.h"
#include "settings/frmeinstellungen.h"
#include "windowlist.h"
#include "windows/frmeingabe.h"
#include "windows/frmempfang.h"
#include "windows/frmleitungen.h"
#include "windows/frmsendefenster.h"

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
        &QAction::triggered, m_sendFile.get(), &SendFileCommand::send);
    QAction *capture
        = addItem(datei, QStringLiteral("MnMitschnitt"), CaptureCommand::startCaption());
    m_capture->setAction(capture);
    connect(capture, &QAction::triggered, m_capture.get(), &CaptureCommand::toggle);
    connect(
        addItem(datei, QStringLiteral("MnGeraeteZuordnen"), QStringLiteral("Geräte &zuordnen …")),
        &QAction::triggered, m_deviceAssignment.get(), &DeviceAssignmentCommand::choose);
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
    connect(addItem(fenster, QStringLiteral("MnFensterLeitungen"), QStringLiteral("&Leitungen"),
                Qt::Key_F10),
        &QAction::triggered, this, [this] { m_leitungen->show(); });
    connect(addItem(fenster, QStringLiteral("MnFensterAblaeufe"), QStringLiteral("A&bläufe"),
                Qt::Key_F11),
        &QAction::triggered, this, [this] { m_ablaeufe->show(); });
    new WindowList(*fenster, *m_mdiArea);

    QAction *info = bar->addAction(QStringLiteral("&Info"));
    info->setObjectName(QStringLiteral("MnInfo"));
    connect(info, &QAction::triggered, this, &MDITavel::showInfo);
}
