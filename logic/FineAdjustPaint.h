#pragma once
// The fine-adjust dialog's schematic painted into a 24-bit bitmap, for views
// whose toolkit has no shape controls: every view then shows the same pixels.
#include "logic/FineAdjustView.h"
#include "platform/bitmap.h"

namespace pelmora {

// Paints `shape` over `canvas`: its fill, then its one-pixel outline along the
// edge of its bounds. A dotted outline sets the outline pixels whose x + y is
// odd, so the dots keep their places however the shape moves. Pixels outside
// the canvas are left out; an empty shape paints nothing.
void PaintShapeLook(Bitmap24& canvas, const ShapeLook& shape);

} // namespace pelmora
