#pragma once

#include <QString>
#include <optional>

// A port on another machine, as COM1 or COM2 can stand for it:
// "rfc2217://HOST:PORT" for a serial server that speaks the Telnet Com Port
// Control Option (RFC 2217), "tcp://HOST:PORT" for raw bytes. HOST is a
// name, an IPv4 address, or an IPv6 address in brackets ("[::1]").
struct NetworkAddress
{
    enum class Kind { Rfc2217, RawTcp };

    Kind kind = Kind::Rfc2217;
    QString host;
    quint16 port = 0;

    // Whether the text is meant as a network address at all (it starts with
    // one of the two schemes); such a text is never a device path.
    static bool looksLikeOne(const QString &text);
    // The address, or why the text is none (a phrase in the interface's language).
    static std::optional<NetworkAddress> parse(const QString &text, QString *problem = nullptr);
    QString toString() const;

    friend bool operator==(const NetworkAddress &, const NetworkAddress &) = default;
};
