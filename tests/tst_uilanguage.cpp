#include "app/commandline.h"
#include "app/uilanguage.h"
#include "filehelpers.h"
#include "ptydevice.h"
#include "toolrun.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using Language = UiLanguage::Language;

namespace {

// The real program with `arguments` and `variables` on top of a system whose
// languages the test sets itself, not the machine's.
ToolRun runTavel(const QStringList &arguments, const QStringList &variables)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : { "LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG", "TAVEL_SPRACHE" })
        environment.remove(QLatin1String(name));
    for (const QString &variable : variables)
        environment.insert(
            variable.section(QLatin1Char('='), 0, 0), variable.section(QLatin1Char('='), 1));
    return runTool(QStringLiteral(TAVEL_EXECUTABLE), arguments, environment);
}

} // namespace

class TestUiLanguage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void systemLanguagesChoose_data()
    {
        QTest::addColumn<QStringList>("uiLanguages");
        QTest::addColumn<Language>("expected");
        QTest::newRow("C locale") << QStringList { "C" } << Language::German;
        QTest::newRow("POSIX") << QStringList { "POSIX" } << Language::German;
        QTest::newRow("nothing set") << QStringList {} << Language::German;
        QTest::newRow("Germany") << QStringList { "de-DE", "de-Latn-DE", "de" } << Language::German;
        QTest::newRow("Austria") << QStringList { "de-AT" } << Language::German;
        QTest::newRow("Switzerland") << QStringList { "de-CH" } << Language::German;
        QTest::newRow("German before English") << QStringList { "de", "en-US" } << Language::German;
        QTest::newRow("English before German")
            << QStringList { "en-GB", "de-DE" } << Language::English;
        QTest::newRow("USA") << QStringList { "en-US" } << Language::English;
        QTest::newRow("France") << QStringList { "fr-FR", "fr" } << Language::English;
        QTest::newRow("Japan") << QStringList { "ja-JP" } << Language::English;
    }
    void systemLanguagesChoose()
    {
        QFETCH(QStringList, uiLanguages);
        QFETCH(Language, expected);
        QCOMPARE(UiLanguage::fromSystem(uiLanguages), expected);
    }

    void optionBeatsVariableBeatsSystem_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("variable");
        QTest::addColumn<QStringList>("system");
        QTest::addColumn<Language>("expected");
        QTest::addColumn<bool>("variableUnknown");
        const QStringList french { "fr-FR" };
        const QStringList german { "de-DE" };
        QTest::newRow("system alone") << ""
                                      << "" << french << Language::English << false;
        QTest::newRow("variable") << ""
                                  << "de" << french << Language::German << false;
        QTest::newRow("variable in capitals") << ""
                                              << "EN" << german << Language::English << false;
        QTest::newRow("option over variable") << "en"
                                              << "de" << german << Language::English << false;
        QTest::newRow("unknown variable: system, said")
            << ""
            << "fr" << german << Language::German << true;
        QTest::newRow("unknown variable beside an option")
            << "en"
            << "fr" << german << Language::English << false;
    }
    void optionBeatsVariableBeatsSystem()
    {
        QFETCH(QString, option);
        QFETCH(QString, variable);
        QFETCH(QStringList, system);
        QFETCH(Language, expected);
        QFETCH(bool, variableUnknown);
        const UiLanguage::Choice choice
            = UiLanguage::choose(UiLanguage::fromCode(option), variable, system);
        QCOMPARE(choice.language, expected);
        QCOMPARE(choice.variableUnknown, variableUnknown);
    }

    void languageOptionOnTheCommandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("exitCode"); // -1: the program starts
        QTest::addColumn<QString>("error");
        QTest::newRow("two words") << QStringList { "--sprache", "en" } << "en" << -1 << "";
        QTest::newRow("with =") << QStringList { "--sprache=de" } << "de" << -1 << "";
        QTest::newRow("one dash, capitals") << QStringList { "-sprache", "EN" } << "EN" << -1 << "";
        QTest::newRow("the last counts")
            << QStringList { "--sprache", "de", "--sprache=en" } << "en" << -1 << "";
        QTest::newRow("beside a toolkit option")
            << QStringList { "-platform", "offscreen", "--sprache", "en" } << "en" << -1 << "";
        QTest::newRow("unknown language")
            << QStringList { "--sprache", "fr" } << "fr" << 2
            << "tavel: unbekannte Sprache „fr“ (de oder en)\nMehr dazu mit „tavel --help“.\n";
        QTest::newRow("no value") << QStringList { "--sprache" } << "" << 2
                                  << "tavel: --sprache braucht einen Wert: de oder en\n"
                                     "Mehr dazu mit „tavel --help“.\n";
    }
    void languageOptionOnTheCommandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, value);
        QFETCH(int, exitCode);
        QFETCH(QString, error);
        QCOMPARE(CommandLine::languageValue(arguments), value);
        const CommandLine::Outcome outcome = CommandLine::parse(arguments);
        QCOMPARE(outcome.action,
            exitCode < 0 ? CommandLine::Action::StartProgram : CommandLine::Action::Exit);
        if (exitCode >= 0)
            QCOMPARE(outcome.exitCode, exitCode);
        QCOMPARE(outcome.error, error);
    }

    // The real program, as a shell starts it: the language of its answers
    // follows the option, then the variable, then the system's languages.
    void helpAnswersInTheChosenLanguage_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("variables");
        QTest::addColumn<bool>("english");
        QTest::addColumn<QString>("warning");
        QTest::newRow("C locale") << QStringList { "--help" } << QStringList { "LANG=C" } << false
                                  << "";
        QTest::newRow("no locale at all")
            << QStringList { "--help" } << QStringList {} << false << "";
        QTest::newRow("German system")
            << QStringList { "--help" } << QStringList { "LANG=de_DE.UTF-8" } << false << "";
        QTest::newRow("American system")
            << QStringList { "--help" } << QStringList { "LANG=en_US.UTF-8" } << true << "";
        QTest::newRow("French system")
            << QStringList { "--help" } << QStringList { "LC_ALL=fr_FR.UTF-8" } << true << "";
        QTest::newRow("LANGUAGE puts German first")
            << QStringList { "--help" } << QStringList { "LANG=en_US.UTF-8", "LANGUAGE=de:en" }
            << false << "";
        QTest::newRow("messages in English")
            << QStringList { "--help" }
            << QStringList { "LANG=de_DE.UTF-8", "LC_MESSAGES=en_GB.UTF-8" } << true << "";
        QTest::newRow("variable over system")
            << QStringList { "--help" } << QStringList { "LANG=de_DE.UTF-8", "TAVEL_SPRACHE=en" }
            << true << "";
        QTest::newRow("option over variable")
            << QStringList { "--sprache", "de", "--help" }
            << QStringList { "LANG=en_US.UTF-8", "TAVEL_SPRACHE=en" } << false << "";
        QTest::newRow("option after --help")
            << QStringList { "--help", "--sprache=en" } << QStringList { "LANG=C" } << true << "";
        QTest::newRow("unknown variable, in the system's language")
            << QStringList { "--help" } << QStringList { "LANG=en_US.UTF-8", "TAVEL_SPRACHE=fr" }
            << true << "tavel: TAVEL_SPRACHE=“fr” is not a language (de or en) and is ignored\n";
        QTest::newRow("unknown variable, German")
            << QStringList { "--help" } << QStringList { "LANG=C", "TAVEL_SPRACHE=x" } << false
            << "tavel: TAVEL_SPRACHE=„x“ ist keine Sprache (de oder en) und bleibt unbeachtet\n";
    }
    void helpAnswersInTheChosenLanguage()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, variables);
        QFETCH(bool, english);
        QFETCH(QString, warning);
        const ToolRun run = runTavel(arguments, variables);
        const QString help = QString::fromUtf8(run.output);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(QString::fromUtf8(run.error), warning);
        // Both ways of choosing are listed, in the language chosen.
        QVERIFY2(help.contains(QStringLiteral("--sprache de|en"))
                && help.contains(QStringLiteral("TAVEL_SPRACHE")),
            qPrintable(help));
        QCOMPARE(help.startsWith(QStringLiteral("Usage: tavel")), english);
        QCOMPARE(help.startsWith(QStringLiteral("Aufruf: tavel")), !english);
        QCOMPARE(help.contains(QRegularExpression(QStringLiteral("[äöüß]"))), !english);
    }

    void versionAndRefusalsTranslate_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::newRow("version") << QStringList { "--sprache", "en", "--version" } << 0
                                 << "License: GPL-3.0-or-later"
                                 << "";
        QTest::newRow("unknown option") << QStringList { "--sprache", "en", "--colour" } << 2 << ""
                                        << "tavel: unknown option “--colour”\n"
                                           "Try “tavel --help” for more information.\n";
        QTest::newRow("unknown language")
            << QStringList { "--sprache", "fr" } << 2 << ""
            << "tavel: unbekannte Sprache „fr“ (de oder en)\nMehr dazu mit „tavel --help“.\n";
    }
    void versionAndRefusalsTranslate()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, out);
        QFETCH(QString, err);
        const ToolRun run = runTavel(arguments, { QStringLiteral("LANG=C") });
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(
            QString::fromUtf8(run.output).contains(out), qPrintable(QString::fromUtf8(run.output)));
        QCOMPARE(QString::fromUtf8(run.error), err);
    }

    // What the program writes is the same in either language, and a file
    // written in one is read in the other: the German program's tavel.cfg
    // given to the English one comes back unchanged, and the other way round.
    void settingsFileIsTheSameInBothLanguages()
    {
        PtyDevice com1;
        PtyDevice com2;
        QVERIFY(com1.isOpen() && com2.isOpen());
        QMap<QString, QMap<QString, QByteArray>> written;
        for (const QString &language : { QStringLiteral("de"), QStringLiteral("en") }) {
            QTemporaryDir folder;
            const QString program = folder.filePath(QStringLiteral("tavel"));
            QVERIFY(QFile::copy(QStringLiteral(TAVEL_EXECUTABLE), program));
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QStringLiteral("TAVEL_SPRACHE"), language);
            QVERIFY(runUntilAskedToEnd(program, environment, com1.slavePath(), com2.slavePath()));
            const QDir dir(folder.path());
            for (const QString &name : dir.entryList(QDir::Files)) {
                if (name != QLatin1String("tavel"))
                    written[language][name] = contentsOf(dir.filePath(name));
            }
            // The other language's first file, read and written again.
            const QString other
                = language == QLatin1String("de") ? QStringLiteral("en") : QStringLiteral("de");
            if (written.contains(other)) {
                QVERIFY(writeFile(dir.filePath(QStringLiteral("tavel.cfg")),
                    written[other][QStringLiteral("tavel.cfg")]));
                QVERIFY(
                    runUntilAskedToEnd(program, environment, com1.slavePath(), com2.slavePath()));
                QCOMPARE(contentsOf(dir.filePath(QStringLiteral("tavel.cfg"))),
                    written[other][QStringLiteral("tavel.cfg")]);
            }
        }
        QVERIFY(written[QStringLiteral("de")].contains(QStringLiteral("tavel.cfg")));
        QCOMPARE(written[QStringLiteral("en")], written[QStringLiteral("de")]);
    }
};

QTEST_MAIN(TestUiLanguage)
#include "tst_uilanguage.moc"
