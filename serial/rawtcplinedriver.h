#pragma once

#include "linedriver.h"

// The wires of a port reached over raw TCP: the connection carries the data
// and nothing else, so no line can be read or set. Only "no flow control" is
// no loss.
class RawTcpLineDriver : public LineDriver
{
    Q_OBJECT

public:
    using LineDriver::LineDriver;

    static QString reason();

    Reading read() override { return { std::nullopt, reason() }; }
    std::optional<QString> setOwnLines(int, bool) override { return reason(); }
    std::optional<QString> setBreak(bool) override { return reason(); }
    std::optional<QString> applyFlowAndHangUp(LineChoices::FlowControl flow, bool) override
    {
        if (flow == LineChoices::FlowControl::None)
            return std::nullopt;
        return reason();
    }
    void startWatching() override { }
    void stopWatching() override { }
};
