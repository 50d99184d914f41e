#pragma once
// Height of the button-name text line. On Windows: the height of "Ag国" in the
// icon-title font (the stock system font when that cannot be had), measured at
// each call. Elsewhere: the line height, in whole pixels rounded up, of the
// fontconfig match for "sans-serif:lang=ja" at 12 pixels (the 9-point
// icon-caption font at 96 dpi), measured with FreeType once.
#include <cstdint>

namespace pelmora {

// Throws std::runtime_error when no font is found.
std::int32_t MeasureNameHeight();

} // namespace pelmora
