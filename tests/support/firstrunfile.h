#pragma once

#include <QByteArray>

// What a first run leaves behind: windows cascaded 330 twips apart, every
// connection choice 0, empty payloads and flags, captions Senden 1 to 10.
// Written out byte by byte rather than by the program's own writer, so that
// a fault there cannot hide itself.
inline QByteArray firstRunSettingsFile()
{
    QByteArray bytes;
    for (int i = 0; i < 5; ++i)
        bytes += QByteArray::number(330 * i) + ',' + QByteArray::number(330 * i) + "\r\n";
    for (int i = 0; i < 5; ++i)
        bytes += "0\r\n";
    for (int i = 0; i < 10; ++i)
        bytes += "\"\",\"\"\r\n";
    for (int i = 1; i <= 10; ++i)
        bytes += "\"Senden " + QByteArray::number(i) + "\"\r\n";
    return bytes;
}
