// Any text as the hex entry. The send check accepts only whole three-character
// groups, each ending in a space, one byte per group; a refusal points into
// the normalised entry; normalising what it left changes nothing; the
// conversion to text never yields the code 0, which no entry can hold. And
// any bytes written in the notation read back as the same bytes.

#include "fuzzcheck.h"
#include "text/cp1252.h"
#include "text/hexnotation.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

QByteArray describe(const HexNotation::SendForm &form)
{
    return "normalised " + escaped(form.normalised) + ", bytes " + escaped(form.bytes)
        + ", format error at " + QByteArray::number(form.formatErrorAt);
}

bool groupIsWellFormed(QStringView text, qsizetype at)
{
    return at + 2 < text.size() && text[at + 2] == u' ';
}

void checkSendForm(const QString &entry)
{
    const HexNotation::SendForm form = HexNotation::prepareForSending(entry);
    const QString &text = form.normalised;
    const QByteArray what = "entry " + escaped(entry) + ": " + describe(form);

    FUZZ_CHECK(text == HexNotation::normalise(entry), what);
    FUZZ_CHECK(text.endsWith(u' ') && (text.size() == 1 || !text.endsWith(u"  "))
            && (text.size() == 1 || !text.startsWith(u' ')),
        what);

    if (form.ok()) {
        FUZZ_CHECK(text.size() % 3 == 0, what);
        FUZZ_CHECK(form.bytes.size() * 3 == text.size(), what);
        for (qsizetype i = 0; i < text.size(); i += 3) {
            FUZZ_CHECK(groupIsWellFormed(text, i), what);
            FUZZ_CHECK(static_cast<unsigned char>(form.bytes[i / 3])
                    == HexNotation::pieceValue(QStringView(text).mid(i, 2)),
                what);
        }
    } else {
        FUZZ_CHECK(form.formatErrorAt >= 0 && form.formatErrorAt < text.size(), what);
        FUZZ_CHECK(form.formatErrorAt % 3 == 0, what);
        FUZZ_CHECK(form.bytes.isEmpty(), what);
        FUZZ_CHECK(!groupIsWellFormed(text, form.formatErrorAt), what);
        for (qsizetype i = 0; i < form.formatErrorAt; i += 3)
            FUZZ_CHECK(groupIsWellFormed(text, i), what);
    }

    // The entry keeps its normalised form; sending it again must see the same.
    const HexNotation::SendForm again = HexNotation::prepareForSending(text);
    FUZZ_CHECK(again.normalised == form.normalised && again.bytes == form.bytes
            && again.formatErrorAt == form.formatErrorAt,
        what + "\n   again: " + describe(again));
}

void checkToText(const QString &entry)
{
    const QString text = HexNotation::toText(entry);
    FUZZ_CHECK(!text.contains(QChar(0)), "code 0 in " + escaped(text) + " from " + escaped(entry));
    FUZZ_CHECK(Cp1252::isEncodable(text), "not 8-bit: " + escaped(text));
    FUZZ_CHECK(text.size() <= (entry.size() + 2) / 3,
        "more characters than steps: " + escaped(text) + " from " + escaped(entry));
    FUZZ_CHECK(HexNotation::pieceValue(entry) >= 0, "negative value of " + escaped(entry));
}

// What the notation writes, the send check reads back byte for byte and the
// text conversion reads as the same characters, less the zero bytes.
void checkWrittenBytes(QByteArrayView bytes)
{
    const QString written = HexNotation::write(bytes);
    FUZZ_CHECK(written.size() == bytes.size() * 3, escaped(bytes));
    FUZZ_CHECK(HexNotation::writeText(Cp1252::toUnicode(bytes)) == written, escaped(bytes));
    if (!bytes.isEmpty()) {
        const HexNotation::SendForm form = HexNotation::prepareForSending(written);
        FUZZ_CHECK(form.ok() && form.bytes == bytes && form.normalised == written,
            escaped(bytes) + ": " + describe(form));
    }
    QByteArray withoutZeros = bytes.toByteArray();
    withoutZeros.removeIf([](char c) { return c == '\0'; });
    FUZZ_CHECK(HexNotation::toText(written) == Cp1252::toUnicode(withoutZeros),
        escaped(bytes) + " converts to " + escaped(HexNotation::toText(written)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView input(reinterpret_cast<const char *>(data), qsizetype(size));
    // One byte per character reaches digits, blanks, tabs and line feeds
    // easily; the same bytes as UTF-16 bring in every other character that
    // pasting can put into the entry.
    const QString oneBytePerCharacter = Cp1252::toUnicode(input);
    QString utf16(qsizetype(size / 2), Qt::Uninitialized);
    std::memcpy(utf16.data(), data, size_t(utf16.size()) * sizeof(QChar));
    for (const QString &entry : { oneBytePerCharacter, utf16 }) {
        checkSendForm(entry);
        checkToText(entry);
    }
    checkWrittenBytes(input);
    return 0;
}
