#pragma once
// Height of the button-name text line: the line height, in whole pixels rounded
// up, of the fontconfig match for "sans-serif:lang=ja" at 12 pixels (the
// 9-point icon-caption font at 96 dpi), measured with FreeType.
#include <cstdint>

namespace pelmora {

// Measured once and remembered; throws std::runtime_error when no font is found.
std::int32_t MeasureNameHeight();

} // namespace pelmora
