#include "platform/dpi.h"

#include <gtest/gtest.h>

using namespace pelmora;

namespace {

TEST(Dpi, ScalesFrom96DpiAndBackAsThePlatformRounds) {
    EXPECT_EQ(Scale(96)(75), 75);
    EXPECT_EQ(Scale(144)(75), 113) << "112.5 rounds away from zero";
    EXPECT_EQ(Scale(144)(-75), -113) << "-112.5 too";
    EXPECT_EQ(Scale(192)(25), 50);
    EXPECT_EQ(Scale(192).Unscale(50), 25);
    EXPECT_EQ(Scale(144).Unscale(-1), -1) << "-0.67 is nearest -1";
    EXPECT_EQ(Scale(144).UnscaleUp(4), 3) << "2.67 needs 3";
    EXPECT_EQ(Scale(0).Dpi(), 96) << "no DPI known: 96";
    EXPECT_EQ(Scale(144).Floor(2), 1);
    EXPECT_EQ(Scale(144).Floor(-1), -1) << "the 96-dpi pixel a point left of the origin lies in";
    EXPECT_EQ(Scale(144).WholePixels().Dpi(), 96);
    EXPECT_EQ(Scale(200).WholePixels().Dpi(), 192);
    EXPECT_EQ(MulDivRounded(1'000'000, 3'000, 7), 428'571'429) << "no overflow on the way";
}

} // namespace
