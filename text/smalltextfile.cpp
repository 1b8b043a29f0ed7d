#include "smalltextfile.h"

#include "bytecount.h"

#include <QCoreApplication>
#include <QStringDecoder>
#include <QStringList>
#include <cstdlib>

std::optional<QString> SmallTextFile::decode(const QByteArray &bytes, QString &problem)
{
    if (bytes.size() > kMaxSize) {
        //: %1 is the file's size in bytes
        problem = QCoreApplication::translate("SmallTextFile", "die Datei ist mit %1 Bytes zu groß")
                      .arg(ByteCount::number(bytes.size()));
        return std::nullopt;
    }
    QStringDecoder decoder(QStringConverter::Utf8);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError()) {
        problem = QCoreApplication::translate("SmallTextFile", "die Datei ist kein UTF-8-Text");
        return std::nullopt;
    }
    return text;
}

std::optional<int> SmallTextFile::strictNumber(QStringView text)
{
    bool ok = false;
    const int number = text.toInt(&ok);
    // toInt takes blanks, a plus sign and leading zeros; the files hold none of them.
    if (!ok || text != QString::number(number))
        return std::nullopt;
    return number;
}

std::optional<QPoint> SmallTextFile::placeOf(const QString &value)
{
    const QStringList fields = value.split(QLatin1Char(','));
    if (fields.size() != 2)
        return std::nullopt;
    const std::optional<int> left = strictNumber(fields.at(0));
    const std::optional<int> top = strictNumber(fields.at(1));
    if (!left || !top || std::abs(*left) >= kPlaceLimit || std::abs(*top) >= kPlaceLimit)
        return std::nullopt;
    return QPoint(*left, *top);
}
