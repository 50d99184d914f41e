#pragma once
// The platform's system colours and colour resolution. Windows gives its
// current colours (GetSysColor); elsewhere a table with the standard Windows
// values stands in for them.
#include "platform/bitmap.h"

namespace pelmora {

inline constexpr int kColorWindow = 5;
inline constexpr int kColorWindowText = 8;
inline constexpr int kColorBtnFace = 15;
inline constexpr int kColorBtnShadow = 16;
inline constexpr int kColorGrayText = 17;
inline constexpr int kColorBtnHighlight = 20;

// A reference to system colour `index` as the plug-in writes it (top byte 0xFF).
constexpr TColor SystemColorRef(int index) {
    return 0xFF000000u | static_cast<TColor>(index & 0xFF);
}
constexpr bool IsSystemColorRef(TColor c) {
    return (c & 0x80000000u) != 0;
}

// RGB (0x00BBGGRR) of a system colour index, as it is now; unknown indexes
// are black.
TColor SystemColor(int index);
// A value with the top bit set becomes its system colour; any other value is
// used as 0x00BBGGRR (its top byte dropped).
inline TColor ResolveColor(TColor c) {
    return IsSystemColorRef(c) ? SystemColor(static_cast<int>(c & 0xFF)) : c & 0x00FFFFFFu;
}

constexpr std::uint8_t RedOf(TColor c) {
    return static_cast<std::uint8_t>(c & 0xFF);
}
constexpr std::uint8_t GreenOf(TColor c) {
    return static_cast<std::uint8_t>((c >> 8) & 0xFF);
}
constexpr std::uint8_t BlueOf(TColor c) {
    return static_cast<std::uint8_t>((c >> 16) & 0xFF);
}
constexpr TColor Rgb(int r, int g, int b) {
    return static_cast<TColor>(r & 0xFF) | (static_cast<TColor>(g & 0xFF) << 8) |
           (static_cast<TColor>(b & 0xFF) << 16);
}

} // namespace pelmora
