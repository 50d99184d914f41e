#pragma once
// A 24-bit off-screen bitmap: rows top-down, 3 bytes per pixel in B, G, R order,
// no padding in memory. Colours are 0x00BBGGRR RGB values (already resolved).
#include <cstdint>
#include <stdexcept>
#include <vector>

namespace pelmora {

using TColor = std::uint32_t; // 0x00BBGGRR, or a system colour reference with the top bit set

struct TRect {
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Right = 0;  // first column outside
    std::int32_t Bottom = 0; // first row outside
    bool operator==(const TRect&) const = default;
};

struct TPoint {
    std::int32_t X = 0;
    std::int32_t Y = 0;
    bool operator==(const TPoint&) const = default;
};

class BitmapError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline constexpr std::int32_t kMaxBitmapSide = 8192;

class Bitmap24 {
public:
    Bitmap24() = default;
    // Throws BitmapError for a negative side or one over kMaxBitmapSide.
    // Pixels start as `fill`.
    Bitmap24(std::int32_t width, std::int32_t height, TColor fill = 0x00FFFFFF);

    std::int32_t Width() const { return width_; }
    std::int32_t Height() const { return height_; }
    std::uint8_t* Row(std::int32_t y) { return pixels_.data() + static_cast<std::size_t>(y) * Stride(); }
    const std::uint8_t* Row(std::int32_t y) const {
        return pixels_.data() + static_cast<std::size_t>(y) * Stride();
    }
    std::size_t Stride() const { return static_cast<std::size_t>(width_) * 3; }
    const std::vector<std::uint8_t>& Bytes() const { return pixels_; }

    bool Contains(std::int32_t x, std::int32_t y) const {
        return x >= 0 && y >= 0 && x < width_ && y < height_;
    }
    // Out-of-range reads give 0, writes are ignored.
    TColor Pixel(std::int32_t x, std::int32_t y) const;
    void SetPixel(std::int32_t x, std::int32_t y, TColor rgb);

    // Solid fill of a half-open rectangle, clipped; empty or inverted paints nothing.
    void FillRect(const TRect& r, TColor rgb);
    // One-pixel polyline through the points; like a GDI pen, the final point is not drawn.
    void Polyline(const std::vector<TPoint>& points, TColor rgb);
    // Copies the half-open source rectangle of `src` to (destX, destY), clipped on both sides.
    void CopyRect(std::int32_t destX, std::int32_t destY, const Bitmap24& src, const TRect& srcRect);

    bool operator==(const Bitmap24&) const = default;

private:
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    std::vector<std::uint8_t> pixels_;
};

} // namespace pelmora
