#pragma once
// Brightness and hue shifts of RGB colours through a 0..240 HLS scale.
//
// The arithmetic is evaluated in 80-bit extended precision with intermediate
// results stored as doubles at fixed points, and rounded half to even: the
// exact colours depend on it, so keep the order of operations.
#include "platform/bitmap.h"

#include <cstdint>

namespace pelmora {

// Hue 0..240 (0 red, 80 green, 160 blue), lightness 0..240, saturation 0..240.
// A grey carries hue 160.
struct THls {
    std::uint16_t H = 0;
    std::uint16_t L = 0;
    std::uint16_t S = 0;
    bool operator==(const THls&) const = default;
};

// Only the low three bytes of `rgb` (0x00BBGGRR) are read.
THls ColorToHLS(TColor rgb);
TColor HLSToColor(std::int32_t h, std::int32_t l, std::int32_t s);
// One channel's level (0..240 scale, rounded) for hue `h` between the bounds lo and hi.
std::int32_t HueToValue(long double lo, long double hi, double h);
// Lumi: tenths of the way towards white (> 0) or black (< 0); Hue: steps of
// 15 degrees round the colour circle. Lumi 0 and Hue 0 return the colour
// unchanged; greys stay grey.
TColor ColorAdjust(TColor rgb, std::int32_t lumi, std::int32_t hue);
// A stored colour as painted: a system colour reference resolved, then shifted.
TColor PaintColor(TColor stored, std::int32_t lumi, std::int32_t hue);

} // namespace pelmora
