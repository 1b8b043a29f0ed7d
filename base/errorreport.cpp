#include "errorreport.h"

#include "dialogs.h"

QString errorReportText(const CommError &error)
{
    // The number is written the way a BASIC Str() writes it: a leading blank
    // stands where a minus sign would, so a positive number follows two blanks.
    const QString number = error.number < 0 ? QString::number(error.number)
                                            : QLatin1Char(' ') + QString::number(error.number);
    return QStringLiteral("Fehler ") + number + QStringLiteral(" wurde ausgelöst von ")
        + error.source + QStringLiteral("\r\n") + error.description;
}

void ShowErrorReport(const CommError &error)
{
    // A platform without help files has nothing to hand the help context to.
    Dialogs::current().message(errorReportText(error), QStringLiteral("Fehler"));
}
