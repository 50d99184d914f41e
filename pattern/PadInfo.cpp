#include "pattern/PadInfo.h"

#include "platform/inttext.h"
#include "platform/syscolors.h"
#include "platform/textheight.h"

#include <algorithm>

namespace pelmora {

namespace {

// Pad values come from the host unchecked, so the layout sums are done in 64
// bits and only brought back into the 32-bit fields at the end.
std::int32_t Saturate(std::int64_t v) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
}

// Division by 2 truncated toward zero: half of -3 is -1.
std::int64_t Half(std::int64_t v) {
    return v / 2;
}

constexpr std::uint32_t kButtonFaceRef = 0x8000000Fu;
constexpr std::uint32_t kIgnoredRefBits = 0x7F000000u;

void DeriveFrameColours(TPadInfo& info) {
    const auto colour = static_cast<TColor>(info.BtnColor);
    if ((colour & ~kIgnoredRefBits) == kButtonFaceRef) {
        info.FrameLight = static_cast<std::int32_t>(SystemColorRef(kColorBtnHighlight));
        info.FrameShadow = static_cast<std::int32_t>(SystemColorRef(kColorBtnShadow));
        return;
    }
    const TColor rgb = ResolveColor(colour);
    const int r = RedOf(rgb);
    const int g = GreenOf(rgb);
    const int b = BlueOf(rgb);
    info.FrameLight =
        static_cast<std::int32_t>(Rgb((r + 255) >> 1, (g + 255) >> 1, (b + 255) >> 1));
    info.FrameShadow = static_cast<std::int32_t>(Rgb(r >> 1, g >> 1, b >> 1));
}

} // namespace

std::int32_t PadValueFromText(std::string_view text) {
    return StrToIntDef(text, 1);
}

TPadInfo DerivePadInfo(const PadValues& values, std::int32_t nameHeight) {
    TPadInfo info;
    info.BtnWidth = values.BtnWidth;
    info.BtnHeight = values.BtnHeight;
    info.BtnCaption = values.BtnCaption;
    info.BtnSmallIcon = values.BtnSmallIcon;
    info.BtnColor = values.BtnColor;

    const std::int64_t w = values.BtnWidth;
    const std::int64_t h = values.BtnHeight;
    const std::int64_t t = nameHeight;

    std::int64_t size = 0;
    std::int64_t iconLeft = 0;
    std::int64_t iconTop = 0;
    if (values.BtnCaption == 0) {
        if (h > w) {
            size = w;
            iconLeft = 2;
            iconTop = Half(h - w) + 2;
        } else {
            size = h;
            iconLeft = Half(w - h) + 2;
            iconTop = 2;
        }
    } else {
        size = values.BtnSmallIcon != 0 ? 16 : 32;
        size = std::min(size, w);
        size = std::min(size, h);
        if (values.BtnCaption == 1) {
            iconLeft = Half(w - size) + 2;
            iconTop = std::max<std::int64_t>(Half(h - size - t - 4) + 2, 2);
        } else {
            iconLeft = 2;
            iconTop = Half(h - size) + 2;
        }
    }
    info.IconLeft = Saturate(iconLeft);
    info.IconTop = Saturate(iconTop);
    info.IconWidth = Saturate(size);
    info.IconHeight = Saturate(size);

    if (values.BtnCaption == 1) {
        const std::int64_t margin = std::max<std::int64_t>(iconTop - 2, 2);
        info.NameLeft = 2;
        info.NameWidth = Saturate(w);
        info.NameTop = Saturate(h - margin - t + 2);
        info.NameHeight = Saturate(t);
    } else if (values.BtnCaption != 0) {
        info.NameLeft = Saturate(size + 6);
        info.NameWidth = Saturate(w - size - 4);
        info.NameTop = Saturate(Half(h - t) + 2);
        info.NameHeight = Saturate(t);
    }

    DeriveFrameColours(info);
    return info;
}

TPadInfo DerivePadInfo(const PadValues& values) {
    // A pad that shows no names needs no font.
    return DerivePadInfo(values, values.BtnCaption == 0 ? 0 : MeasureNameHeight());
}

} // namespace pelmora
