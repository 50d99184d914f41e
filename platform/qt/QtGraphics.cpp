#include "platform/qt/QtGraphics.h"

#include "platform/syscolors.h"

#include <algorithm>

namespace pelmora {

QImage ToQImage(const Bitmap24& bitmap) {
    return QImage(bitmap.Bytes().data(), bitmap.Width(), bitmap.Height(),
                  static_cast<qsizetype>(bitmap.Stride()), QImage::Format_BGR888)
        .copy();
}

QPixmap ToQPixmap(const Bitmap24& bitmap, TColor transparent) {
    QImage image = ToQImage(bitmap).convertToFormat(QImage::Format_ARGB32);
    const QRgb clear = qRgb(RedOf(transparent), GreenOf(transparent), BlueOf(transparent));
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        std::replace(row, row + image.width(), clear, QRgb{0});
    }
    return QPixmap::fromImage(image);
}

QColor QColorOf(TColor c) {
    const TColor rgb = ResolveColor(c);
    return QColor(RedOf(rgb), GreenOf(rgb), BlueOf(rgb));
}

QString QText(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

} // namespace pelmora
