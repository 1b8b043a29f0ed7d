#include "config/deviceassignment.h"
#include "config/deviceassignmentstore.h"
#include "filehelpers.h"

#include <QTemporaryDir>
#include <QTest>

// tavel-geraete.cfg: which device COM1 and COM2 stand for.
class TestDeviceAssignment : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void soundFileGivesItsPaths_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("com1");
        QTest::addColumn<QString>("com2");
        QTest::newRow("empty file") << QByteArray() << QString() << QString();
        QTest::newRow("as written") << QByteArray("# Kommentar\nCOM1=/dev/ttyUSB0\nCOM2=\n")
                                    << QStringLiteral("/dev/ttyUSB0") << QString();
        QTest::newRow("CR LF, blanks, any order")
            << QByteArray("\r\n COM2 = /dev/serial/by-id/usb-x \r\nCOM1=/dev/ttyACM0\r\n")
            << QStringLiteral("/dev/ttyACM0") << QStringLiteral("/dev/serial/by-id/usb-x");
        QTest::newRow("UTF-8 path")
            << QByteArray("COM1=/tmp/gerät\n") << QStringLiteral("/tmp/gerät") << QString();
    }
    void soundFileGivesItsPaths()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, com1);
        QFETCH(QString, com2);
        const DeviceAssignment::ReadResult read = DeviceAssignment::parse(bytes);
        QCOMPARE(read.problem, QString());
        QCOMPARE(read.assignment.devicePath(1), com1);
        QCOMPARE(read.assignment.devicePath(2), com2);
    }

    void damagedFileGivesNoChoiceAndNamesTheProblem_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("problem");
        QTest::newRow("unknown key") << QByteArray("COM1=/dev/a\nCOM3=/dev/b\n")
                                     << QStringLiteral("Zeile 2 ist unverständlich: „COM3=/dev/b“");
        QTest::newRow("no equals sign")
            << QByteArray("/dev/ttyUSB0\n") << QStringLiteral("Zeile 1 ist unverständlich");
        QTest::newRow("port twice") << QByteArray("COM2=/dev/a\nCOM2=/dev/b\n")
                                    << QStringLiteral("COM2 steht in Zeile 2 ein zweites Mal");
        QTest::newRow("relative path")
            << QByteArray("COM1=ttyUSB0\n") << QStringLiteral("Zeile 1: „ttyUSB0“ ist kein");
        QTest::newRow("not UTF-8") << QByteArray("COM1=/dev/\xff\n") << QStringLiteral("UTF-8");
        QTest::newRow("too large") << QByteArray(70000, '#') << QStringLiteral("zu groß");
    }
    void damagedFileGivesNoChoiceAndNamesTheProblem()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, problem);
        const DeviceAssignment::ReadResult read = DeviceAssignment::parse(bytes);
        QVERIFY2(read.problem.contains(problem), qPrintable(read.problem));
        QVERIFY(read.assignment.isEmpty());
    }

    void savedAssignmentReadsBackByteForByte()
    {
        DeviceAssignment assignment;
        assignment.setDevicePath(2, QStringLiteral("/dev/serial/by-id/usb-FTDI_A5-if00-port0"));
        const QByteArray bytes = assignment.serialize();
        QCOMPARE(bytes,
            QByteArray("# Tavel: Ger\xc3\xa4te f\xc3\xbcr COM1 und COM2 (leer: das erste gefundene "
                       "Ger\xc3\xa4t)\nCOM1=\nCOM2=/dev/serial/by-id/usb-FTDI_A5-if00-port0\n"));
        const DeviceAssignment::ReadResult read = DeviceAssignment::parse(bytes);
        QCOMPARE(read.problem, QString());
        QVERIFY(read.assignment == assignment);
    }

    void onlyStorablePathsAreTaken()
    {
        DeviceAssignment assignment;
        for (const char *bad : { "ttyUSB0", "/dev/a\nCOM2=/x", " /dev/a", "/dev/a\r" }) {
            QVERIFY2(DeviceAssignment::problemWithPath(QString::fromLatin1(bad)), bad);
            assignment.setDevicePath(1, QString::fromLatin1(bad));
        }
        assignment.setDevicePath(3, QStringLiteral("/dev/ttyS3"));
        QVERIFY(assignment.isEmpty());
        QVERIFY(!DeviceAssignment::problemWithPath(QString()));
        QVERIFY(!DeviceAssignment::problemWithPath(QStringLiteral("/dev/ttyUSB0")));
    }

    // Beside tavel.cfg; the folder is made at the first save, as for tavel.cfg.
    void storeKeepsTheFileBesideTavelCfg()
    {
        QTemporaryDir folder;
        const QString path
            = DeviceAssignmentStore::pathBeside(folder.filePath(QStringLiteral("sub/tavel.cfg")));
        QCOMPARE(path, folder.filePath(QStringLiteral("sub/tavel-geraete.cfg")));
        DeviceAssignmentStore store(path);
        QCOMPARE(store.load().problem, QString());
        DeviceAssignment assignment;
        assignment.setDevicePath(1, QStringLiteral("/dev/ttyACM0"));
        QCOMPARE(store.save(assignment), QString());
        QCOMPARE(contentsOf(path), assignment.serialize());
        const DeviceAssignmentStore::LoadResult loaded = DeviceAssignmentStore(path).load();
        QCOMPARE(loaded.problem, QString());
        QVERIFY(loaded.assignment == assignment);
        QVERIFY(!QFile::exists(store.backupPath()));
    }

    void damagedFileIsReportedKeptAndBackedUpAtTheNextSave()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("tavel-geraete.cfg"));
        const QByteArray damaged("COM1=/dev/ttyUSB0\nKaputt\n");
        QVERIFY(writeFile(path, damaged));
        DeviceAssignmentStore store(path);
        const DeviceAssignmentStore::LoadResult loaded = store.load();
        QVERIFY(loaded.assignment.isEmpty());
        QVERIFY2(loaded.problem.contains(path) && loaded.problem.contains(QStringLiteral("Zeile 2"))
                && loaded.problem.contains(store.backupPath()),
            qPrintable(loaded.problem));
        QCOMPARE(contentsOf(path), damaged);

        DeviceAssignment assignment;
        assignment.setDevicePath(2, QStringLiteral("/dev/ttyACM1"));
        QCOMPARE(store.save(assignment), QString());
        QCOMPARE(contentsOf(path), assignment.serialize());
        QCOMPARE(contentsOf(store.backupPath()), damaged);
    }
};

QTEST_GUILESS_MAIN(TestDeviceAssignment)
#include "tst_deviceassignment.moc"
