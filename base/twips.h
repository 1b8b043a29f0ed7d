#pragma once

#include <cstdint>

// Window positions are kept in twips, 1440 to the inch, so that the saved file
// means the same place at any screen resolution.
namespace Twips {

inline constexpr int kPerInch = 1440;

int toPixels(std::int32_t twips, int dpi);
std::int32_t fromPixels(int pixels, int dpi);

} // namespace Twips
