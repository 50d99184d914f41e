// Painting of parts into a button cell.
#include "pattern/Pattern.h"

#include "gradient/ColorAdjust.h"
#include "gradient/Gradient.h"
#include "platform/rounding.h"
#include "platform/syscolors.h"

#include <algorithm>

namespace pelmora {

namespace {

std::int32_t Clamp32(std::int64_t v) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
}

// The part of `r` that lies on the canvas, or nullopt when none does.
std::optional<TRect> ClipToCanvas(const Bitmap24& canvas, const TRect64& r) {
    const TRect64 c{std::max<std::int64_t>(r.Left, 0), std::max<std::int64_t>(r.Top, 0),
                    std::min<std::int64_t>(r.Right, canvas.Width()),
                    std::min<std::int64_t>(r.Bottom, canvas.Height())};
    if (c.Left >= c.Right || c.Top >= c.Bottom) {
        return std::nullopt;
    }
    return TRect{static_cast<std::int32_t>(c.Left), static_cast<std::int32_t>(c.Top),
                 static_cast<std::int32_t>(c.Right), static_cast<std::int32_t>(c.Bottom)};
}

void FillRect64(Bitmap24& canvas, const TRect64& r, TColor rgb) {
    if (const auto clipped = ClipToCanvas(canvas, r)) {
        canvas.FillRect(*clipped, rgb);
    }
}

// A bevel drawn with its edges moved to the canvas border zone paints the same
// pixels as the original: an edge beyond the border only decides that its
// line is off the canvas and where the other lines are cut off, and both stay
// the same once it is one pixel past the border.
TRect64 BevelOnCanvas(const Bitmap24& canvas, const TRect64& r) {
    const std::int64_t w = canvas.Width();
    const std::int64_t h = canvas.Height();
    return TRect64{std::clamp<std::int64_t>(r.Left, -1, w), std::clamp<std::int64_t>(r.Top, -1, h),
                   std::clamp<std::int64_t>(r.Right, 0, w + 1),
                   std::clamp<std::int64_t>(r.Bottom, 0, h + 1)};
}

// Insets of the stacked bevels of a button frame: bevel i lies `nearest(i *
// step)` inside the region on each side.
class BevelStack {
public:
    BevelStack(const TRect64& region, const TTrim& thick, std::int64_t count) : region_(region) {
        const std::int32_t sides[] = {thick.Left, thick.Top, thick.Right, thick.Bottom};
        for (int s = 0; s < 4; ++s) {
            const Extended step = (static_cast<Extended>(sides[s]) - 1) / (count - 1);
            steps_[s] = step < 0 ? 0 : step;
        }
    }
    TRect64 Bevel(std::int64_t i) const {
        return TRect64{region_.Left + Inset(i, 0), region_.Top + Inset(i, 1),
                       region_.Right - Inset(i, 2), region_.Bottom - Inset(i, 3)};
    }

private:
    std::int64_t Inset(std::int64_t i, int side) const {
        return RoundEven(static_cast<Extended>(i) * steps_[side]);
    }
    TRect64 region_;
    Extended steps_[4] = {};
};

} // namespace

void DrawBevel(Bitmap24& canvas, const TRect64& r, TColor light, TColor shadow) {
    const TColor lightRgb = ResolveColor(light);
    const TColor shadowRgb = ResolveColor(shadow);
    // Left column (top to bottom - 1) and top row (left to right - 2).
    FillRect64(canvas, {r.Left, r.Top, r.Left + 1, r.Bottom}, lightRgb);
    FillRect64(canvas, {r.Left, r.Top, r.Right - 1, r.Top + 1}, lightRgb);
    // Right column (top to bottom - 1) and bottom row (left + 1 to right - 1).
    FillRect64(canvas, {r.Right - 1, r.Top, r.Right, r.Bottom}, shadowRgb);
    FillRect64(canvas, {r.Left + 1, r.Bottom - 1, r.Right, r.Bottom}, shadowRgb);
}

// ---- TParts painting -------------------------------------------------------

TRect64 TParts::Region(const TPadInfo& pad) const {
    TRect64 r;
    switch (Area) {
    case paAll:
        r = {0, 0, static_cast<std::int64_t>(pad.BtnWidth) + 4,
             static_cast<std::int64_t>(pad.BtnHeight) + 4};
        break;
    case paIcon:
        r = {pad.IconLeft, pad.IconTop, static_cast<std::int64_t>(pad.IconLeft) + pad.IconWidth,
             static_cast<std::int64_t>(pad.IconTop) + pad.IconHeight};
        break;
    default:
        r = {pad.NameLeft, pad.NameTop, static_cast<std::int64_t>(pad.NameLeft) + pad.NameWidth,
             static_cast<std::int64_t>(pad.NameTop) + pad.NameHeight};
        break;
    }
    r.Left -= Outer.Left;
    r.Top -= Outer.Top;
    r.Right += Outer.Right;
    r.Bottom += Outer.Bottom;
    return r;
}

