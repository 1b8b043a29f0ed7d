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
    bar->setAccessibleName(tr("Menüleiste"));

    //: Menu; its access key must differ from those of the other menu bar entries
    QMenu *datei = bar->addMenu(tr("&Datei"));
    datei->setObjectName(QStringLiteral("MnDatei"));
    connect(addItem(datei, QStringLiteral("MnSendenspeichern"), tr("&Gesendete Daten speichern")),
        &QAction::triggered, m_saveCommands.get(), &SaveCommands::saveSent);
    connect(addItem(datei, QStringLiteral("MnEmpfangSpeichern"), tr("&Empfangene Daten speichern")),
        &QAction::triggered, m_saveCommands.get(), &SaveCommands::saveReceived);
    connect(addItem(datei, QStringLiteral("MnEinstSpeichern"), tr("Einstellungen &speichern")),
        &QAction::triggered, this, &MDITavel::saveSettings);
    connect(addItem(datei, QStringLiteral("MnDateiDatei"), tr("&Datei senden")),
        &QAction::triggered, m_sendFile.get(), &SendFileCommand::send);
    QAction *capture
        = addItem(datei, QStringLiteral("MnMitschnitt"), CaptureCommand::startCaption());
    m_capture->setAction(capture);
    connect(capture, &QAction::triggered, m_capture.get(), &CaptureCommand::toggle);
    connect(
        //: Opens the dialog that says which device COM1 and COM2 stand for
        addItem(datei, QStringLiteral("MnGeraeteZuordnen"), tr("Geräte &zuordnen …")),
        &QAction::triggered, m_deviceAssignment.get(), &DeviceAssignmentCommand::choose);
    datei->addSeparator()->setObjectName(QStringLiteral("MnSep1"));
    //: Quits the program
    QAction *ende = addItem(datei, QStringLiteral("MnEnde"), tr("&Beenden"));
    connect(ende, &QAction::triggered, this, &QWidget::close);

    //: Menu of the windows; deliberately without an access key
    QMenu *fenster = bar->addMenu(tr("Fenster"));
    fenster->setObjectName(QStringLiteral("MnFenster"));
    connect(addItem(fenster, QStringLiteral("MnFensterEingabe"), tr("&Eingabefenster"), Qt::Key_F5),
        &QAction::triggered, this, [this] { m_eingabe->show(); });
    connect(addItem(fenster, QStringLiteral("MnFensterSenden"), tr("&Gesendete Daten"), Qt::Key_F6),
        &QAction::triggered, this, [this] { m_sendefenster->show(); });
    connect(
        addItem(fenster, QStringLiteral("MnFensterEmpfang"), tr("Empfangene &Daten"), Qt::Key_F7),
        &QAction::triggered, this, [this] { m_empfang->show(); });
    connect(addItem(fenster, QStringLiteral("MnFensterEinstellungen"), tr("Ei&nstellungen"),
                Qt::Key_F8),
        &QAction::triggered, this, [this] { m_einstellungen->show(); });
    connect(addItem(fenster, QStringLiteral("MnFensterAutomatisierung"), tr("&Automatisierung"),
                Qt::Key_F9),
        &QAction::triggered, this, [this] { m_automat->show(); });
    //: The window of the modem control lines
    connect(addItem(fenster, QStringLiteral("MnFensterLeitungen"), tr("&Leitungen"), Qt::Key_F10),
        &QAction::triggered, this, [this] { m_leitungen->show(); });
    //: The window of what runs by itself on the open port (repeats, answering rules)
    connect(addItem(fenster, QStringLiteral("MnFensterAblaeufe"), tr("A&bläufe"), Qt::Key_F11),
        &QAction::triggered, this, [this] { m_ablaeufe->show(); });
    new WindowList(*fenster, *m_mdiArea);

    //: Menu bar command that opens the info window
    QAction *info = bar->addAction(tr("&Info"));
    info->setObjectName(QStringLiteral("MnInfo"));
    connect(info, &QAction::triggered, this, &MDITavel::showInfo);
}
