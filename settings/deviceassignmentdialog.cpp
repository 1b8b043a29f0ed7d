#include "deviceassignmentdialog.h"

#include "base/dialogs.h"
#include "devices/comportmap.h"
#include "serial/deviceholder.h"
#include "serial/networkaddress.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {

QString withheldReason(const SerialDeviceInfo &device)
{
    if (device.isConsole)
        //: a device the dialog lists but does not offer for a port: the system's console
        return QCoreApplication::translate(
            "DeviceAssignmentDialog", "nicht angeboten: Konsole des Systems");
    if (device.isUartlessLegacyPort)
        //: a device the dialog lists but does not offer: a legacy serial port without a chip
        return QCoreApplication::translate(
            "DeviceAssignmentDialog", "nicht angeboten: kein UART vorhanden");
    return {};
}

} // namespace

DeviceAssignmentDialog::DeviceAssignmentDialog(
    const DeviceAssignment &current, DeviceSource devices, QWidget *parent)
    : QDialog(parent)
    , m_devices(std::move(devices))
{
    setWindowTitle(tr("Geräte zuordnen"));
    setAccessibleName(tr("Geräte zuordnen"));
    setModal(true);
    buildControls(current);
    refresh();
    // Devices come and go while the dialog is open; a look once a second is
    // quick enough for a person plugging in a cable.
    m_refresh.setInterval(kRefreshIntervalMs);
    m_refresh.setTimerType(Qt::VeryCoarseTimer);
    connect(&m_refresh, &QTimer::timeout, this, &DeviceAssignmentDialog::refresh);
    m_refresh.start();
}

