#include "gradient/ColorAdjust.h"
#include "gradient/Gradient.h"
#include "platform/syscolors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace pelmora {
namespace {

constexpr TColor kRed = 0x0000FF;
constexpr TColor kGreen = 0x00FF00;
constexpr TColor kBlue = 0xFF0000;
constexpr TColor kWhite = 0xFFFFFF;
constexpr TColor kBlack = 0x000000;
constexpr TColor kSentinel = 0x123456;

// A gradient whose 1001 table entries are all different and exactly decodable:
// a stop at every percent p with red 10 * (p mod 25) and green 10 * (p div 25),
// so every step between neighbouring entries is a whole number.
TGrad PositionGradient() {
    TGrad g;
    for (int p = 1; p < 100; ++p) {
        g.AddStop(p);
    }
    for (int p = 0; p <= 100; ++p) {
        g.SetColor(p, Rgb(10 * (p % 25), 10 * (p / 25), 0));
    }
    return g;
}

// The ramp position a pixel of PositionGradient shows.
int Decode(TColor c) {
    const int red = RedOf(c);
    const int green = GreenOf(c);
    if (green % 10 == 0) {
        return 25 * green + red;
    }
    return 250 * (green / 10) + 240 + green % 10; // the drop from 240 back to 0
}

TEST(GradDrawHelper, PositionGradientDecodesEveryEntry) {
    TGrad g = PositionGradient();
    g.BuildTable(0, 0);
    for (int i = 0; i < kTableSize; ++i) {
        const auto& e = g.Table()[static_cast<std::size_t>(i)];
        ASSERT_EQ(Decode(Rgb(e[2], e[1], e[0])), i);
    }
}

// Paints `g` over the whole of a w x h canvas and returns the canvas.
Bitmap24 Paint(TGrad& g, int w, int h, int lumi = 0, int hue = 0) {
    Bitmap24 canvas(w, h, kSentinel);
    g.Draw(canvas, 0, 0, w - 1, h - 1, lumi, hue);
    return canvas;
}

int PosAt(const Bitmap24& b, int x, int y) {
    return Decode(b.Pixel(x, y));
}

TGrad Linear(int angle) {
    TGrad g = PositionGradient();
    g.SetAngle(angle);
    return g;
}

TGrad Centred(std::uint8_t kind, int angle, int cx, int cy, bool normalize) {
    TGrad g = PositionGradient();
    g.SetKind(kind);
    g.SetAngle(angle);
    g.CenterX = cx;
    g.CenterY = cy;
    g.Normalize = normalize;
    return g;
}

struct Probe {
    int X, Y, Pos;
};

void ExpectPositions(const Bitmap24& b, const std::vector<Probe>& probes) {
    for (const Probe& p : probes) {
        EXPECT_EQ(PosAt(b, p.X, p.Y), p.Pos) << "pixel (" << p.X << ", " << p.Y << ")";
    }
}

// --- Linear -------------------------------------------------------------------

TEST(GradDrawLinear, Angle0RunsLeftToRight) {
    TGrad g = Linear(0);
    const Bitmap24 b = Paint(g, 271, 3);
    ExpectPositions(b, {{0, 0, 0}, {270, 0, 1000}, {135, 2, 500}, {27, 1, 100}});
    for (int x = 0; x < 271; ++x) { // whole columns alike
        EXPECT_EQ(b.Pixel(x, 0), b.Pixel(x, 2));
    }

    TGrad bw;
    bw.SetColor(1, kWhite);
    const Bitmap24 plain = Paint(bw, 271, 1);
    EXPECT_EQ(plain.Pixel(0, 0), kBlack);
    EXPECT_EQ(plain.Pixel(270, 0), kWhite);
    EXPECT_EQ(plain.Pixel(135, 0), Rgb(128, 128, 128));
}

TEST(GradDrawLinear, Angle180MirrorsAngle0) {
    TGrad a = Linear(0);
    TGrad m = Linear(180);
    const Bitmap24 ba = Paint(a, 37, 4);
    const Bitmap24 bm = Paint(m, 37, 4);
    for (int x = 0; x < 37; ++x) {
        EXPECT_EQ(PosAt(bm, x, 1), 1000 - PosAt(ba, x, 1)) << x;
    }
    EXPECT_EQ(PosAt(bm, 0, 0), 1000);
    EXPECT_EQ(PosAt(bm, 36, 0), 0);
}

TEST(GradDrawLinear, Angle90RunsTopToBottomAnd270BottomToTop) {
    TGrad down = Linear(90);
    TGrad up = Linear(270);
    const Bitmap24 bd = Paint(down, 5, 201);
    const Bitmap24 bu = Paint(up, 5, 201);
    ExpectPositions(bd, {{0, 0, 0}, {4, 200, 1000}, {2, 100, 500}, {3, 1, 5}});
    ExpectPositions(bu, {{0, 0, 1000}, {4, 200, 0}, {2, 100, 500}, {3, 1, 995}});
    for (int y = 0; y < 201; ++y) { // whole rows alike
        EXPECT_EQ(bd.Pixel(0, y), bd.Pixel(4, y));
    }
}

struct CornerCase {
    int Angle;
    int W, H;
    int TopLeft, TopRight, BottomLeft, BottomRight;
};

class GradDrawLinearAngles : public ::testing::TestWithParam<CornerCase> {};

TEST_P(GradDrawLinearAngles, CornersFollowTheDirection) {
    const CornerCase& c = GetParam();
    TGrad g = Linear(c.Angle);
    const Bitmap24 b = Paint(g, c.W, c.H);
    ExpectPositions(b, {{0, 0, c.TopLeft},
                        {c.W - 1, 0, c.TopRight},
                        {0, c.H - 1, c.BottomLeft},
                        {c.W - 1, c.H - 1, c.BottomRight}});
}

INSTANTIATE_TEST_SUITE_P(Square, GradDrawLinearAngles,
                         ::testing::Values(CornerCase{45, 41, 41, 0, 500, 500, 1000},
                                           CornerCase{135, 41, 41, 500, 0, 1000, 500},
                                           CornerCase{225, 41, 41, 1000, 500, 500, 0},
                                           CornerCase{315, 41, 41, 500, 1000, 0, 500}));

TEST(GradDrawLinear, ObliqueBandsArePerpendicularToTheDirection) {
    TGrad g = Linear(30);
    const Bitmap24 b = Paint(g, 60, 40);
    const double sn = std::sin(M_PI / 6), cs = std::cos(M_PI / 6);
    const double total = 39 * sn + 59 * cs;
    for (int y = 0; y < 40; y += 7) {
        for (int x = 0; x < 60; x += 5) {
            const double expected = (y * sn + x * cs) * 1000 / total;
            EXPECT_NEAR(PosAt(b, x, y), expected, 0.5 + 1e-9) << x << "," << y;
        }
    }
}

// --- Radiate ------------------------------------------------------------------

TEST(GradDrawRadiate, UnnormalisedTurnsClockwiseFromTheAngle) {
    TGrad g0 = Centred(gkRadiate, 0, 0, 0, false);
    const Bitmap24 b0 = Paint(g0, 21, 15); // centre pixel (10, 7)
    ExpectPositions(b0, {{15, 7, 0}, {10, 12, 250}, {3, 7, 500}, {10, 0, 750}, {20, 7, 0}});

    TGrad g90 = Centred(gkRadiate, 90, 0, 0, false);
    const Bitmap24 b90 = Paint(g90, 21, 15);
    ExpectPositions(b90, {{10, 12, 0}, {3, 7, 250}, {10, 0, 500}, {15, 7, 750}});
}

struct RegionCase {
    int Cx, Cy;
    Probe Start, End; // corner pixels with positions 0 and 1000
};

class GradDrawRadiateRegions : public ::testing::TestWithParam<RegionCase> {};

TEST_P(GradDrawRadiateRegions, SweepCoversTheVisibleCorners) {
    const RegionCase& c = GetParam();
    TGrad g = Centred(gkRadiate, 123, c.Cx, c.Cy, true); // the angle plays no part
    const Bitmap24 b = Paint(g, 21, 15);
    ExpectPositions(b, {c.Start, c.End});
}

// Corners of the 21 x 15 rectangle: TL (0,0), TR (20,0), BL (0,14), BR (20,14).
INSTANTIATE_TEST_SUITE_P(
    AllOutsideRegions, GradDrawRadiateRegions,
    ::testing::Values(RegionCase{-100, -100, {20, 0, 0}, {0, 14, 1000}}, // left and above
                      RegionCase{0, -100, {20, 0, 0}, {0, 0, 1000}},     // above
                      RegionCase{100, -100, {20, 14, 0}, {0, 0, 1000}},  // right and above
                      RegionCase{-100, 0, {0, 0, 0}, {0, 14, 1000}},     // left
                      RegionCase{100, 0, {20, 14, 0}, {20, 0, 1000}},    // right
                      RegionCase{-100, 100, {0, 0, 0}, {20, 14, 1000}},  // left and below
                      RegionCase{0, 100, {0, 14, 0}, {20, 14, 1000}},    // below
                      RegionCase{100, 100, {0, 14, 0}, {20, 0, 1000}},   // right and below
                      RegionCase{-50, 0, {0, 0, 0}, {0, 14, 1000}},      // on the left edge
                      RegionCase{50, 50, {0, 14, 0}, {20, 0, 1000}}));   // on the BR corner

TEST(GradDrawRadiate, NormaliseWithTheCentreInsideChangesNothing) {
    for (int angle : {0, 77, 300}) {
        TGrad plain = Centred(gkRadiate, angle, 20, -10, false);
        TGrad norm = Centred(gkRadiate, angle, 20, -10, true);
        EXPECT_EQ(Paint(plain, 31, 17), Paint(norm, 31, 17)) << angle;
    }
}

TEST(GradDrawRadiate, CentreOnATopCornerTakesTheNearerEnd) {
    // The corner pixel coincides with the centre: the sweep formula gives a
    // position below 0 there, which takes the start of the table.
    TGrad left = Centred(gkRadiate, 0, -50, -50, true); // centre (0, 0)
    ExpectPositions(Paint(left, 11, 9), {{0, 0, 0}, {1, 0, 0}, {0, 1, 1000}});
    TGrad right = Centred(gkRadiate, 0, 50, -50, true); // centre (10, 0)
    ExpectPositions(Paint(right, 11, 9), {{10, 0, 0}, {10, 1, 0}, {9, 0, 1000}});
}

// --- Arc ----------------------------------------------------------------------

TEST(GradDrawArc, UnnormalisedRingsFromTheMiddle) {
    TGrad g = Centred(gkArc, 0, 0, 0, false);
    const Bitmap24 b = Paint(g, 21, 15);
    ExpectPositions(b, {{10, 7, 0}, {0, 0, 1000}, {20, 0, 1000}, {0, 14, 1000}, {20, 14, 1000}});
    // Distance 7 straight up: Round(7 * 1000 / sqrt(149)).
    EXPECT_EQ(PosAt(b, 10, 0), static_cast<int>(std::nearbyint(7000 / std::sqrt(149.0))));
}

TEST(GradDrawArc, NormalisedStartsAtTheNearestPoint) {
    TGrad g = Centred(gkArc, 0, -100, 0, true); // centre (-10, 7)
    const Bitmap24 b = Paint(g, 21, 15);
    ExpectPositions(b, {{0, 7, 0}, {20, 0, 1000}, {20, 14, 1000}});
    TGrad plain = Centred(gkArc, 0, -100, 0, false);
    const Bitmap24 bp = Paint(plain, 21, 15);
    EXPECT_EQ(PosAt(bp, 0, 7), static_cast<int>(std::nearbyint(10000 / std::sqrt(949.0))));
}

TEST(GradDrawArc, NormaliseWithTheCentreInsideChangesNothing) {
    TGrad plain = Centred(gkArc, 0, 30, 40, false);
    TGrad norm = Centred(gkArc, 0, 30, 40, true);
    EXPECT_EQ(Paint(plain, 25, 19), Paint(norm, 25, 19));
}

// --- Four corners ----------------------------------------------------------------

TGrad Quad(int angle, TColor c0 = kRed, TColor c1 = kGreen, TColor c2 = kBlue, TColor c3 = kWhite) {
    TGrad g;
    g.SetKind(gkQuad);
    g.SetColor(0, c0);
    g.SetColor(1, c1);
    g.SetColor(2, c2);
    g.SetColor(3, c3);
    g.SetAngle(angle);
    return g;
}

struct QuadCase {
    int Angle;
    TColor TopLeft, TopRight, BottomRight, BottomLeft;
};

class GradDrawQuadAngles : public ::testing::TestWithParam<QuadCase> {};

TEST_P(GradDrawQuadAngles, StopsGoClockwiseRoundTheCorners) {
    const QuadCase& c = GetParam();
    TGrad g = Quad(c.Angle);
    const Bitmap24 b = Paint(g, 9, 6);
    EXPECT_EQ(b.Pixel(0, 0), c.TopLeft);
    EXPECT_EQ(b.Pixel(8, 0), c.TopRight);
    EXPECT_EQ(b.Pixel(8, 5), c.BottomRight);
    EXPECT_EQ(b.Pixel(0, 5), c.BottomLeft);
}

INSTANTIATE_TEST_SUITE_P(Angles, GradDrawQuadAngles,
                         ::testing::Values(QuadCase{0, kBlue, kWhite, kRed, kGreen},
                                           QuadCase{90, kGreen, kBlue, kWhite, kRed},
                                           QuadCase{180, kRed, kGreen, kBlue, kWhite},
                                           QuadCase{270, kWhite, kRed, kGreen, kBlue}));

TEST(GradDrawQuad, MiddleRoundsTheDifferenceFromTopLeft) {
    TGrad g = Quad(180);
    const Bitmap24 b = Paint(g, 3, 3);
    EXPECT_EQ(b.Pixel(1, 1), Rgb(127, 128, 128));
    EXPECT_EQ(b.Pixel(1, 0), Rgb(127, 128, 0)); // red: 255 + Round(-127.5)
    EXPECT_EQ(b.Pixel(0, 1), Rgb(255, 128, 128));
}

TEST(GradDrawQuad, ShiftAndSystemColoursApplyToTheCorners) {
    TGrad g = Quad(180, SystemColorRef(kColorBtnFace), kGreen, kBlue, kWhite);
    const Bitmap24 plain = Paint(g, 4, 4);
    EXPECT_EQ(plain.Pixel(0, 0), Rgb(240, 240, 240));
    const Bitmap24 shifted = Paint(g, 4, 4, 2, 4);
    EXPECT_EQ(shifted.Pixel(0, 0), ColorAdjust(Rgb(240, 240, 240), 2, 4));
    EXPECT_EQ(shifted.Pixel(3, 0), ColorAdjust(kGreen, 2, 4));
    EXPECT_EQ(shifted.Pixel(3, 3), ColorAdjust(kBlue, 2, 4));
}

// --- Shared behaviour -------------------------------------------------------------

TEST(GradDraw, ShiftIsBakedIntoAFreshTable) {
    TGrad g;
    g.LoadFromText("0,0,0,0,0,,00000000FF,6400FF0000");
    Bitmap24 canvas(11, 1, kSentinel);
    g.Draw(canvas, 0, 0, 10, 0, -4, 0);
    EXPECT_EQ(canvas.Pixel(0, 0), ColorAdjust(kRed, -4, 0));
    EXPECT_EQ(canvas.Pixel(10, 0), ColorAdjust(kBlue, -4, 0));
    EXPECT_FALSE(g.Dirty());
}

class GradDrawEveryKind : public ::testing::TestWithParam<int> {};

TGrad OfKind(int kind) {
    TGrad g = PositionGradient();
    g.SetKind(static_cast<std::uint8_t>(kind));
    g.SetAngle(kind == gkQuad ? 90 : 33);
    g.CenterX = 17;
    g.CenterY = -23;
    return g;
}

TEST_P(GradDrawEveryKind, SwappedCornersPaintTheSamePixels) {
    TGrad a = OfKind(GetParam());
    TGrad b = OfKind(GetParam());
    Bitmap24 ca(40, 30, kSentinel), cb(40, 30, kSentinel);
    a.Draw(ca, 3, 4, 30, 25, 0, 0);
    b.Draw(cb, 30, 25, 3, 4, 0, 0);
    EXPECT_EQ(ca, cb);
    Bitmap24 cc(40, 30, kSentinel);
    b.Draw(cc, 30, 4, 3, 25, 0, 0);
    EXPECT_EQ(ca, cc);
}

TEST_P(GradDrawEveryKind, OnlyTheRectangleIsTouched) {
    TGrad g = OfKind(GetParam());
    Bitmap24 canvas(40, 30, kSentinel);
    g.Draw(canvas, 5, 6, 20, 25, 0, 0);
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            const bool inside = x >= 5 && x <= 20 && y >= 6 && y <= 25;
            if (!inside) {
                ASSERT_EQ(canvas.Pixel(x, y), kSentinel) << x << "," << y;
            }
        }
    }
}

