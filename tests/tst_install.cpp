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

    // What ties the entries to the program: the command, the icon's name and
    // the version set in one place in the build.
    void entriesNameTheProgramItsIconAndVersion()
    {
        const QStringList entry = QString::fromUtf8(
            contentsOf(installed(QStringLiteral("usr/share/applications/de.tavel.Tavel.desktop"))))
                                      .split(QLatin1Char('\n'));
        QVERIFY(entry.contains(QStringLiteral("Exec=tavel")));
        QVERIFY(entry.contains(QStringLiteral("Icon=de.tavel.Tavel")));
        QVERIFY(filesBelow(m_root.path())
                    .contains(QStringLiteral(
                        "usr/share/icons/hicolor/scalable/apps/de.tavel.Tavel.svg")));
        QVERIFY(
            contentsOf(installed(QStringLiteral("usr/share/metainfo/de.tavel.Tavel.metainfo.xml")))
                .contains("<release version=\"" TAVEL_PROJECT_VERSION "\""));
        const Run version = runTool(program(), { QStringLiteral("--version") });
        QCOMPARE(version.output, QByteArray("Tavel " TAVEL_PROJECT_VERSION "\n"));
    }

    void installedProgramKeepsSettingsInUserFolder_data()
    {
        QTest::addColumn<bool>("setConfigHome");
        QTest::addColumn<QString>("expectedFolder");
        QTest::newRow("XDG_CONFIG_HOME unset") << false << QStringLiteral(".config/tavel");
        // With COM2 missing, start-up waits on the "only COM1" box; the
        // signal dismisses it and the program still ends the orderly way.
        QTest::newRow("XDG_CONFIG_HOME set, COM2 missing") << true << QStringLiteral("xdg/tavel");
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
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), home);
        environment.remove(QStringLiteral("XDG_CONFIG_HOME"));
        if (setConfigHome)
            environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/xdg"));
        QVERIFY(runUntilAskedToEnd(program(), environment, com1.slavePath(),
            setConfigHome ? QStringLiteral("/dev/tavel-none") : com2.slavePath(),
            setConfigHome ? 1000 : 0));

        const QString folder = home + QLatin1Char('/') + expectedFolder;
        QCOMPARE(contentsOf(folder + QStringLiteral("/tavel.cfg")), firstRunSettingsFile());
        QCOMPARE(entriesOf(folder), QStringList { QStringLiteral("tavel.cfg") });
        // The XDG rules ask for a folder only its owner can enter.
        const QFile::Permissions userBits = QFile::ReadUser | QFile::WriteUser | QFile::ExeUser;
        QCOMPARE(QFileInfo(folder).permissions() & ~userBits,
            QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(entriesOf(programFolder), QStringList { QStringLiteral("tavel") });
    }
};

QTEST_GUILESS_MAIN(TestInstall)
#include "tst_install.moc"
