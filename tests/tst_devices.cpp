#include "app/uilanguage.h"
#include "assignmentanswer.h"
#include "devices/comportmap.h"
#include "devices/deviceassignmentstore.h"
#include "devices/devicescan.h"
#include "filehelpers.h"
#include "flockholder.h"
#include "mainwindowfixture.h"
#include "serialdevices.h"
#include "settings/deviceassignmentdialog.h"

#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

namespace {

QStringList itemsOf(const QComboBox *box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

QStringList column(const QTableWidget *table, int column)
{
    QStringList cells;
    for (int row = 0; row < table->rowCount(); ++row)
        cells << table->item(row, column)->text();
    return cells;
}

} // namespace

class TestDevices : public QObject
{
    Q_OBJECT

private:
    QList<SerialDeviceInfo> m_reported;
    // Started by each test once it has arranged the files and devices.
    std::unique_ptr<MainWindowFixture> m_f;

    QString assignmentPath() const
    {
        return DeviceAssignmentStore::pathBeside(m_f->settingsPath());
    }
    DeviceAssignmentDialog::DeviceSource source()
    {
        return [this] { return m_reported; };
    }

private Q_SLOTS:
    void initTestCase() { UiLanguage::install(*qApp, UiLanguage::Language::German); }

    void init()
    {
        ComPortMap::reset();
        m_f = std::make_unique<MainWindowFixture>(nullptr, false);
        m_reported = serialDevices(QStringLiteral("ttyS0!console ttyUSB0=usb-FTDI_A1 ttyACM0"));
        m_reported[1].manufacturer = QStringLiteral("FTDI");
        m_reported[1].serialNumber = QStringLiteral("A1");
    }

    void cleanup() { m_f.reset(); }

    void dialogListsEveryDeviceAndOffersTheUsableOnes()
    {
        DeviceAssignment current;
        current.setDevicePath(1, QStringLiteral("/dev/ttyACM0"));
        DeviceAssignmentDialog dialog(current, source());
        QCOMPARE(column(dialog.deviceTable(), 0),
            (QStringList { "/dev/serial/by-id/usb-FTDI_A1", "/dev/ttyACM0", "/dev/ttyS0" }));
        QCOMPARE(column(dialog.deviceTable(), 1),
            (QStringList { "/dev/ttyUSB0", "/dev/ttyACM0", "/dev/ttyS0" }));
        QCOMPARE(column(dialog.deviceTable(), 2),
            (QStringList { "FTDI, Seriennummer A1", "", "nicht angeboten: Konsole des Systems" }));
        for (int port : { 1, 2 })
            QCOMPARE(itemsOf(dialog.portBox(port)),
                (QStringList { "/dev/serial/by-id/usb-FTDI_A1", "/dev/ttyACM0" }));
        QCOMPARE(dialog.portBox(1)->currentText(), QStringLiteral("/dev/ttyACM0"));
        QCOMPARE(dialog.portBox(2)->currentText(), QString());
        QVERIFY(dialog.assignment() == current);
    }

    void dialogFollowsDevicesThatComeAndGoAndKeepsWhatWasTyped()
    {
        DeviceAssignmentDialog dialog({}, source());
        dialog.portBox(2)->setEditText(QStringLiteral("/dev/ttyUSB7"));
        m_reported.append(serialDevice(QStringLiteral("ttyUSB1=usb-Arduino_B2")));
        // It looks by itself while open.
        QTRY_COMPARE_WITH_TIMEOUT(dialog.deviceTable()->rowCount(), 4, 5000);
        QCOMPARE(
            itemsOf(dialog.portBox(1)).first(), QStringLiteral("/dev/serial/by-id/usb-Arduino_B2"));
        QCOMPARE(dialog.portBox(2)->currentText(), QStringLiteral("/dev/ttyUSB7"));
        m_reported.removeFirst();
        m_reported.removeFirst();
        dialog.refresh();
        QCOMPARE(itemsOf(dialog.portBox(2)),
            (QStringList { "/dev/serial/by-id/usb-Arduino_B2", "/dev/ttyACM0" }));
        QCOMPARE(dialog.portBox(2)->currentText(), QStringLiteral("/dev/ttyUSB7"));
    }

    // A device that another program holds says so first in its details,
    // naming the program; the table follows when it lets go.
    void dialogNamesTheProgramHoldingADevice()
    {
        PtyDevice device;
        SerialDeviceInfo held;
        held.name = device.slavePath().mid(5);
        held.systemPath = device.slavePath();
        m_reported.append(held);
        FlockHolder holder(device.slavePath());
        QVERIFY(holder.held);
        DeviceAssignmentDialog dialog({}, source());
        const int row = int(column(dialog.deviceTable(), 1).indexOf(device.slavePath()));
        QVERIFY(row >= 0);
        QCOMPARE(dialog.deviceTable()->item(row, 2)->text(),
            QStringLiteral("belegt von flock (PID %1)").arg(holder.pid));
        holder.release();
        QTRY_COMPARE_WITH_TIMEOUT(dialog.deviceTable()->item(row, 2)->text(), QString(), 5000);
    }

