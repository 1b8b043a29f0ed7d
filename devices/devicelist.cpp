#include "devicelist.h"

#include <QCoreApplication>
#include <QSet>
#include <algorithm>

namespace DeviceList {

QList<SerialDeviceInfo> usable(QList<SerialDeviceInfo> devices)
{
    QSet<QString> seen;
    devices.removeIf([&seen](const SerialDeviceInfo &device) {
        if (device.isConsole || device.isUartlessLegacyPort || device.systemPath.isEmpty())
            return true;
        if (seen.contains(device.systemPath))
            return true;
        seen.insert(device.systemPath);
        return false;
    });
    std::stable_sort(
        devices.begin(), devices.end(), [](const SerialDeviceInfo &a, const SerialDeviceInfo &b) {
            const bool aHasId = !a.byIdPath.isEmpty();
            const bool bHasId = !b.byIdPath.isEmpty();
            if (aHasId != bHasId)
                return aHasId;
            return naturalLess(a.stablePath(), b.stablePath());
        });
    return devices;
}

QString details(const SerialDeviceInfo &device)
{
    QStringList parts;
    if (!device.manufacturer.isEmpty())
        parts << device.manufacturer;
    if (!device.product.isEmpty())
        parts << device.product;
    if (!device.serialNumber.isEmpty())
        //: Part of a device's description; %1 is the USB serial number
        parts << QCoreApplication::translate("DeviceList", "Seriennummer %1")
                     .arg(device.serialNumber);
    if (device.vendorId && device.productId) {
        parts << QStringLiteral("USB %1:%2")
                     .arg(*device.vendorId, 4, 16, QLatin1Char('0'))
                     .arg(*device.productId, 4, 16, QLatin1Char('0'));
    }
    return parts.join(QStringLiteral(", "));
}

bool naturalLess(const QString &a, const QString &b)
{
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (a.at(i).isDigit() && b.at(j).isDigit()) {
            qsizetype iEnd = i;
            qsizetype jEnd = j;
            while (iEnd < a.size() && a.at(iEnd).isDigit())
                ++iEnd;
            while (jEnd < b.size() && b.at(jEnd).isDigit())
                ++jEnd;
            // Leading zeros aside, the longer run of digits is the larger number.
            const QStringView x = QStringView(a).mid(i, iEnd - i);
            const QStringView y = QStringView(b).mid(j, jEnd - j);
            const auto significant = [](QStringView digits) {
                qsizetype k = 0;
                while (k + 1 < digits.size() && digits.at(k) == QLatin1Char('0'))
                    ++k;
                return digits.mid(k);
            };
            const QStringView xs = significant(x);
            const QStringView ys = significant(y);
            if (xs.size() != ys.size())
                return xs.size() < ys.size();
            if (const int order = xs.compare(ys); order != 0)
                return order < 0;
            i = iEnd;
            j = jEnd;
            continue;
        }
        if (a.at(i) != b.at(j))
            return a.at(i) < b.at(j);
        ++i;
        ++j;
    }
    return a.size() - i < b.size() - j;
}

} // namespace DeviceList
