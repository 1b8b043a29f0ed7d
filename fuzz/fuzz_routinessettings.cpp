// Any bytes as tavel-ablaeufe.cfg, and any text as a rule's entries. A file
// that is refused leaves the defaults; whatever is read, written and read
// again, is the same object, and writing that once more the same bytes. An
// entry the rule check takes is written and read back unchanged.

#include "automation/routinessettings.h"
#include "fuzzcheck.h"
#include "text/cp1252.h"
#include "text/hexnotation.h"
#include "text/smalltextfile.h"

#include <cstddef>
#include <cstdint>

namespace {

using Notation = RoutinesSettings::Notation;
using Rule = RoutinesSettings::Rule;

// Written, read and written again: the same object and the same bytes.
void checkRoundTrip(const RoutinesSettings &settings, QByteArrayView source)
{
    const QByteArray written = settings.serialize();
    FUZZ_CHECK(written.size() <= SmallTextFile::kMaxSize,
        QByteArray::number(written.size()) + " bytes written from " + escaped(source));
    const RoutinesSettings::ReadResult again = RoutinesSettings::parse(written);
    FUZZ_CHECK(again.problem.isEmpty(),
        "problem " + escaped(again.problem) + " in the written file " + escaped(written) + " from "
            + escaped(source));
    FUZZ_CHECK(again.settings == settings,
        "read back differs\n   from:    " + escaped(source) + "\n   written: " + escaped(written)
            + "\n   reread:  " + escaped(again.settings.serialize()));
    FUZZ_CHECK(again.settings.serialize() == written,
        "second write differs\n   from:    " + escaped(source)
            + "\n   written: " + escaped(written));
}

void checkFile(QByteArrayView input)
{
    const RoutinesSettings::ReadResult read = RoutinesSettings::parse(input.toByteArray());
    if (!read.problem.isEmpty()) {
        FUZZ_CHECK(read.settings == RoutinesSettings(),
            "a refused file left settings behind: " + escaped(input));
    } else {
        FUZZ_CHECK(read.settings.rules().size() <= RoutinesSettings::kMaxRules,
            "too many rules taken from " + escaped(input));
        for (const Rule &rule : read.settings.rules()) {
            FUZZ_CHECK(!RoutinesSettings::problemWith(rule),
                "a rule the check refuses was read from " + escaped(input));
        }
    }
    checkRoundTrip(read.settings, input);
}

// The text as each entry of a rule in turn, in each notation.
void checkEntry(const QString &text)
{
    const QList<Rule> rules = [&] {
        QList<Rule> made;
        for (Notation pattern : { Notation::Text, Notation::Hex }) {
            for (Notation payload : { Notation::Text, Notation::Hex }) {
                Rule rule;
                rule.patternNotation = pattern;
                rule.pattern = text;
                rule.payloadNotation = payload;
                rule.payload = text;
                made.append(rule);
            }
        }
        return made;
    }();
    for (const Rule &rule : rules) {
        RoutinesSettings settings;
        const QString refused = settings.setRules({ rule });
        if (RoutinesSettings::problemWith(rule)) {
            FUZZ_CHECK(!refused.isEmpty() && settings.rules().isEmpty(),
                "a refused rule was taken: " + escaped(text));
            continue;
        }
        if (!refused.isEmpty()) {
            // Only for its length: each character is written as at most four
            // bytes, twice, and the rules may take 63 KiB.
            FUZZ_CHECK(
                refused.startsWith(QLatin1String("die Regeln brauchen")) && text.size() > 8000,
                "refused " + escaped(refused) + ": " + escaped(text));
            continue;
        }
        FUZZ_CHECK(Cp1252::isEncodable(text), "took a text beyond Windows-1252: " + escaped(text));
        const Rule &kept = settings.rules().at(0);
        const auto expected = [&](Notation notation) {
            return notation == Notation::Hex ? HexNotation::normalise(text) : text;
        };
        FUZZ_CHECK(kept.pattern == expected(rule.patternNotation)
                && kept.payload == expected(rule.payloadNotation),
            "kept otherwise: " + escaped(text));
        checkRoundTrip(settings, text.toUtf8());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView input(reinterpret_cast<const char *>(data), qsizetype(size));
    checkFile(input);
    // One byte per character reaches every character an entry box can hold;
    // UTF-8 brings in the rest of Unicode, which the rules refuse.
    checkEntry(Cp1252::toUnicode(input));
    checkEntry(QString::fromUtf8(input));
    return 0;
}
