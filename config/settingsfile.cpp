#include "settingsfile.h"

#include "text/cp1252.h"

#include <QCoreApplication>
#include <QList>
#include <QStringList>
#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>

namespace {

constexpr char kQuote = '"';

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool isSeparator(char c)
{
    return c == ',' || c == '\r' || c == '\n';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Moves past the next separator. A CR LF pair is one line end, so the standard
// layout never yields empty fields between lines.
void skipPastSeparator(QByteArrayView bytes, qsizetype &pos)
{
    while (pos < bytes.size() && !isSeparator(bytes[pos]))
        ++pos;
    if (pos >= bytes.size())
        return;
    const char separator = bytes[pos++];
    if (separator == '\r' && pos < bytes.size() && bytes[pos] == '\n')
        ++pos;
}

std::optional<qint64> toInteger(QByteArrayView text, qint64 min, qint64 max)
{
    text = text.trimmed();
    QByteArrayView digits = text;
    if (!digits.isEmpty() && (digits.front() == '-' || digits.front() == '+'))
        digits = digits.sliced(1);
    if (digits.isEmpty() || !std::all_of(digits.begin(), digits.end(), isDigit))
        return std::nullopt;
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    if (!ok || value < min || value > max)
        return std::nullopt;
    return value;
}

// Walks the fields one after the other and remembers what was wrong on the way.
struct FieldReader
{
    explicit FieldReader(QByteArrayView input)
        : bytes(input)
    {
    }

    QByteArrayView bytes;
    qsizetype pos = 0;
    int fieldsRead = 0;
    bool exhausted = false;
    bool endedInsideQuotes = false;
    QList<int> badNumbers;

    std::optional<QByteArray> next()
    {
        if (exhausted)
            return std::nullopt;
        while (pos < bytes.size() && isBlank(bytes[pos]))
            ++pos;
        if (pos >= bytes.size()) {
            exhausted = true;
            return std::nullopt;
        }
        ++fieldsRead;
        return bytes[pos] == kQuote ? quotedField() : plainField();
    }

    // Runs to the closing quote, commas and line ends included, so texts holding
    // them survive; a doubled quote stands for one quote in the text.
    QByteArray quotedField()
    {
        QByteArray text;
        ++pos;
        while (pos < bytes.size()) {
            const char c = bytes[pos++];
            if (c != kQuote) {
                text += c;
            } else if (pos < bytes.size() && bytes[pos] == kQuote) {
                text += kQuote;
                ++pos;
            } else {
                skipPastSeparator(bytes, pos);
                return text;
            }
        }
        exhausted = true;
        endedInsideQuotes = true;
        return text;
    }

    QByteArray plainField()
    {
        const qsizetype start = pos;
        while (pos < bytes.size() && !isSeparator(bytes[pos]))
            ++pos;
        const QByteArray text = bytes.sliced(start, pos - start).trimmed().toByteArray();
        skipPastSeparator(bytes, pos);
        return text;
    }

    template<typename Integer>
    void readInteger(Integer &target)
    {
        const std::optional<QByteArray> text = next();
        if (!text)
            return;
        const std::optional<qint64> value = toInteger(
            *text, std::numeric_limits<Integer>::min(), std::numeric_limits<Integer>::max());
        if (!value)
            badNumbers.append(fieldsRead);
        target = static_cast<Integer>(value.value_or(0));
    }

    void readText(QString &target)
    {
        if (const std::optional<QByteArray> text = next())
            target = Cp1252::toUnicode(*text);
    }
};

QString describeBadNumbers(const QList<int> &fields)
{
    if (fields.size() == 1)
        //: %1 is the number of a field of the settings file
        return QCoreApplication::translate(
            "SettingsFile", "Feld %1 enthält keine gültige Zahl und wurde als 0 gelesen.")
            .arg(fields.front());
    QStringList numbers;
    for (int field : fields)
        numbers.append(QString::number(field));
    const QString last = numbers.takeLast();
    //: %1 is a list of field numbers ("3, 7"), %2 the last field number
    return QCoreApplication::translate("SettingsFile",
        "Die Felder %1 und %2 enthalten keine gültige Zahl und wurden als 0 "
        "gelesen.")
        .arg(numbers.join(QStringLiteral(", ")), last);
}

QString describeProblems(const FieldReader &reader, bool hadNul)
{
    QStringList sentences;
    if (hadNul)
        sentences.append(QCoreApplication::translate(
            "SettingsFile", "Die Datei enthält Nullbytes und ist keine Textdatei."));
    if (reader.endedInsideQuotes)
        //: %1 is the field's number, %2 the number of fields the file should have
        sentences.append(QCoreApplication::translate("SettingsFile",
            "Die Datei endet mitten in Feld %1 von %2, das "
            "schließende Anführungszeichen fehlt.")
                             .arg(reader.fieldsRead)
                             .arg(SettingsFile::kFieldCount));
    else if (reader.fieldsRead == 0)
        sentences.append(QCoreApplication::translate("SettingsFile", "Die Datei ist leer."));
    else if (reader.fieldsRead < SettingsFile::kFieldCount)
        //: %1 is the last field's number, %2 the number of fields the file should have
        sentences.append(
            QCoreApplication::translate("SettingsFile", "Die Datei endet nach Feld %1 von %2.")
                .arg(reader.fieldsRead)
                .arg(SettingsFile::kFieldCount));
    if (!reader.badNumbers.isEmpty())
        sentences.append(describeBadNumbers(reader.badNumbers));
    return sentences.join(QLatin1Char(' '));
}

QByteArray quoted(const QString &text)
{
    QByteArray bytes = Cp1252::fromUnicode(text);
    // A text box cannot hold code 0, and a NUL on disk would make the next start
    // report the file as damaged.
    bytes.removeIf([](char c) { return c == '\0'; });
    bytes.replace("\"", "\"\"");
    return kQuote + bytes + kQuote;
}

} // namespace

namespace SettingsFile {

ReadResult parse(QByteArrayView input)
{
    // An editor that saved the file as UTF-16 leaves a NUL beside every
    // character; dropping them recovers such a file, and no text may hold one.
    QByteArray bytes = input.toByteArray();
    const bool hadNul = bytes.contains('\0');
    bytes.removeIf([](char c) { return c == '\0'; });

    ReadResult result;
    SavedState &state = result.state;
    FieldReader reader(bytes);
    for (int i = 0; i < SavedState::kWindowCount; ++i) {
        reader.readInteger(state.WindowLeft[i]);
        reader.readInteger(state.WindowTop[i]);
    }
    for (std::int16_t &setting : state.ConnectionSettings)
        reader.readInteger(setting);
    for (AutomationButton &button : state.AutomationButtons) {
        reader.readText(button.Payload);
        reader.readText(button.ClearFlag);
    }
    for (AutomationButton &button : state.AutomationButtons)
        reader.readText(button.Caption);

    result.problem = describeProblems(reader, hadNul);
    return result;
}

QByteArray serialize(const SavedState &state)
{
    static const QByteArray lineEnd = QByteArrayLiteral("\r\n");
    QByteArray out;
    for (int i = 0; i < SavedState::kWindowCount; ++i)
        out += QByteArray::number(state.WindowLeft[i]) + ','
            + QByteArray::number(state.WindowTop[i]) + lineEnd;
    for (std::int16_t setting : state.ConnectionSettings)
        out += QByteArray::number(setting) + lineEnd;
    for (const AutomationButton &button : state.AutomationButtons)
        out += quoted(button.Payload) + ',' + quoted(button.ClearFlag) + lineEnd;
    for (const AutomationButton &button : state.AutomationButtons)
        out += quoted(button.Caption) + lineEnd;
    return out;
}

} // namespace SettingsFile
