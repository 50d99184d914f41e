// The core's bitmaps shown on real device contexts.
#include "platform/win32/gdi.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace pelmora::win32 {
namespace {

// A 32-bit top-down memory canvas whose pixels the test reads back.
class Canvas {
public:
    Canvas(int width, int height, COLORREF fill) : width_(width) {
        const BITMAPINFO info = TopDownDib32(width, height);
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
        const RECT all = {0, 0, width, height};
        const HBRUSH brush = CreateSolidBrush(fill);
        FillRect(dc_, &all, brush);
        DeleteObject(brush);
    }
    ~Canvas() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC Dc() const { return dc_; }
    // 0x00BBGGRR like the core's colours.
    TColor Pixel(int x, int y) const {
        GdiFlush();
        return SwapRedAndBlue(static_cast<const std::uint32_t*>(bits_)[y * width_ + x]);
    }

private:
    int width_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    void* bits_ = nullptr;
};

Bitmap24 Sample() {
    Bitmap24 bitmap(3, 2, 0x00FFFFFF);
    bitmap.SetPixel(0, 0, 0x000000FF);
    bitmap.SetPixel(1, 0, 0x0000FF00);
    bitmap.SetPixel(2, 0, 0x00FF0000);
    bitmap.SetPixel(0, 1, 0x00123456);
    return bitmap;
}

TEST(Win32Bitmap, ShowsTheCorePixelsExactlyAt96Dpi) {
    Canvas canvas(8, 6, RGB(1, 2, 3));
    DrawBitmap24(canvas.Dc(), 2, 1, Sample(), Scale(96));
    EXPECT_EQ(canvas.Pixel(2, 1), 0x000000FFu);
    EXPECT_EQ(canvas.Pixel(3, 1), 0x0000FF00u);
    EXPECT_EQ(canvas.Pixel(4, 1), 0x00FF0000u);
    EXPECT_EQ(canvas.Pixel(2, 2), 0x00123456u);
    EXPECT_EQ(canvas.Pixel(4, 2), 0x00FFFFFFu);
    // Nothing outside the bitmap's place is touched.
    EXPECT_EQ(canvas.Pixel(1, 1), 0x00030201u);
    EXPECT_EQ(canvas.Pixel(5, 1), 0x00030201u);
    EXPECT_EQ(canvas.Pixel(2, 3), 0x00030201u);
}

TEST(Win32Bitmap, ScalesWholePixelsAbove96DpiAndShowsTheBackgroundForTheTransparentColour) {
    Canvas canvas(8, 6, RGB(0, 0, 0));
    DrawBitmap24(canvas.Dc(), 0, 0, Sample(), Scale(192), {0x00FFFFFF, 0x00ABCDEF});
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 2; ++x) {
            EXPECT_EQ(canvas.Pixel(x, y), 0x000000FFu);
            EXPECT_EQ(canvas.Pixel(2 + x, y), 0x0000FF00u);
            EXPECT_EQ(canvas.Pixel(x, 2 + y), 0x00123456u);
            EXPECT_EQ(canvas.Pixel(4 + x, 2 + y), 0x00ABCDEFu) << "the transparent colour";
        }
    }
    EXPECT_EQ(canvas.Pixel(6, 0), 0u);
}

TEST(Win32Bitmap, AnEmptyBitmapDrawsNothing) {
    Canvas canvas(2, 2, RGB(9, 9, 9));
    DrawBitmap24(canvas.Dc(), 0, 0, Bitmap24(), Scale(96));
    EXPECT_EQ(canvas.Pixel(0, 0), 0x00090909u);
}

} // namespace
} // namespace pelmora::win32
