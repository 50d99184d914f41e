#include "library/Wallpaper.h"

#include <string>

namespace pelmora {

namespace {

std::int32_t CellSide(std::int32_t buttonSide, const char* what) {
    const std::int64_t side = static_cast<std::int64_t>(buttonSide) + 4;
    if (side < 0 || side > kMaxBitmapSide) {
        throw BitmapError("the button " + std::string(what) + " " + std::to_string(buttonSide) +
                          " gives a cell " + std::to_string(side) +
                          " pixels across; a cell must be 0 to " + std::to_string(kMaxBitmapSide) +
                          " pixels");
    }
    return static_cast<std::int32_t>(side);
}

} // namespace

CellDimensions CellSize(const TPadInfo& pad) {
    return CellDimensions{CellSide(pad.BtnWidth, "width"), CellSide(pad.BtnHeight, "height")};
}

void DrawWallpaper(Bitmap24& bitmap, const TPatrn& pattern, const TPadInfo& pad) {
    const CellDimensions size = CellSize(pad);
    if (bitmap.Width() != size.Width || bitmap.Height() != size.Height) {
        bitmap = Bitmap24(size.Width, size.Height);
    }
    pattern.Draw(bitmap, pad);
}

Bitmap24 DrawWallpaper(const TPatrn& pattern, const TPadInfo& pad) {
    Bitmap24 bitmap;
    DrawWallpaper(bitmap, pattern, pad);
    return bitmap;
}

} // namespace pelmora
