#include "logic/GradientDialogPaint.h"

#include "logic/FineAdjustPaint.h"
#include "logic/GradientDialogView.h"
#include "platform/syscolors.h"

#include <cmath>
#include <cstdlib>
#include <numbers>

namespace pelmora {
namespace {

constexpr int kHandleTop = 13;    // the stop handles' flat top
constexpr int kHandleBottom = 24; // and their tip
constexpr int kHandleWidth = 10;

// A one-pixel line in not-xor mode: every channel where the pen has a 0 bit is
// inverted. Like a pen line, the end point itself is left out.
void NotXorLine(Bitmap24& canvas, TPoint from, TPoint to, TColor pen) {
    const int dx = std::abs(to.X - from.X);
    const int dy = -std::abs(to.Y - from.Y);
    const int sx = from.X < to.X ? 1 : -1;
    const int sy = from.Y < to.Y ? 1 : -1;
    int err = dx + dy;
    int x = from.X;
    int y = from.Y;
    while (x != to.X || y != to.Y) {
        if (canvas.Contains(x, y)) {
            canvas.SetPixel(x, y, ~(pen ^ canvas.Pixel(x, y)) & 0x00FFFFFFu);
        }
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

// The 6 x 6 handle square round `at`: from (at - 3) to (at + 3), right and
// bottom exclusive.
void HandleSquare(Bitmap24& canvas, TPoint at, TColor fill, TColor outline) {
    const TRect outer{at.X - 3, at.Y - 3, at.X + 3, at.Y + 3};
    canvas.FillRect(outer, outline);
    canvas.FillRect({outer.Left + 1, outer.Top + 1, outer.Right - 1, outer.Bottom - 1}, fill);
}

// The triangle (x, 13), (x + 10, 13), (x + 5, 24) filled with `fill` and
// outlined with `outline`; its right edge is drawn again in `rightEdge`.
void StopHandle(Bitmap24& canvas, int x, TColor fill, TColor outline, TColor rightEdge) {
    const int rows = kHandleBottom - kHandleTop;
    for (int y = kHandleTop; y <= kHandleBottom; ++y) {
        const int inset =
            RoundEven32(static_cast<Extended>((y - kHandleTop) * kHandleWidth / 2) / rows);
        canvas.FillRect({x + inset, y, x + kHandleWidth + 1 - inset, y + 1}, fill);
    }
    const TPoint left{x, kHandleTop};
    const TPoint right{x + kHandleWidth, kHandleTop};
    const TPoint tip{x + kHandleWidth / 2, kHandleBottom};
    canvas.Polyline({left, right, tip, left}, outline);
    canvas.Polyline({right, tip}, rightEdge);
}

TColor Grey(int level) {
    return Rgb(level, level, level);
}

// Whether the middle of pixel (x, y) lies within `radius` of the picture's middle.
bool InCircle(int x, int y, Extended radius) {
    const Extended dx = x + 0.5L - 7;
    const Extended dy = y + 0.5L - 7;
    return dx * dx + dy * dy <= radius * radius;
}

} // namespace

Bitmap24 PaintPreview(TGrad& target, const PreviewHandles* handles) {
    Bitmap24 canvas(kPreviewSize, kPreviewSize, SystemColor(kColorBtnFace));
    target.Draw(canvas, kPreviewLeft, kPreviewLeft, kPreviewRight, kPreviewRight, 0, 0);
    if (handles == nullptr) {
        return canvas;
    }
    const TPoint p = handles->P;
    const TPoint q = handles->Q;
    const bool centreInside =
        kPreviewLeft < p.X && p.X < kPreviewRight && kPreviewLeft < p.Y && p.Y < kPreviewRight;
    const std::uint8_t kind = target.Kind;
    if (kind == gkLinear || kind == gkQuad ||
        (kind == gkRadiate && (!target.Normalize || centreInside))) {
        NotXorLine(canvas, p, q, Rgb(0, 0, 255));
        HandleSquare(canvas, q, Rgb(255, 255, 255), Rgb(0, 0, 0));
    }
    if (kind == gkRadiate || kind == gkArc) {
        HandleSquare(canvas, p, Rgb(0, 0, 0), Rgb(255, 255, 255));
    }
    return canvas;
}

Bitmap24 PaintStopBar(TGrad& work) {
    Bitmap24 bar(kBarWidth, kBarHeight, SystemColor(kColorBtnFace));
    work.Draw(bar, 0, 0, kBarWidth - 1, kBarHeight - 1, 0, 0);
    return bar;
}

bool PulledOffStrip(const TGrad& work, int index, int dragIndex, bool dragOut) {
    return dragOut && index == dragIndex && index > 0 && index < work.Count() - 1;
}

Bitmap24 PaintHandleStrip(const TGrad& work, int dragIndex, bool dragOut, int focusIndex) {
    Bitmap24 strip(kStripWidth, kStripHeight, SystemColor(kColorBtnFace));
    const TColor shadow = SystemColor(kColorBtnShadow);
    const TColor highlight = SystemColor(kColorBtnHighlight);
    for (int i = 0; i < work.Count(); ++i) {
        if (PulledOffStrip(work, i, dragIndex, dragOut)) {
            continue;
        }
        const bool pressed = i == dragIndex;
        StopHandle(strip, StopPixel(work.GetPos(i)), ResolveColor(work.GetColor(i)),
                   pressed ? shadow : highlight, pressed ? highlight : shadow);
    }
    if (focusIndex >= 0 && focusIndex < work.Count() &&
        !PulledOffStrip(work, focusIndex, dragIndex, dragOut)) {
        const int x = StopPixel(work.GetPos(focusIndex));
        PaintShapeLook(strip,
                       {.Bounds = {x - 2, kHandleTop - 1, x + kHandleWidth + 3, kStripHeight},
                        .Pen = SystemColor(kColorWindowText),
                        .Outline = ShapeOutline::Dotted});
    }
    return strip;
}

std::array<Bitmap24, 4> PaintKindPictures() {
    std::array<Bitmap24, 4> pictures;
    for (Bitmap24& picture : pictures) {
        picture = Bitmap24(14, 14, kPictureTransparent);
    }
    // Parallel bands, lighter to the right.
    for (int band = 0; band < 4; ++band) {
        pictures[gkLinear].FillRect({1 + band * 3, 1, 4 + band * 3, 13}, Grey(64 + band * 48));
    }
    // Sectors round the middle, and rings lighter towards the middle.
    const int sectorShades[8] = {48, 96, 144, 192, 80, 128, 176, 224};
    for (int y = 0; y < 14; ++y) {
        for (int x = 0; x < 14; ++x) {
            if (InCircle(x, y, 6)) {
                const Extended turn = std::atan2(7 - (y + 0.5L), x + 0.5L - 7);
                const Extended ccw = turn < 0 ? turn + 2 * std::numbers::pi_v<Extended> : turn;
                const int sector = static_cast<int>(ccw / (std::numbers::pi_v<Extended> / 4)) % 8;
                pictures[gkRadiate].SetPixel(x, y, Grey(sectorShades[sector]));
            }
            for (int ring = 0; ring < 4; ++ring) {
                if (InCircle(x, y, 6 - ring * 2)) {
                    pictures[gkArc].SetPixel(x, y, Grey(64 + ring * 48));
                }
            }
        }
    }
    // Four squares.
    pictures[gkQuad].FillRect({1, 1, 7, 7}, Grey(64));
    pictures[gkQuad].FillRect({7, 1, 13, 7}, Grey(128));
    pictures[gkQuad].FillRect({7, 7, 13, 13}, Grey(192));
    pictures[gkQuad].FillRect({1, 7, 7, 13}, Grey(160));
    return pictures;
}

} // namespace pelmora
