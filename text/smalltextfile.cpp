#include "smalltextfile.h"

#include "bytecount.h"

#include <QStringDecoder>

std::optional<QString> SmallTextFile::decode(const QByteArray &bytes, QString &problem)
{
    if (bytes.size() > kMaxSize) {
        problem = QStringLiteral("die Datei ist mit %1 Bytes zu groß")
                      .arg(ByteCount::number(bytes.size()));
        return std::nullopt;
    }
    QStringDecoder decoder(QStringConverter::Utf8);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError()) {
        problem = QStringLiteral("die Datei ist kein UTF-8-Text");
        return std::nullopt;
    }
    return text;
}
