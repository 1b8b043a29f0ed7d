#include "bytecount.h"

#include <QCoreApplication>
#include <QLocale>

namespace ByteCount {

QString number(qint64 count)
{
    // The locale of the interface's language whatever the system's, so that
    // the digit grouping suits the text around the number: German unless a
    // translation names another.
    //: The locale whose digit grouping byte counts use (1.234.567 in de_DE); give the
    //: translation's own, such as en_US
    const QLocale locale(QCoreApplication::translate("ByteCount", "de_DE"));
    return locale.toString(count);
}

QString amount(qint64 count)
{
    if (count == 1)
        return QCoreApplication::translate("ByteCount", "1 Byte");
    //: %1 is a number of bytes, more than one (or none)
    return QCoreApplication::translate("ByteCount", "%1 Bytes").arg(number(count));
}

} // namespace ByteCount
