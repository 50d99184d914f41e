#include "logic/FineAdjustPaint.h"

namespace pelmora {
namespace {

void DottedRow(Bitmap24& canvas, int left, int right, int y, TColor pen) {
    for (int x = left + ((left + y) % 2 == 0 ? 1 : 0); x < right; x += 2) {
        canvas.SetPixel(x, y, pen);
    }
}

void DottedColumn(Bitmap24& canvas, int x, int top, int bottom, TColor pen) {
    for (int y = top + ((x + top) % 2 == 0 ? 1 : 0); y < bottom; y += 2) {
        canvas.SetPixel(x, y, pen);
    }
}

} // namespace

void PaintShapeLook(Bitmap24& canvas, const ShapeLook& shape) {
    const TRect& r = shape.Bounds;
    if (r.Right <= r.Left || r.Bottom <= r.Top) {
        return;
    }
    if (shape.Filled) {
        canvas.FillRect(r, shape.Brush);
    }
    const int right = r.Right - 1;
    const int bottom = r.Bottom - 1;
    if (shape.Outline == ShapeOutline::Solid) {
        canvas.FillRect({r.Left, r.Top, r.Right, r.Top + 1}, shape.Pen);
        canvas.FillRect({r.Left, bottom, r.Right, r.Bottom}, shape.Pen);
        canvas.FillRect({r.Left, r.Top, r.Left + 1, r.Bottom}, shape.Pen);
        canvas.FillRect({right, r.Top, r.Right, r.Bottom}, shape.Pen);
        return;
    }
    DottedRow(canvas, r.Left, r.Right, r.Top, shape.Pen);
    DottedRow(canvas, r.Left, r.Right, bottom, shape.Pen);
    DottedColumn(canvas, r.Left, r.Top, r.Bottom, shape.Pen);
    DottedColumn(canvas, right, r.Top, r.Bottom, shape.Pen);
}

} // namespace pelmora
