#include "config/settingsfile.h"
#include "config/settingsstore.h"
#include "filehelpers.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

// Loading and saving tavel.cfg on a real file system. A save that fails for
// lack of space or a read-only folder is tst_shutdownsave's.
class TestSettingsStore : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;

    static SavedState sample()
    {
        SavedState state = SavedState::defaults();
        state.WindowLeft[2] = -45;
        state.ConnectionSettings[1] = 1;
        state.AutomationButtons[0]
            = { QStringLiteral("Größe, \"neu\""), QStringLiteral("AT\r\n"), QStringLiteral("1") };
        return state;
    }
    QStringList files() const { return QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden); }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_path = m_dir->filePath(QStringLiteral("tavel.cfg"));
    }

    void missingFileGivesDefaultsBesideTheExecutable()
    {
        QCOMPARE(SettingsStore::defaultPath(),
            QCoreApplication::applicationDirPath() + QStringLiteral("/tavel.cfg"));
        const SettingsStore::LoadResult loaded = SettingsStore(m_path).load();
        QCOMPARE(loaded.problem, QString());
        QVERIFY(loaded.state == SavedState::defaults());
    }

    void savedFileReadsBackAndLeavesNoBackup()
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
        QCOMPARE(files(), QStringList { QStringLiteral("tavel.cfg") });
    }

    void damagedFileIsKeptAsBackupBeforeFirstSave()
    {
        const QByteArray damaged = "10,20\r\n30,";
        QVERIFY(writeFile(m_path, damaged));
        SettingsStore store(m_path);
        const SettingsStore::LoadResult loaded = store.load();
        QVERIFY2(loaded.problem.contains(m_path) && loaded.problem.contains("Feld 3 von 45"),
            qPrintable(loaded.problem));
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

    // A directory (which even root cannot read as a file) and a pipe (which
    // must not block the start) give the defaults and a problem naming them.
    void unreadableFileGivesDefaults_data()
    {
        QTest::addColumn<bool>("pipe");
        QTest::newRow("directory") << false;
        QTest::newRow("pipe") << true;
    }
    void unreadableFileGivesDefaults()
    {
        QFETCH(bool, pipe);
        if (pipe)
            QCOMPARE(::mkfifo(QFile::encodeName(m_path).constData(), 0600), 0);
        else
            QVERIFY(QDir().mkpath(m_path) && writeFile(m_path + "/inside", "keep me"));
        SettingsStore store(m_path);
        const SettingsStore::LoadResult loaded = store.load();
        QVERIFY2(loaded.problem.contains(m_path), qPrintable(loaded.problem));
        QVERIFY(loaded.state == SavedState::defaults());
        if (pipe)
            return;
        QVERIFY2(loaded.problem.contains(QStringLiteral("kann nicht gelesen werden")),
            qPrintable(loaded.problem));
        QCOMPARE(store.save(sample()).problem, QString());
        QCOMPARE(contentsOf(store.backupPath() + "/inside"), QByteArray("keep me"));
        QCOMPARE(contentsOf(m_path), SettingsFile::serialize(sample()));
    }

    void saveIntoUnusableFolderReportsPathAndReason()
    {
        const QString parent = m_dir->filePath(QStringLiteral("plain-file"));
        QVERIFY(writeFile(parent, "not a folder"));
        const QString path = parent + QStringLiteral("/tavel.cfg");
        SettingsStore store(path);
        QCOMPARE(store.load().problem, QString());
        const SettingsStore::SaveResult saved = store.save(sample());
        QVERIFY(!saved.ok());
        QVERIFY2(saved.problem.contains(path) && saved.problem.contains(reasonFor(ENOTDIR)),
            qPrintable(saved.problem));
        QCOMPARE(contentsOf(parent), QByteArray("not a folder"));
    }

    void backupThatCannotBeMadeLeavesDamagedFileInPlace()
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
        QVERIFY2(saved.problem.contains(m_path) && saved.problem.contains(store.backupPath()),
            qPrintable(saved.problem));
        QCOMPARE(contentsOf(m_path), damaged);
        QCOMPARE(contentsOf(store.backupPath() + QStringLiteral("/older")), QByteArray("older"));
    }
};

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
