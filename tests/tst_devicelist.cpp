#include "devices/comportmap.h"
#include "devices/deviceassignment.h"
#include "devices/deviceassignmentstore.h"
#include "devices/devicelist.h"
#include "filehelpers.h"
#include "serialdevices.h"

#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <tuple>

namespace {

const QString kById = QStringLiteral("/dev/serial/by-id/");

QStringList stablePaths(const QList<SerialDeviceInfo> &list)
{
    QStringList paths;
    for (const SerialDeviceInfo &d : list)
        paths << d.stablePath();
    return paths;
}

} // namespace

class TestDeviceList : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        ComPortMap::reset();
        qunsetenv("TAVEL_COM1");
        qunsetenv("TAVEL_COM2");
    }

    void usableDevicesAreFilteredAndOrdered_data()
    {
        QTest::addColumn<QString>("reported");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("console and UART-less ttyS dropped")
            << "ttyS0!console ttyS1!nouart ttyUSB0=usb-FTDI_A1"
            << QStringList { kById + "usb-FTDI_A1" };
        QTest::newRow("by-id names first even where a node sorts before them")
            << "rfcomm0 ttyUSB0=usb-FTDI_A1"
            << QStringList { kById + "usb-FTDI_A1", "/dev/rfcomm0" };
        QTest::newRow("numbers count as numbers")
            << "ttyS10 ttyS2 ttyUSB10 ttyUSB9"
            << QStringList { "/dev/ttyS2", "/dev/ttyS10", "/dev/ttyUSB9", "/dev/ttyUSB10" };
        QTest::newRow("a device reported twice counts once")
            << "ttyACM0 ttyACM0" << QStringList { "/dev/ttyACM0" };
        QTest::newRow("all kinds")
            << "ttyUSB1=usb-FTDI_B ttyS1 ttyUSB0=usb-FTDI_A ttyACM2 ttyS0!console"
            << QStringList { kById + "usb-FTDI_A", kById + "usb-FTDI_B", "/dev/ttyACM2",
                   "/dev/ttyS1" };
    }
    // In whatever order the system reports them.
    void usableDevicesAreFilteredAndOrdered()
    {
        QFETCH(QString, reported);
        QFETCH(QStringList, expected);
        QList<SerialDeviceInfo> list = serialDevices(reported);
        const auto byName = [](const auto &a, const auto &b) { return a.name < b.name; };
        std::sort(list.begin(), list.end(), byName);
        do {
            QCOMPARE(stablePaths(DeviceList::usable(list)), expected);
        } while (std::next_permutation(list.begin(), list.end(), byName));
    }

    void detailsNameWhatTheSystemKnows()
    {
        SerialDeviceInfo d = serialDevice("ttyUSB0");
        QCOMPARE(DeviceList::details(d), QString());
        d.manufacturer = QStringLiteral("FTDI");
        d.product = QStringLiteral("FT232R USB UART");
        d.serialNumber = QStringLiteral("A50285BI");
        d.vendorId = 0x403;
        d.productId = 0x6001;
        QCOMPARE(DeviceList::details(d),
            QStringLiteral("FTDI, FT232R USB UART, Seriennummer A50285BI, USB 0403:6001"));
    }

    void portStandsForDevice_data()
    {
        QTest::addColumn<QString>("environment"); // "COM1 path" pairs, "-" for none
        QTest::addColumn<QStringList>("assigned");
        QTest::addColumn<QString>("offered");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QList<ComPortMap::Source>>("sources");
        using S = ComPortMap::Source;
        const QString two = QStringLiteral("ttyUSB0=usb-A ttyUSB1=usb-B");
        QTest::newRow("first two devices") << "-" << QStringList { "", "" } << two
                                           << QStringList { kById + "usb-A", kById + "usb-B" }
                                           << QList<S> { S::DeviceList, S::DeviceList };
        QTest::newRow("one device: no COM2")
            << "-" << QStringList { "", "" } << "ttyACM0" << QStringList { "/dev/ttyACM0", "" }
            << QList<S> { S::DeviceList, S::None };
        QTest::newRow("no device") << "-" << QStringList { "", "" } << "" << QStringList { "", "" }
                                   << QList<S> { S::None, S::None };
        QTest::newRow("assignment wins over the list")
            << "-" << QStringList { "", "/dev/ttyS7" } << two
            << QStringList { kById + "usb-A", "/dev/ttyS7" }
            << QList<S> { S::DeviceList, S::Assignment };
        QTest::newRow("an assigned device is not offered twice")
            << "-" << QStringList { "", kById + "usb-A" } << two
            << QStringList { kById + "usb-B", kById + "usb-A" }
            << QList<S> { S::DeviceList, S::Assignment };
        QTest::newRow("environment wins, by node too")
            << "/dev/ttyUSB1" << QStringList { "/dev/ttyS7", "" } << two
            << QStringList { "/dev/ttyUSB1", kById + "usb-A" }
            << QList<S> { S::Environment, S::DeviceList };
    }

    void portStandsForDevice()
    {
        QFETCH(QString, environment);
        QFETCH(QStringList, assigned);
        QFETCH(QString, offered);
        QFETCH(QStringList, expected);
        QFETCH(QList<ComPortMap::Source>, sources);
        if (environment != QLatin1String("-"))
            qputenv("TAVEL_COM1", environment.toLocal8Bit());
        qputenv("TAVEL_COM2", ""); // empty counts as unset
        ComPortMap::setAssignedDevice(1, assigned.at(0));
        ComPortMap::setAssignedDevice(2, assigned.at(1));
        ComPortMap::offerDevices(DeviceList::usable(serialDevices(offered)));
        QCOMPARE((QStringList { ComPortMap::devicePath(1), ComPortMap::devicePath(2) }), expected);
        QCOMPARE((QList<ComPortMap::Source> { ComPortMap::sourceOf(1), ComPortMap::sourceOf(2) }),
            sources);
        QCOMPARE(ComPortMap::devicePath(0), QString());
        QCOMPARE(ComPortMap::devicePath(3), QString());
    }

    void laterDevicesNeverMoveAPortsDevice()
    {
        ComPortMap::offerDevices(DeviceList::usable(serialDevices("ttyUSB0=usb-M")));
        QCOMPARE(ComPortMap::devicePath(1), kById + "usb-M");
        QCOMPARE(ComPortMap::devicePath(2), QString());
        // Unplugged, then back under another node, with one more adapter
        // whose name sorts first: COM1 stays, COM2 gets the newcomer.
        ComPortMap::offerDevices({});
        ComPortMap::offerDevices(DeviceList::usable(serialDevices("ttyUSB1=usb-M ttyUSB0=usb-A")));
        QCOMPARE(ComPortMap::devicePath(1), kById + "usb-M");
        QCOMPARE(ComPortMap::devicePath(2), kById + "usb-A");
        QCOMPARE(ComPortMap::offeredDevices().first().systemPath, QStringLiteral("/dev/ttyUSB1"));
    }

    // Names with numbers sort as a person counts; "a < b" per row.
    void naturalOrder_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<bool>("less");
        const std::tuple<const char *, const char *, bool> rows[] = { { "ttyS2", "ttyS10", true },
            { "ttyS10", "ttyS9", false }, { "port007", "port10", true }, { "ttyS", "ttyS0", true },
            { "ttyACM1", "ttyACM1", false }, { "ttyACM0", "ttyS0", true } };
        for (const auto &[a, b, less] : rows)
            QTest::addRow("%s < %s", a, b)
                << QString::fromLatin1(a) << QString::fromLatin1(b) << less;
    }
    void naturalOrder()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(bool, less);
        QCOMPARE(DeviceList::naturalLess(a, b), less);
    }

    // tavel-geraete.cfg: which device COM1 and COM2 stand for when the user
    // assigned them; a damaged file gives no choice at all and names the problem.
    void assignmentFileIsReadWholeOrNotAtAll_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("com1");
        QTest::addColumn<QString>("com2");
        QTest::addColumn<QString>("problem");
        const auto row = [](const char *name, const QByteArray &bytes, const char *com1,
                             const char *com2, const char *problem = "") {
            QTest::newRow(name) << bytes << QString::fromUtf8(com1) << QString::fromUtf8(com2)
                                << QString::fromUtf8(problem);
        };
        row("empty file", {}, "", "");
        row("as written", "# Kommentar\nCOM1=/dev/ttyUSB0\nCOM2=\n", "/dev/ttyUSB0", "");
        row("CR LF, blanks, any order",
            "\r\n COM2 = /dev/serial/by-id/usb-x \r\nCOM1=/dev/ttyACM0\r\n", "/dev/ttyACM0",
            "/dev/serial/by-id/usb-x");
        row("UTF-8 path", "COM1=/tmp/gerät\n", "/tmp/gerät", "");
        row("unknown key", "COM1=/dev/a\nCOM3=/dev/b\n", "", "",
            "Zeile 2 ist unverständlich: „COM3=/dev/b“");
        row("no equals sign", "/dev/ttyUSB0\n", "", "", "Zeile 1 ist unverständlich");
        row("port twice", "COM2=/dev/a\nCOM2=/dev/b\n", "", "",
            "COM2 steht in Zeile 2 ein zweites Mal");
        row("relative path", "COM1=ttyUSB0\n", "", "", "Zeile 1: „ttyUSB0“ ist kein");
        row("serial servers", "COM1=rfc2217://labor-7:4001\nCOM2=tcp://[::1]:2000\n",
            "rfc2217://labor-7:4001", "tcp://[::1]:2000");
        row("server without port", "COM1=rfc2217://labor-7\n", "", "",
            "Zeile 1: in „rfc2217://labor-7“ fehlt der Port");
        row("not UTF-8", "COM1=/dev/\xff\n", "", "", "UTF-8");
        row("too large", QByteArray(70000, '#'), "", "", "die Datei ist mit 70.000 Bytes zu groß");
    }
    void assignmentFileIsReadWholeOrNotAtAll()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, com1);
        QFETCH(QString, com2);
        QFETCH(QString, problem);
        const DeviceAssignment::ReadResult read = DeviceAssignment::parse(bytes);
        QVERIFY2(read.problem.contains(problem) && read.problem.isEmpty() == problem.isEmpty(),
            qPrintable(read.problem));
        QCOMPARE(read.assignment.devicePath(1), com1);
        QCOMPARE(read.assignment.devicePath(2), com2);
    }

    // Only storable paths are taken, and what is stored reads back byte for byte.
    void savedAssignmentReadsBackByteForByte()
    {
        DeviceAssignment assignment;
        for (const char *bad : { "ttyUSB0", "/dev/a\nCOM2=/x", " /dev/a", "/dev/a\r" }) {
            QVERIFY2(DeviceAssignment::problemWithPath(QString::fromLatin1(bad)), bad);
            assignment.setDevicePath(1, QString::fromLatin1(bad));
        }
        assignment.setDevicePath(3, QStringLiteral("/dev/ttyS3"));
        QVERIFY(assignment.isEmpty());
        QVERIFY(!DeviceAssignment::problemWithPath(QString()));
        assignment.setDevicePath(2, QStringLiteral("/dev/serial/by-id/usb-FTDI_A5-if00-port0"));
        const QByteArray bytes = assignment.serialize();
        QCOMPARE(bytes,
            QByteArray("# Tavel: Ger\xc3\xa4te f\xc3\xbcr COM1 und COM2 (leer: das erste gefundene "
                       "Ger\xc3\xa4t)\nCOM1=\nCOM2=/dev/serial/by-id/usb-FTDI_A5-if00-port0\n"));
        const DeviceAssignment::ReadResult read = DeviceAssignment::parse(bytes);
        QCOMPARE(read.problem, QString());
        QVERIFY(read.assignment == assignment);
    }

    // Beside tavel.cfg, its folder made at the first save as for tavel.cfg.
    // What becomes of a damaged file, tst_storecontract says for both stores.
    void storeKeepsTheFileBesideTavelCfg()
    {
        QTemporaryDir folder;
        const QString path
            = DeviceAssignmentStore::pathBeside(folder.filePath(QStringLiteral("sub/tavel.cfg")));
        QCOMPARE(path, folder.filePath(QStringLiteral("sub/tavel-geraete.cfg")));
        DeviceAssignment assignment;
        assignment.setDevicePath(1, QStringLiteral("/dev/ttyACM0"));
        DeviceAssignmentStore first(path);
        QCOMPARE(first.load().problem, QString());
        QCOMPARE(first.save(assignment), QString());
        QCOMPARE(contentsOf(path), assignment.serialize());
        const DeviceAssignmentStore::LoadResult again = DeviceAssignmentStore(path).load();
        QCOMPARE(again.problem, QString());
        QVERIFY(again.assignment == assignment);
    }
};

QTEST_GUILESS_MAIN(TestDeviceList)
#include "tst_devicelist.moc"
