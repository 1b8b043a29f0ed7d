#include "app/buildinfo.h"
#include "app/commandline.h"
#include "filehelpers.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using Action = CommandLine::Action;

class TestCommandLine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Nothing on either output: the program starts.
    void argumentsDecideWhatHappens_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("error");
        const QString version = QStringLiteral("Tavel %1\n").arg(QLatin1String(kTavelVersion));
        const QString help = CommandLine::helpText();
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
        row("toolkit option with value", { "-platform", "offscreen" }, {});
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
        QCOMPARE(outcome.action, starts ? Action::StartProgram : Action::Exit);
        QCOMPARE(outcome.output, output);
        QCOMPARE(outcome.error, error);
        QCOMPARE(outcome.exitCode, error.isEmpty() ? 0 : 2);
    }

    void versionComesFromTheProjectAndHelpNamesWhatMatters()
    {
        QCOMPARE(QLatin1String(kTavelVersion), QLatin1String(TAVEL_PROJECT_VERSION));
        QCOMPARE(CommandLine::versionText(), QStringLiteral("Tavel " TAVEL_PROJECT_VERSION "\n"));
        for (const char *part : { "Aufruf: tavel [--help] [--version]\n", "-h, --help",
                 "-v, --version", "TAVEL_COM1  Gerät für COM1\n", "TAVEL_COM2  Gerät für COM2\n",
                 "Ohne sie gilt die Zuordnung aus „Datei → Geräte zuordnen …“", "tavel-geraete.cfg",
                 "tavel.cfg liegt im Ordner des Programms", "$XDG_CONFIG_HOME/tavel/",
                 "~/.config/tavel/" })
            QVERIFY2(CommandLine::helpText().contains(QString::fromUtf8(part)), part);
    }

    // The real program: no display is needed and no file is written, as
    // nothing beyond the answer happens.
    void realProgramAnswersWithoutDisplayOrFiles_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<QByteArray>("error");
        QTest::newRow("--version")
            << QStringList { "--version" } << QByteArray("Tavel " TAVEL_PROJECT_VERSION "\n")
            << QByteArray();
        QTest::newRow("--help") << QStringList { "--help" } << CommandLine::helpText().toUtf8()
                                << QByteArray();
        QTest::newRow("unknown")
            << QStringList { "--bogus" } << QByteArray()
            << QByteArray("tavel: unbekannte Option „--bogus“\nMehr dazu mit „tavel --help“.\n");
    }
    void realProgramAnswersWithoutDisplayOrFiles()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, output);
        QFETCH(QByteArray, error);
        QTemporaryDir folder;
        const QString program = folder.filePath(QStringLiteral("tavel"));
        QVERIFY(QFile::copy(QStringLiteral(TAVEL_EXECUTABLE), program));
        QProcess tavel;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        // A platform that cannot start: were a QApplication made, it would abort.
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        environment.insert(QStringLiteral("TAVEL_COM1"), folder.filePath(QStringLiteral("none")));
        tavel.setProcessEnvironment(environment);
        tavel.start(program, arguments);
        QVERIFY(tavel.waitForFinished(20000));
        QCOMPARE(tavel.exitStatus(), QProcess::NormalExit);
        QCOMPARE(tavel.readAllStandardOutput(), output);
        QCOMPARE(tavel.readAllStandardError(), error);
        QCOMPARE(tavel.exitCode(), error.isEmpty() ? 0 : 2);
        QCOMPARE(entriesOf(folder.path()), QStringList { QStringLiteral("tavel") });
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
