#pragma once
// Brightness and hue shifts of RGB colours through a 0..240 HLS scale.
#include "platform/bitmap.h"

#include <cstdint>

namespace pelmora {

struct THls {
    std::uint16_t H = 0;
    std::uint16_t L = 0;
    std::uint16_t S = 0;
    bool operator==(const THls&) const = default;
};

THls ColorToHLS(TColor rgb);
TColor HLSToColor(std::int32_t h, std::int32_t l, std::int32_t s);
std::int32_t HueToValue(long double lo, long double hi, double h);
// Lumi 0 and Hue 0 return the colour unchanged.
TColor ColorAdjust(TColor rgb, std::int32_t lumi, std::int32_t hue);

} // namespace pelmora
