#pragma once

#include <QByteArray>
#include <QByteArrayList>

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

// A file as the user's last run might have left it: line feeds only and
// blanks after the commas, which the program reads but never writes, so that
// the file it writes differs from the old one in every line. A connection of
// "x6" is no number: the file is damaged in field 11.
inline QByteArray settingsFile(
    const QByteArray &connection, const QByteArray &lineEnd, const QByteArray &blank)
{
    QByteArrayList lines { "600," + blank + "450", "1200," + blank + "900",
        "1800," + blank + "1350", "150," + blank + "2400", "3000," + blank + "300", connection, "1",
        "0", "3", "0", "\"ATZ\"," + blank + "\"1\"", "\"\",\"\"", "\"a,b\"\"c\",\"0\"" };
    while (lines.size() < 20)
        lines << "\"\",\"\"";
    lines << "\"Reset\""
          << "\"Gr\xF6\xDF"
             "e \"\"neu\"\"\"";
    for (int i = 3; i <= 10; ++i)
        lines << "\"Senden " + QByteArray::number(i) + '"';
    return lines.join(lineEnd) + lineEnd;
}