TEST_P(GradDrawEveryKind, PartlyOutsideTheCanvasIsClipped) {
    TGrad whole = OfKind(GetParam());
    TGrad part = OfKind(GetParam());
    // The rectangle (-10, -5)..(40, 25) is 51 x 31; the canvas shows a 30 x 20 window of it.
    Bitmap24 full(51, 31, kSentinel);
    whole.Draw(full, 0, 0, 50, 30, 0, 0);
    Bitmap24 canvas(30, 20, kSentinel);
    part.Draw(canvas, -10, -5, 40, 25, 0, 0);
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 30; ++x) {
            ASSERT_EQ(canvas.Pixel(x, y), full.Pixel(x + 10, y + 5)) << x << "," << y;
        }
    }
    // A shifted window onto the bottom-right part.
    Bitmap24 corner(30, 20, kSentinel);
    part.Draw(corner, 10, 5, 60, 35, 0, 0);
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 30; ++x) {
            const TColor expected = (x >= 10 && y >= 5) ? full.Pixel(x - 10, y - 5) : kSentinel;
            ASSERT_EQ(corner.Pixel(x, y), expected) << x << "," << y;
        }
    }
}

TEST_P(GradDrawEveryKind, EntirelyOutsideOrHugeRectanglesComplete) {
    TGrad g = OfKind(GetParam());
    Bitmap24 canvas(20, 20, kSentinel);
    const Bitmap24 untouched = canvas;
    g.Draw(canvas, 25, 0, 40, 19, 0, 0);
    g.Draw(canvas, -40, -30, -1, -1, 0, 0);
    EXPECT_EQ(canvas, untouched);
    // A rectangle far larger than any bitmap: only the visible pixels are computed.
    g.Draw(canvas, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, 0, 0);
    EXPECT_NE(canvas.Pixel(0, 0), kSentinel);
    Bitmap24 empty;
    g.Draw(empty, 0, 0, 10, 10, 0, 0);
}

