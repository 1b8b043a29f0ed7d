#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// The way out for what the "Abläufe" send by themselves: the same connection
// check and transmit step as a click, so that the sent-data window shows
// every byte and a button's flag empties the received-data window as a click
// would. Buttons are counted from 1.
class RoutineOutput
{
public:
    virtual ~RoutineOutput() = default;

    // True when connected; otherwise the user has been told, as a click is.
    virtual bool connectionCheck() = 0;
    // Whether the button has commands; an empty one sends nothing when clicked.
    virtual bool hasCommands(int button) const = 0;
    // What a click on the button does once the check has passed.
    virtual void sendButton(int button) = 0;
    // A rule's own answer, echoed as the input window echoes a sent entry.
    virtual void sendPayload(
        const QByteArray &bytes, const QString &textEcho, const std::optional<QString> &hexEcho)
        = 0;
};
