#include "gradient/ColorAdjust.h"

#include "platform/rounding.h"
#include "platform/syscolors.h"

#include <algorithm>

namespace pelmora {

namespace {

constexpr int kHlsMax = 240;
constexpr int kRgbMax = 255;

// A channel level on the 0..255 scale: above 255 saturates, anything else rounds.
std::uint8_t ClampChannel(double v) {
    if (v > kRgbMax) {
        return kRgbMax;
    }
    if (v < 0) { // cannot happen for lightness and saturation in 0..240
        return 0;
    }
    return static_cast<std::uint8_t>(RoundEven(v));
}

// The three conversions below run on small integers, so the integer parts
// ((mx + mn) * 240 and the like) are exact; every "/" is a real division in
// extended precision.

} // namespace

THls ColorToHLS(TColor rgb) {
    const int r = RedOf(rgb);
    const int g = GreenOf(rgb);
    const int b = BlueOf(rgb);
    const double mx = std::max({r, g, b});
    const double mn = std::min({r, g, b});

    const double l = Held((static_cast<Extended>(mx + mn) * kHlsMax + kRgbMax) / (2 * kRgbMax));
    if (mx == mn) {
        return THls{160, static_cast<std::uint16_t>(RoundEven(l)), 0};
    }

    const Extended sum = static_cast<Extended>(mx) + mn;
    const Extended diff = static_cast<Extended>(mx) - mn;
    double s;
    if (l <= kHlsMax / 2) {
        s = Held((diff * kHlsMax + sum / 2) / sum);
    } else {
        const Extended rest = 2 * kRgbMax - sum;
        s = Held((diff * kHlsMax + rest / 2) / rest);
    }

    // Distances of each channel from the maximum, in sixths of the circle.
    auto part = [&](int x) -> Extended {
        return ((static_cast<Extended>(mx) - x) * (kHlsMax / 6) + diff / 2) / diff;
    };
    const Extended dr = part(r);
    const Extended dg = part(g);
    const Extended db = part(b);

    double h;
    if (r == mx) {
        h = Held(db - dg);
    } else if (g == mx) {
        h = Held(kHlsMax / 3 + dr - db);
    } else {
        h = Held(2 * kHlsMax / 3 + dg - dr);
    }
    if (h < 0) {
        h = Held(static_cast<Extended>(h) + kHlsMax);
    }
    if (h > kHlsMax) {
        h = Held(static_cast<Extended>(h) - kHlsMax);
    }
    return THls{static_cast<std::uint16_t>(RoundEven(h)), static_cast<std::uint16_t>(RoundEven(l)),
                static_cast<std::uint16_t>(RoundEven(s))};
}

std::int32_t HueToValue(long double lo, long double hi, double h) {
    if (h < 0) {
        h = Held(static_cast<Extended>(h) + kHlsMax);
    }
    if (h > kHlsMax) {
        h = Held(static_cast<Extended>(h) - kHlsMax);
    }
    Extended v;
    if (h < kHlsMax / 6) {
        v = lo + ((hi - lo) * h + kHlsMax / 12) / (kHlsMax / 6);
    } else if (h < kHlsMax / 2) {
        v = hi;
    } else if (h < 2 * kHlsMax / 3) {
        v = lo + ((hi - lo) * (2 * kHlsMax / 3 - static_cast<Extended>(h)) + kHlsMax / 12) /
                     (kHlsMax / 6);
    } else {
        v = lo;
    }
    return RoundEven32(v);
}

TColor HLSToColor(std::int32_t h, std::int32_t l, std::int32_t s) {
    if (s == 0) {
        const std::uint8_t grey = ClampChannel(Held(static_cast<Extended>(l) * kRgbMax / kHlsMax));
        return Rgb(grey, grey, grey);
    }
    const Extended el = l;
    const Extended es = s;
    double m2;
    if (l <= kHlsMax / 2) {
        m2 = Held((el * (es + kHlsMax) + kHlsMax / 2) / kHlsMax);
    } else {
        m2 = Held(el + es - (el * es + kHlsMax / 2) / kHlsMax);
    }
    const double m1 = Held(2 * el - m2);

    auto channel = [&](std::int64_t hue) {
        const Extended level = HueToValue(m1, m2, static_cast<double>(hue));
        return ClampChannel(Held((level * kRgbMax + kHlsMax / 2) / kHlsMax));
    };
    const std::int64_t hh = h;
    return Rgb(channel(hh + kHlsMax / 3), channel(hh), channel(hh - kHlsMax / 3));
}

TColor ColorAdjust(TColor rgb, std::int32_t lumi, std::int32_t hue) {
    if (lumi == 0 && hue == 0) {
        return rgb;
    }
    const THls hls = ColorToHLS(rgb);

    std::int64_t l = hls.L;
    if (lumi > 0) {
        l += RoundEven32(static_cast<Extended>(kHlsMax - l) / 10 * lumi);
    } else {
        l += RoundEven32(static_cast<Extended>(l) / 10 * lumi);
    }
    // Ten steps reach white or black; further steps stay there.
    l = std::clamp<std::int64_t>(l, 0, kHlsMax);

    // 24 steps make a full turn, so -1 turns as far as +23.
    const std::int64_t steps = ((hue % 24) + 24) % 24;
    std::int64_t h = hls.H + 10 * steps;
    if (h > kHlsMax) {
        h -= kHlsMax;
    }
    return HLSToColor(static_cast<std::int32_t>(h), static_cast<std::int32_t>(l), hls.S);
}

TColor PaintColor(TColor stored, std::int32_t lumi, std::int32_t hue) {
    const TColor rgb = ResolveColor(stored);
    return (lumi != 0 || hue != 0) ? ColorAdjust(rgb, lumi, hue) : rgb;
}

} // namespace pelmora
