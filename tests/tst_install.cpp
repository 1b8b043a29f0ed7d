#include "app/buildinfo.h"
#include "app/commandline.h"
#include "config/configfolder.h"
#include "config/settingsstore.h"
#include "filehelpers.h"
#include "files/privatefolder.h"
#include "firstrunfile.h"
#include "ptydevice.h"
#include "readonlyfolder.h"
#include "toolrun.h"

#include <QFileInfo>
#include <QTemporaryDir>

// Where the program keeps its files and what its command line does, and the
// installed program: "cmake --install" into a temporary DESTDIR, as the
// package is made; what the desktop entries name, the validators on
// them, and the program run from a folder it cannot write, which keeps its
// settings in the user's configuration folder and writes nothing beside
// itself.

using ProgramFolder = ConfigFolder::ProgramFolder;

namespace {

// The help as the user must read it, written out here: a copy of the
// program's own text could not notice a change to it.
const char kHelp[] = "Aufruf: tavel [--help] [--version] [--sprache de|en]\n"
                     "\n"
                     "Tavel ist ein serielles Terminal: Text und Hex-Bytes über COM1 oder COM2\n"
                     "senden und alles Empfangene als Text und Hex sehen.\n"
                     "\n"
                     "Optionen:\n"
                     "  -h, --help        diese Hilfe zeigen und beenden\n"
                     "  -v, --version     die Version zeigen und beenden\n"
                     "  --sprache de|en   die Oberfläche auf Deutsch oder Englisch zeigen\n"
                     "\n"
                     "Umgebungsvariablen:\n"
                     "  TAVEL_COM1  Gerät für COM1\n"
                     "  TAVEL_COM2  Gerät für COM2\n"
                     "  Ohne sie gilt die Zuordnung aus „Datei → Geräte zuordnen …“; ohne diese\n"
                     "  stehen COM1 und COM2 für die ersten gefundenen seriellen Geräte.\n"
                     "  TAVEL_SPRACHE  de oder en, wie --sprache; die Option geht vor.\n"
                     "  Ohne beide ist die Oberfläche deutsch, wenn die Sprache des Systems\n"
                     "  Deutsch ist oder keine gesetzt ist (C, POSIX), sonst englisch.\n"
                     "\n"
                     "Einstellungen:\n"
                     "  tavel.cfg liegt im Ordner des Programms, wenn dieser beschreibbar ist und\n"
                     "  kein Programmordner des Systems wie /usr/bin; sonst in\n"
                     "  $XDG_CONFIG_HOME/tavel/ (ohne XDG_CONFIG_HOME in ~/.config/tavel/).\n"
                     "  Die Gerätezuordnung liegt daneben in tavel-geraete.cfg.\n";

// After the version, the licence, as GNU programs give it.
const char kLicence[] = "Lizenz: GPL-3.0-or-later <https://www.gnu.org/licenses/gpl-3.0.html>\n"
                        "Dies ist freie Software: Sie dürfen sie ändern und weitergeben.\n"
                        "Es gibt KEINE GARANTIE, soweit das Gesetz es zulässt.\n";

const QFile::Permissions kOwnerOnly = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
    | QFile::ReadUser | QFile::WriteUser | QFile::ExeUser;

} // namespace

class TestInstall : public QObject
{
    Q_OBJECT

public:
    static void initMain() { ReadOnlyFolder::enterPrivateMountNamespace(); }

private:
    QTemporaryDir m_root;
    QTemporaryDir m_top;

