#include "platform/bitmap.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

using namespace pelmora;

namespace {

constexpr TColor kRed = 0x000000FF;

// The bitmap as rows of characters: '#' where the pixel is `ink`, '.' elsewhere.
std::vector<std::string> Picture(const Bitmap24& b, TColor ink) {
    std::vector<std::string> rows;
    for (std::int32_t y = 0; y < b.Height(); ++y) {
        std::string row;
        for (std::int32_t x = 0; x < b.Width(); ++x) {
            row += b.Pixel(x, y) == ink ? '#' : '.';
        }
        rows.push_back(row);
    }
    return rows;
}

TEST(PlatformBitmap, SidesAreChecked) {
    EXPECT_THROW(Bitmap24(-1, 1), BitmapError);
    EXPECT_THROW(Bitmap24(1, -1), BitmapError);
    EXPECT_THROW(Bitmap24(kMaxBitmapSide + 1, 1), BitmapError);
    EXPECT_THROW(Bitmap24(1, kMaxBitmapSide + 1), BitmapError);
    EXPECT_THROW(Bitmap24(INT32_MIN, INT32_MIN), BitmapError);
    const Bitmap24 empty(0, 5);
    EXPECT_EQ(empty.Width(), 0);
    EXPECT_TRUE(empty.Bytes().empty());
    const Bitmap24 tall(1, kMaxBitmapSide);
    EXPECT_EQ(tall.Bytes().size(), 3u * kMaxBitmapSide);
}

TEST(PlatformBitmap, PixelsAreStoredBlueGreenRed) {
    Bitmap24 b(2, 2, 0x00332211);
    const auto& bytes = b.Bytes();
    ASSERT_EQ(bytes.size(), 12u);
    EXPECT_EQ(bytes[0], 0x33);
    EXPECT_EQ(bytes[1], 0x22);
    EXPECT_EQ(bytes[2], 0x11);
    b.SetPixel(1, 1, 0xFF0A0B0C); // the top byte is not a colour
    EXPECT_EQ(b.Pixel(1, 1), 0x000A0B0Cu);
    EXPECT_EQ(b.Row(1)[3], 0x0A);
    EXPECT_EQ(b.Row(1)[5], 0x0C);
    for (const auto& [x, y] : std::vector<std::pair<int, int>>{{-1, 0}, {0, -1}, {2, 0}, {0, 2}}) {
        EXPECT_EQ(b.Pixel(x, y), 0u);
        b.SetPixel(x, y, kRed); // ignored
    }
    EXPECT_EQ(Bitmap24(2, 2, 0x00332211).Pixel(0, 0), b.Pixel(0, 0));
}

struct FillCase {
    TRect Rect;
    std::vector<std::string> Picture;
};

TEST(PlatformBitmap, FillRectClips) {
    const FillCase cases[] = {
        {{1, 1, 3, 2}, {"....", ".##.", "...."}},
        {{-5, -5, 2, 1}, {"##..", "....", "...."}},
        {{2, 1, 100, 100}, {"....", "..##", "..##"}},
        {{3, 1, 1, 2}, {"....", "....", "...."}}, // inverted
        {{1, 1, 1, 3}, {"....", "....", "...."}}, // empty
        {{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, {"####", "####", "####"}},
    };
    for (const auto& c : cases) {
        Bitmap24 b(4, 3);
        b.FillRect(c.Rect, kRed);
        EXPECT_EQ(Picture(b, kRed), c.Picture)
            << c.Rect.Left << "," << c.Rect.Top << "," << c.Rect.Right << "," << c.Rect.Bottom;
    }
}

struct LineCase {
    std::vector<TPoint> Points;
    std::vector<std::string> Picture;
};

TEST(PlatformBitmap, PolylineLeavesOutTheFinalPoint) {
    const LineCase cases[] = {
        {{{0, 1}, {4, 1}}, {".....", "####.", ".....", ".....", "....."}},
        {{{4, 1}, {0, 1}}, {".....", ".####", ".....", ".....", "....."}},
        {{{2, 0}, {2, 4}}, {"..#..", "..#..", "..#..", "..#..", "....."}},
        {{{2, 4}, {2, 0}}, {".....", "..#..", "..#..", "..#..", "..#.."}},
        // A closed frame: each corner is drawn by the segment that leaves it.
        {{{0, 0}, {4, 0}, {4, 4}, {0, 4}, {0, 0}}, {"#####", "#...#", "#...#", "#...#", "#####"}},
        // An open one misses only its last point.
        {{{0, 0}, {4, 0}, {4, 4}}, {"#####", "....#", "....#", "....#", "....."}},
        // Right edge then bottom edge of a 3x3 box, as bevels draw them.
        {{{3, 0}, {3, 3}, {0, 3}}, {"...#.", "...#.", "...#.", ".###.", "....."}},
        {{{0, 0}, {4, 4}}, {"#....", ".#...", "..#..", "...#.", "....."}},
        {{{0, 0}, {4, 2}}, {"#....", ".##..", "...#.", ".....", "....."}},
        {{{1, 1}}, {".....", ".....", ".....", ".....", "....."}},
        {{{1, 1}, {1, 1}}, {".....", ".....", ".....", ".....", "....."}},
        {{}, {".....", ".....", ".....", ".....", "....."}},
        // Clipped on every side, with end points far away.
        {{{-100, 2}, {100, 2}}, {".....", ".....", "#####", ".....", "....."}},
        {{{3, INT32_MIN}, {3, INT32_MAX}}, {"...#.", "...#.", "...#.", "...#.", "...#."}},
        {{{INT32_MAX, 0}, {INT32_MIN, 0}}, {"#####", ".....", ".....", ".....", "....."}},
        {{{-4, -4}, {4, 4}}, {"#....", ".#...", "..#..", "...#.", "....."}},
        {{{INT32_MIN, INT32_MIN}, {INT32_MAX, INT32_MAX}},
         {"#....", ".#...", "..#..", "...#.", "....#"}},
        {{{10, 10}, {20, 20}}, {".....", ".....", ".....", ".....", "....."}},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        Bitmap24 b(5, 5);
        b.Polyline(cases[i].Points, kRed);
        EXPECT_EQ(Picture(b, kRed), cases[i].Picture) << "case " << i;
    }
}

TEST(PlatformBitmap, CopyRectClipsBothSides) {
    Bitmap24 src(3, 3);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 3; ++x) {
            src.SetPixel(x, y, static_cast<TColor>(10 * y + x + 1));
        }
    }
    struct CopyCase {
        int DestX, DestY;
        TRect Rect;
        std::vector<std::string> Expected; // source pixel number per cell, '.' untouched
    };
    // Cells hold '1'..'9' for source pixels (10*y+x+1 -> y*3+x+1 printed).
    const CopyCase cases[] = {
        {0, 0, {0, 0, 3, 3}, {"123.", "456.", "789.", "...."}},
        {1, 1, {0, 0, 3, 3}, {"....", ".123", ".456", ".789"}},
        {2, 2, {0, 0, 3, 3}, {"....", "....", "..12", "..45"}},
        {-1, -1, {0, 0, 3, 3}, {"56..", "89..", "....", "...."}},
        {0, 0, {-1, -1, 2, 2}, {"....", ".12.", ".45.", "...."}},
        {0, 0, {1, 1, 1, 3}, {"....", "....", "....", "...."}},
        {0, 0, {2, 2, 0, 0}, {"....", "....", "....", "...."}},
        {INT32_MAX, 0, {0, 0, 3, 3}, {"....", "....", "....", "...."}},
        {INT32_MIN,
         INT32_MIN,
         {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX},
         {"123.", "456.", "789.", "...."}},
        {0, 0, {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, {"....", "....", "....", "...."}},
        {INT32_MAX,
         INT32_MAX,
         {INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX},
         {"....", "....", "....", "...."}},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        Bitmap24 dest(4, 4, 0);
        dest.CopyRect(c.DestX, c.DestY, src, c.Rect);
        std::vector<std::string> got;
        for (int y = 0; y < 4; ++y) {
            std::string row;
            for (int x = 0; x < 4; ++x) {
                const TColor p = dest.Pixel(x, y);
                row += p == 0 ? '.' : static_cast<char>('0' + (p / 10) * 3 + p % 10);
            }
            got.push_back(row);
        }
        EXPECT_EQ(got, c.Expected) << "case " << i;
    }
}

TEST(PlatformBitmap, CopyRectWithinOneBitmapUsesTheOldPixels) {
    Bitmap24 b(4, 1, 0);
    for (int x = 0; x < 4; ++x) {
        b.SetPixel(x, 0, static_cast<TColor>(x + 1));
    }
    b.CopyRect(1, 0, b, TRect{0, 0, 3, 1});
    EXPECT_EQ(b.Pixel(0, 0), 1u);
    EXPECT_EQ(b.Pixel(1, 0), 1u);
    EXPECT_EQ(b.Pixel(2, 0), 2u);
    EXPECT_EQ(b.Pixel(3, 0), 3u);
}

} // namespace
