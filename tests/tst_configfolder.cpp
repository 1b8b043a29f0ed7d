#include "config/configfolder.h"
#include "config/savedstate.h"
#include "config/settingsfile.h"
#include "config/settingsstore.h"
#include "filehelpers.h"
#include "readonlyfolder.h"

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
        const auto row
            = [](const char *name, ProgramFolder access, const char *xdg, const char *expected) {
                  QTest::newRow(name)
                      << access << QString::fromLatin1(xdg) << QString::fromLatin1(expected);
              };
        const char *program = "/media/stick/tavel";
        const char *home = "/home/anna/.config/tavel";
        row("writable program folder", ProgramFolder::Writable, "", program);
        row("writable, XDG_CONFIG_HOME set", ProgramFolder::Writable, "/home/anna/cfg", program);
        row("not writable, XDG_CONFIG_HOME set", ProgramFolder::NotWritable, "/home/anna/cfg",
            "/home/anna/cfg/tavel");
        row("trailing slash", ProgramFolder::NotWritable, "/srv/cfg/", "/srv/cfg/tavel");
        row("not writable, XDG_CONFIG_HOME unset", ProgramFolder::NotWritable, "", home);
        row("relative XDG_CONFIG_HOME", ProgramFolder::NotWritable, "cfg", home);
        row("dot-relative XDG_CONFIG_HOME", ProgramFolder::NotWritable, "./.config", home);
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
        QTest::newRow("read-only folder")
            << m_top.filePath(QStringLiteral("read-only")) << ProgramFolder::NotWritable;
    }

    void accessIsDecidedByTheSystem()
    {
        QFETCH(QString, folder);
        QFETCH(ProgramFolder, expected);
        QVERIFY(writeFile(m_top.filePath(QStringLiteral("plain-file")), "x"));
        std::optional<ReadOnlyFolder> readOnly;
        if (folder.endsWith(QLatin1String("read-only"))) {
            QVERIFY(QDir().mkpath(folder));
            readOnly.emplace(folder);
            if (!readOnly->isReadOnly())
                QSKIP(qPrintable(readOnly->errorString()));
        }
        QCOMPARE(ConfigFolder::accessOf(folder), expected);
    }

    // Made for the owner alone, as the XDG rules ask; an existing folder
    // keeps its permissions, and a file in the way is left for the save that
    // follows to report with its name and reason.
    void missingFoldersAreCreatedForTheOwnerAlone()
    {
        const QString parent = m_top.filePath(QStringLiteral("home/.config"));
        QString reason;
        QVERIFY2(ConfigFolder::createIfMissing(parent + QStringLiteral("/tavel"), reason),
            qPrintable(reason));
        QCOMPARE(QFileInfo(parent + QStringLiteral("/tavel")).permissions(), ownerOnly());
        QCOMPARE(QFileInfo(parent).permissions(), ownerOnly());

        const QString shared = m_top.filePath(QStringLiteral("shared"));
        QVERIFY(QDir().mkpath(shared));
        const QFile::Permissions open
            = ownerOnly() | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
        QVERIFY(QFile::setPermissions(shared, open));
        QVERIFY(ConfigFolder::createIfMissing(shared, reason));
        QCOMPARE(QFileInfo(shared).permissions(), open);

        const QString file = m_top.filePath(QStringLiteral("in-the-way"));
        QVERIFY(writeFile(file, "x"));
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
        QCOMPARE(entriesOf(folder), QStringList { QStringLiteral("tavel.cfg") });
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
