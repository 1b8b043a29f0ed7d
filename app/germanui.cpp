#include "germanui.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

void installGermanUi(QApplication &app)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    for (const char *catalogue : { "qtbase_de", "qtserialport_de" }) {
        auto *translator = new QTranslator(&app);
        if (translator->load(QLatin1String(catalogue), folder))
            QApplication::installTranslator(translator);
        else
            delete translator;
    }
}