void DeviceAssignmentDialog::buildControls(const DeviceAssignment &current)
{
    auto *layout = new QVBoxLayout(this);
    auto *tableLabel = new QLabel(tr("&Gefundene Geräte:"), this);
    m_table = new QTableWidget(0, 3, this);
    m_table->setHorizontalHeaderLabels({
        //: column header: the device's stable path
        tr("Pfad"),
        //: column header: the device's file under /dev
        tr("Gerätedatei"),
        //: column header: what is known of the device (maker, model, who holds it)
        tr("Angaben"),
    });
    m_table->setAccessibleName(tr("Gefundene Geräte"));
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->verticalHeader()->hide();
    m_table->setWordWrap(false);
    m_table->horizontalHeader()->setStretchLastSection(true);
    tableLabel->setBuddy(m_table);
    layout->addWidget(tableLabel);
    layout->addWidget(m_table, 1);

    auto *form = new QFormLayout;
    for (int port = ComPortMap::kFirstPort; port <= ComPortMap::kLastPort; ++port) {
        QComboBox *box = new QComboBox(this);
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        //: placeholder of an empty box: the port then takes a device that was found
        box->lineEdit()->setPlaceholderText(tr("automatisch: ein gefundenes Gerät"));
        //: %1 is the port's number
        box->setAccessibleName(tr("Gerät für COM%1").arg(port));
        box->setEditText(current.devicePath(port));
        m_boxes[port - ComPortMap::kFirstPort] = box;
        //: RECHNER is a placeholder for a host name (HOST)
        box->setToolTip(tr("Ein Gerätepfad oder ein Port im Netz: "
                           "rfc2217://RECHNER:PORT oder tcp://RECHNER:PORT"));
        //: %1 is the port's number, also its access key
        auto *label = new QLabel(tr("COM&%1:").arg(port), this);
        label->setBuddy(box);
        form->addRow(label, box);
        // A server's address is checked as it is typed, so that a missing
        // port number shows before OK is pressed.
        auto *problem = new QLabel(this);
        problem->setWordWrap(true);
        problem->hide();
        form->addRow(QString(), problem);
        connect(box, &QComboBox::editTextChanged, problem, [problem](const QString &text) {
            const QString path = text.trimmed();
            const std::optional<QString> wrong = NetworkAddress::looksLikeOne(path)
                ? DeviceAssignment::problemWithPath(path)
                : std::nullopt;
            problem->setText(
                //: %1 says what is wrong with the server address typed so far
                wrong ? tr("Noch keine gültige Adresse: %1.").arg(*wrong) : QString());
            problem->setAccessibleName(problem->text());
            problem->setVisible(wrong.has_value());
        });
        // The variables are for scripts; a user who set one should not
        // wonder why the choice here does not show.
        if (ComPortMap::sourceOf(port) == ComPortMap::Source::Environment) {
            form->addRow(QString(),
                new QLabel(
                    //: %1 is an environment variable's name, %2 the device path it sets
                    tr("%1 ist gesetzt und gilt vor dieser Wahl: %2")
                        .arg(ComPortMap::environmentVariable(port), ComPortMap::devicePath(port)),
                    this));
        }
    }
    layout->addLayout(form);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setAccessibleName(tr("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setAccessibleName(tr("Abbrechen"));
    connect(buttons, &QDialogButtonBox::accepted, this, &DeviceAssignmentDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &DeviceAssignmentDialog::reject);
    layout->addWidget(buttons);
    resize(720, 380);
}

DeviceAssignment DeviceAssignmentDialog::assignment() const
{
    DeviceAssignment result;
    for (int port = ComPortMap::kFirstPort; port <= ComPortMap::kLastPort; ++port)
        result.setDevicePath(port, portBox(port)->currentText().trimmed());
    return result;
}

void DeviceAssignmentDialog::refresh()
{
    const QList<SerialDeviceInfo> devices = m_devices ? m_devices() : QList<SerialDeviceInfo>();
    // Whether a device is held is cheap to see; who holds it takes a look
    // through every process, made only when the table changes.
    QSet<QString> held;
    for (const SerialDeviceInfo &device : devices) {
        if (DeviceHolder::isHeldElsewhere(device.systemPath))
            held.insert(device.systemPath);
    }
    // An unchanged list leaves the table and the boxes alone, so that a
    // selection or a half-typed path is not disturbed.
    if (devices == m_shown && held == m_held)
        return;
    m_shown = devices;
    m_held = held;
    showDevices(devices);
}

void DeviceAssignmentDialog::showDevices(const QList<SerialDeviceInfo> &devices)
{
    const QList<SerialDeviceInfo> usable = DeviceList::usable(devices);
    QList<SerialDeviceInfo> rows = usable;
    for (const SerialDeviceInfo &device : devices) {
        if (!withheldReason(device).isEmpty())
            rows.append(device);
    }
    m_table->setRowCount(int(rows.size()));
    for (int row = 0; row < rows.size(); ++row) {
        const SerialDeviceInfo &device = rows.at(row);
        // Held first: it is what the user needs to know before choosing it.
        const QString holder = m_held.contains(device.systemPath)
            ? DeviceHolder::describe(device.systemPath)
            : QString();
        QStringList about = { holder, DeviceList::details(device), withheldReason(device) };
        about.removeAll(QString());
        const QStringList cells
            = { device.stablePath(), device.systemPath, about.join(QStringLiteral("; ")) };
        for (int column = 0; column < cells.size(); ++column) {
            auto *item = new QTableWidgetItem(cells.at(column));
            item->setToolTip(cells.at(column));
            m_table->setItem(row, column, item);
        }
    }
    m_table->resizeColumnsToContents();
    fitTableWidth();

    QStringList paths;
    for (const SerialDeviceInfo &device : usable)
        paths << device.stablePath();
    for (QComboBox *box : m_boxes) {
        const QString typed = box->currentText();
        box->clear();
        box->addItems(paths);
        box->setEditText(typed);
    }
}

void DeviceAssignmentDialog::accept()
{
    QStringList chosen;
    for (int port = ComPortMap::kFirstPort; port <= ComPortMap::kLastPort; ++port) {
        const QString path = portBox(port)->currentText().trimmed();
        if (const std::optional<QString> problem = DeviceAssignment::problemWithPath(path)) {
            refuse(port, *problem);
            return;
        }
        if (!path.isEmpty() && chosen.contains(path)) {
            //: a reason inside the sentence "The device for COM%1 cannot be assigned like this:
            //: %2."
            refuse(port, tr("COM1 und COM2 können nicht dasselbe Gerät sein"));
            return;
        }
        chosen << path;
    }
    QDialog::accept();
}

void DeviceAssignmentDialog::refuse(int port, const QString &problem)
{
    Dialogs::current().message(
        //: %1 is the port's number, %2 the reason
        tr("Das Gerät für COM%1 lässt sich so nicht zuordnen: %2.").arg(port).arg(problem),
        tr("Geräte zuordnen"));
    portBox(port)->setFocus();
}

void DeviceAssignmentDialog::fitTableWidth()
{
    int columns = 0;
    for (int column = 0; column < m_table->columnCount(); ++column)
        columns += m_table->horizontalHeader()->sectionSize(column);
    const int frame = m_table->frameWidth() * 2 + m_table->verticalScrollBar()->sizeHint().width();
    // The table spans the dialog between its margins; the layout may not
    // have placed it yet.
    const QMargins margins = layout() ? layout()->contentsMargins() : QMargins();
    const int wanted = columns + frame + margins.left() + margins.right();
    QScreen *screen = this->screen();
    const int room = screen ? screen->availableGeometry().width() : wanted;
    if (wanted > width())
        resize(std::min(wanted, room), height());
}
