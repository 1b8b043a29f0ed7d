#pragma once

#include <QString>
#include <array>
#include <cstdint>

// One automation command button: its caption, the payload it sends and whether
// it empties the received-data window first ("0" or "1"; empty counts as "0").
struct AutomationButton
{
    QString Caption;
    QString Payload;
    QString ClearFlag;

    bool operator==(const AutomationButton &) const = default;
};

// The part of the shared state that tavel.cfg keeps from one run to the next.
// Window positions are twips inside the main window's client area, indexed
// 0 input, 1 sent data, 2 received data, 3 settings, 4 automation.
struct SavedState
{
    static constexpr int kWindowCount = 5;
    static constexpr int kConnectionSettingCount = 5;
    static constexpr int kAutomationButtonCount = 10;

    std::array<std::int32_t, kWindowCount> WindowLeft {};
    std::array<std::int32_t, kWindowCount> WindowTop {};
    std::array<std::int16_t, kConnectionSettingCount> ConnectionSettings {};
    std::array<AutomationButton, kAutomationButtonCount> AutomationButtons {};

    // What a first run without a settings file starts from: windows cascaded
    // 330 twips apart, buttons captioned "Senden 1" to "Senden 10".
    static SavedState defaults();

    bool operator==(const SavedState &) const = default;
};
