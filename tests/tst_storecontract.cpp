#include "config/settingsstore.h"
#include "devices/deviceassignmentstore.h"
#include "filehelpers.h"

#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

// What both stores promise of their file, tavel.cfg and tavel-geraete.cfg
// alike: a file that cannot be taken as it is stays untouched until the first
// save, which keeps it as "<name>.bak"; that backup is never replaced by a
// file of this run; a backup that cannot be made leaves the old file in place.
// Each test runs once for each store.

namespace {

SavedState soundState(const SettingsStore &)
{
    SavedState state = SavedState::defaults();
    state.WindowLeft[2] = -45;
    return state;
}
DeviceAssignment soundState(const DeviceAssignmentStore &)
{
    DeviceAssignment assignment;
    assignment.setDevicePath(2, QStringLiteral("/dev/ttyACM1"));
    return assignment;
}
QString problemOf(const QString &problem)
{
    return problem;
}
QString problemOf(const SettingsStore::SaveResult &saved)
{
    return saved.problem;
}

template<typename Store>
QString saveSound(Store &store)
{
    return problemOf(store.save(soundState(store)));
}

// A fresh store finds the sound state that was saved.
template<typename Store>
bool holdsSoundState(const QString &path)
{
    Store store(path);
    const auto loaded = store.load();
    if constexpr (std::is_same_v<Store, SettingsStore>)
        return loaded.problem.isEmpty() && loaded.state == soundState(store);
    else
        return loaded.problem.isEmpty() && loaded.assignment == soundState(store);
}

} // namespace

class TestStoreContract : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_top;
    QString m_path;

    // Runs the check with the row's store on the row's path.
    template<typename Check>
    void withStore(const Check &check)
    {
        if (m_path.endsWith(QLatin1String(DeviceAssignmentStore::kFileName))) {
            DeviceAssignmentStore store(m_path);
            check(store);
        } else {
            SettingsStore store(m_path);
            check(store);
        }
    }

    // Both stores: a damaged file of each, and what its load names as wrong.
    static void addStoreRows()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("damaged");
        QTest::addColumn<QString>("what");
        QTest::newRow("tavel.cfg") << QStringLiteral("tavel.cfg") << QByteArray("10,20\r\n30,")
                                   << QStringLiteral("Feld 3 von 45");
        QTest::newRow("tavel-geraete.cfg")
            << QStringLiteral("tavel-geraete.cfg") << QByteArray("COM1=/dev/ttyUSB0\nKaputt\n")
            << QStringLiteral("Zeile 2");
    }

private Q_SLOTS:
    void init()
    {
        const QString folder = m_top.filePath(QString::fromLatin1(QTest::currentTestFunction())
            + QLatin1Char('-') + QString::fromLatin1(QTest::currentDataTag()));
        QVERIFY(QDir().mkpath(folder));
        QFETCH(QString, name);
        m_path = folder + QLatin1Char('/') + name;
    }

    void damagedFileIsKeptAsBackupAtTheFirstSave_data() { addStoreRows(); }
    void damagedFileIsKeptAsBackupAtTheFirstSave()
    {
        QFETCH(QByteArray, damaged);
        QFETCH(QString, what);
        withStore([&]<typename Store>(Store &store) {
            // A sound file is replaced without a backup.
            QCOMPARE(saveSound(store), QString());
            QCOMPARE(saveSound(store), QString());
            QCOMPARE(
                entriesOf(QFileInfo(m_path).path()), QStringList { QFileInfo(m_path).fileName() });

            QVERIFY(writeFile(m_path, damaged));
            const QString problem = store.load().problem;
            QVERIFY2(problem.contains(m_path) && problem.contains(what)
                    && problem.contains(store.backupPath()),
                qPrintable(problem));
            QCOMPARE(contentsOf(m_path), damaged);
            QVERIFY(!QFile::exists(store.backupPath()));
            QCOMPARE(saveSound(store), QString());
            QCOMPARE(contentsOf(store.backupPath()), damaged);
            // The second save replaces a sound file of this run, not the user's old one.
            QCOMPARE(saveSound(store), QString());
            QCOMPARE(contentsOf(store.backupPath()), damaged);
            QVERIFY(holdsSoundState<Store>(m_path));
        });
    }

    // A folder in the file's place (which even root cannot read as a file)
    // is kept whole as the backup; a pipe must not block the start.
    void unreadableFileIsKeptAsBackupAtTheFirstSave_data() { addStoreRows(); }
    void unreadableFileIsKeptAsBackupAtTheFirstSave()
    {
        QCOMPARE(::mkfifo(QFile::encodeName(m_path + ".pipe").constData(), 0600), 0);
        QVERIFY(QDir().mkpath(m_path) && writeFile(m_path + "/inside", "keep me"));
        withStore([&]<typename Store>(Store &store) {
            const QString pipeProblem = Store(m_path + ".pipe").load().problem;
            QVERIFY2(pipeProblem.contains(m_path + ".pipe"), qPrintable(pipeProblem));
            const QString problem = store.load().problem;
            QVERIFY2(problem.contains(m_path)
                    && problem.contains(QStringLiteral("kann nicht gelesen"))
                    && problem.contains(store.backupPath()),
                qPrintable(problem));
            QCOMPARE(saveSound(store), QString());
            QCOMPARE(contentsOf(store.backupPath() + "/inside"), QByteArray("keep me"));
            QVERIFY(holdsSoundState<Store>(m_path));
        });
    }

    // A file cannot be renamed over a folder that holds something.
    void backupThatCannotBeMadeLeavesTheDamagedFileInPlace_data() { addStoreRows(); }
    void backupThatCannotBeMadeLeavesTheDamagedFileInPlace()
    {
        QFETCH(QByteArray, damaged);
        QVERIFY(writeFile(m_path, damaged));
        withStore([&](auto &store) {
            QVERIFY(QDir().mkpath(store.backupPath()));
            QVERIFY(writeFile(store.backupPath() + QStringLiteral("/older"), "older"));
            QVERIFY(!store.load().problem.isEmpty());
            const QString problem = saveSound(store);
            QVERIFY2(problem.contains(m_path) && problem.contains(store.backupPath()),
                qPrintable(problem));
            QCOMPARE(contentsOf(m_path), damaged);
            QCOMPARE(
                contentsOf(store.backupPath() + QStringLiteral("/older")), QByteArray("older"));
        });
    }
};

QTEST_GUILESS_MAIN(TestStoreContract)
#include "tst_storecontract.moc"