    QString installed(const QString &path) const { return m_root.filePath(path); }
    QString program() const { return installed(QStringLiteral("usr/bin/tavel")); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_root.isValid() && m_top.isValid());
        qInfo("read-only folders: %s", ReadOnlyFolder::method());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DESTDIR"), m_root.path());
        const ToolRun install = runTool(QStringLiteral(CMAKE_COMMAND),
            { QStringLiteral("--install"), QStringLiteral(TAVEL_BINARY_DIR),
                QStringLiteral("--prefix"), QStringLiteral("/usr") },
            environment);
        QVERIFY2(install.exitCode == 0, install.output + install.error);
    }

    // Nothing on either output: the program starts.
    void argumentsDecideWhatHappens_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("error");
        const QString version = QStringLiteral("Tavel %1\n").arg(QLatin1String(kTavelVersion))
            + QString::fromUtf8(kLicence);
        const QString help = QString::fromUtf8(kHelp);
        const auto unknown = [](const char *what) {
            return QStringLiteral("tavel: %1\nMehr dazu mit „tavel --help“.\n")
                .arg(QString::fromUtf8(what));
        };
        const auto row
            = [](const char *name, QStringList arguments, QString output, QString error = {}) {
                  QTest::newRow(name) << arguments << output << error;
              };
        row("none", {}, {});
        row("--version", { "--version" }, version);
        row("-v", { "-v" }, version);
        row("--help", { "--help" }, help);
        row("-h", { "-h" }, help);
        row("first of two wins", { "--help", "--version" }, help);
        row("unknown option", { "--port" }, {}, unknown("unbekannte Option „--port“"));
        row("unknown before --version", { "-x", "--version" }, {},
            unknown("unbekannte Option „-x“"));
        row("an argument", { "/dev/ttyUSB0" }, {}, unknown("unerwartetes Argument „/dev/ttyUSB0“"));
        // The toolkit's own options and their values are left for it.
        row("toolkit option, two dashes", { "--style", "Fusion", "-reverse" }, {});
        row("toolkit option with =", { "-style=Fusion" }, {});
        row("session restart", { "-session", "10d5a3b4c" }, {});
        row("toolkit value is not read as an option", { "-title", "--help" }, {});
        row("toolkit option without its value", { "-platform" }, {},
            unknown("unbekannte Option „-platform“"));
        row("toolkit option, then --version", { "-platform", "xcb", "--version" }, version);
    }
    void argumentsDecideWhatHappens()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, output);
        QFETCH(QString, error);
        const CommandLine::Outcome outcome = CommandLine::parse(arguments);
        const bool starts = output.isEmpty() && error.isEmpty();
        QCOMPARE(
            outcome.action, starts ? CommandLine::Action::StartProgram : CommandLine::Action::Exit);
        QCOMPARE(outcome.output, output);
        QCOMPARE(outcome.error, error);
        QCOMPARE(outcome.exitCode, error.isEmpty() ? 0 : 2);
    }

    // The installed program: no display is needed and no file is written, as
    // nothing beyond the answer happens. The version is the one set in one
    // place in the build.
    void installedProgramAnswersWithoutDisplayOrFiles_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<QByteArray>("error");
        QTest::newRow("--version")
            << QStringList { "--version" }
            << QByteArray("Tavel " TAVEL_PROJECT_VERSION "\n") + QByteArray(kLicence)
            << QByteArray();
        QTest::newRow("--help") << QStringList { "--help" } << QByteArray(kHelp) << QByteArray();
        QTest::newRow("unknown")
            << QStringList { "--bogus" } << QByteArray()
            << QByteArray("tavel: unbekannte Option „--bogus“\nMehr dazu mit „tavel --help“.\n");
    }
    void installedProgramAnswersWithoutDisplayOrFiles()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, output);
        QFETCH(QByteArray, error);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        // A platform that cannot start: were a QApplication made, it would abort.
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        environment.insert(QStringLiteral("TAVEL_COM1"), m_top.filePath(QStringLiteral("none")));
        const ToolRun run = runTool(program(), arguments, environment);
        QCOMPARE(run.output, output);
        QCOMPARE(run.error, error);
        QCOMPARE(run.exitCode, error.isEmpty() ? 0 : 2);
        QCOMPARE(entriesOf(QFileInfo(program()).path()), QStringList { QStringLiteral("tavel") });
    }

    // What ties the installed entries to the program: the command, the icon's
    // name and the version. Which files are installed, the package test says.
    void installedEntriesNameTheProgram()
    {
        const QStringList entry = QString::fromUtf8(
            contentsOf(installed(QStringLiteral("usr/share/applications/de.tavel.Tavel.desktop"))))
                                      .split(QLatin1Char('\n'));
        QVERIFY(entry.contains(QStringLiteral("Exec=tavel")));
        QVERIFY(entry.contains(QStringLiteral("Icon=de.tavel.Tavel")));
        QVERIFY(
            contentsOf(installed(QStringLiteral("usr/share/metainfo/de.tavel.Tavel.metainfo.xml")))
                .contains("<release version=\"" TAVEL_PROJECT_VERSION "\""));
    }

    // The manual page in both languages: man(1) shows the German one in a
    // German locale and the English one, in man1, in every other. Each has
    // its own headings, both the version and the language option.
    void installedManualPagesAreGermanAndEnglish_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("heading");
        QTest::addColumn<QByteArray>("otherHeading");
        QTest::newRow("English in man1")
            << QStringLiteral("usr/share/man/man1/tavel.1.gz") << QByteArray(".SH SYNOPSIS\n")
            << QByteArray(".SH \\(:UBERSICHT\n");
        QTest::newRow("German in de/man1")
            << QStringLiteral("usr/share/man/de/man1/tavel.1.gz")
            << QByteArray(".SH \\(:UBERSICHT\n") << QByteArray(".SH SYNOPSIS\n");
    }
    void installedManualPagesAreGermanAndEnglish()
    {
        QFETCH(QString, path);
        QFETCH(QByteArray, heading);
        QFETCH(QByteArray, otherHeading);
        QVERIFY2(QFileInfo::exists(installed(path)), qPrintable(path));
        const ToolRun page
            = runTool(QStringLiteral("gzip"), { QStringLiteral("-dc"), installed(path) });
        QVERIFY2(page.exitCode == 0, page.error);
        QVERIFY2(page.output.startsWith(".TH TAVEL 1 "), page.output.left(80));
        QVERIFY(page.output.contains("\"Tavel " TAVEL_PROJECT_VERSION "\""));
        QVERIFY(page.output.contains(heading));
        QVERIFY(!page.output.contains(otherHeading));
        QVERIFY(page.output.contains("\\-\\-sprache"));
        QVERIFY(page.output.contains("TAVEL_SPRACHE"));
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
        const ToolRun check = runTool(tool, arguments);
        QVERIFY2(check.exitCode == 0,
            check.output + check.error
                + "\n(desktop-file-utils and appstream are installed by ./test)");
        // desktop-file-validate reports hints and warnings with exit code 0.
        if (tool == QStringLiteral("desktop-file-validate"))
            QVERIFY2(check.output.isEmpty() && check.error.isEmpty(), check.output + check.error);
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
        const QString home = m_top.filePath(QString::fromLatin1(QTest::currentDataTag()));
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
        QCOMPARE(entriesOf(folder),
            QStringList({ QStringLiteral("tavel-fenster.cfg"), QStringLiteral("tavel.cfg") }));
        // The XDG rules ask for a folder only its owner can enter.
        QCOMPARE(QFileInfo(folder).permissions(), kOwnerOnly);
        QCOMPARE(entriesOf(programFolder), QStringList { QStringLiteral("tavel") });
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
    }
    void accessIsDecidedByTheSystem()
    {
        QFETCH(QString, folder);
        QFETCH(ProgramFolder, expected);
        QVERIFY(writeFile(m_top.filePath(QStringLiteral("plain-file")), "x"));
        QCOMPARE(ConfigFolder::accessOf(folder), expected);
    }

    // The first save makes the folder and its missing parents for the owner
    // alone, as the XDG rules ask, and nothing before it does; an existing
    // folder keeps its permissions.
    void missingFoldersAreCreatedForTheOwnerAlone()
    {
        const QString parent = m_top.filePath(QStringLiteral("home/.config"));
        SettingsStore store(
            ConfigFolder(parent + QStringLiteral("/tavel")).filePath(QStringLiteral("tavel.cfg")));
        QCOMPARE(store.load().problem, QString());
        QVERIFY(!QFileInfo::exists(parent));
        QCOMPARE(store.save(SavedState::defaults()).problem, QString());
        QCOMPARE(contentsOf(parent + QStringLiteral("/tavel/tavel.cfg")), firstRunSettingsFile());
        QCOMPARE(QFileInfo(parent + QStringLiteral("/tavel")).permissions(), kOwnerOnly);
        QCOMPARE(QFileInfo(parent).permissions(), kOwnerOnly);

        QString reason;
        const QString shared = m_top.filePath(QStringLiteral("shared"));
        QVERIFY(QDir().mkpath(shared));
        const QFile::Permissions open
            = kOwnerOnly | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
        QVERIFY(QFile::setPermissions(shared, open));
        QVERIFY(PrivateFolder::createIfMissing(shared, reason));
        QCOMPARE(QFileInfo(shared).permissions(), open);
    }

    void folderThatCannotBeMadeIsASaveFailure()
    {
        const QString home = m_top.filePath(QStringLiteral("read-only-home"));
        QVERIFY(QDir().mkpath(home));
        ReadOnlyFolder readOnly(home);
        QVERIFY2(readOnly.isReadOnly(), qPrintable(readOnly.errorString()));
        const QString path = home + QStringLiteral("/.config/tavel/tavel.cfg");
        QString reason;
        QVERIFY(!PrivateFolder::createIfMissing(QFileInfo(path).absolutePath(), reason));
        const int expected = ::geteuid() == 0 ? EROFS : EACCES;
        QCOMPARE(reason, expectedReason(expected));

        SettingsStore store(path);
        QCOMPARE(store.load().problem, QString());
        const SettingsStore::SaveResult saved = store.save(SavedState::defaults());
        QVERIFY(!saved.ok());
        QVERIFY2(saved.problem.contains(path) && saved.problem.contains(expectedReason(expected)),
            qPrintable(saved.problem));
    }
};

QTEST_GUILESS_MAIN(TestInstall)
#include "tst_install.moc"
