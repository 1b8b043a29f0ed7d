#pragma once

#include "config/savedstate.h"

#include <cstdint>

// The shared state of the whole run. The saved part comes from tavel.cfg at
// start and goes back at the end; the child windows copy their part in when
// they load and back out when they unload.
struct Module1 : SavedState
{
    // Result of the port probe: 1 for COM1, 2 for COM2, added up.
    std::int16_t PortMask = 0;
    // The automation payload field that last lost the focus; outlives that window.
    std::int16_t LastPayloadField = 0;
};

// Indexes into WindowLeft and WindowTop.
namespace WindowIndex {
inline constexpr int kEingabe = 0;
inline constexpr int kSendefenster = 1;
inline constexpr int kEmpfang = 2;
inline constexpr int kEinstellungen = 3;
inline constexpr int kAutomat = 4;
} // namespace WindowIndex

inline const QString kApplicationTitle = QStringLiteral("Tavel"); // untranslated: product name
