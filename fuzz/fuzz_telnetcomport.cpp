// Any bytes as a serial server's answer. Taken whole or split at a point the
// input chooses, the parser gives the same data, answers and messages; data
// never outgrow the input; every answer is a three-byte negotiation, and an
// option is answered at most twice for each time the server changes its mind
// about it; and data sent by a server that escapes its FF bytes come back as
// they were.

#include "fuzzcheck.h"
#include "serial/telnetcomport.h"

#include <cstddef>
#include <cstdint>

namespace {

TelnetComPort::Received feedIn(QByteArrayView input, qsizetype split)
{
    TelnetComPort telnet;
    TelnetComPort::Received all = telnet.feed(input.first(split));
    const TelnetComPort::Received rest = telnet.feed(input.sliced(split));
    all.data += rest.data;
    all.reply += rest.reply;
    all.messages += rest.messages;
    return all;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView input(reinterpret_cast<const char *>(data), qsizetype(size));
    const TelnetComPort::Received whole = feedIn(input, 0);
    const qsizetype split = size > 0 ? qsizetype(data[0] % size) : 0;
    const TelnetComPort::Received parts = feedIn(input, split);
    FUZZ_CHECK(
        whole.data == parts.data && whole.reply == parts.reply && whole.messages == parts.messages,
        "split at " + QByteArray::number(split) + " changes " + escaped(input));
    FUZZ_CHECK(whole.data.size() <= input.size(), "more data than input: " + escaped(input));
    FUZZ_CHECK(whole.reply.size() % 3 == 0, "an answer that is not a negotiation");
    FUZZ_CHECK(whole.reply.size() <= input.size(), "more answers than commands: " + escaped(input));
    for (const TelnetComPort::Message &message : whole.messages)
        FUZZ_CHECK(message.value.size() <= 64, "an oversized message kept");

    // The same bytes as data, escaped as a server sends them.
    TelnetComPort telnet;
    const TelnetComPort::Received echoed = telnet.feed(TelnetComPort::escape(input));
    FUZZ_CHECK(echoed.data == input && echoed.reply.isEmpty() && echoed.messages.isEmpty(),
        "escaped data read back wrong: " + escaped(input));
    return 0;
}
