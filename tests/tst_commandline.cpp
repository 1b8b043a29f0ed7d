#include "app/buildinfo.h"
#include "app/commandline.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using Action = CommandLine::Action;

class TestCommandLine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void argumentsDecideWhatHappens_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<Action>("action");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("error");
        QTest::addColumn<int>("exitCode");

        const QString version = QStringLiteral("Tavel %1\n").arg(QLatin1String(kTavelVersion));
        const QString help = CommandLine::helpText();
        const QString hint = QStringLiteral("Mehr dazu mit „tavel --help“.\n");
        QTest::newRow("none") << QStringList() << Action::StartProgram << QString() << QString()
                              << 0;
        QTest::newRow("--version")
            << QStringList { "--version" } << Action::Exit << version << QString() << 0;
        QTest::newRow("-v") << QStringList { "-v" } << Action::Exit << version << QString() << 0;
        QTest::newRow("--help") << QStringList { "--help" } << Action::Exit << help << QString()
                                << 0;
        QTest::newRow("-h") << QStringList { "-h" } << Action::Exit << help << QString() << 0;
        QTest::newRow("first of two wins")
            << QStringList { "--help", "--version" } << Action::Exit << help << QString() << 0;
        QTest::newRow("unknown option")
            << QStringList { "--port" } << Action::Exit << QString()
            << QStringLiteral("tavel: unbekannte Option „--port“\n") + hint << 2;
        QTest::newRow("unknown before --version")
            << QStringList { "-x", "--version" } << Action::Exit << QString()
            << QStringLiteral("tavel: unbekannte Option „-x“\n") + hint << 2;
        QTest::newRow("an argument")
            << QStringList { "/dev/ttyUSB0" } << Action::Exit << QString()
            << QStringLiteral("tavel: unerwartetes Argument „/dev/ttyUSB0“\n") + hint << 2;
        QTest::newRow("toolkit option with value")
            << QStringList { "-platform", "offscreen" } << Action::StartProgram << QString()
            << QString() << 0;
        QTest::newRow("toolkit option, two dashes")
            << QStringList { "--style", "Fusion", "-reverse" } << Action::StartProgram << QString()
            << QString() << 0;
        QTest::newRow("toolkit option with =")
            << QStringList { "-style=Fusion" } << Action::StartProgram << QString() << QString()
            << 0;
        QTest::newRow("session restart") << QStringList { "-session", "10d5a3b4c" }
                                         << Action::StartProgram << QString() << QString() << 0;
        QTest::newRow("toolkit value is not read as an option")
            << QStringList { "-title", "--help" } << Action::StartProgram << QString() << QString()
            << 0;
        QTest::newRow("toolkit option without its value")
            << QStringList { "-platform" } << Action::Exit << QString()
            << QStringLiteral("tavel: unbekannte Option „-platform“\n") + hint << 2;
        QTest::newRow("toolkit option, then --version")
            << QStringList { "-platform", "xcb", "--version" } << Action::Exit << version
            << QString() << 0;
    }

    void argumentsDecideWhatHappens()
    {
        QFETCH(QStringList, arguments);
        QFETCH(Action, action);
        QFETCH(QString, output);
        QFETCH(QString, error);
        QFETCH(int, exitCode);
        const CommandLine::Outcome outcome = CommandLine::parse(arguments);
        QCOMPARE(outcome.action, action);
        QCOMPARE(outcome.output, output);
        QCOMPARE(outcome.error, error);
        QCOMPARE(outcome.exitCode, exitCode);
    }

    void versionComesFromTheProject()
    {
        QCOMPARE(QLatin1String(kTavelVersion), QLatin1String(TAVEL_PROJECT_VERSION));
        QCOMPARE(CommandLine::versionText(), QStringLiteral("Tavel " TAVEL_PROJECT_VERSION "\n"));
    }

    void helpNamesOptionsVariablesAndSettingsFolder_data()
    {
        QTest::addColumn<QString>("part");
        QTest::newRow("usage") << QStringLiteral("Aufruf: tavel [--help] [--version]\n");
        QTest::newRow("--help") << QStringLiteral("-h, --help");
        QTest::newRow("--version") << QStringLiteral("-v, --version");
        QTest::newRow("TAVEL_COM1") << QStringLiteral("TAVEL_COM1  Gerät für COM1\n");
        QTest::newRow("TAVEL_COM2") << QStringLiteral("TAVEL_COM2  Gerät für COM2\n");
        QTest::newRow("without them")
            << QStringLiteral("Ohne sie gilt die Zuordnung aus „Datei → Geräte zuordnen …“");
        QTest::newRow("assignment file") << QStringLiteral("tavel-geraete.cfg");
        QTest::newRow("program folder")
            << QStringLiteral("tavel.cfg liegt im Ordner des Programms");
        QTest::newRow("XDG folder") << QStringLiteral("$XDG_CONFIG_HOME/tavel/");
        QTest::newRow("default folder") << QStringLiteral("~/.config/tavel/");
    }

    void helpNamesOptionsVariablesAndSettingsFolder()
    {
        QFETCH(QString, part);
        QVERIFY2(CommandLine::helpText().contains(part), qPrintable(CommandLine::helpText()));
    }

    // The real program: no display is needed and no file is written, as
    // nothing beyond the answer happens.
    void realProgramAnswersWithoutDisplayOrFiles_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<QByteArray>("error");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("--version")
            << QStringList { "--version" } << QByteArray("Tavel " TAVEL_PROJECT_VERSION "\n")
            << QByteArray() << 0;
        QTest::newRow("--help") << QStringList { "--help" } << CommandLine::helpText().toUtf8()
                                << QByteArray() << 0;
        QTest::newRow("unknown")
            << QStringList { "--bogus" } << QByteArray()
            << QByteArray("tavel: unbekannte Option „--bogus“\nMehr dazu mit „tavel --help“.\n")
            << 2;
    }

    void realProgramAnswersWithoutDisplayOrFiles()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, output);
        QFETCH(QByteArray, error);
        QFETCH(int, exitCode);
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
        QCOMPARE(tavel.exitCode(), exitCode);
        QCOMPARE(
            QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList { QStringLiteral("tavel") });
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
