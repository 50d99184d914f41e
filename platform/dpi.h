#pragma once
// Positions and sizes are kept in pixels at 96 dpi, as the forms and the
// settings give them, and scaled to the DPI a window is shown at.
#include <algorithm>
#include <cstdint>

namespace pelmora {

inline constexpr int kBaseDpi = 96;

// a * b / c rounded to the nearest, halves away from zero: what the
// platform's own scaling gives, so places match the system's dialogs.
constexpr int MulDivRounded(int a, int b, int c) {
    const std::int64_t product = static_cast<std::int64_t>(a) * b;
    const std::int64_t magnitude =
        ((product < 0 ? -product : product) + (c < 0 ? -c : c) / 2) / (c < 0 ? -c : c);
    return static_cast<int>((product < 0) != (c < 0) ? -magnitude : magnitude);
}

// The core's bitmaps keep their pixels and are scaled when shown.
class Scale {
public:
    constexpr explicit Scale(int dpi = kBaseDpi) : dpi_(dpi > 0 ? dpi : kBaseDpi) {}
    constexpr int Dpi() const { return dpi_; }
    constexpr int operator()(int pixels96) const { return MulDivRounded(pixels96, dpi_, kBaseDpi); }
    // Device pixels back to 96-dpi pixels: the nearest, enough to hold them,
    // or the 96-dpi pixel they lie in (also below zero).
    constexpr int Unscale(int pixels) const { return MulDivRounded(pixels, kBaseDpi, dpi_); }
    constexpr int UnscaleUp(int pixels) const { return (pixels * kBaseDpi + dpi_ - 1) / dpi_; }
    constexpr int Floor(int pixels) const {
        const std::int64_t scaled = static_cast<std::int64_t>(pixels) * kBaseDpi;
        return static_cast<int>(scaled >= 0 ? scaled / dpi_ : -((-scaled + dpi_ - 1) / dpi_));
    }
    constexpr bool IsIdentity() const { return dpi_ == kBaseDpi; }
    // Pictures grow by whole pixels only, so each of their pixels stays a
    // square block of the screen's: twice as large from 192 dpi on.
    constexpr Scale WholePixels() const { return Scale(kBaseDpi * std::max(1, dpi_ / kBaseDpi)); }

private:
    int dpi_;
};

} // namespace pelmora
