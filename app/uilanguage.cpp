#include "uilanguage.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

std::optional<UiLanguage::Language> UiLanguage::fromCode(const QString &code)
{
    if (code.compare(QLatin1String("de"), Qt::CaseInsensitive) == 0)
        return Language::German;
    if (code.compare(QLatin1String("en"), Qt::CaseInsensitive) == 0)
        return Language::English;
    return std::nullopt;
}

UiLanguage::Language UiLanguage::fromSystem(const QStringList &uiLanguages)
{
    if (uiLanguages.isEmpty())
        return Language::German;
    const QString &first = uiLanguages.first();
    if (first == QLatin1String("C") || first == QLatin1String("POSIX"))
        return Language::German;
    return QLocale(first).language() == QLocale::German ? Language::German : Language::English;
}

UiLanguage::Choice UiLanguage::choose(
    std::optional<Language> option, const QString &variable, const QStringList &systemLanguages)
{
    if (option)
        return { *option, false };
    if (!variable.isEmpty()) {
        if (const std::optional<Language> chosen = fromCode(variable))
            return { *chosen, false };
        return { fromSystem(systemLanguages), true };
    }
    return { fromSystem(systemLanguages), false };
}

namespace {

bool installTranslation(QCoreApplication &app, const QString &name, const QString &folder)
{
    auto *translator = new QTranslator(&app);
    if (translator->load(name, folder))
        return QCoreApplication::installTranslator(translator);
    delete translator;
    return false;
}

} // namespace

void UiLanguage::install(QCoreApplication &app, Language language)
{
    if (language == Language::English) {
        // An English-speaking system keeps its own ways of writing numbers
        // (en_GB, en_AU ...); every other one gets the American ones.
        const QLocale system = QLocale::system();
        QLocale::setDefault(system.language() == QLocale::English
                ? system
                : QLocale(QLocale::English, QLocale::UnitedStates));
        installTranslation(app, QStringLiteral("tavel_en"), QStringLiteral(":/i18n"));
        return;
    }
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    for (const char *catalogue : { "qtbase_de", "qtserialport_de" })
        installTranslation(app, QLatin1String(catalogue), folder);
}
