#pragma once

#include "devices/deviceassignment.h"
#include "devices/devicelist.h"

#include <QDialog>
#include <QSet>
#include <QTimer>
#include <array>
#include <functional>

class QComboBox;
class QTableWidget;

// "Geräte zuordnen": which device COM1 and COM2 stand for. Lists every serial
// device the system reports, with what it knows of it, and offers the usable
// ones for each port in an editable box that also takes any path typed in,
// or the address of a port on a serial server.
// An empty box leaves the port to the devices found. While open, the list
// follows devices that come and go, and tells which are held by another
// program and by which.
class DeviceAssignmentDialog : public QDialog
{
    Q_OBJECT

public:
    using DeviceSource = std::function<QList<SerialDeviceInfo>()>;
    static constexpr int kRefreshIntervalMs = 1000;

    // devices: what the system reports now; asked again at every refresh.
    DeviceAssignmentDialog(
        const DeviceAssignment &current, DeviceSource devices, QWidget *parent = nullptr);

    // The choice in the two boxes.
    DeviceAssignment assignment() const;
    // Asks the device source again and shows what changed.
    void refresh();

    QTableWidget *deviceTable() const { return m_table; }
    QComboBox *portBox(int port) const { return m_boxes.at(port - ComPortMap::kFirstPort); }

public Q_SLOTS:
    // Refuses a path that cannot be stored, and one device for both ports.
    void accept() override;

private:
    void buildControls(const DeviceAssignment &current);
    void showDevices(const QList<SerialDeviceInfo> &devices);
    // Widens the dialog, never beyond the screen, until every column shows
    // its contents whole; it never narrows, so that devices coming and going
    // do not make it jump.
    void fitTableWidth();
    void refuse(int port, const QString &problem);

    DeviceSource m_devices;
    QList<SerialDeviceInfo> m_shown;
    // The shown devices' nodes that another process holds.
    QSet<QString> m_held;
    QTableWidget *m_table = nullptr;
    std::array<QComboBox *, ComPortMap::kPortCount> m_boxes {};
    QTimer m_refresh;
};
