#include "platform/syscolors.h"
#include "platform/textheight.h"

#include <gtest/gtest.h>

using namespace pelmora;

namespace {

TEST(PlatformColors, SystemColorTable) {
    const struct {
        int Index;
        TColor Rgb;
    } table[] = {
        {kColorWindow, Rgb(255, 255, 255)},
        {kColorWindowText, Rgb(0, 0, 0)},
        {kColorBtnFace, Rgb(240, 240, 240)},
        {kColorBtnShadow, Rgb(160, 160, 160)},
        {kColorGrayText, Rgb(109, 109, 109)},
        {kColorBtnHighlight, Rgb(255, 255, 255)},
        {0, 0},
        {1, 0},
        {14, 0},
        {18, 0},
        {255, 0},
        {-1, 0},
        {256, 0},
    };
    for (const auto& entry : table) {
        EXPECT_EQ(SystemColor(entry.Index), entry.Rgb) << entry.Index;
    }
}

TEST(PlatformColors, ResolvesReferencesAndPlainColours) {
    EXPECT_EQ(ResolveColor(SystemColorRef(kColorBtnFace)), 0x00F0F0F0u);
    EXPECT_EQ(ResolveColor(0xFF000010u), 0x00A0A0A0u);
    EXPECT_EQ(ResolveColor(0x80000014u), 0x00FFFFFFu); // any top-bit value refers
    EXPECT_EQ(ResolveColor(0x8000FF0Fu), 0x00F0F0F0u); // only the low byte names the index
    EXPECT_EQ(ResolveColor(0x00123456u), 0x00123456u);
    EXPECT_EQ(ResolveColor(0x7F123456u), 0x00123456u); // top byte dropped
    EXPECT_EQ(SystemColorRef(15), 0xFF00000Fu);
    EXPECT_TRUE(IsSystemColorRef(0x80000000u));
    EXPECT_FALSE(IsSystemColorRef(0x7FFFFFFFu));
    EXPECT_EQ(Rgb(1, 2, 3), 0x00030201u);
    EXPECT_EQ(RedOf(0x00030201u), 1);
    EXPECT_EQ(GreenOf(0x00030201u), 2);
    EXPECT_EQ(BlueOf(0x00030201u), 3);
}

TEST(PlatformTextHeight, NameLineHeightIsPlausibleAndStable) {
    const std::int32_t height = MeasureNameHeight();
    EXPECT_GE(height, 12);
    EXPECT_LE(height, 24);
    EXPECT_EQ(MeasureNameHeight(), height);
}

} // namespace
