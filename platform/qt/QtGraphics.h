#pragma once
// The core's bitmaps, colours and texts as Qt shows them.
#include "platform/bitmap.h"

#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QString>

#include <string_view>

namespace pelmora {

// A 24-bit bitmap as Qt shows it; pixels of `transparent` let the background
// show through the pixmap.
QImage ToQImage(const Bitmap24& bitmap);
QPixmap ToQPixmap(const Bitmap24& bitmap, TColor transparent);
// A colour, a system colour resolved to what the system shows.
QColor QColorOf(TColor c);
// A UTF-8 text.
QString QText(std::string_view utf8);

} // namespace pelmora
