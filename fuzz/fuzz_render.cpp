// The whole wallpaper path: a pattern file's text and the pad's five button
// values to painted cells. The first 20 bytes are the pad values (width,
// height, caption, small icon, colour); the rest is the file text.
//
// Button sides between 61 and 8188 are folded below 61 so that runs stay fast;
// every other value, negative and huge ones included, goes through as it is
// (cells out of range are refused with BitmapError).
#include "FuzzCheck.h"
#include "platform/inifile.h"
#include "plugin/PadInfo.h"
#include "plugin/PatternLibrary.h"
#include "plugin/Wallpaper.h"

#include <string>

namespace {

constexpr std::int32_t kFoldAbove = 60;
constexpr std::int32_t kLargestCellButton = pelmora::kMaxBitmapSide - 4;
constexpr std::int32_t kNameHeight = 15;
constexpr int kMaxPatternsDrawn = 8;

std::int32_t FoldSide(std::int32_t side) {
    if (side > kFoldAbove && side <= kLargestCellButton) {
        return side % (kFoldAbove + 1);
    }
    return side;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pelmora;
    fuzz::ByteReader reader(data, size);
    PadValues values;
    values.BtnWidth = FoldSide(reader.Int32());
    values.BtnHeight = FoldSide(reader.Int32());
    values.BtnCaption = reader.Int32();
    values.BtnSmallIcon = reader.Int32();
    values.BtnColor = reader.Int32();
    const TPadInfo pad = DerivePadInfo(values, kNameHeight);

    PatternLibrary library;
    (void)LoadPatterns(IniFile::Parse(reader.Rest()), library);
    for (int i = 0; i < library.Count() && i < kMaxPatternsDrawn; ++i) {
        const TPatrn& pattern = library.Pattern(i);
        try {
            const Bitmap24 cell = DrawWallpaper(pattern, pad);
            const CellDimensions dims = CellSize(pad);
            PELMORA_FUZZ_CHECK(cell.Width() == dims.Width && cell.Height() == dims.Height);
        } catch (const BitmapError&) {
            PELMORA_FUZZ_CHECK(static_cast<std::int64_t>(pad.BtnWidth) + 4 < 0 ||
                               static_cast<std::int64_t>(pad.BtnWidth) + 4 > kMaxBitmapSide ||
                               static_cast<std::int64_t>(pad.BtnHeight) + 4 < 0 ||
                               static_cast<std::int64_t>(pad.BtnHeight) + 4 > kMaxBitmapSide);
        }
        for (int p = 0; p < pattern.Count(); ++p) {
            (void)pattern.Parts(p)->CreatePreview(16, pad);
        }
    }
    return 0;
}
