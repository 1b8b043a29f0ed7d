#include "filehelpers.h"
#include "firstrunfile.h"
#include "ptydevice.h"

#include <QTemporaryDir>
#include <QTest>

// A copy of the real executable in a folder of its own, ended with SIGTERM,
// leaves the first run's settings file beside itself, byte for byte.
class TestEndToEnd : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // With COM2 missing, start-up waits on the "only COM1" box; the signal
    // dismisses it and the program still ends the orderly way.
    void firstRunEndedBySigtermLeavesByteExactDefaults_data()
    {
        QTest::addColumn<bool>("com2Missing");
        QTest::newRow("both ports") << false;
        QTest::newRow("open message box") << true;
    }
    void firstRunEndedBySigtermLeavesByteExactDefaults()
    {
        QFETCH(bool, com2Missing);
        QTemporaryDir folder;
        const QString program = folder.filePath(QStringLiteral("tavel"));
        QVERIFY(QFile::copy(QStringLiteral(TAVEL_EXECUTABLE), program));
        PtyDevice com1;
        PtyDevice com2;
        QVERIFY(
            runUntilAskedToEnd(program, QProcessEnvironment::systemEnvironment(), com1.slavePath(),
                com2Missing ? QStringLiteral("/dev/tavel-none") : com2.slavePath(), 1000));
        QCOMPARE(contentsOf(folder.filePath(QStringLiteral("tavel.cfg"))), firstRunSettingsFile());
    }
};

QTEST_GUILESS_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
