// Any bytes as tavel.cfg. What the reader makes of them, written and read
// again, must be the same state, and writing that once more the same bytes;
// whatever was read, the file written is 30 lines each ended by CR LF.

#include "config/settingsfile.h"
#include "fuzzcheck.h"

#include <cstddef>
#include <cstdint>

namespace {

QByteArray describe(const SavedState &state)
{
    return escaped(SettingsFile::serialize(state));
}

bool anyTextHoldsLineBreak(const SavedState &state)
{
    for (const AutomationButton &button : state.AutomationButtons) {
        for (const QString *text : { &button.Caption, &button.Payload, &button.ClearFlag }) {
            if (text->contains(u'\r') || text->contains(u'\n'))
                return true;
        }
    }
    return false;
}

// Texts may hold line breaks, which stay inside their quotes; the lines of the
// file are the CR LF pairs outside quotes, and no lone CR or LF stands there.
void checkThirtyLines(const QByteArray &file, const SavedState &state)
{
    int lineEnds = 0;
    bool inQuotes = false;
    for (qsizetype i = 0; i < file.size(); ++i) {
        const char c = file[i];
        if (c == '"') {
            inQuotes = !inQuotes;
        } else if (!inQuotes && c == '\r') {
            FUZZ_CHECK(i + 1 < file.size() && file[i + 1] == '\n',
                "lone CR outside quotes in " + escaped(file));
            ++lineEnds;
            ++i;
        } else {
            FUZZ_CHECK(inQuotes || c != '\n', "lone LF outside quotes in " + escaped(file));
        }
    }
    FUZZ_CHECK(!inQuotes, "unclosed quote in " + escaped(file));
    FUZZ_CHECK(lineEnds == SettingsFile::kLineCount,
        QByteArray::number(lineEnds) + " lines in " + escaped(file));
    FUZZ_CHECK(file.endsWith("\r\n"), "no CR LF at the end of " + escaped(file));
    FUZZ_CHECK(!file.contains('\0'), "NUL in " + escaped(file));
    if (!anyTextHoldsLineBreak(state)) {
        FUZZ_CHECK(file.count("\r\n") == SettingsFile::kLineCount
                && file.count('\n') == SettingsFile::kLineCount
                && file.count('\r') == SettingsFile::kLineCount,
            "line ends in " + escaped(file));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView input(reinterpret_cast<const char *>(data), qsizetype(size));

    const SettingsFile::ReadResult first = SettingsFile::parse(input);
    FUZZ_CHECK(!first.problem.isEmpty() || !input.contains('\0'),
        "NUL bytes not reported for " + escaped(input));

    const QByteArray written = SettingsFile::serialize(first.state);
    checkThirtyLines(written, first.state);

    const SettingsFile::ReadResult second = SettingsFile::parse(written);
    FUZZ_CHECK(second.problem.isEmpty(),
        "problem " + escaped(second.problem) + " in the written file " + escaped(written)
            + " read from " + escaped(input));
    FUZZ_CHECK(second.state == first.state,
        "read back differs\n   input:   " + escaped(input) + "\n   written: " + escaped(written)
            + "\n   reread:  " + describe(second.state));

    const QByteArray rewritten = SettingsFile::serialize(second.state);
    FUZZ_CHECK(rewritten == written,
        "second write differs\n   input:     " + escaped(input)
            + "\n   written:   " + escaped(written) + "\n   rewritten: " + escaped(rewritten));
    return 0;
}
