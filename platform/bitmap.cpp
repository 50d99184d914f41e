#include "platform/bitmap.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

namespace pelmora {

namespace {

void CheckSide(std::int32_t side, const char* which) {
    if (side < 0 || side > kMaxBitmapSide) {
        throw BitmapError(std::string("ビットマップの") + which + " " + std::to_string(side) +
                          " ピクセルは範囲外です (0 から " + std::to_string(kMaxBitmapSide) +
                          " まで)。");
    }
}

void StorePixel(std::uint8_t* p, TColor rgb) {
    p[0] = static_cast<std::uint8_t>((rgb >> 16) & 0xFF); // blue
    p[1] = static_cast<std::uint8_t>((rgb >> 8) & 0xFF);  // green
    p[2] = static_cast<std::uint8_t>(rgb & 0xFF);         // red
}

// Half-open span [lo, hi) intersected with [0, limit), in 64 bits so wild
// coordinates cannot overflow.
struct Span {
    std::int64_t Lo;
    std::int64_t Hi;
    bool Empty() const { return Lo >= Hi; }
};

Span ClipSpan(std::int64_t lo, std::int64_t hi, std::int64_t limit) {
    return Span{std::max<std::int64_t>(lo, 0), std::min<std::int64_t>(hi, limit)};
}

} // namespace

Bitmap24::Bitmap24(std::int32_t width, std::int32_t height, TColor fill) {
    CheckSide(width, "幅");
    CheckSide(height, "高さ");
    width_ = width;
    height_ = height;
    pixels_.resize(Stride() * static_cast<std::size_t>(height));
    FillRect(TRect{0, 0, width, height}, fill);
}

TColor Bitmap24::Pixel(std::int32_t x, std::int32_t y) const {
    if (!Contains(x, y)) {
        return 0;
    }
    const std::uint8_t* p = Row(y) + static_cast<std::size_t>(x) * 3;
    return static_cast<TColor>(p[2]) | (static_cast<TColor>(p[1]) << 8) |
           (static_cast<TColor>(p[0]) << 16);
}

void Bitmap24::SetPixel(std::int32_t x, std::int32_t y, TColor rgb) {
    if (Contains(x, y)) {
        StorePixel(Row(y) + static_cast<std::size_t>(x) * 3, rgb);
    }
}

void Bitmap24::FillRect(const TRect& r, TColor rgb) {
    const Span xs = ClipSpan(r.Left, r.Right, width_);
    const Span ys = ClipSpan(r.Top, r.Bottom, height_);
    if (xs.Empty() || ys.Empty()) {
        return;
    }
    for (auto y = static_cast<std::int32_t>(ys.Lo); y < ys.Hi; ++y) {
        std::uint8_t* p = Row(y) + static_cast<std::size_t>(xs.Lo) * 3;
        for (std::int64_t x = xs.Lo; x < xs.Hi; ++x, p += 3) {
            StorePixel(p, rgb);
        }
    }
}

namespace {

// One pen segment from `a` up to, but not including, `b`. Steps run along the
// major axis; the minor coordinate at step i is i * minor / major rounded half
// up, which is the pixel a Bresenham walk picks. Only the steps whose major
// coordinate lies inside the bitmap are visited, so far-off end points cost
// nothing.
void DrawSegment(Bitmap24& bitmap, TPoint a, TPoint b, TColor rgb) {
    const std::int64_t dx = std::int64_t{b.X} - a.X;
    const std::int64_t dy = std::int64_t{b.Y} - a.Y;
    if (dx == 0 && dy == 0) {
        return;
    }
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    const auto major = static_cast<std::uint64_t>(std::llabs(xMajor ? dx : dy));
    const auto minor = static_cast<std::uint64_t>(std::llabs(xMajor ? dy : dx));
    const std::int64_t majorStep = (xMajor ? dx : dy) < 0 ? -1 : 1;
    const std::int64_t minorStep = (xMajor ? dy : dx) < 0 ? -1 : 1;
    const std::int64_t majorStart = xMajor ? a.X : a.Y;
    const std::int64_t minorStart = xMajor ? a.Y : a.X;
    const std::int64_t majorLimit = xMajor ? bitmap.Width() : bitmap.Height();

    // Steps i in [0, major) whose major coordinate majorStart + majorStep * i is
    // inside [0, majorLimit).
    std::int64_t first = 0;
    std::int64_t last = static_cast<std::int64_t>(major) - 1;
    if (majorStep > 0) {
        first = std::max(first, -majorStart);
        last = std::min(last, majorLimit - 1 - majorStart);
    } else {
        first = std::max(first, majorStart - (majorLimit - 1));
        last = std::min(last, majorStart);
    }
    for (std::int64_t i = first; i <= last; ++i) {
        // i and minor are below 2^32, so the product fits in 64 unsigned bits.
        const std::uint64_t product = static_cast<std::uint64_t>(i) * minor;
        std::uint64_t offset = product / major;
        if (2 * (product % major) >= major) {
            ++offset;
        }
        const std::int64_t m = majorStart + majorStep * i;
        const std::int64_t n = minorStart + minorStep * static_cast<std::int64_t>(offset);
        const std::int64_t x = xMajor ? m : n;
        const std::int64_t y = xMajor ? n : m;
        if (y >= 0 && y < bitmap.Height() && x >= 0 && x < bitmap.Width()) {
            bitmap.SetPixel(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y), rgb);
        }
    }
}

} // namespace

void Bitmap24::Polyline(const std::vector<TPoint>& points, TColor rgb) {
    for (std::size_t i = 1; i < points.size(); ++i) {
        DrawSegment(*this, points[i - 1], points[i], rgb);
    }
}

void Bitmap24::CopyRect(std::int32_t destX, std::int32_t destY, const Bitmap24& src,
                        const TRect& srcRect) {
    if (&src == this) {
        // Overlapping copies within one bitmap read from a snapshot.
        const Bitmap24 snapshot = src;
        CopyRect(destX, destY, snapshot, srcRect);
        return;
    }
    // Work in 64 bits: the offset between source and destination may be wild.
    const std::int64_t shiftX = std::int64_t{destX} - srcRect.Left;
    const std::int64_t shiftY = std::int64_t{destY} - srcRect.Top;
    Span xs = ClipSpan(srcRect.Left, srcRect.Right, src.Width());
    Span ys = ClipSpan(srcRect.Top, srcRect.Bottom, src.Height());
    const Span destXs = ClipSpan(xs.Lo + shiftX, xs.Hi + shiftX, width_);
    const Span destYs = ClipSpan(ys.Lo + shiftY, ys.Hi + shiftY, height_);
    if (destXs.Empty() || destYs.Empty()) {
        return;
    }
    xs = Span{destXs.Lo - shiftX, destXs.Hi - shiftX};
    ys = Span{destYs.Lo - shiftY, destYs.Hi - shiftY};
    const auto bytes = static_cast<std::size_t>(xs.Hi - xs.Lo) * 3;
    for (std::int64_t y = ys.Lo; y < ys.Hi; ++y) {
        const std::uint8_t* from =
            src.Row(static_cast<std::int32_t>(y)) + static_cast<std::size_t>(xs.Lo) * 3;
        std::uint8_t* to =
            Row(static_cast<std::int32_t>(y + shiftY)) + static_cast<std::size_t>(destXs.Lo) * 3;
        std::memcpy(to, from, bytes);
    }
}

} // namespace pelmora
