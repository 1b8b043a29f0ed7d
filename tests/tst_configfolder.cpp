#include "config/configfolder.h"
#include "config/savedstate.h"
#include "config/settingsfile.h"
#include "config/settingsstore.h"
#include "filehelpers.h"
#include "readonlyfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>

using ProgramFolder = ConfigFolder::ProgramFolder;

namespace {

QFile::Permissions ownerOnly()
{
    return QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadUser
        | QFile::WriteUser | QFile::ExeUser;
}

} // namespace

class TestConfigFolder : public QObject
{
    Q_OBJECT

public:
    static void initMain() { ReadOnlyFolder::enterPrivateMountNamespace(); }

private:
    QTemporaryDir m_top;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_top.isValid());
        qInfo("read-only folders: %s", ReadOnlyFolder::method());
    }

    void folderFollowsProgramFolderAndEnvironment_data()
    {
        QTest::addColumn<ProgramFolder>("access");
        QTest::addColumn<QString>("xdgConfigHome");
        QTest::addColumn<QString>("expected");

        const QString program = QStringLiteral("/media/stick/tavel");
        QTest::newRow("writable program folder") << ProgramFolder::Writable << QString() << program;
        QTest::newRow("writable program folder, XDG_CONFIG_HOME set")
            << ProgramFolder::Writable << QStringLiteral("/home/anna/cfg") << program;
        QTest::newRow("not writable, XDG_CONFIG_HOME set")
            << ProgramFolder::NotWritable << QStringLiteral("/home/anna/cfg")
            << QStringLiteral("/home/anna/cfg/tavel");
        QTest::newRow("not writable, XDG_CONFIG_HOME with trailing slash")
            << ProgramFolder::NotWritable << QStringLiteral("/srv/cfg/")
            << QStringLiteral("/srv/cfg/tavel");
        QTest::newRow("not writable, XDG_CONFIG_HOME unset or empty")
            << ProgramFolder::NotWritable << QString()
            << QStringLiteral("/home/anna/.config/tavel");
        QTest::newRow("not writable, XDG_CONFIG_HOME relative")
            << ProgramFolder::NotWritable << QStringLiteral("cfg")
            << QStringLiteral("/home/anna/.config/tavel");
        QTest::newRow("not writable, XDG_CONFIG_HOME dot-relative")
            << ProgramFolder::NotWritable << QStringLiteral("./.config")
            << QStringLiteral("/home/anna/.config/tavel");
    }

    void folderFollowsProgramFolderAndEnvironment()
    {
        QFETCH(ProgramFolder, access);
        QFETCH(QString, xdgConfigHome);
        QFETCH(QString, expected);
        const ConfigFolder::Environment environment { xdgConfigHome, QStringLiteral("/home/anna") };
        QCOMPARE(ConfigFolder::choose(QStringLiteral("/media/stick/tavel"), access, environment),
            expected);
    }

    void environmentTreatsUnsetAndEmptyAlike_data()
    {
        QTest::addColumn<bool>("set");
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("unset") << false << QByteArray() << QString();
        QTest::newRow("empty") << true << QByteArray() << QString();
        QTest::newRow("absolute") << true << QByteArray("/tmp/x") << QStringLiteral("/tmp/x");
    }

    void environmentTreatsUnsetAndEmptyAlike()
    {
        QFETCH(bool, set);
        QFETCH(QByteArray, value);
        QFETCH(QString, expected);
        const QByteArray old = qgetenv("XDG_CONFIG_HOME");
        const bool wasSet = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
        if (set)
            qputenv("XDG_CONFIG_HOME", value);
        else
            qunsetenv("XDG_CONFIG_HOME");
        const ConfigFolder::Environment environment = ConfigFolder::Environment::current();
        if (wasSet)
            qputenv("XDG_CONFIG_HOME", old);
        else
            qunsetenv("XDG_CONFIG_HOME");
        QCOMPARE(environment.xdgConfigHome, expected);
        QCOMPARE(environment.home, QDir::homePath());
    }

    void accessIsDecidedByTheSystem_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<ProgramFolder>("expected");
        QTest::newRow("own folder") << m_top.path() << ProgramFolder::Writable;
        QTest::newRow("missing folder")
            << m_top.filePath(QStringLiteral("missing")) << ProgramFolder::NotWritable;
        QTest::newRow("a file, not a folder")
            << m_top.filePath(QStringLiteral("plain-file")) << ProgramFolder::NotWritable;
        // Root may write these, yet a user's file there is a stray.
        QTest::newRow("/usr/bin") << QStringLiteral("/usr/bin") << ProgramFolder::NotWritable;
        QTest::newRow("/usr/local/bin/")
            << QStringLiteral("/usr/local/bin/") << ProgramFolder::NotWritable;
    }

    void accessIsDecidedByTheSystem()
    {
        QFETCH(QString, folder);
        QFETCH(ProgramFolder, expected);
        QVERIFY(writeFile(m_top.filePath(QStringLiteral("plain-file")), "x"));
        QCOMPARE(ConfigFolder::accessOf(folder), expected);
    }

    void readOnlyFolderIsNotWritable()
    {
        const QString folder = m_top.filePath(QStringLiteral("read-only"));
        QVERIFY(QDir().mkpath(folder));
        ReadOnlyFolder readOnly(folder);
        if (!readOnly.isReadOnly())
            QSKIP(qPrintable(readOnly.errorString()));
        QCOMPARE(ConfigFolder::accessOf(folder), ProgramFolder::NotWritable);
    }

    void thisProgramsFolderIsUsedWhenWritable()
    {
        if (ConfigFolder::accessOf(QCoreApplication::applicationDirPath())
            != ProgramFolder::Writable)
            QSKIP("the test's own folder is not writable for this user");
        QCOMPARE(ConfigFolder::forThisProgram().path(), QCoreApplication::applicationDirPath());
        QCOMPARE(ConfigFolder::forThisProgram().filePath(QStringLiteral("tavel.cfg")),
            QCoreApplication::applicationDirPath() + QStringLiteral("/tavel.cfg"));
    }

    void missingFoldersAreCreatedForTheOwnerAlone()
    {
        const QString parent = m_top.filePath(QStringLiteral("home/.config"));
        const QString folder = parent + QStringLiteral("/tavel");
        QString reason;
        QVERIFY2(ConfigFolder::createIfMissing(folder, reason), qPrintable(reason));
        QVERIFY(QFileInfo(folder).isDir());
        QCOMPARE(QFileInfo(folder).permissions(), ownerOnly());
        QCOMPARE(QFileInfo(parent).permissions(), ownerOnly());
    }

    void existingFolderKeepsItsPermissions()
    {
        const QString folder = m_top.filePath(QStringLiteral("shared"));
        QVERIFY(QDir().mkpath(folder));
        const QFile::Permissions open
            = ownerOnly() | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
        QVERIFY(QFile::setPermissions(folder, open));
        QString reason;
        QVERIFY(ConfigFolder::createIfMissing(folder, reason));
        QCOMPARE(QFileInfo(folder).permissions(), open);
    }

    // The save that follows names the file and why it failed.
    void fileInTheWayIsLeftForTheSaveToReport()
    {
        const QString file = m_top.filePath(QStringLiteral("in-the-way"));
        QVERIFY(writeFile(file, "x"));
        QString reason;
        QVERIFY(ConfigFolder::createIfMissing(file, reason));
        QVERIFY(ConfigFolder::createIfMissing(file + QStringLiteral("/tavel"), reason));
        QCOMPARE(contentsOf(file), QByteArray("x"));
    }

    void firstSaveCreatesTheFolderWithTheSameBytes()
    {
        const QString folder = m_top.filePath(QStringLiteral("first-save/.config/tavel"));
        SettingsStore store(ConfigFolder(folder).filePath(QStringLiteral("tavel.cfg")));
        QCOMPARE(store.load().problem, QString());
        QVERIFY(!QFileInfo::exists(folder));
        QCOMPARE(store.save(SavedState::defaults()).problem, QString());
        QCOMPARE(contentsOf(folder + QStringLiteral("/tavel.cfg")),
            SettingsFile::serialize(SavedState::defaults()));
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList { QStringLiteral("tavel.cfg") });
    }

    void folderThatCannotBeMadeIsASaveFailure()
    {
        const QString home = m_top.filePath(QStringLiteral("read-only-home"));
        QVERIFY(QDir().mkpath(home));
        ReadOnlyFolder readOnly(home);
        if (!readOnly.isReadOnly())
            QSKIP(qPrintable(readOnly.errorString()));
        const QString path = home + QStringLiteral("/.config/tavel/tavel.cfg");

        QString reason;
        QVERIFY(!ConfigFolder::createIfMissing(QFileInfo(path).absolutePath(), reason));
        const int expected = ::geteuid() == 0 ? EROFS : EACCES;
        QCOMPARE(reason, reasonFor(expected));

        SettingsStore store(path);
        QCOMPARE(store.load().problem, QString());
        const SettingsStore::SaveResult saved = store.save(SavedState::defaults());
        QVERIFY(!saved.ok());
        QVERIFY2(saved.problem.contains(path), qPrintable(saved.problem));
        QVERIFY2(saved.problem.contains(reasonFor(expected)), qPrintable(saved.problem));
    }
};

QTEST_GUILESS_MAIN(TestConfigFolder)
#include "tst_configfolder.moc"
