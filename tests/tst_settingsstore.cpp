#include "config/settingsfile.h"
#include "config/settingsstore.h"
#include "filehelpers.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

SavedState sample()
{
    SavedState state = SavedState::defaults();
    state.WindowLeft[2] = -45;
    state.ConnectionSettings[1] = 1;
    state.AutomationButtons[0].Payload = QStringLiteral("AT\r\n");
    state.AutomationButtons[0].ClearFlag = QStringLiteral("1");
    state.AutomationButtons[0].Caption = QStringLiteral("Größe, \"neu\"");
    return state;
}

} // namespace

class TestSettingsStore : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void missingFileGivesDefaultsWithoutProblem();
    void savedFileReadsBackAndLeavesNoBackup();
    void damagedFileIsKeptAsBackupBeforeFirstSave();
    void unreadableFileGivesDefaultsAndIsKeptOnSave();
    void pipeInPlaceOfTheFileIsReportedWithoutBlocking();
    void saveIntoUnusableFolderReportsPathAndReason();
    void saveThatRunsOutOfSpaceLeavesOldFileWhole();
    void backupThatCannotBeMadeLeavesDamagedFileInPlace();
    void defaultPathIsBesideTheExecutable();

private:
    QString pathIn(const QString &name) const { return m_dir->filePath(name); }

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
};

void TestSettingsStore::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_path = pathIn(QStringLiteral("tavel.cfg"));
}

void TestSettingsStore::missingFileGivesDefaultsWithoutProblem()
{
    SettingsStore store(m_path);
    const SettingsStore::LoadResult loaded = store.load();
    QCOMPARE(loaded.problem, QString());
    QVERIFY(loaded.state == SavedState::defaults());
}

void TestSettingsStore::savedFileReadsBackAndLeavesNoBackup()
{
    SettingsStore store(m_path);
    store.load();
    QCOMPARE(store.save(sample()).problem, QString());
    QCOMPARE(contentsOf(m_path), SettingsFile::serialize(sample()));

    SettingsStore again(m_path);
    const SettingsStore::LoadResult loaded = again.load();
    QCOMPARE(loaded.problem, QString());
    QVERIFY(loaded.state == sample());
    QCOMPARE(again.save(SavedState::defaults()).problem, QString());
    QVERIFY(!QFileInfo::exists(store.backupPath()));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden),
        QStringList { QStringLiteral("tavel.cfg") });
}

void TestSettingsStore::damagedFileIsKeptAsBackupBeforeFirstSave()
{
    const QByteArray damaged = "10,20\r\n30,";
    QVERIFY(writeFile(m_path, damaged));

    SettingsStore store(m_path);
    const SettingsStore::LoadResult loaded = store.load();
    QVERIFY2(loaded.problem.contains(m_path), qPrintable(loaded.problem));
    QVERIFY2(loaded.problem.contains(QStringLiteral("Feld 3 von 45")), qPrintable(loaded.problem));
    QCOMPARE(loaded.state.WindowLeft[0], 10);
    QCOMPARE(loaded.state.WindowTop[0], 20);
    QCOMPARE(loaded.state.WindowLeft[1], 30);
    QCOMPARE(loaded.state.WindowTop[1], SavedState::defaults().WindowTop[1]);

    QCOMPARE(store.save(loaded.state).problem, QString());
    QCOMPARE(contentsOf(store.backupPath()), damaged);
    QCOMPARE(contentsOf(m_path), SettingsFile::serialize(loaded.state));

    // The second save replaces a sound file of this run, not the user's old one.
    QCOMPARE(store.save(sample()).problem, QString());
    QCOMPARE(contentsOf(store.backupPath()), damaged);
    QCOMPARE(contentsOf(m_path), SettingsFile::serialize(sample()));
}

