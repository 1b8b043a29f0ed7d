#include "twips.h"

#include <cmath>

namespace Twips {

int toPixels(std::int32_t twips, int dpi)
{
    return int(std::lround(double(twips) * dpi / kPerInch));
}

std::int32_t fromPixels(int pixels, int dpi)
{
    return std::int32_t(std::lround(double(pixels) * kPerInch / dpi));
}

} // namespace Twips
