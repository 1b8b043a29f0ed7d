// Any text as the Settings string. The reader accepts only the canonical form:
// what it accepts, toString() gives back character for character. And every
// combination of the offered values, written canonically, is accepted.

#include "fuzzcheck.h"
#include "serial/linesettings.h"
#include "text/cp1252.h"

#include <cstddef>
#include <cstdint>

namespace {

void checkText(const QString &text)
{
    QString problem;
    const std::optional<LineSettings> settings = LineSettings::parse(text, &problem);
    if (!settings) {
        FUZZ_CHECK(!problem.isEmpty(), "refused without a reason: " + escaped(text));
        return;
    }
    FUZZ_CHECK(settings->toString() == text,
        "accepted " + escaped(text) + " but writes " + escaped(settings->toString()));
    FUZZ_CHECK(LineSettings::parse(settings->toString()) == settings,
        "canonical text reads differently: " + escaped(text));
}

// Four bytes choose one value of each piece.
void checkCombination(const std::uint8_t *data)
{
    static const char *const parities[] = { "N", "E", "O", "M", "S" };
    static const char *const stopBits[] = { "1", "1.5", "2" };
    const int rate = LineSettings::kBaudRates[data[0] % LineSettings::kBaudRates.size()];
    const QString text = QStringLiteral("%1,%2,%3,%4")
                             .arg(rate)
                             .arg(QLatin1String(parities[data[1] % 5]))
                             .arg(5 + data[2] % 4)
                             .arg(QLatin1String(stopBits[data[3] % 3]));
    const std::optional<LineSettings> settings = LineSettings::parse(text);
    FUZZ_CHECK(settings.has_value(), "refused " + escaped(text));
    FUZZ_CHECK(settings->toString() == text,
        "read " + escaped(text) + " as " + escaped(settings->toString()));
    FUZZ_CHECK(settings->baudRate() == rate && settings->dataBits() == 5 + data[2] % 4
            && int(settings->parity()) == data[1] % 5 && int(settings->stopBits()) == data[3] % 3,
        "wrong values for " + escaped(text));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView input(reinterpret_cast<const char *>(data), qsizetype(size));
    // One byte per character reaches every character of the settings window's
    // boxes; UTF-8 brings in the rest of Unicode.
    checkText(Cp1252::toUnicode(input));
    checkText(QString::fromUtf8(input));
    if (size >= 4)
        checkCombination(data);
    return 0;
}
