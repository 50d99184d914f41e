#pragma once
// The gradient editor's pictures, painted into 24-bit bitmaps: the preview
// with its handles, the stop bar, the handle strip and the kind pictures.
#include "gradient/Gradient.h"
#include "platform/bitmap.h"
#include "platform/rounding.h"

#include <array>
#include <cstdint>

namespace pelmora {

// The preview box; the gradient fills the square (60, 60)..(180, 180) in it.
inline constexpr int kPreviewSize = 240;
inline constexpr int kPreviewMiddle = 120;
inline constexpr int kPreviewLeft = 60;
inline constexpr int kPreviewRight = 180;

// The stop bar shows the ramp at 2.7 pixels per percent; the handle strip
// starts 5 pixels further left, so that a handle's tip lies above its stop.
inline constexpr long double kPixelsPerPercent = 2.7L;
inline constexpr int kStripOffset = 5;
inline constexpr int kBarWidth = 271;
inline constexpr int kBarHeight = 26;
inline constexpr int kStripWidth = 294;
inline constexpr int kStripHeight = 25;

// Left edge, in strip pixels, of the handle of a stop at `pos`.
inline int StopPixel(std::int32_t pos) {
    return RoundEven32(static_cast<Extended>(pos) * kPixelsPerPercent);
}

// The preview of `target`; with `handles`, the centre handle P and the angle
// handle Q (each only for the kinds that have it) are drawn over it.
struct PreviewHandles {
    TPoint P;
    TPoint Q;
};
Bitmap24 PaintPreview(TGrad& target, const PreviewHandles* handles);
Bitmap24 PaintStopBar(TGrad& work);
// Whether stop `index` is the dragged one, an interior stop, pulled off the
// strip: about to go, it is left out of the strip, number and all.
bool PulledOffStrip(const TGrad& work, int index, int dragIndex, bool dragOut);
// The handles of `work`'s stops; the one at `dragIndex` looks pressed, and the
// one at `focusIndex` (-1: none) has a dotted frame round it.
Bitmap24 PaintHandleStrip(const TGrad& work, int dragIndex, bool dragOut, int focusIndex = -1);
// 14 x 14 grey pictures, one per kind; kPictureTransparent around them.
std::array<Bitmap24, 4> PaintKindPictures();

} // namespace pelmora
