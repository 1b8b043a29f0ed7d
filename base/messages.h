#pragma once

#include <QString>

// Message texts that several windows show.
namespace Messages {

// The connection check's answer when the port is closed.
inline QString noConnection()
{
    return QStringLiteral("Es besteht keine serielle Verbindung.");
}

} // namespace Messages
