#include "gradient/ColorAdjust.h"
#include "pattern/Pattern.h"
#include "platform/syscolors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <sstream>

namespace pelmora {
namespace {

constexpr TColor kWhite = 0x00FFFFFF;
constexpr TColor kRed = 0x000000FF;
constexpr TColor kBlue = 0x00FF0000;
constexpr TColor kGreen = 0x0000FF00;
constexpr TColor kLight = 0x0000C8C8;  // (200, 200, 0)
constexpr TColor kShadow = 0x00640000; // (0, 0, 100)

// A pad with a W x H button, icon (5, 3, 8, 6), name (2, 11, 16, 4), and plain frame colours.
TPadInfo Pad(std::int32_t w = 20, std::int32_t h = 16, std::int32_t caption = 1) {
    TPadInfo p;
    p.BtnWidth = w;
    p.BtnHeight = h;
    p.BtnCaption = caption;
    p.BtnColor = static_cast<std::int32_t>(kBlue);
    p.IconLeft = 5;
    p.IconTop = 3;
    p.IconWidth = 8;
    p.IconHeight = 6;
    p.NameLeft = 2;
    p.NameTop = 11;
    p.NameWidth = 16;
    p.NameHeight = 4;
    p.FrameLight = static_cast<std::int32_t>(kLight);
    p.FrameShadow = static_cast<std::int32_t>(kShadow);
    return p;
}

Bitmap24 Cell(const TPadInfo& pad, TColor fill = kWhite) {
    return Bitmap24(pad.BtnWidth + 4, pad.BtnHeight + 4, fill);
}

// A pattern whose base part paints nothing, so only the parts under test show.
std::unique_ptr<TPatrn> BlankPattern() {
    auto p = std::make_unique<TPatrn>();
    p->Parts(0)->Fill = fkNon;
    return p;
}

TParts& AddPart(TPatrn& p, std::uint8_t area, bool frame, std::uint8_t fill, TColor color = 0) {
    TParts& part = p.AddNew();
    part.Area = area;
    part.IsFrame = frame;
    part.Fill = fill;
    part.Color = color;
    return part;
}

Bitmap24 Draw(const TPatrn& p, const TPadInfo& pad, TColor background = kWhite) {
    Bitmap24 cell = Cell(pad, background);
    p.Draw(cell, pad);
    return cell;
}

std::string Diff(const Bitmap24& actual, const Bitmap24& expected) {
    std::ostringstream out;
    int shown = 0;
    for (int y = 0; y < expected.Height(); ++y) {
        for (int x = 0; x < expected.Width(); ++x) {
            if (actual.Pixel(x, y) != expected.Pixel(x, y) && shown++ < 8) {
                out << " (" << x << "," << y << "): " << std::hex << actual.Pixel(x, y)
                    << " expected " << expected.Pixel(x, y) << std::dec;
            }
        }
    }
    return out.str();
}

void ExpectSame(const Bitmap24& actual, const Bitmap24& expected) {
    ASSERT_EQ(actual.Width(), expected.Width());
    ASSERT_EQ(actual.Height(), expected.Height());
    EXPECT_TRUE(actual == expected) << Diff(actual, expected);
}

// ---- regions -----------------------------------------------------------------

TEST(PatternPaintRegion, NamePartsNeedACaption) {
    const TPadInfo pad = Pad(20, 16, 0);
    for (const bool frame : {false, true}) {
        auto p = BlankPattern();
        AddPart(*p, paName, frame, fkMono, kRed).Outer = {5, 5, 5, 5};
        ExpectSame(Draw(*p, pad), Cell(pad));

        // The same part on a pad that shows names does paint.
        EXPECT_FALSE(Draw(*p, Pad(20, 16, 1)) == Cell(pad));
    }
}

TEST(PatternPaintRegion, WholeButtonShrunkByTwo) {
    const TPadInfo pad = Pad(20, 16);
    auto p = BlankPattern();
    AddPart(*p, paAll, false, fkMono, kRed).Outer = {-2, -2, -2, -2};
    Bitmap24 expected = Cell(pad);
    expected.FillRect({2, 2, 22, 18}, kRed);
    ExpectSame(Draw(*p, pad), expected);
}

TEST(PatternPaintRegion, IconGrownByOne) {
    const TPadInfo pad = Pad();
    auto p = BlankPattern();
    AddPart(*p, paIcon, false, fkMono, kRed).Outer = {1, 1, 1, 1};
    Bitmap24 expected = Cell(pad);
    expected.FillRect({4, 2, 14, 10}, kRed);
    ExpectSame(Draw(*p, pad), expected);
}

TEST(PatternPaintRegion, EachSideMovesItsOwnEdge) {
    const TPadInfo pad = Pad();
    auto p = BlankPattern();
    AddPart(*p, paName, false, fkMono, kGreen).Outer = {1, -1, 2, 3};
    Bitmap24 expected = Cell(pad);
    expected.FillRect({1, 12, 20, 18}, kGreen);
    ExpectSame(Draw(*p, pad), expected);
}

TEST(PatternPaintRegion, ButtonColourFillsTheCell) {
    const TPadInfo pad = Pad(6, 4);
    TPatrn p; // base part: the button colour
    ExpectSame(Draw(p, pad), Cell(pad, kBlue));
}

TEST(PatternPaintRegion, LaterPartsPaintOverEarlierOnes) {
    const TPadInfo pad = Pad();
    TPatrn p;
    AddPart(p, paIcon, false, fkMono, kRed);
    AddPart(p, paIcon, false, fkMono, kGreen).Outer = {0, 0, -4, 0};
    Bitmap24 expected = Cell(pad, kBlue);
    expected.FillRect({5, 3, 13, 9}, kRed);
    expected.FillRect({5, 3, 9, 9}, kGreen);
    ExpectSame(Draw(p, pad), expected);
}

TEST(PatternPaintRegion, UnpaintedBasePartKeepsTheBitmap) {
    const TPadInfo pad = Pad();
    auto p = BlankPattern();
    AddPart(*p, paIcon, false, fkMono, kRed);
    Bitmap24 expected = Cell(pad, kGreen);
    expected.FillRect({5, 3, 13, 9}, kRed);
    ExpectSame(Draw(*p, pad, kGreen), expected);
}

TEST(PatternPaintRegion, FilledRegionWithFrameColoursPaintsNothing) {
    const TPadInfo pad = Pad();
    auto p = BlankPattern();
    AddPart(*p, paAll, false, fkBtnF);
    AddPart(*p, paIcon, false, fkBtnF);
    ExpectSame(Draw(*p, pad), Cell(pad));
}

TEST(PatternPaintRegion, ShrunkToNothingPaintsNothing) {
    const TPadInfo pad = Pad();
    auto p = BlankPattern();
    AddPart(*p, paIcon, false, fkMono, kRed).Outer = {-4, 0, -4, 0}; // empty
    AddPart(*p, paIcon, false, fkMono, kRed).Outer = {-5, 0, -5, 0}; // inverted
    AddPart(*p, paAll, false, fkBtn).Outer = {-20, -20, -20, -20};   // inverted
    ExpectSame(Draw(*p, pad), Cell(pad));
}

// ---- frames ------------------------------------------------------------------

TEST(PatternPaintFrame, OnePixelOutlineKeepsTheInside) {
    const TPadInfo pad = Pad();
    TPatrn p; // blue background
    AddPart(p, paIcon, true, fkMono, kRed);
    Bitmap24 expected = Cell(pad, kBlue);
    expected.FillRect({5, 3, 13, 9}, kRed);
    expected.FillRect({6, 4, 12, 8}, kBlue);
    ExpectSame(Draw(p, pad), expected);
}

TEST(PatternPaintFrame, SidesOfDifferentThickness) {
    const TPadInfo pad = Pad();
    TPatrn p;
    AddPart(p, paIcon, true, fkMono, kRed).Thick = {0, 2, 3, 1};
    Bitmap24 expected = Cell(pad, kBlue);
    expected.FillRect({5, 3, 13, 9}, kRed);
    expected.FillRect({5, 5, 10, 8}, kBlue);
    ExpectSame(Draw(p, pad), expected);
}

TEST(PatternPaintFrame, OverlappingThicknessFramesTheWholeRegion) {
    const TPadInfo pad = Pad();
    // Icon 8 wide: 5 + 4 overlap (inverted inner rectangle), 4 + 4 meet (empty).
    for (const std::int32_t side : {5, 4}) {
        TPatrn p;
        AddPart(p, paIcon, true, fkMono, kRed).Thick = {side, 1, 4, 1};
        Bitmap24 expected = Cell(pad, kBlue);
        expected.FillRect({5, 3, 13, 9}, kRed);
        ExpectSame(Draw(p, pad), expected);
    }
    TPatrn p;
    AddPart(p, paIcon, true, fkMono, kRed).Thick = {3, 1, 3, 1};
    Bitmap24 expected = Cell(pad, kBlue);
    expected.FillRect({5, 3, 13, 9}, kRed);
    expected.FillRect({8, 4, 10, 8}, kBlue);
    ExpectSame(Draw(p, pad), expected);
}

TEST(PatternPaintFrame, InnerRectangleReachingPastTheCanvas) {
    const TPadInfo pad = Pad(6, 4); // cell 10 x 8
    TPatrn p;
    TParts& frame = AddPart(p, paAll, true, fkMono, kRed);
    frame.Outer = {3, 3, 3, 3};
    frame.Thick = {4, 4, 4, 4};
    Bitmap24 expected = Cell(pad, kRed);
    expected.FillRect({1, 1, 9, 7}, kBlue);
    ExpectSame(Draw(p, pad), expected);

    // A frame wholly outside the cell shows nothing.
    frame.Thick = {3, 3, 3, 3};
    ExpectSame(Draw(p, pad), Cell(pad, kBlue));
}

TEST(PatternPaintFrame, SingleBevel) {
    const TPadInfo pad = Pad(6, 4); // cell 10 x 8
    auto p = BlankPattern();
    AddPart(*p, paAll, true, fkBtnF);
    Bitmap24 expected = Cell(pad);
    expected.FillRect({0, 0, 1, 8}, kLight);   // left column, bottom-left corner included
    expected.FillRect({0, 0, 9, 1}, kLight);   // top row up to right - 2
    expected.FillRect({9, 0, 10, 8}, kShadow); // right column, top-right corner included
    expected.FillRect({1, 7, 10, 8}, kShadow); // bottom row from left + 1
    const Bitmap24 actual = Draw(*p, pad);
    ExpectSame(actual, expected);
    EXPECT_EQ(actual.Pixel(9, 0), kShadow);
    EXPECT_EQ(actual.Pixel(0, 7), kLight);
}

TEST(PatternPaintFrame, ThreeNestedBevels) {
    const TPadInfo pad = Pad(6, 4); // cell 10 x 8
    auto p = BlankPattern();
    AddPart(*p, paAll, true, fkBtnF).Thick = {3, 3, 3, 3};
    Bitmap24 expected = Cell(pad);
    for (int i = 0; i < 3; ++i) {
        expected.FillRect({i, i, i + 1, 8 - i}, kLight);
        expected.FillRect({i, i, 9 - i, i + 1}, kLight);
        expected.FillRect({9 - i, i, 10 - i, 8 - i}, kShadow);
        expected.FillRect({i + 1, 7 - i, 10 - i, 8 - i}, kShadow);
    }
    ExpectSame(Draw(*p, pad), expected);
}

TEST(PatternPaintFrame, ThinnerSideSpreadsItsLinesHalfToEven) {
    // Thick left 5, right 3: the right-side insets of the five bevels are
    // nearest(i * 0.5) = 0, 0, 1, 2, 2. With top and bottom thick 5, row i of
    // the cell turns from light to shadow at the right line of bevel i.
    const TPadInfo pad = Pad(16, 6); // cell 20 x 10
    auto p = BlankPattern();
    AddPart(*p, paAll, true, fkBtnF).Thick = {5, 5, 3, 5};
    const Bitmap24 cell = Draw(*p, pad);
    const int rightInset[5] = {0, 0, 1, 2, 2};
    for (int row = 0; row < 5; ++row) {
        const int firstShadow = 19 - rightInset[row];
        for (int x = 0; x < 20; ++x) {
            EXPECT_EQ(cell.Pixel(x, row), x < firstShadow ? kLight : kShadow)
                << "x " << x << " row " << row;
        }
    }
}

TEST(PatternPaintFrame, NoThicknessNoBevel) {
    const TPadInfo pad = Pad();
    for (const TTrim thick : {TTrim{0, 0, 0, 0}, TTrim{-1, -5, 0, -2}}) {
        auto p = BlankPattern();
        AddPart(*p, paAll, true, fkBtnF).Thick = thick;
        ExpectSame(Draw(*p, pad), Cell(pad));
    }
}

TEST(PatternPaintFrame, BevelOnePixelWideIsShadow) {
    const TPadInfo pad = Pad();
    auto p = BlankPattern();
    TParts& part = AddPart(*p, paIcon, true, fkBtnF);
    part.Outer = {0, 0, -7, 0}; // icon (5, 3, 8, 6) cut to one column
    Bitmap24 expected = Cell(pad);
    expected.FillRect({5, 3, 6, 9}, kShadow);
    ExpectSame(Draw(*p, pad), expected);
}

TEST(PatternPaintFrame, DrawBevelOfAnInvertedRectanglePaintsItsNonEmptyLines) {
    Bitmap24 canvas(10, 10);
    DrawBevel(canvas, TRect64{6, 2, 4, 8}, kLight, kShadow); // inverted across
    Bitmap24 expected(10, 10);
    expected.FillRect({6, 2, 7, 8}, kLight);  // left column at x = 6
    expected.FillRect({3, 2, 4, 8}, kShadow); // right column at x = 3
    ExpectSame(canvas, expected);
}

// ---- colour shifts -------------------------------------------------------------

constexpr TColor Grey(int v) {
    return Rgb(v, v, v);
}

TEST(PatternPaintShift, ButtonColourIsShiftedOnlyWithBtnColTrim) {
    TPadInfo pad = Pad();
    pad.BtnColor = static_cast<std::int32_t>(Grey(128));
    TPatrn p; // base part: button colour
    AddPart(p, paIcon, false, fkMono, Grey(128));
    p.Lumi = 8;
    // ColorAdjust(grey 128, 8, 0) is (230, 230, 230).
    Bitmap24 expected = Cell(pad, Grey(128));
    expected.FillRect({5, 3, 13, 9}, Grey(230));
    ExpectSame(Draw(p, pad), expected);

    p.BtnColTrim = true;
    ExpectSame(Draw(p, pad), Cell(pad, Grey(230)));
}

TEST(PatternPaintShift, LumiThreeAgainstTheColourAdjustment) {
    TPadInfo pad = Pad();
    pad.BtnColor = static_cast<std::int32_t>(Rgb(10, 120, 200));
    TPatrn p;
    AddPart(p, paIcon, false, fkMono, Rgb(10, 120, 200));
    p.Lumi = 3;
    const Bitmap24 cell = Draw(p, pad);
    EXPECT_EQ(cell.Pixel(0, 0), Rgb(10, 120, 200));
    EXPECT_EQ(cell.Pixel(6, 4), ColorAdjust(Rgb(10, 120, 200), 3, 0));
    EXPECT_NE(cell.Pixel(6, 4), Rgb(10, 120, 200));
}

TEST(PatternPaintShift, NoShiftChangesNothing) {
    TPadInfo pad = Pad();
    pad.BtnColor = static_cast<std::int32_t>(Grey(128));
    TPatrn p;
    p.BtnColTrim = true;
    AddPart(p, paIcon, false, fkMono, Grey(128));
    // Not even the HLS round trip (which turns 128 into 129).
    ExpectSame(Draw(p, pad), Cell(pad, Grey(128)));
}

TEST(PatternPaintShift, SystemColoursAreResolvedBeforeTheShift) {
    // The button face (240, 240, 240) at Lumi -3: L 226 -> 226 + Round(-67.8) =
    // 158 -> 158 * 255 / 240 = 167.875 -> 168. Highlight white: L 240 -> 168 ->
    // 178.5 -> 178. Shadow 160: L 151 -> 151 + Round(-45.3) = 106 -> 112.625 -> 113.
    TPadInfo pad = Pad(6, 4);
    pad.BtnColor = static_cast<std::int32_t>(0x8000000Fu);
    pad.FrameLight = static_cast<std::int32_t>(SystemColorRef(kColorBtnHighlight));
    pad.FrameShadow = static_cast<std::int32_t>(SystemColorRef(kColorBtnShadow));
    TPatrn p;
    p.Lumi = -3;
    p.BtnColTrim = true;
    AddPart(p, paAll, true, fkBtnF);
    Bitmap24 expected = Cell(pad, Grey(168));
    expected.FillRect({0, 0, 1, 8}, Grey(178));
    expected.FillRect({0, 0, 9, 1}, Grey(178));
    expected.FillRect({9, 0, 10, 8}, Grey(113));
    expected.FillRect({1, 7, 10, 8}, Grey(113));
    ExpectSame(Draw(p, pad), expected);

    // Unshifted, they are the plain system colours.
    p.Lumi = 0;
    expected = Cell(pad, Grey(240));
    expected.FillRect({0, 0, 1, 8}, Grey(255));
    expected.FillRect({0, 0, 9, 1}, Grey(255));
    expected.FillRect({9, 0, 10, 8}, Grey(160));
    expected.FillRect({1, 7, 10, 8}, Grey(160));
    ExpectSame(Draw(p, pad), expected);
}

TEST(PatternPaintShift, SingleSystemColourIsResolvedBeforeTheShift) {
    const TPadInfo pad = Pad(6, 4);
    auto p = BlankPattern();
    AddPart(*p, paAll, false, fkMono, 0xFF00000F);
    p->Lumi = -3;
    ExpectSame(Draw(*p, pad), Cell(pad, Grey(168)));
}

TEST(PatternPaintShift, GradientsAreShiftedWhateverBtnColTrimSays) {
    // ColorAdjust(red, -4, 0) is (154, 0, 0).
    const TPadInfo pad = Pad(6, 4);
    auto p = BlankPattern();
    TParts& grad = AddPart(*p, paAll, false, fkGrad);
    grad.GradText = "0,0,0,0,0,,00000000FF,64000000FF";
    p->Lumi = -4;
    ExpectSame(Draw(*p, pad), Cell(pad, Rgb(154, 0, 0)));
    p->Lumi = 0;
    ExpectSame(Draw(*p, pad), Cell(pad, kRed));
}

// ---- gradients -----------------------------------------------------------------

TEST(PatternPaintGradient, PaintedOverTheRegionsPixels) {
    const TPadInfo pad = Pad(); // icon (5, 3, 8, 6)
    auto p = BlankPattern();
    AddPart(*p, paIcon, false, fkGrad).GradText = "0,0,0,0,0,,0000000000,6400FFFFFF";
    const Bitmap24 cell = Draw(*p, pad);
    for (int y = 0; y < cell.Height(); ++y) {
        for (int x = 0; x < cell.Width(); ++x) {
            const bool inIcon = x >= 5 && x < 13 && y >= 3 && y < 9;
            if (!inIcon) {
                ASSERT_EQ(cell.Pixel(x, y), kWhite) << x << "," << y;
            } else if (x == 5) {
                ASSERT_EQ(cell.Pixel(x, y), 0u) << "first column is position 0";
            } else if (x == 12) {
                ASSERT_EQ(cell.Pixel(x, y), kWhite) << "last column is position 1000";
            } else {
                ASSERT_NE(cell.Pixel(x, y), kWhite);
                ASSERT_NE(cell.Pixel(x, y), 0u);
            }
        }
    }
}

TEST(PatternPaintGradient, FrameKeepsTheInside) {
    const TPadInfo pad = Pad();
    TPatrn p;
    AddPart(p, paIcon, true, fkGrad).GradText = "0,0,0,0,0,,000000FF00,640000FF00";
    const Bitmap24 cell = Draw(p, pad);
    EXPECT_EQ(cell.Pixel(5, 3), kGreen);
    EXPECT_EQ(cell.Pixel(12, 8), kGreen);
    EXPECT_EQ(cell.Pixel(6, 4), kBlue);
    EXPECT_EQ(cell.Pixel(4, 3), kBlue);
}

// ---- previews ------------------------------------------------------------------

TEST(PatternPreview, NoneForAnEmptyFill) {
    TPatrn p;
    TParts& part = AddPart(p, paIcon, true, fkNon);
    EXPECT_FALSE(part.CreatePreview(20, Pad()).has_value());
}

TEST(PatternPreview, WholeSquareUnshifted) {
    TPadInfo pad = Pad();
    pad.BtnColor = static_cast<std::int32_t>(Grey(128));
    TPatrn p;
    p.Lumi = 8;
    p.Hue = 6;
    p.BtnColTrim = true;

    TParts& frame = AddPart(p, paIcon, true, fkMono, kRed);
    frame.Outer = {3, 3, 3, 3}; // ignored by the preview
    frame.Thick = {2, 2, 2, 2};
    const auto framed = frame.CreatePreview(20, pad);
    ASSERT_TRUE(framed.has_value());
    Bitmap24 expected(20, 20, kRed);
    expected.FillRect({2, 2, 18, 18}, kWhite);
    ExpectSame(*framed, expected);

    TParts& button = AddPart(p, paName, false, fkBtn);
    ExpectSame(*button.CreatePreview(20, pad), Bitmap24(20, 20, Grey(128)));

    TParts& grad = AddPart(p, paAll, false, fkGrad);
    grad.GradText = "0,0,0,0,0,,00000000FF,64000000FF";
    ExpectSame(*grad.CreatePreview(20, pad), Bitmap24(20, 20, kRed));

    TParts& bevel = AddPart(p, paName, true, fkBtnF);
    Bitmap24 bevelled(20, 20);
    bevelled.FillRect({0, 0, 1, 20}, kLight);
    bevelled.FillRect({0, 0, 19, 1}, kLight);
    bevelled.FillRect({19, 0, 20, 20}, kShadow);
    bevelled.FillRect({1, 19, 20, 20}, kShadow);
    ExpectSame(*bevel.CreatePreview(20, pad), bevelled);

    // A filled region with frame colours paints nothing but still has a preview.
    TParts& flat = AddPart(p, paAll, false, fkBtnF);
    ExpectSame(*flat.CreatePreview(20, pad), Bitmap24(20, 20));
}

// ---- wild values ---------------------------------------------------------------

// Straight from the definition: every bevel of the stack, one pixel at a time.
void ReferenceBevel(Bitmap24& c, std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b,
                    TColor light, TColor shadow) {
    const auto set = [&](std::int64_t x, std::int64_t y, TColor colour) {
        if (x >= 0 && y >= 0 && x < c.Width() && y < c.Height()) {
            c.SetPixel(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y), colour);
        }
    };
    const std::int64_t w = c.Width();
    const std::int64_t h = c.Height();
    for (std::int64_t y = std::max<std::int64_t>(t, 0); y <= std::min(b - 1, h); ++y) {
        set(l, y, light);
    }
    for (std::int64_t x = std::max<std::int64_t>(l, 0); x <= std::min(r - 2, w); ++x) {
        set(x, t, light);
    }
    for (std::int64_t y = std::max<std::int64_t>(t, 0); y <= std::min(b - 1, h); ++y) {
        set(r - 1, y, shadow);
    }
    for (std::int64_t x = std::max<std::int64_t>(l + 1, 0); x <= std::min(r - 1, w); ++x) {
        set(x, b - 1, shadow);
    }
}

void ReferenceFrame(Bitmap24& c, const TRect64& r, const TTrim& thick, std::int64_t maxBevels) {
    const std::int64_t n = std::max({0, thick.Left, thick.Top, thick.Right, thick.Bottom});
    if (n == 0) {
        return;
    }
    if (n == 1) {
        ReferenceBevel(c, r.Left, r.Top, r.Right, r.Bottom, kLight, kShadow);
        return;
    }
    const auto step = [&](std::int32_t side) {
        const long double s = (static_cast<long double>(side) - 1) / (n - 1);
        return s < 0 ? 0.0L : s;
    };
    const long double sl = step(thick.Left), st = step(thick.Top), sr = step(thick.Right),
                      sb = step(thick.Bottom);
    const auto nearest = [](long double v) {
        return static_cast<std::int64_t>(std::nearbyintl(v));
    };
    for (std::int64_t i = 0; i < std::min(n, maxBevels); ++i) {
        ReferenceBevel(c, r.Left + nearest(i * sl), r.Top + nearest(i * st),
                       r.Right - nearest(i * sr), r.Bottom - nearest(i * sb), kLight, kShadow);
    }
}

TEST(PatternPaintWild, HugeThicknessPaintsWhatTheArithmeticSays) {
    const TPadInfo pad = Pad(26, 16); // cell 30 x 20
    struct Case {
        TTrim Thick;
        TRect64 Region;
    };
    // After a hundred bevels every line of these stacks has left the cell.
    const Case cases[] = {
        {{2000000000, 2000000000, 2000000000, 2000000000}, {0, 0, 30, 20}},
        {{INT32_MAX, 7, 1000000000, 0}, {0, 0, 30, 20}},
        {{1, INT32_MAX, 1, 1}, {-5, 3, 25, 40}},
        {{INT32_MAX, INT32_MAX, 1, 1}, {-40, -40, 31, 21}},
    };
    for (const Case& c : cases) {
        TPatrn p;
        TParts& part = p.AddNew();
        part.IsFrame = true;
        part.Fill = fkBtnF;
        part.Thick = c.Thick;
        Bitmap24 actual = Cell(pad);
        part.PaintBtnFrame(actual, c.Region, false, pad);
        Bitmap24 expected = Cell(pad);
        ReferenceFrame(expected, c.Region, c.Thick, 1000);
        ExpectSame(actual, expected);
    }
}

TEST(PatternPaintWild, BevelStacksMatchTheDefinition) {
    std::mt19937 random(20261207);
    const auto pick = [&](int lo, int hi) {
        return std::uniform_int_distribution<int>(lo, hi)(random);
    };
    for (int round = 0; round < 400; ++round) {
        Bitmap24 actual(pick(1, 24), pick(1, 24));
        Bitmap24 expected = actual;
        const TRect64 region{pick(-30, 20), pick(-30, 20), pick(-10, 40), pick(-10, 40)};
        const TTrim thick{pick(-3, 60), pick(-3, 60), pick(-3, 60), pick(-3, 60)};
        TPatrn p;
        TParts& part = p.AddNew();
        part.Thick = thick;
        part.PaintBtnFrame(actual, region, false, Pad());
        ReferenceFrame(expected, region, thick, INT64_MAX);
        ExpectSame(actual, expected);
        if (HasFailure()) {
            ADD_FAILURE() << "region " << region.Left << "," << region.Top << "," << region.Right
                          << "," << region.Bottom << " thick " << thick.Left << "," << thick.Top
                          << "," << thick.Right << "," << thick.Bottom;
            break;
        }
    }
}

TEST(PatternPaintWild, ExtremeEdgeAdjustments) {
    const TPadInfo pad = Pad(6, 4);
    auto p = BlankPattern();
    AddPart(*p, paIcon, false, fkMono, kRed).Outer = {INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX};
    ExpectSame(Draw(*p, pad), Cell(pad, kRed));

    p = BlankPattern();
    AddPart(*p, paAll, false, fkMono, kRed).Outer = {INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN};
    ExpectSame(Draw(*p, pad), Cell(pad));

    // A frame thicker than anything: the inner rectangle is inverted.
    const TPadInfo wide = Pad();
    p = BlankPattern();
    AddPart(*p, paName, true, fkBtn).Thick = {INT32_MAX, INT32_MAX, INT32_MAX, INT32_MIN};
    Bitmap24 expected = Cell(wide);
    expected.FillRect({2, 11, 18, 15}, kBlue);
    ExpectSame(Draw(*p, wide), expected);

    // Thickness reaching beyond the 32-bit range keeps everything inside.
    p = BlankPattern();
    TParts& kept = AddPart(*p, paAll, true, fkBtn);
    kept.Outer = {INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX};
    kept.Thick = {INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN};
    ExpectSame(Draw(*p, pad), Cell(pad));

    // Gradients over a region far larger than the cell still paint the cell.
    p = BlankPattern();
    TParts& grad = AddPart(*p, paAll, false, fkGrad);
    grad.GradText = "1,0,0,0,1,,00000000FF,64000000FF";
    grad.Outer = {INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX};
    ExpectSame(Draw(*p, pad), Cell(pad, kRed));
}

} // namespace
} // namespace pelmora
