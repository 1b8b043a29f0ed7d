#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Reads a file that is to be sent over the line: whole, as bytes, before
// anything leaves, so that a file that cannot be read sends nothing at all.
class SendFileReader
{
public:
    struct Loaded
    {
        QByteArray bytes;
        // Empty on success; otherwise a sentence that names the file
        // and says why it cannot be sent, with the system's reason.
        QString error;

        bool ok() const { return error.isEmpty(); }
    };

    // memoryLimit: the most bytes that may be taken; by default what the
    // system reports as available.
    static Loaded load(const QString &path, std::optional<qint64> memoryLimit = std::nullopt);

    // The memory the system could still give the program without swapping,
    // when it says so.
    static std::optional<qint64> availableMemory();
};
