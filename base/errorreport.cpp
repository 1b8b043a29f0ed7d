#include "errorreport.h"

#include "dialogs.h"

#include <QCoreApplication>

QString errorReportText(const CommError &error)
{
    // The number is written the way a BASIC Str() writes it: a leading blank
    // stands where a minus sign would, so a positive number follows two blanks.
    const QString number = error.number < 0 ? QString::number(error.number)
                                            : QLatin1Char(' ') + QString::number(error.number);
    //: %1 is the error number with a blank or minus sign before it, %2 where the error was
    //: raised (a name such as "MSComm1")
    return QCoreApplication::translate("ErrorReport", "Fehler %1 wurde ausgelöst von %2")
               .arg(number, error.source)
        + QStringLiteral("\r\n") + error.description;
}

void ShowErrorReport(const CommError &error)
{
    // A platform without help files has nothing to hand the help context to.
    Dialogs::current().message(
        errorReportText(error), QCoreApplication::translate("ErrorReport", "Fehler"));
}
