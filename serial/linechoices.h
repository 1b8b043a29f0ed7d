#pragma once

#include <QString>
#include <array>
#include <optional>

// What the user chose for the wires beside the data of one port: the flow
// control, the levels DTR and RTS take when the port opens, and whether DTR
// stays on once the port is closed. The defaults leave everything as the
// system does it: no flow control, DTR and RTS on as Linux raises them at
// open, and DTR dropped at close when the device's termios says so (HUPCL).
struct LineChoices
{
    enum class FlowControl { None, RtsCts, XonXoff };
    enum class Level { On, Off };

    struct FlowRow
    {
        FlowControl value;
        // As the file keeps it: "keine", "RTS/CTS", "XON/XOFF".
        const char *word;
    };
    static const std::array<FlowRow, 3> &flowRows();
    static const FlowRow &rowOf(FlowControl flow);
    static std::optional<FlowControl> flowOfWord(const QString &word);
    // The flow control's word as messages show it, in the interface's language.
    static QString flowCaption(FlowControl flow);

    // "ein", "aus", as the file says it.
    static QString levelWord(Level level);
    // The same as the windows show it, in the interface's language.
    static QString levelCaption(Level level);
    static std::optional<Level> levelOfWord(const QString &word);

    FlowControl flowControl = FlowControl::None;
    Level dtrAtOpen = Level::On;
    Level rtsAtOpen = Level::On;
    bool keepDtrAfterClose = false;

    friend bool operator==(const LineChoices &, const LineChoices &) = default;
};