void TestSettingsStore::unreadableFileGivesDefaultsAndIsKeptOnSave()
{
    // Root reads any file whatever its permissions; a directory cannot be read by anyone.
    QVERIFY(QDir().mkpath(m_path));
    QVERIFY(writeFile(m_path + QStringLiteral("/inside"), "keep me"));

    SettingsStore store(m_path);
    const SettingsStore::LoadResult loaded = store.load();
    QVERIFY2(loaded.problem.contains(m_path), qPrintable(loaded.problem));
    QVERIFY2(loaded.problem.contains(QStringLiteral("kann nicht gelesen werden")),
        qPrintable(loaded.problem));
    QVERIFY(loaded.state == SavedState::defaults());

    QCOMPARE(store.save(sample()).problem, QString());
    QCOMPARE(contentsOf(store.backupPath() + QStringLiteral("/inside")), QByteArray("keep me"));
    QCOMPARE(contentsOf(m_path), SettingsFile::serialize(sample()));
}

void TestSettingsStore::pipeInPlaceOfTheFileIsReportedWithoutBlocking()
{
    QCOMPARE(mkfifo(QFile::encodeName(m_path).constData(), 0600), 0);

    SettingsStore store(m_path);
    const SettingsStore::LoadResult loaded = store.load();
    QVERIFY2(loaded.problem.contains(m_path), qPrintable(loaded.problem));
    QVERIFY(loaded.state == SavedState::defaults());
}

void TestSettingsStore::saveIntoUnusableFolderReportsPathAndReason()
{
    const QString parent = pathIn(QStringLiteral("plain-file"));
    QVERIFY(writeFile(parent, "not a folder"));
    const QString path = parent + QStringLiteral("/tavel.cfg");

    SettingsStore store(path);
    QCOMPARE(store.load().problem, QString());
    const SettingsStore::SaveResult saved = store.save(sample());
    QVERIFY(!saved.ok());
    QVERIFY2(saved.problem.contains(path), qPrintable(saved.problem));
    QVERIFY2(saved.problem.contains(reasonFor(ENOTDIR)), qPrintable(saved.problem));
    QCOMPARE(contentsOf(parent), QByteArray("not a folder"));
}

void TestSettingsStore::saveThatRunsOutOfSpaceLeavesOldFileWhole()
{
    const QByteArray old = SettingsFile::serialize(SavedState::defaults());
    QVERIFY(writeFile(m_path, old));
    SettingsStore store(m_path);
    QCOMPARE(store.load().problem, QString());

    SettingsStore::SaveResult saved;
    {
        const FileSizeLimit limit(16);
        saved = store.save(sample());
    }
    QVERIFY(!saved.ok());
    QVERIFY2(saved.problem.contains(m_path), qPrintable(saved.problem));
    QVERIFY2(saved.problem.contains(reasonFor(EFBIG)), qPrintable(saved.problem));
    QCOMPARE(contentsOf(m_path), old);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden),
        QStringList { QStringLiteral("tavel.cfg") });
}

void TestSettingsStore::backupThatCannotBeMadeLeavesDamagedFileInPlace()
{
    const QByteArray damaged = "not,a,settings,file";
    QVERIFY(writeFile(m_path, damaged));
    // A file cannot be renamed over a directory that holds something.
    SettingsStore store(m_path);
    QVERIFY(QDir().mkpath(store.backupPath()));
    QVERIFY(writeFile(store.backupPath() + QStringLiteral("/older"), "older"));

    QVERIFY(!store.load().problem.isEmpty());
    const SettingsStore::SaveResult saved = store.save(sample());
    QVERIFY(!saved.ok());
    QVERIFY2(saved.problem.contains(m_path), qPrintable(saved.problem));
    QVERIFY2(saved.problem.contains(store.backupPath()), qPrintable(saved.problem));
    QCOMPARE(contentsOf(m_path), damaged);
    QCOMPARE(contentsOf(store.backupPath() + QStringLiteral("/older")), QByteArray("older"));
}

void TestSettingsStore::defaultPathIsBesideTheExecutable()
{
    QCOMPARE(SettingsStore::defaultPath(),
        QCoreApplication::applicationDirPath() + QStringLiteral("/tavel.cfg"));
}

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
