#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <cstdio>
#include <cstdlib>

// A property that does not hold is a finding like a crash: the message names
// the property, the target prints what it was given, and abort() makes
// libFuzzer keep the input as a crash artefact.
#define FUZZ_CHECK(condition, detail)                                                              \
    do {                                                                                           \
        if (!(condition))                                                                          \
            fuzzFail(#condition, __FILE__, __LINE__, (detail));                                    \
    } while (false)

// Bytes as C escapes, so that a finding can be read and pasted into a Qt test.
inline QByteArray escaped(QByteArrayView bytes)
{
    QByteArray out;
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b == '\\' || b == '"')
            out += '\\' + QByteArray(1, c);
        else if (b >= 0x20 && b < 0x7F)
            out += c;
        else
            out += QByteArray("\\x") + QByteArray::number(b, 16).rightJustified(2, '0');
    }
    return '"' + out + '"';
}

inline QByteArray escaped(QStringView text)
{
    QByteArray out;
    for (QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u == u'\\' || u == u'"')
            out += '\\' + QByteArray(1, char(u));
        else if (u >= 0x20 && u < 0x7F)
            out += char(u);
        else
            out += QByteArray("\\u") + QByteArray::number(u, 16).rightJustified(4, '0');
    }
    return "u\"" + out + '"';
}

[[noreturn]] inline void fuzzFail(
    const char *property, const char *file, int line, const QByteArray &detail)
{
    std::fprintf(stderr, "\n== Property broken at %s:%d\n   %s\n%s\n", file, line, property,
        detail.constData());
    std::fflush(stderr);
    std::abort();
}
