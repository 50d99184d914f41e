#include "library/Wallpaper.h"

#include "library/IniData.h"
#include "platform/hostpath.h"
#include "platform/inttext.h"

#include <string>

namespace pelmora {

namespace {

std::int32_t CellSide(std::int32_t buttonSide, const char* what) {
    const std::int64_t side = static_cast<std::int64_t>(buttonSide) + 4;
    if (side < 0 || side > kMaxBitmapSide) {
        throw BitmapError("ボタンの" + std::string(what) + " " + std::to_string(buttonSide) +
                          " ではセルが " + std::to_string(side) +
                          " ピクセルになります。セルの大きさは 0 から " +
                          std::to_string(kMaxBitmapSide) + " ピクセルまでです。");
    }
    return static_cast<std::int32_t>(side);
}

} // namespace

CellDimensions CellSize(const TPadInfo& pad) {
    return CellDimensions{CellSide(pad.BtnWidth, "幅"), CellSide(pad.BtnHeight, "高さ")};
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

std::string PadWallpaperPath(std::string_view settingsPath, const TIniData& settings,
                             std::int32_t pad) {
    if (!settings.WallPaperPerPad) {
        return WallpaperPathFor(settingsPath);
    }
    return ReplaceExtension(settingsPath, "-" + IntToStr(pad) + ".bmp");
}

} // namespace pelmora
