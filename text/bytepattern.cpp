#include "bytepattern.h"

#include "casefold.h"
#include "cp1252.h"
#include "hexnotation.h"

#include <QCoreApplication>

namespace {

QString noPattern()
{
    return QCoreApplication::translate("BytePattern", "Kein Suchmuster.");
}

BytePattern::ParseResult refusal(QString error, qsizetype position = 0)
{
    BytePattern::ParseResult result;
    result.error = std::move(error);
    result.errorPosition = position;
    return result;
}

// The character at index as the user sees it: both halves of a surrogate
// pair, so that an emoji is named whole.
QStringView characterAt(QStringView text, qsizetype index)
{
    if (text[index].isHighSurrogate() && index + 1 < text.size()
        && text[index + 1].isLowSurrogate())
        return text.mid(index, 2);
    return text.mid(index, 1);
}

} // namespace

BytePattern::BytePattern(std::vector<Element> elements)
    : m_elements(std::move(elements))
{
}

BytePattern::ParseResult BytePattern::fromHex(QStringView entry)
{
    const QString normalised = HexNotation::normalise(entry);
    if (normalised == u" ") {
        ParseResult result = refusal(noPattern());
        result.normalised = normalised;
        return result;
    }

    // The send check itself reads the groups, each "??" standing in as "00":
    // the groups, their values and the first malformed one are then exactly
    // what the input window sees in the same entry.
    QString standIn = normalised;
    std::vector<bool> anyGroups;
    for (qsizetype i = 0; i + 1 < standIn.size(); i += 3) {
        const bool any = standIn[i] == u'?' && standIn[i + 1] == u'?';
        if (any)
            standIn[i] = standIn[i + 1] = u'0';
        anyGroups.push_back(any);
    }
    const HexNotation::SendForm form = HexNotation::prepareForSending(standIn);

    // Any other "?" would end its group's number and pass the send check ("4?"
    // sends 04): here it surely means a wildcard the notation does not have,
    // so the group holding it is refused instead of searching a wrong byte.
    qsizetype errorAt = form.formatErrorAt;
    const qsizetype stray = standIn.indexOf(u'?');
    if (stray >= 0 && (errorAt < 0 || stray - stray % 3 < errorAt))
        errorAt = stray - stray % 3;
    if (errorAt >= 0) {
        ParseResult result = refusal(
            //: %1 is the character position in the entry, counted from 1
            QCoreApplication::translate("BytePattern", "Ungültige Hex-Eingabe an Stelle %1.")
                .arg(errorAt + 1),
            errorAt + 1);
        result.normalised = normalised;
        return result;
    }

    std::vector<Element> elements;
    bool anyFixed = false;
    for (qsizetype i = 0; i < form.bytes.size(); ++i) {
        const auto value = static_cast<unsigned char>(form.bytes[i]);
        elements.push_back({ value, value, anyGroups[size_t(i)] });
        anyFixed = anyFixed || !anyGroups[size_t(i)];
    }
    ParseResult result;
    result.normalised = normalised;
    // Without a fixed byte a pattern matches at every offset: a search would
    // stop everywhere and a rule fire on every byte.
    if (!anyFixed)
        //: ?? is a wildcard byte in a hex search pattern
        result.error
            = QCoreApplication::translate("BytePattern", "Ein Muster nur aus ?? passt auf alles.");
    else
        result.pattern = BytePattern(std::move(elements));
    return result;
}

BytePattern::ParseResult BytePattern::fromText(QStringView text, Qt::CaseSensitivity sensitivity)
{
    if (text.isEmpty())
        return refusal(noPattern());
    std::vector<Element> elements;
    elements.reserve(size_t(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int byte = Cp1252::toByte(text[i]);
        if (byte < 0) {
            //: %1 is a character, %2 its position in the entry, counted from 1
            return refusal(QCoreApplication::translate("BytePattern",
                               "Das Zeichen „%1“ an Stelle %2 gibt es in "
                               "Windows-1252 nicht.")
                               .arg(characterAt(text, i).toString(), QString::number(i + 1)),
                i + 1);
        }
        const auto value = static_cast<unsigned char>(byte);
        elements.push_back({ value,
            sensitivity == Qt::CaseInsensitive ? CaseFold::otherCase(value) : value, false });
    }
    ParseResult result;
    result.pattern = BytePattern(std::move(elements));
    return result;
}

QString BytePattern::toHex() const
{
    QString hex;
    hex.reserve(size() * 3);
    for (const Element &element : m_elements) {
        if (element.any)
            hex += QStringLiteral("?? ");
        else
            hex.append(
                reinterpret_cast<const QChar *>(HexNotation::group(element.value).data()), 3);
    }
    return hex;
}
