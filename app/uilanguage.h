#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QCoreApplication;

// The language of the interface. German is the program's own: its texts are
// written in it. English comes from the translation built into the program.
// The choice is made once, before the first text is shown, and touches no
// file: what Tavel writes is the same in either language.
class UiLanguage
{
public:
    enum class Language { German, English };

    // The variable that chooses the language when no option does.
    static constexpr const char *kVariable = "TAVEL_SPRACHE";

    // "de" or "en", in either case; nothing for anything else.
    static std::optional<Language> fromCode(const QString &code);

    // German when the first of the user's interface languages is German, or
    // when none is set (the C or POSIX locale); English for every other,
    // as English is the one other language Tavel has.
    static Language fromSystem(const QStringList &uiLanguages);

    struct Choice
    {
        Language language = Language::German;
        bool variableUnknown = false; // the variable was set to something else
    };

    // The option wins over the variable, the variable over the system. An
    // unknown value of the variable is passed over (and said so); the option's
    // own value is checked with the rest of the command line.
    static Choice choose(std::optional<Language> option, const QString &variable,
        const QStringList &systemLanguages);

    // Loads the texts for `language` into `app`: for English the program's
    // translation, for German Qt's own German texts ("Abbrechen", "Öffnen"),
    // as the program's texts are German already. Numbers and dates shown
    // follow the language too.
    static void install(QCoreApplication &app, Language language);
};
