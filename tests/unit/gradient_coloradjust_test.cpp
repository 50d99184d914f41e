#include "gradient/ColorAdjust.h"
#include "platform/syscolors.h"

#include <gtest/gtest.h>

#include <ostream>

namespace pelmora {

inline std::ostream& operator<<(std::ostream& os, const THls& h) {
    return os << "HLS(" << h.H << ", " << h.L << ", " << h.S << ")";
}

namespace {

struct Rgb3 {
    int R, G, B;
    bool operator==(const Rgb3&) const = default;
    friend std::ostream& operator<<(std::ostream& os, const Rgb3& c) {
        return os << "(" << c.R << ", " << c.G << ", " << c.B << ")";
    }
};

Rgb3 Split(TColor c) {
    return Rgb3{RedOf(c), GreenOf(c), BlueOf(c)};
}
TColor Join(const Rgb3& c) {
    return Rgb(c.R, c.G, c.B);
}

struct ToHlsCase {
    Rgb3 Rgb;
    THls Hls;
};

class ColorToHlsTest : public ::testing::TestWithParam<ToHlsCase> {};

TEST_P(ColorToHlsTest, ConvertsExactly) {
    EXPECT_EQ(ColorToHLS(Join(GetParam().Rgb)), GetParam().Hls);
}

INSTANTIATE_TEST_SUITE_P(Primaries, ColorToHlsTest,
                         ::testing::Values(ToHlsCase{{255, 0, 0}, {0, 120, 240}},
                                           ToHlsCase{{0, 255, 0}, {80, 120, 240}},
                                           ToHlsCase{{0, 0, 255}, {160, 120, 240}},
                                           ToHlsCase{{255, 255, 255}, {160, 240, 0}},
                                           ToHlsCase{{0, 0, 0}, {160, 0, 0}},
                                           ToHlsCase{{128, 128, 128}, {160, 121, 0}},
                                           ToHlsCase{{192, 128, 64}, {20, 121, 121}}));

// Hues that wrap below zero (magenta side) and lightness above the middle.
INSTANTIATE_TEST_SUITE_P(Others, ColorToHlsTest,
                         ::testing::Values(ToHlsCase{{255, 0, 255}, {200, 120, 240}},
                                           ToHlsCase{{255, 0, 1}, {240, 120, 240}},
                                           ToHlsCase{{255, 255, 0}, {40, 120, 240}},
                                           ToHlsCase{{255, 128, 128}, {0, 181, 240}},
                                           ToHlsCase{{1, 0, 0}, {0, 1, 240}}));

TEST(ColorToHlsMore, ReadsOnlyTheLowThreeBytes) {
    EXPECT_EQ(ColorToHLS(0xFF0000FFu), ColorToHLS(0x000000FFu));
}

TEST(HlsToColor, GreyRoundTripIsNotExact) {
    EXPECT_EQ(Split(HLSToColor(160, 121, 0)), (Rgb3{129, 129, 129}));
    EXPECT_EQ(Split(HLSToColor(160, 240, 0)), (Rgb3{255, 255, 255}));
    EXPECT_EQ(Split(HLSToColor(0, 0, 0)), (Rgb3{0, 0, 0}));
}

TEST(HlsToColor, PrimariesComeBack) {
    EXPECT_EQ(Split(HLSToColor(0, 120, 240)), (Rgb3{255, 0, 0}));
    EXPECT_EQ(Split(HLSToColor(80, 120, 240)), (Rgb3{0, 255, 0}));
    EXPECT_EQ(Split(HLSToColor(160, 120, 240)), (Rgb3{0, 0, 255}));
}

TEST(HueToValueTest, PiecesOfTheHueCircle) {
    // Rising edge, plateau, falling edge, floor; hues wrap once either way.
    EXPECT_EQ(HueToValue(0, 240, 20), 120); // 4820 / 40 = 120.5, half to even
    EXPECT_EQ(HueToValue(0, 240, 100), 240);
    EXPECT_EQ(HueToValue(0, 240, 140), 120); // falling edge, same 120.5
    EXPECT_EQ(HueToValue(0, 240, 141), 114); // 4580 / 40 = 114.5 -> 114
    EXPECT_EQ(HueToValue(0, 240, 200), 0);
    EXPECT_EQ(HueToValue(0, 240, -140), 240); // -140 + 240 = 100
    EXPECT_EQ(HueToValue(0, 240, 340), 240);  // 340 - 240 = 100
    EXPECT_EQ(HueToValue(-0.5L, 240.5L, 10), 60);
}

struct AdjustCase {
    Rgb3 In;
    int Lumi;
    int Hue;
    Rgb3 Out;
};

class ColorAdjustTest : public ::testing::TestWithParam<AdjustCase> {};

TEST_P(ColorAdjustTest, ShiftsExactly) {
    const AdjustCase& c = GetParam();
    EXPECT_EQ(Split(ColorAdjust(Join(c.In), c.Lumi, c.Hue)), c.Out)
        << "lumi " << c.Lumi << " hue " << c.Hue;
}

INSTANTIATE_TEST_SUITE_P(
    HueSteps, ColorAdjustTest,
    ::testing::Values(AdjustCase{{255, 0, 0}, 0, 1, {255, 64, 0}},
                      AdjustCase{{255, 0, 0}, 0, -1, {255, 0, 64}},
                      AdjustCase{{255, 0, 0}, 0, 6, {128, 255, 0}},
                      AdjustCase{{255, 0, 0}, 0, -6, {128, 0, 255}},
                      AdjustCase{{255, 0, 0}, 0, 23, {255, 0, 64}},  // same as -1
                      AdjustCase{{255, 0, 0}, 0, 12, {0, 255, 255}}, // half a turn
                      AdjustCase{{255, 0, 0}, 0, -12, {0, 255, 255}},
                      AdjustCase{{128, 128, 128}, 0, 5, {129, 129, 129}}));

INSTANTIATE_TEST_SUITE_P(Lightness, ColorAdjustTest,
                         ::testing::Values(AdjustCase{{255, 0, 0}, 4, 0, {255, 104, 102}},
                                           AdjustCase{{255, 0, 0}, -4, 0, {154, 0, 0}},
                                           AdjustCase{{128, 128, 128}, 8, 0, {230, 230, 230}},
                                           AdjustCase{{128, 128, 128}, -8, 0, {26, 26, 26}},
                                           AdjustCase{{255, 255, 255}, -2, 0, {204, 204, 204}},
                                           AdjustCase{{0, 0, 0}, 3, 0, {76, 76, 76}},
                                           AdjustCase{{0, 0, 0}, 10, 0, {255, 255, 255}},
                                           AdjustCase{{255, 255, 255}, -10, 0, {0, 0, 0}}));

// Outside the editor's ranges the shift saturates (lightness) or keeps turning
// (hue, -2^31 steps = -8 steps) instead of wrapping byte values.
INSTANTIATE_TEST_SUITE_P(
    OutOfRange, ColorAdjustTest,
    ::testing::Values(AdjustCase{{128, 128, 128}, 50, 0, {255, 255, 255}},
                      AdjustCase{{128, 128, 128}, -50, 0, {0, 0, 0}},
                      AdjustCase{{0, 0, 0}, 2147483647, 0, {255, 255, 255}},
                      AdjustCase{{255, 255, 255}, -2147483647 - 1, 0, {0, 0, 0}},
                      AdjustCase{{255, 0, 0}, 0, 25, {255, 64, 0}},
                      AdjustCase{{255, 0, 0}, 0, -25, {255, 0, 64}},
                      AdjustCase{{255, 0, 0}, 0, 24, {255, 0, 0}},
                      AdjustCase{{255, 0, 0}, 0, -2147483647 - 1, {0, 0, 255}}));

TEST(ColorAdjustMore, NoShiftReturnsTheValueItself) {
    EXPECT_EQ(ColorAdjust(Rgb(128, 128, 128), 0, 0), Rgb(128, 128, 128));
    // Not even a system colour reference is touched.
    EXPECT_EQ(ColorAdjust(0xFF00000Fu, 0, 0), 0xFF00000Fu);
}

TEST(ColorAdjustMore, GreysStayGreyUnderAnyHue) {
    for (int hue = -12; hue <= 12; hue += 2) {
        for (int lumi = -8; lumi <= 8; ++lumi) {
            const Rgb3 c = Split(ColorAdjust(Rgb(77, 77, 77), lumi, hue));
            EXPECT_TRUE(c.R == c.G && c.G == c.B) << lumi << " " << hue;
        }
    }
}

} // namespace
} // namespace pelmora