    void dialogRefusesWhatCannotBeAssigned_data()
    {
        QTest::addColumn<QString>("com1");
        QTest::addColumn<QString>("com2");
        QTest::addColumn<QString>("message");
        QTest::newRow("not a full path") << "ttyUSB0"
                                         << ""
                                         << "COM1 lässt sich so nicht zuordnen";
        QTest::newRow("one device for both") << "/dev/ttyACM0"
                                             << "/dev/ttyACM0"
                                             << "COM1 und COM2 können nicht dasselbe Gerät sein";
        QTest::newRow("server port out of range") << "/dev/ttyACM0"
                                                  << "tcp://labor:70000"
                                                  << "COM2 lässt sich so nicht zuordnen: der Port "
                                                     "in „tcp://labor:70000“ ist keine Zahl";
    }

    void dialogRefusesWhatCannotBeAssigned()
    {
        QFETCH(QString, com1);
        QFETCH(QString, com2);
        QFETCH(QString, message);
        DeviceAssignmentDialog dialog({}, source());
        dialog.show();
        dialog.portBox(1)->setEditText(com1);
        dialog.portBox(2)->setEditText(com2);
        dialog.accept();
        QVERIFY(dialog.isVisible());
        QCOMPARE(m_f->dialogs.messages.size(), 1);
        QVERIFY2(m_f->dialogs.messages[0].text.contains(message),
            qPrintable(m_f->dialogs.messages[0].text));
        QCOMPARE(m_f->dialogs.messages[0].title, QStringLiteral("Geräte zuordnen"));
    }

    // A server's address is checked as it is typed; a device path is not.
    void dialogTellsWhatAnAddressLacksWhileTyping()
    {
        DeviceAssignmentDialog dialog({}, source());
        dialog.show();
        const auto hint = [&dialog] {
            for (const QLabel *label : dialog.findChildren<QLabel *>()) {
                if (label->isVisible() && label->text().startsWith(QStringLiteral("Noch keine")))
                    return label->text();
            }
            return QString();
        };
        dialog.portBox(1)->setEditText(QStringLiteral("rfc2217://labor-7"));
        QCOMPARE(hint(),
            QStringLiteral("Noch keine gültige Adresse: in „rfc2217://labor-7“ fehlt der Port "
                           "(HOST:PORT)."));
        dialog.portBox(1)->setEditText(QStringLiteral("rfc2217://labor-7:4001"));
        QCOMPARE(hint(), QString());
        dialog.portBox(1)->setEditText(QStringLiteral("/dev/tty"));
        QCOMPARE(hint(), QString());
        dialog.accept();
        QVERIFY(m_f->dialogs.messages.isEmpty());
    }

    // Every box can be reached by its label's access key and has a name a
    // screen reader says; the buttons speak German, Enter gives OK and
    // Escape Abbrechen.
    void dialogControlsHaveNamesAndAccessKeys()
    {
        DeviceAssignmentDialog dialog({}, source());
        int labelled = 0;
        for (const QLabel *label : dialog.findChildren<QLabel *>()) {
            if (label->buddy()) {
                ++labelled;
                QVERIFY2(label->text().contains(QLatin1Char('&')), qPrintable(label->text()));
                QVERIFY(!label->buddy()->accessibleName().isEmpty());
            }
        }
        QCOMPARE(labelled, 3);
        auto *buttons = dialog.findChild<QDialogButtonBox *>();
        QCOMPARE(buttons->button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Abbrechen"));
    }

    // Chosen in the dialog: saved beside tavel.cfg, shown on the port's tool
    // tip, and used by the next connect without any TAVEL_COM1.
    void assignedDeviceIsSavedShownAndConnected()
    {
        QCOMPARE(m_f->begin(), MDITavel::StartOutcome::Running);
        qunsetenv("TAVEL_COM1");
        bool seen = false;
        answerAssignmentDialog(m_f->com1.slavePath(), QString(), true, &seen);
        m_f->window->findChild<QAction *>(QStringLiteral("MnGeraeteZuordnen"))->trigger();
        QVERIFY(seen);
        QVERIFY(m_f->dialogs.messages.isEmpty());
        QVERIFY(contentsOf(assignmentPath())
                    .contains("COM1=" + QFile::encodeName(m_f->com1.slavePath())));
        QCOMPARE(m_f->settings()->Option1[0]->toolTip(),
            QStringLiteral("COM1: %1 (zugeordnet)\nRechte Maustaste: Geräte zuordnen")
                .arg(m_f->com1.slavePath()));
        QVERIFY(m_f->settings()->Option1[1]->toolTip().contains(QStringLiteral("aus TAVEL_COM2")));
        m_f->settings()->Command3->click();
        QVERIFY(m_f->window->MSComm1().PortOpen());
        QCOMPARE(m_f->window->MSComm1().openPath(), m_f->com1.slavePath());
    }

    void rightClickOnAPortOpensTheDialogAndCancelChangesNothing()
    {
        QCOMPARE(m_f->begin(), MDITavel::StartOutcome::Running);
        const QString toolTip = m_f->settings()->Option1[1]->toolTip();
        bool seen = false;
        answerAssignmentDialog(QStringLiteral("/dev/ttyACM5"), QString(), false, &seen);
        // What the window system sends for the right mouse button.
        QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(4, 4),
            m_f->settings()->Option1[1]->mapToGlobal(QPoint(4, 4)));
        QApplication::sendEvent(m_f->settings()->Option1[1], &rightClick);
        QTRY_VERIFY(seen);
        QVERIFY(!QFile::exists(assignmentPath()));
        QCOMPARE(ComPortMap::assignedDevice(1), QString());
        QCOMPARE(m_f->settings()->Option1[1]->toolTip(), toolTip);
    }

