#pragma once
// The wallpaper: one button cell of the pad painted with a pattern.
#include "pattern/PadInfo.h"
#include "pattern/Pattern.h"
#include "platform/bitmap.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace pelmora {

struct TIniData;

struct CellDimensions {
    std::int32_t Width = 0;
    std::int32_t Height = 0;
};

// Width and height of the cell: the button size plus 4 on each axis. Throws
// BitmapError when either side is negative or over kMaxBitmapSide.
CellDimensions CellSize(const TPadInfo& pad);

// A new white cell with the pattern painted on it.
Bitmap24 DrawWallpaper(const TPatrn& pattern, const TPadInfo& pad);
// Paints into `bitmap`, which is first given the cell's size; a bitmap that
// already has that size is painted over without being cleared, any other one
// is replaced by a white one.
void DrawWallpaper(Bitmap24& bitmap, const TPatrn& pattern, const TPadInfo& pad);

// The file the wallpaper of `pad` (its identifier) is written to, beside the
// settings file: its base name with ".bmp", the same file for every pad, or,
// while each pad has a file of its own (WallPaperPerPad), the base name, "-",
// the identifier in decimal and ".bmp" ("Pelmora-3.bmp").
std::string PadWallpaperPath(std::string_view settingsPath, const TIniData& settings,
                             std::int32_t pad);

} // namespace pelmora