TEST_P(GradDrawEveryKind, ThinRectanglesPaintEveryPixel) {
    for (auto [w, h] : {std::pair{1, 1}, std::pair{1, 9}, std::pair{9, 1}, std::pair{2, 1}}) {
        TGrad g = OfKind(GetParam());
        Bitmap24 canvas(12, 12, kSentinel);
        g.Draw(canvas, 2, 3, 2 + w - 1, 3 + h - 1, 0, 0);
        for (int y = 0; y < 12; ++y) {
            for (int x = 0; x < 12; ++x) {
                const bool inside = x >= 2 && x < 2 + w && y >= 3 && y < 3 + h;
                EXPECT_EQ(canvas.Pixel(x, y) != kSentinel, inside) << w << "x" << h;
                if (inside && GetParam() != gkQuad) {
                    const int p = Decode(canvas.Pixel(x, y));
                    EXPECT_TRUE(p >= 0 && p <= 1000);
                }
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, GradDrawEveryKind, ::testing::Values(0, 1, 2, 3));

TEST(GradDraw, SingleColumnOrRowTakesTheFirstPosition) {
    TGrad g = Linear(0);
    const Bitmap24 col = Paint(g, 1, 5);
    TGrad g180 = Linear(180);
    const Bitmap24 col180 = Paint(g180, 1, 5);
    TGrad g90 = Linear(90);
    const Bitmap24 row = Paint(g90, 5, 1);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(PosAt(col, 0, i), 0);
        EXPECT_EQ(PosAt(col180, 0, i), 0);
        EXPECT_EQ(PosAt(row, i, 0), 0);
    }
    TGrad one = Linear(45);
    EXPECT_EQ(PosAt(Paint(one, 1, 1), 0, 0), 0);

    // Four corners: u (or v) is 0 along the missing axis.
    TGrad q = Quad(180);
    const Bitmap24 qcol = Paint(q, 1, 3); // top-left red down to bottom-left white
    EXPECT_EQ(qcol.Pixel(0, 0), kRed);
    EXPECT_EQ(qcol.Pixel(0, 2), kWhite);
    const Bitmap24 qrow = Paint(q, 3, 1); // top-left red across to top-right green
    EXPECT_EQ(qrow.Pixel(0, 0), kRed);
    EXPECT_EQ(qrow.Pixel(2, 0), kGreen);
}

// --- Hand-made text -------------------------------------------------------------

class GradDrawHostileText : public ::testing::TestWithParam<const char*> {};

TEST_P(GradDrawHostileText, PaintsEveryPixelWithoutReadingOutside) {
    TGrad g;
    g.LoadFromText(GetParam());
    for (auto [w, h] : {std::pair{1, 1}, std::pair{1, 7}, std::pair{7, 1}, std::pair{23, 17}}) {
        Bitmap24 canvas(30, 30, kSentinel);
        g.Draw(canvas, 1, 1, w, h, 3, -5);
        for (int y = 1; y <= h; ++y) {
            for (int x = 1; x <= w; ++x) {
                ASSERT_NE(canvas.Pixel(x, y), kSentinel) << GetParam();
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, GradDrawHostileText,
    ::testing::Values("3,0,0,0,0,,00000000FF,6400FF0000",             // four corners, two stops
                      "3,45,0,0,0,,00000000FF,3200FF0000,6400FFFFFF", // three, odd angle
                      "3,-2147483648,0,0,0,,00000000FF,6400FF0000",
                      "3,2147483647,0,0,0,,00000000FF,0100000001,0200000002,0300000003,6400FF0000",
                      "200,0,0,0,0,,FF000000FF,FFFFFFFFFF",
                      "0,2147483647,0,0,0,,00000000FF,6400FF0000",
                      "0,-2147483648,0,0,0,,00000000FF,6400FF0000",
                      "0,360,0,0,0,,00000000FF,6400FF0000",
                      "1,99999999,0,0,0,,00000000FF,6400FF0000",
                      "1,-725,2147483647,-2147483648,1,,00000000FF,6400FF0000",
                      "1,0,-50,-50,1,,00000000FF,6400FF0000", "1,0,50,-50,1,,00000000FF,6400FF0000",
                      "2,0,2147483647,2147483647,1,,00000000FF,6400FF0000",
                      "2,0,-2147483648,0,1,,00000000FF,6400FF0000",
                      "2,0,0,-2147483648,0,,00000000FF,6400FF0000"));

TEST(GradDrawHostile, FourCornersWithTwoStopsUsesTheLastForMissingCorners) {
    TGrad g;
    g.LoadFromText("3,180,0,0,0,,00000000FF,6400FF0000"); // red, blue
    const Bitmap24 b = Paint(g, 5, 5);
    // Angle 180 puts stops 0, 1, 2, 3 at TL, TR, BR, BL; stops 2 and 3 fall back to stop 1.
    EXPECT_EQ(b.Pixel(0, 0), kRed);
    EXPECT_EQ(b.Pixel(4, 0), kBlue);
    EXPECT_EQ(b.Pixel(4, 4), kBlue);
    EXPECT_EQ(b.Pixel(0, 4), kBlue);
}

TEST(GradDrawHostile, AngleOutsideATurnClampsRadiatePositions) {
    TGrad g = PositionGradient();
    g.SetKind(gkRadiate);
    g.Angle = -90; // as read from text, not reduced
    const Bitmap24 b = Paint(g, 21, 15);
    // Straight right of the centre: 0 - (-pi/2) gives a quarter turn.
    EXPECT_EQ(PosAt(b, 15, 7), 250);
    // 0 - 5pi/2 + 2pi is still below 0: the position takes the start of the table.
    g.Angle = 450;
    const Bitmap24 c = Paint(g, 21, 15);
    EXPECT_EQ(PosAt(c, 15, 7), 0);
}

// --- DirectionAngle ---------------------------------------------------------------

TEST(GradDirectionAngle, Quadrants) {
    const long double pi = 3.141592653589793238462643383279502884L;
    EXPECT_EQ(DirectionAngle(1, 0), 0.0);
    EXPECT_EQ(DirectionAngle(0, 1), static_cast<double>(pi / 2));
    EXPECT_EQ(DirectionAngle(-1, 0), static_cast<double>(pi));
    EXPECT_EQ(DirectionAngle(0, -1), static_cast<double>(3 * pi / 2));
    EXPECT_EQ(DirectionAngle(0, 0), static_cast<double>(3 * pi / 2));
    EXPECT_EQ(DirectionAngle(1, 1), static_cast<double>(pi / 4));
    EXPECT_NEAR(DirectionAngle(-1, -1), 5 * M_PI / 4, 1e-15);
    EXPECT_NEAR(DirectionAngle(1, -1), 7 * M_PI / 4, 1e-15);
}

} // namespace
} // namespace pelmora