    void startUsesTheSavedAssignment()
    {
        QVERIFY(writeFile(assignmentPath(),
            "COM1=" + QFile::encodeName(m_f->com1.slavePath())
                + "\nCOM2=" + QFile::encodeName(m_f->com2.slavePath()) + "\n"));
        qunsetenv("TAVEL_COM1");
        qunsetenv("TAVEL_COM2");
        QCOMPARE(m_f->begin(), MDITavel::StartOutcome::Running);
        QCOMPARE(m_f->window->state().PortMask, 3);
        QVERIFY(m_f->dialogs.messages.isEmpty());
        QCOMPARE(ComPortMap::devicePath(2), m_f->com2.slavePath());
    }

    void damagedAssignmentIsReportedAtStartAndKept()
    {
        const QByteArray damaged("COM1=/dev/ttyUSB0\nCOM9=kaputt\n");
        QVERIFY(writeFile(assignmentPath(), damaged));
        QCOMPARE(m_f->begin(), MDITavel::StartOutcome::Running);
        QCOMPARE(m_f->dialogs.messages.size(), 1);
        QVERIFY(m_f->dialogs.messages[0].text.startsWith(
            QStringLiteral("Die Gerätezuordnung „%1“ ist beschädigt: Zeile 2")
                .arg(assignmentPath())));
        QCOMPARE(ComPortMap::assignedDevice(1), QString());
        m_f->window->close();
        QCOMPARE(contentsOf(assignmentPath()), damaged);
    }

    // A new choice while the program runs is probed at once: a port that
    // now stands for a usable device can be chosen, one that does not gives
    // way to one that can.
    void portOptionsFollowANewAssignment()
    {
        qputenv("TAVEL_COM2", "/dev/tavel-none-2");
        QCOMPARE(m_f->begin(), MDITavel::StartOutcome::Running);
        QRadioButton *com2 = m_f->settings()->Option1[1];
        QVERIFY(!com2->isEnabled());
        qunsetenv("TAVEL_COM2");
        bool seen = false;
        answerAssignmentDialog({}, m_f->com2.slavePath(), true, &seen);
        m_f->window->findChild<QAction *>(QStringLiteral("MnGeraeteZuordnen"))->trigger();
        QVERIFY(seen && com2->isEnabled());

        com2->setChecked(true);
        answerAssignmentDialog({}, QStringLiteral("/dev/tavel-none-3"), true, &seen);
        m_f->window->findChild<QAction *>(QStringLiteral("MnGeraeteZuordnen"))->trigger();
        QVERIFY(!com2->isEnabled());
        QVERIFY(m_f->settings()->Option1[0]->isChecked());
        QCOMPARE(m_f->dialogs.messageTexts(), QStringList { "Es steht nur COM1 zur Verfügung" });
    }

    // Without variables and assignment the ports are the devices found; a
    // machine whose own serial devices would be opened is left alone. What
    // the probe then says is tst_startup's; only the missing device is told
    // here.
    void portsWithoutDevicesFollowTheProbe_data()
    {
        QTest::addColumn<int>("devices");
        QTest::addColumn<int>("portMask");
        QTest::newRow("one device") << 1 << 1;
        QTest::newRow("none") << 0 << 0;
    }

    void portsWithoutDevicesFollowTheProbe()
    {
        QFETCH(int, devices);
        QFETCH(int, portMask);
        if (!DeviceScan::usableDevices().isEmpty())
            QSKIP("this machine has serial devices of its own");
        qunsetenv("TAVEL_COM1");
        qunsetenv("TAVEL_COM2");
        if (devices == 1)
            ComPortMap::offerDevices({ serialDevice(m_f->com1.slavePath()) });
        bool seen = false;
        if (devices == 0)
            answerAssignmentDialog({}, {}, false, &seen);
        m_f->begin();
        QCOMPARE(seen, devices == 0);
        QCOMPARE(m_f->window->state().PortMask, portMask);
        if (devices == 0)
            QVERIFY2(m_f->dialogs.messageTexts().value(0).contains(
                         QStringLiteral("Für COM1 wurde kein serielles Gerät gefunden")),
                qPrintable(m_f->dialogs.messageTexts().join('|')));
    }
};

QTEST_MAIN(TestDevices)
#include "tst_devices.moc"
