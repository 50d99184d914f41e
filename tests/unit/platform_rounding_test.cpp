#include "platform/rounding.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

using namespace pelmora;

namespace {

TEST(PlatformRounding, HalvesGoToEven) {
    const struct {
        Extended Value;
        std::int64_t Rounded;
    } cases[] = {
        {0.5L, 0},
        {1.5L, 2},
        {2.5L, 2},
        {-0.5L, 0},
        {-1.5L, -2},
        {-2.5L, -2},
        {0.49L, 0},
        {0.51L, 1},
        {3.0L, 3},
        {-3.7L, -4},
        {254.5L, 254},
        {255.5L, 256},
        {1e12L + 0.5L, 1000000000000LL},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RoundEven(c.Value), c.Rounded) << static_cast<double>(c.Value);
    }
}

TEST(PlatformRounding, ThirtyTwoBitRoundingClampsWildValues) {
    EXPECT_EQ(RoundEven32(2.5L), 2);
    EXPECT_EQ(RoundEven32(-2.5L), -2);
    EXPECT_EQ(RoundEven32(1e30L), INT32_MAX);
    EXPECT_EQ(RoundEven32(-1e30L), INT32_MIN);
    EXPECT_EQ(RoundEven32(std::numeric_limits<Extended>::infinity()), INT32_MAX);
    EXPECT_EQ(RoundEven32(-std::numeric_limits<Extended>::infinity()), INT32_MIN);
    EXPECT_EQ(RoundEven32(std::numeric_limits<Extended>::quiet_NaN()), 0);
    EXPECT_EQ(RoundEven32(2147483646.5L), 2147483646);
}

TEST(PlatformRounding, HeldValuesAreDoubles) {
    // 1/3 in extended precision differs from the same value held as a double.
    const Extended third = 1.0L / 3.0L;
    EXPECT_NE(static_cast<Extended>(Held(third)), third);
    EXPECT_EQ(Held(third), 1.0 / 3.0);
}

} // namespace
