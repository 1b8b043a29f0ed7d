#include "filehelpers.h"
#include "firstrunfile.h"
#include "ptydevice.h"
#include "readonlyfolder.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <csignal>

// "cmake --install" into a temporary DESTDIR, as the package is made: the
// files that land there, the desktop validators on them, and the installed
// program run from a folder it cannot write, which keeps its settings in the
// user's configuration folder and writes nothing beside itself.

namespace {

struct Run
{
    int exitCode = -1;
    QByteArray output;
    QByteArray error;
};

// Runs a tool to its end; a tool that is missing says which package has it.
Run runTool(const QString &program, const QStringList &arguments,
    const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForStarted(10000))
        return { -1, {},
            program.toLocal8Bit() + " did not start: " + process.errorString().toLocal8Bit() };
    process.waitForFinished(60000);
    return { process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
        process.readAllStandardOutput(), process.readAllStandardError() };
}

QStringList filesBelow(const QString &root)
{
    QStringList files;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(root).relativeFilePath(it.next());
    std::sort(files.begin(), files.end());
    return files;
}

QStringList expectedFiles()
{
    QStringList files = QString::fromUtf8(contentsOf(QStringLiteral(TAVEL_INSTALLED_FILES)))
                            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace

class TestInstall : public QObject
{
    Q_OBJECT

public:
    static void initMain() { ReadOnlyFolder::enterPrivateMountNamespace(); }

private:
    QTemporaryDir m_root;
    QTemporaryDir m_homes;

    QString installed(const QString &path) const { return m_root.filePath(path); }
    QString program() const { return installed(QStringLiteral("usr/bin/tavel")); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_root.isValid() && m_homes.isValid());
        qInfo("read-only program folder: %s", ReadOnlyFolder::method());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DESTDIR"), m_root.path());
        const Run install = runTool(QStringLiteral(CMAKE_COMMAND),
            { QStringLiteral("--install"), QStringLiteral(TAVEL_BINARY_DIR),
                QStringLiteral("--prefix"), QStringLiteral("/usr") },
            environment);
        QVERIFY2(install.exitCode == 0, install.output + install.error);
    }

    void installedFilesAreTheExpectedOnes()
    {
        QCOMPARE(filesBelow(m_root.path()), expectedFiles());
    }

    void installedDataPassesTheValidators_data()
    {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("desktop-file-validate")
            << QStringLiteral("desktop-file-validate")
            << QStringList { installed(
                   QStringLiteral("usr/share/applications/de.tavel.Tavel.desktop")) };
        QTest::newRow("appstreamcli validate")
            << QStringLiteral("appstreamcli")
            << QStringList { QStringLiteral("validate"), QStringLiteral("--no-net"),
                   installed(QStringLiteral("usr/share/metainfo/de.tavel.Tavel.metainfo.xml")) };
        // The metainfo file together with the desktop entry it names.
        QTest::newRow("appstreamcli validate-tree")
            << QStringLiteral("appstreamcli")
            << QStringList { QStringLiteral("validate-tree"), QStringLiteral("--no-net"),
                   installed(QStringLiteral("usr")) };
    }

    void installedDataPassesTheValidators()
    {
        QFETCH(QString, tool);
        QFETCH(QStringList, arguments);
        const Run check = runTool(tool, arguments);
        QVERIFY2(check.exitCode == 0,
            check.output + check.error
                + "\n(desktop-file-utils and appstream are installed by ./test)");
        // desktop-file-validate reports hints and warnings with exit code 0.
        if (tool == QStringLiteral("desktop-file-validate"))
            QVERIFY2(check.output.isEmpty() && check.error.isEmpty(), check.output + check.error);
    }

    void desktopEntryNamesTheProgramAndItsIcon_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("Name") << QByteArray("Name=Tavel");
        QTest::newRow("GenericName") << QByteArray("GenericName=Serielles Terminal");
        QTest::newRow("Exec") << QByteArray("Exec=tavel");
        QTest::newRow("Icon") << QByteArray("Icon=de.tavel.Tavel");
        QTest::newRow("Terminal") << QByteArray("Terminal=false");
        QTest::newRow("Categories") << QByteArray("Categories=Qt;Utility;Electronics;");
    }

    void desktopEntryNamesTheProgramAndItsIcon()
    {
        QFETCH(QByteArray, line);
        const QByteArray entry = contentsOf(
            installed(QStringLiteral("usr/share/applications/de.tavel.Tavel.desktop")));
        QVERIFY2(entry.split('\n').contains(line), entry);
    }

    void metainfoCarriesTheProjectVersion()
    {
        const QByteArray metainfo = contentsOf(
            installed(QStringLiteral("usr/share/metainfo/de.tavel.Tavel.metainfo.xml")));
        QVERIFY(metainfo.contains("<release version=\"" TAVEL_PROJECT_VERSION "\""));
        QVERIFY(metainfo.contains("<id>de.tavel.Tavel</id>"));
        QVERIFY(metainfo.contains(
            "<launchable type=\"desktop-id\">de.tavel.Tavel.desktop</launchable>"));
    }

    void installedProgramTellsItsVersion()
    {
        const Run version = runTool(program(), { QStringLiteral("--version") });
        QCOMPARE(version.exitCode, 0);
        QCOMPARE(version.output, QByteArray("Tavel " TAVEL_PROJECT_VERSION "\n"));
    }

    void installedProgramKeepsSettingsInUserFolder_data()
    {
        QTest::addColumn<bool>("setConfigHome");
        QTest::addColumn<QString>("expectedFolder");
        QTest::newRow("XDG_CONFIG_HOME unset") << false << QStringLiteral(".config/tavel");
        QTest::newRow("XDG_CONFIG_HOME set") << true << QStringLiteral("xdg/tavel");
    }

    void installedProgramKeepsSettingsInUserFolder()
    {
        QFETCH(bool, setConfigHome);
        QFETCH(QString, expectedFolder);
        const QString home = m_homes.filePath(QString::fromLatin1(QTest::currentDataTag()));
        QVERIFY(QDir().mkpath(home));
        const QString programFolder = QFileInfo(program()).absolutePath();
        ReadOnlyFolder readOnly(programFolder);
        QVERIFY2(readOnly.isReadOnly(), qPrintable(readOnly.errorString()));
        PtyDevice com1;
        PtyDevice com2;
        QVERIFY(com1.isOpen() && com2.isOpen());

        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), home);
        environment.remove(QStringLiteral("XDG_CONFIG_HOME"));
        if (setConfigHome)
            environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/xdg"));
        environment.insert(QStringLiteral("TAVEL_COM1"), com1.slavePath());
        environment.insert(QStringLiteral("TAVEL_COM2"), com2.slavePath());
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        QProcess tavel;
        tavel.setProcessEnvironment(environment);
        tavel.setProcessChannelMode(QProcess::ForwardedChannels);
        tavel.start(program(), {});
        QVERIFY(tavel.waitForStarted(10000));
        // The program closes once start-up is over, whenever the signal comes.
        QDeadlineTimer deadline(20000);
        while (!catchesSigterm(tavel.processId()) && !deadline.hasExpired())
            QTest::qWait(20);
        ::kill(pid_t(tavel.processId()), SIGTERM);
        QVERIFY(tavel.waitForFinished(20000));
        QCOMPARE(tavel.exitStatus(), QProcess::NormalExit);
        QCOMPARE(tavel.exitCode(), 0);

        const QString folder = home + QLatin1Char('/') + expectedFolder;
        QCOMPARE(contentsOf(folder + QStringLiteral("/tavel.cfg")), firstRunSettingsFile());
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList { QStringLiteral("tavel.cfg") });
        // The XDG rules ask for a folder only its owner can enter.
        const QFile::Permissions userBits = QFile::ReadUser | QFile::WriteUser | QFile::ExeUser;
        QCOMPARE(QFileInfo(folder).permissions() & ~userBits,
            QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(
            QDir(programFolder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList { QStringLiteral("tavel") });
    }
};

QTEST_GUILESS_MAIN(TestInstall)
#include "tst_install.moc"
