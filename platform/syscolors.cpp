// The standard Windows colours, standing in for a platform that has none.
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

} // namespace pelmora
