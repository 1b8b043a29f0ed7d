#include "bytecount.h"

#include <QLocale>

namespace ByteCount {

QString number(qint64 count)
{
    // The German locale whatever the system's, as every text around the
    // number is German.
    static const QLocale german(QLocale::German, QLocale::Germany);
    return german.toString(count);
}

QString amount(qint64 count)
{
    return count == 1 ? QStringLiteral("1 Byte") : QStringLiteral("%1 Bytes").arg(number(count));
}

} // namespace ByteCount
