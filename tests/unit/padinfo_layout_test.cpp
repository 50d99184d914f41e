#include "pattern/PadInfo.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace pelmora {
namespace {

struct Area {
    std::int32_t Left, Top, Width, Height;
    bool operator==(const Area&) const = default;
};

Area IconOf(const TPadInfo& p) {
    return {p.IconLeft, p.IconTop, p.IconWidth, p.IconHeight};
}
Area NameOf(const TPadInfo& p) {
    return {p.NameLeft, p.NameTop, p.NameWidth, p.NameHeight};
}

std::ostream& operator<<(std::ostream& os, const Area& a) {
    return os << "(" << a.Left << ", " << a.Top << ", " << a.Width << ", " << a.Height << ")";
}

struct LayoutCase {
    const char* What;
    PadValues Pad;
    std::int32_t NameHeight;
    Area Icon;
    Area Name;
};

class PadLayout : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(PadLayout, IconAndNameAreas) {
    const LayoutCase& c = GetParam();
    const TPadInfo info = DerivePadInfo(c.Pad, c.NameHeight);
    EXPECT_EQ(IconOf(info), c.Icon) << c.What;
    EXPECT_EQ(NameOf(info), c.Name) << c.What;
    EXPECT_EQ(info.BtnWidth, c.Pad.BtnWidth);
    EXPECT_EQ(info.BtnHeight, c.Pad.BtnHeight);
    EXPECT_EQ(info.BtnCaption, c.Pad.BtnCaption);
    EXPECT_EQ(info.BtnSmallIcon, c.Pad.BtnSmallIcon);
    EXPECT_EQ(info.BtnColor, c.Pad.BtnColor);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PadLayout,
    ::testing::Values(
        LayoutCase{
            "name below a large icon", {80, 60, 1, 0, 0}, 12, {26, 8, 32, 32}, {2, 44, 80, 12}},
        LayoutCase{"name right of a small icon",
                   {120, 40, 2, 1, 0},
                   12,
                   {2, 14, 16, 16},
                   {22, 16, 100, 12}},
        LayoutCase{"no name, tall button", {40, 60, 0, 0, 0}, 12, {2, 12, 40, 40}, {0, 0, 0, 0}},
        LayoutCase{"no name, wide button", {61, 40, 0, 1, 0}, 12, {12, 2, 40, 40}, {0, 0, 0, 0}},
        LayoutCase{"icon top raised to 2", {20, 20, 1, 0, 0}, 12, {2, 2, 20, 20}, {2, 8, 20, 12}},
        // Any caption other than 0 and 1 puts the name right of the icon.
        LayoutCase{"caption 7 is right", {120, 40, 7, 0, 0}, 12, {2, 6, 32, 32}, {38, 16, 84, 12}},
        LayoutCase{
            "caption -1 is right", {120, 40, -1, 1, 0}, 10, {2, 14, 16, 16}, {22, 17, 100, 10}},
        // half(9 - 12) is -1 (toward zero), not -2.
        LayoutCase{
            "half truncates toward zero", {100, 9, 2, 1, 0}, 12, {2, 2, 9, 9}, {15, 1, 87, 12}},
        // Icon size capped by the width first, then the height.
        LayoutCase{"icon capped by width", {10, 50, 1, 0, 0}, 12, {2, 14, 10, 10}, {2, 28, 10, 12}},
        // The name sits with the same margin below as above the icon.
        LayoutCase{
            "tall button, name below", {48, 100, 1, 1, 0}, 14, {18, 35, 16, 16}, {2, 55, 48, 14}},
        // The host's missing values are all 1: a 5 x 5 cell.
        LayoutCase{"all defaults", PadValues{}, 12, {2, 2, 1, 1}, {2, -11, 1, 12}}));

TEST(PadLayoutColours, FrameColoursFromAPlainButtonColour) {
    // Red 0x80, green 0x40, blue 0x20.
    const TPadInfo info = DerivePadInfo({80, 60, 1, 0, 0x00204080}, 12);
    EXPECT_EQ(info.FrameLight, 0x008F9FBF);
    EXPECT_EQ(info.FrameShadow, 0x00102040);
}

TEST(PadLayoutColours, ButtonFaceKeepsSystemColourReferences) {
    for (const std::uint32_t face : {0x8000000Fu, 0xFF00000Fu, 0x8100000Fu, 0xC000000Fu}) {
        const TPadInfo info = DerivePadInfo({80, 60, 0, 0, static_cast<std::int32_t>(face)}, 12);
        EXPECT_EQ(static_cast<std::uint32_t>(info.FrameLight), 0xFF000014u) << std::hex << face;
        EXPECT_EQ(static_cast<std::uint32_t>(info.FrameShadow), 0xFF000010u) << std::hex << face;
    }
}

TEST(PadLayoutColours, OtherSystemColoursAreResolved) {
    // Button shadow (160, 160, 160) is a system colour but not the button face.
    const TPadInfo shadow =
        DerivePadInfo({80, 60, 0, 0, static_cast<std::int32_t>(0x80000010u)}, 12);
    EXPECT_EQ(shadow.FrameLight, 0x00CFCFCF);
    EXPECT_EQ(shadow.FrameShadow, 0x00505050);
    // 0x0F without the top bit is plain red 15.
    const TPadInfo red = DerivePadInfo({80, 60, 0, 0, 0x0F}, 12);
    EXPECT_EQ(red.FrameLight, 0x007F7F87);
    EXPECT_EQ(red.FrameShadow, 0x00000007);
    // The top byte of a plain colour is dropped.
    const TPadInfo white = DerivePadInfo({80, 60, 0, 0, 0x12FFFFFF}, 12);
    EXPECT_EQ(white.FrameLight, 0x00FFFFFF);
    EXPECT_EQ(white.FrameShadow, 0x007F7F7F);
}

TEST(PadLayoutValues, IntegerTextWithDefaultOne) {
    EXPECT_EQ(PadValueFromText("80"), 80);
    EXPECT_EQ(PadValueFromText("  -3"), -3);
    EXPECT_EQ(PadValueFromText("$FF"), 255);
    EXPECT_EQ(PadValueFromText("0x8000000F"), static_cast<std::int32_t>(0x8000000Fu));
    EXPECT_EQ(PadValueFromText(""), 1);
    EXPECT_EQ(PadValueFromText("12px"), 1);
    EXPECT_EQ(PadValueFromText("99999999999"), 1);
}

TEST(PadLayoutValues, AbsurdValuesSaturateInsteadOfOverflowing) {
    const TPadInfo wide = DerivePadInfo({INT32_MAX, INT32_MIN, 0, 0, 0}, 12);
    EXPECT_EQ(wide.IconWidth, INT32_MIN);
    EXPECT_EQ(wide.IconLeft, INT32_MAX); // half(2^32 - 1) + 2 does not fit
    EXPECT_EQ(wide.IconTop, 2);

    const TPadInfo below = DerivePadInfo({INT32_MAX, INT32_MAX, 1, 0, 0}, INT32_MIN);
    EXPECT_EQ(below.IconWidth, 32);
    EXPECT_EQ(below.IconTop, 2147483631); // half(2^32 - 37) + 2 just fits
    EXPECT_EQ(below.NameTop, INT32_MAX);
    EXPECT_EQ(below.NameHeight, INT32_MIN);

    const TPadInfo right = DerivePadInfo({INT32_MIN, 40, 2, 0, 0}, INT32_MAX);
    EXPECT_EQ(right.IconWidth, INT32_MIN);
    EXPECT_EQ(right.NameLeft, INT32_MIN + 6);
    EXPECT_EQ(right.NameWidth, -4);
    EXPECT_EQ(right.NameTop, -1073741801); // half(40 - (2^31 - 1)) + 2
}

} // namespace
} // namespace pelmora