void TParts::Draw(Bitmap24& canvas, const TPadInfo& pad) const {
    if (Area > paName || (Area == paName && pad.BtnCaption == 0)) {
        return;
    }
    PaintRegion(canvas, Region(pad), pad, true);
}

void TParts::PaintRegion(Bitmap24& canvas, const TRect64& r, const TPadInfo& pad,
                         bool adjust) const {
    const auto buttonColor = static_cast<TColor>(pad.BtnColor);
    if (!IsFrame) {
        PaintFill(canvas, r, adjust, buttonColor);
        return;
    }
    // The frame is the region minus its inner rectangle, whose pixels are kept.
    // An inverted inner rectangle (thick sides that overlap) keeps nothing.
    const TRect64 inner{r.Left + Thick.Left, r.Top + Thick.Top, r.Right - Thick.Right,
                        r.Bottom - Thick.Bottom};
    std::optional<TRect> kept;
    if (inner.Right >= inner.Left && inner.Bottom >= inner.Top) {
        kept = ClipToCanvas(canvas, inner);
    }
    Bitmap24 saved;
    if (kept) {
        saved = Bitmap24(kept->Right - kept->Left, kept->Bottom - kept->Top);
        saved.CopyRect(0, 0, canvas, *kept);
    }
    if (Fill == fkBtnF) {
        PaintBtnFrame(canvas, r, adjust, pad);
    } else {
        PaintFill(canvas, r, adjust, buttonColor);
    }
    if (kept) {
        canvas.CopyRect(kept->Left, kept->Top, saved, TRect{0, 0, saved.Width(), saved.Height()});
    }
}

void TParts::PaintFill(Bitmap24& canvas, const TRect64& r, bool adjust, TColor buttonColor) const {
    switch (Fill) {
    case fkMono:
        FillRect64(canvas, r, AdjustColor(Color, adjust, false));
        break;
    case fkGrad: {
        TGrad grad;
        grad.LoadFromText(GradText);
        const bool shift = adjust && Owner != nullptr;
        // Regions beyond the 32-bit range only arise from absurd adjustments
        // in files; their corners are held at the range's ends.
        grad.Draw(canvas, Clamp32(r.Left), Clamp32(r.Top), Clamp32(r.Right - 1),
                  Clamp32(r.Bottom - 1), shift ? Owner->Lumi : 0, shift ? Owner->Hue : 0);
        break;
    }
    case fkBtn:
        FillRect64(canvas, r, AdjustColor(buttonColor, adjust, true));
        break;
    default: // fkNon, and fkBtnF, which only paints frames
        break;
    }
}

void TParts::PaintBtnFrame(Bitmap24& canvas, const TRect64& r, bool adjust,
                           const TPadInfo& pad) const {
    const TColor light = AdjustColor(static_cast<TColor>(pad.FrameLight), adjust, true);
    const TColor shadow = AdjustColor(static_cast<TColor>(pad.FrameShadow), adjust, true);
    const std::int64_t n = std::max({0, Thick.Left, Thick.Top, Thick.Right, Thick.Bottom});
    if (n == 0) {
        return;
    }
    if (n == 1) {
        DrawBevel(canvas, r, light, shadow);
        return;
    }
    // Every inset grows with i, so the bevels seen on the canvas change at most
    // a few times per canvas pixel of width and height; a run of bevels that
    // look the same on the canvas paints what its first one paints. Drawing
    // one bevel per run keeps huge thicknesses read from files cheap.
    const BevelStack stack(r, Thick, n);
    std::int64_t i = 0;
    while (i < n) {
        const TRect64 seen = BevelOnCanvas(canvas, stack.Bevel(i));
        DrawBevel(canvas, seen, light, shadow);
        // The last bevel of the run: all of [i, last] look like bevel i.
        std::int64_t last = i;
        std::int64_t hi = n - 1;
        while (last < hi) {
            const std::int64_t mid = last + (hi - last + 1) / 2;
            if (BevelOnCanvas(canvas, stack.Bevel(mid)) == seen) {
                last = mid;
            } else {
                hi = mid - 1;
            }
        }
        i = last + 1;
    }
}

TColor TParts::AdjustColor(TColor c, bool adjust, bool isButtonColor) const {
    if (!adjust || Owner == nullptr) {
        return ResolveColor(c);
    }
    if (isButtonColor && !Owner->BtnColTrim) {
        return ResolveColor(c);
    }
    // The shift works on RGB, so system colour references are resolved first.
    return ColorAdjust(ResolveColor(c), Owner->Lumi, Owner->Hue);
}

std::optional<Bitmap24> TParts::CreatePreview(std::int32_t size, const TPadInfo& pad) const {
    if (Fill == fkNon) {
        return std::nullopt;
    }
    Bitmap24 preview(size, size);
    PaintRegion(preview, TRect64{0, 0, size, size}, pad, false);
    return preview;
}

} // namespace pelmora
