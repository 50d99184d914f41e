#include "platform/syscolors.h"

namespace pelmora {

TColor SystemColor(int index) {
    switch (index) {
    case kColorWindow:
        return Rgb(255, 255, 255);
    case kColorWindowText:
        return Rgb(0, 0, 0);
    case kColorBtnFace:
        return Rgb(240, 240, 240);
    case kColorBtnShadow:
        return Rgb(160, 160, 160);
    case kColorGrayText:
        return Rgb(109, 109, 109);
    case kColorBtnHighlight:
        return Rgb(255, 255, 255);
    default:
        return Rgb(0, 0, 0);
    }
}

TColor ResolveColor(TColor c) {
    if (IsSystemColorRef(c)) {
        return SystemColor(static_cast<int>(c & 0xFF));
    }
    return c & 0x00FFFFFFu;
}

} // namespace pelmora
