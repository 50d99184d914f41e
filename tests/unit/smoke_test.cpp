#include "platform/rounding.h"

#include <gtest/gtest.h>

TEST(RoundingSmoke, HalvesGoToEven) {
    EXPECT_EQ(pelmora::RoundEven(0.5L), 0);
    EXPECT_EQ(pelmora::RoundEven(1.5L), 2);
    EXPECT_EQ(pelmora::RoundEven(-2.5L), -2);
}
