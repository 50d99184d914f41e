#include "gradient/ColorAdjust.h"
#include "gradient/Gradient.h"
#include "platform/rounding.h"
#include "platform/syscolors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace pelmora {
namespace {

constexpr TColor kBlack = 0x000000;
constexpr TColor kWhite = 0xFFFFFF;
constexpr TColor kRed = 0x0000FF;
constexpr TColor kGreen = 0x00FF00;
constexpr TColor kBlue = 0xFF0000;
constexpr TColor kYellow = 0x00FFFF;

std::vector<TCol> StopsOf(const TGrad& g) {
    return g.Stops();
}

TColor Entry(const TGrad& g, int i) {
    const auto& e = g.Table()[static_cast<std::size_t>(i)];
    return Rgb(e[2], e[1], e[0]);
}

TGrad FromText(const std::string& text) {
    TGrad g;
    g.LoadFromText(text);
    return g;
}

// A gradient with the given interior stops between two end colours.
TGrad WithStops(TColor first, const std::vector<TCol>& interior, TColor last) {
    TGrad g;
    g.SetColor(0, first);
    g.SetColor(1, last);
    for (const TCol& stop : interior) {
        g.SetColor(g.AddStop(stop.Pos), stop.Color);
    }
    return g;
}

// --- Creation and accessors -------------------------------------------------

TEST(GradModel, NewGradientIsTwoBlackStopsAndACleanBlackTable) {
    TGrad g;
    EXPECT_EQ(g.Kind, gkLinear);
    EXPECT_EQ(g.Angle, 0);
    EXPECT_EQ(g.CenterX, 0);
    EXPECT_EQ(g.CenterY, 0);
    EXPECT_FALSE(g.Normalize);
    EXPECT_EQ(StopsOf(g), (std::vector<TCol>{{0, kBlack}, {100, kBlack}}));
    EXPECT_FALSE(g.Dirty());
    for (const auto& e : g.Table()) {
        EXPECT_EQ(e, (std::array<std::uint8_t, 3>{0, 0, 0}));
    }
}

TEST(GradModel, IndexOutsideTheListGivesMinusOneAndChangesNothing) {
    TGrad g;
    for (int index : {-1, 2, 1000}) {
        EXPECT_EQ(g.GetColor(index), 0xFFFFFFFFu);
        EXPECT_EQ(g.GetPos(index), -1);
        g.SetColor(index, kRed);
    }
    EXPECT_FALSE(g.Dirty());
    EXPECT_EQ(StopsOf(g), (std::vector<TCol>{{0, kBlack}, {100, kBlack}}));
}

TEST(GradModel, KindNames) {
    EXPECT_STREQ(kGradKindNames[gkLinear], "直線");
    EXPECT_STREQ(kGradKindNames[gkRadiate], "放射状");
    EXPECT_STREQ(kGradKindNames[gkArc], "円弧");
    EXPECT_STREQ(kGradKindNames[gkQuad], "四角形");
}

TEST(GradModel, AngleRadIsHeldAsDouble) {
    TGrad g;
    g.Angle = 180;
    EXPECT_EQ(g.AngleRad(), M_PI);
    g.Angle = 90;
    EXPECT_EQ(g.AngleRad(), M_PI / 2);
}

// --- Stop editing -------------------------------------------------------------

TEST(GradStops, AddStopTakesTheRampColourAtItsPosition) {
    TGrad g = WithStops(kBlack, {}, kWhite);
    g.BuildTable(0, 0);
    const auto before = g.Table();
    EXPECT_EQ(g.AddStop(50), 1);
    EXPECT_EQ(g.GetPos(1), 50);
    EXPECT_EQ(g.GetColor(1), Rgb(128, 128, 128)); // Round(127.5) = 128
    EXPECT_TRUE(g.Dirty());
    g.BuildTable(0, 0);
    for (int i = 0; i < kTableSize; ++i) {
        for (int ch = 0; ch < 3; ++ch) {
            EXPECT_LE(std::abs(g.Table()[i][ch] - before[i][ch]), 1) << i;
        }
    }
}

TEST(GradStops, AddStopRefusesEndsOutOfRangeAndFourCorner) {
    TGrad g = WithStops(kRed, {{40, kGreen}}, kBlue);
    g.BuildTable(0, 0);
    for (int pos : {0, 100, -5, 101, 255}) {
        EXPECT_EQ(g.AddStop(pos), 0) << pos;
    }
    EXPECT_EQ(g.Count(), 3);
    EXPECT_FALSE(g.Dirty());

    g.SetKind(gkQuad);
    g.BuildTable(0, 0);
    for (int pos : {10, 50, 90}) {
        EXPECT_EQ(g.AddStop(pos), 0);
    }
    EXPECT_EQ(g.Count(), 4);
    EXPECT_FALSE(g.Dirty());
}

TEST(GradStops, AddStopAtATakenPositionGoesBeforeTheHolder) {
    TGrad g = WithStops(kBlack, {{40, kRed}}, kWhite);
    EXPECT_EQ(g.AddStop(40), 1);
    EXPECT_EQ(g.GetColor(2), kRed);
    EXPECT_EQ(g.GetPos(1), 40);
    EXPECT_EQ(g.GetPos(2), 40);
}

TEST(GradStops, SetPosOnlyStrictlyBetweenNeighbours) {
    TGrad g = WithStops(kBlack, {{30, kRed}, {60, kGreen}}, kWhite);
    g.BuildTable(0, 0);
    g.SetPos(1, 0);  // the neighbour's position
    g.SetPos(1, 60); // the other neighbour's
    g.SetPos(0, 10); // first stop
    g.SetPos(3, 90); // last stop
    EXPECT_FALSE(g.Dirty());
    EXPECT_EQ(g.GetPos(1), 30);
    g.SetPos(1, 1);
    EXPECT_EQ(g.GetPos(1), 1);
    g.SetPos(1, 59);
    EXPECT_EQ(g.GetPos(1), 59);
    EXPECT_TRUE(g.Dirty());

    g.SetKind(gkQuad);
    g.BuildTable(0, 0);
    g.SetPos(1, 40);
    EXPECT_EQ(g.GetPos(1), 33);
    EXPECT_FALSE(g.Dirty());
}

TEST(GradStops, DeleteStopKeepsTheEndsAndRefusesFourCorner) {
    TGrad g = WithStops(kBlack, {{30, kRed}, {60, kGreen}}, kWhite);
    g.BuildTable(0, 0);
    g.DeleteStop(0);
    g.DeleteStop(3);
    g.DeleteStop(-1);
    EXPECT_EQ(g.Count(), 4);
    EXPECT_FALSE(g.Dirty());
    g.DeleteStop(1);
    EXPECT_EQ(StopsOf(g), (std::vector<TCol>{{0, kBlack}, {60, kGreen}, {100, kWhite}}));
    EXPECT_TRUE(g.Dirty());

    g.SetKind(gkQuad);
    g.DeleteStop(1);
    EXPECT_EQ(g.Count(), 4);
}

TEST(GradStops, ClearStopsKeepsTheEnds) {
    TGrad g = WithStops(kRed, {{30, kGreen}, {60, kYellow}}, kBlue);
    g.BuildTable(0, 0);
    g.ClearStops();
    EXPECT_EQ(StopsOf(g), (std::vector<TCol>{{0, kRed}, {100, kBlue}}));
    EXPECT_TRUE(g.Dirty());
}

TEST(GradStops, ReverseMirrorsPositionsAndOrder) {
    const TColor a = 0x010203, b = 0x040506, c = 0x070809;
    TGrad g = WithStops(a, {{30, b}}, c);
    g.Reverse();
    EXPECT_EQ(StopsOf(g), (std::vector<TCol>{{0, c}, {70, b}, {100, a}}));
    EXPECT_TRUE(g.Dirty());
}

TEST(GradStops, CopyStopsAndAssign) {
    TGrad src = WithStops(kRed, {{20, kGreen}, {20, kYellow}, {80, kWhite}}, kBlue);
    src.Kind = gkArc;
    src.Angle = 123;
    src.CenterX = -40;
    src.CenterY = 70;
    src.Normalize = true;

    TGrad dst = WithStops(kBlack, {{50, kWhite}}, kBlack);
    dst.BuildTable(0, 0);
    dst.CopyStops(src);
    EXPECT_EQ(StopsOf(dst), StopsOf(src));
    EXPECT_TRUE(dst.Dirty());
    EXPECT_EQ(dst.Kind, gkLinear); // geometry untouched by CopyStops

    TGrad all;
    all.Assign(src);
    EXPECT_EQ(all.SaveToText(), src.SaveToText());

    all.Assign(all); // assigning to itself keeps everything
    EXPECT_EQ(all.SaveToText(), src.SaveToText());
}

// --- Kind and angle -----------------------------------------------------------

TEST(GradKind, FourCornerKeepsFirstTwoInteriorColours) {
    TGrad g = WithStops(kRed, {{10, kGreen}, {20, kYellow}, {30, kWhite}}, kBlue);
    g.SetKind(gkQuad);
    EXPECT_EQ(g.Kind, gkQuad);
    EXPECT_EQ(StopsOf(g),
              (std::vector<TCol>{{0, kRed}, {33, kGreen}, {67, kYellow}, {100, kBlue}}));
    EXPECT_TRUE(g.Dirty());
}

TEST(GradKind, FourCornerFromTwoStopsSamplesTheRamp) {
    TGrad g = WithStops(kBlack, {}, kWhite);
    g.SetKind(gkQuad);
    // Entry 330 = Round(330 * 0.255) = Round(84.15); entry 670 from the ramp
    // black..84 (0..330) / 84..white (330..1000): Round(340 * 171/670 + 84).
    EXPECT_EQ(StopsOf(g),
              (std::vector<TCol>{
                  {0, kBlack}, {33, Rgb(84, 84, 84)}, {67, Rgb(171, 171, 171)}, {100, kWhite}}));
}

TEST(GradKind, FourCornerFromThreeStopsMovesTheMiddleOne) {
    TGrad g = WithStops(kBlack, {{50, kRed}}, kBlack);
    g.SetKind(gkQuad);
    ASSERT_EQ(g.Count(), 4);
    EXPECT_EQ(g.Stops()[1], (TCol{33, kRed}));
    EXPECT_EQ(g.GetPos(2), 67);
    // Sampled from the ramp after the move: red at 33 down to black at 100.
    EXPECT_EQ(g.GetColor(2), Rgb(RoundEven(255 - 340 * (255.0L / 670)), 0, 0));
}

TEST(GradKind, FourCornerFromHandMadeTextGetsFourStops) {
    TGrad g = FromText("3,0,0,0,0,,00000000FF,6400FF0000");
    ASSERT_EQ(g.Count(), 2);
    g.SetKind(gkQuad);
    EXPECT_EQ(g.Count(), 4);
    g.LoadFromText("3,0,0,0,0,,00000000FF,0A00000001,1400000002,1E00000003,6400FF0000");
    ASSERT_EQ(g.Count(), 5);
    g.SetKind(gkQuad);
    EXPECT_EQ(StopsOf(g), (std::vector<TCol>{{0, kRed}, {33, 1}, {67, 2}, {100, kBlue}}));
}

TEST(GradKind, OtherKindsKeepTheStops) {
    TGrad g = WithStops(kRed, {{10, kGreen}}, kBlue);
    g.Angle = 45;
    g.SetKind(gkRadiate);
    EXPECT_EQ(g.Kind, gkRadiate);
    EXPECT_EQ(g.Count(), 3);
    EXPECT_EQ(g.Angle, 45);
    g.SetKind(gkQuad);
    g.SetKind(gkArc);
    EXPECT_EQ(g.Count(), 4);
}

struct SnapCase {
    int Before;
    int After;
};

class GradKindSnap : public ::testing::TestWithParam<SnapCase> {};

TEST_P(GradKindSnap, FourCornerSnapsTheAngle) {
    TGrad g;
    g.Angle = GetParam().Before;
    g.SetKind(gkQuad);
    EXPECT_EQ(g.Angle, GetParam().After) << GetParam().Before;
}

INSTANTIATE_TEST_SUITE_P(HalvesToEven, GradKindSnap,
                         ::testing::Values(SnapCase{135, 180}, SnapCase{315, 0}, SnapCase{44, 0},
                                           SnapCase{45, 0}, SnapCase{225, 180}, SnapCase{46, 90},
                                           SnapCase{359, 0}, SnapCase{270, 270}, SnapCase{-90, -90},
                                           SnapCase{2147483647, 90}));

struct AngleCase {
    std::uint8_t Kind;
    int Set;
    int Result;
};

class GradAngle : public ::testing::TestWithParam<AngleCase> {};

TEST_P(GradAngle, SetAngleReducesIntoATurn) {
    TGrad g;
    if (GetParam().Kind == gkQuad) {
        g.SetKind(gkQuad);
    }
    g.BuildTable(0, 0);
    g.SetAngle(GetParam().Set);
    EXPECT_EQ(g.Angle, GetParam().Result) << GetParam().Set;
    EXPECT_FALSE(g.Dirty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GradAngle,
    ::testing::Values(AngleCase{gkLinear, 725, 5}, AngleCase{gkLinear, -30, 330},
                      AngleCase{gkLinear, 359, 359}, AngleCase{gkLinear, 360, 0},
                      AngleCase{gkLinear, -360, 0}, AngleCase{gkLinear, -720, 0},
                      AngleCase{gkLinear, -2147483647 - 1, 232}, AngleCase{gkQuad, 100, 90},
                      AngleCase{gkQuad, 45, 0}, AngleCase{gkQuad, 135, 180},
                      AngleCase{gkQuad, 315, 0}, AngleCase{gkQuad, -100, 270},
                      AngleCase{gkQuad, 2147483647, 90}));

TEST(GradModel, ResetRestoresTheNewState) {
    TGrad g = FromText("2,45,10,-10,1,,00000000FF,3200FFFFFF,6400FF0000");
    g.Reset();
    EXPECT_EQ(g.SaveToText(), "0,0,0,0,0,,0000000000,6400000000");
    EXPECT_TRUE(g.Dirty());
}

// --- Colour table -------------------------------------------------------------

TEST(GradTable, RampBetweenStopsRoundsHalvesToEven) {
    TGrad g = WithStops(kBlack, {}, kWhite);
    g.BuildTable(0, 0);
    EXPECT_FALSE(g.Dirty());
    EXPECT_EQ(Entry(g, 0), kBlack);
    EXPECT_EQ(Entry(g, 1000), kWhite);
    EXPECT_EQ(Entry(g, 500), Rgb(128, 128, 128));
    EXPECT_EQ(Entry(g, 2), Rgb(1, 1, 1)); // 0.51
    EXPECT_EQ(Entry(g, 1), Rgb(0, 0, 0)); // 0.255
}

TEST(GradTable, SharedPositionGivesAHardEdge) {
    TGrad g = WithStops(kBlack, {{40, kRed}, {40, kBlue}}, kWhite); // blue goes before red
    ASSERT_EQ(StopsOf(g), (std::vector<TCol>{{0, kBlack}, {40, kBlue}, {40, kRed}, {100, kWhite}}));
    g.BuildTable(0, 0);
    EXPECT_EQ(Entry(g, 400), kBlue);
    EXPECT_EQ(Entry(g, 399), Rgb(0, 0, RoundEven(399 * (255.0L / 400))));
    // From 401 on the ramp starts from red towards white.
    const double step = 255.0 / 600;
    EXPECT_EQ(Entry(g, 401), Rgb(255, RoundEven(step), RoundEven(step)));
    EXPECT_EQ(Entry(g, 1000), kWhite);
}

TEST(GradTable, ChannelsRunIndependently) {
    TGrad g = WithStops(kRed, {{50, kGreen}}, kBlue);
    g.BuildTable(0, 0);
    EXPECT_EQ(Entry(g, 0), kRed);
    // The step is held as a double (0.51 is slightly above): the falling red
    // lands just below 127.5, the rising green just above.
    EXPECT_EQ(Entry(g, 250), Rgb(127, 128, 0));
    EXPECT_EQ(Entry(g, 500), kGreen);
    EXPECT_EQ(Entry(g, 1000), kBlue);
}

TEST(GradTable, ShiftIsBakedInOnlyWhenDirty) {
    TGrad g = WithStops(kRed, {}, Rgb(128, 128, 128));
    g.BuildTable(0, 2);
    EXPECT_EQ(Entry(g, 0), ColorAdjust(kRed, 0, 2));
    EXPECT_EQ(Entry(g, 1000), ColorAdjust(Rgb(128, 128, 128), 0, 2));
    const auto shifted = g.Table();
    g.BuildTable(0, 0); // clean: the shifted table stays
    EXPECT_EQ(g.Table(), shifted);
    g.SetColor(0, kRed);
    g.BuildTable(0, 0);
    EXPECT_EQ(Entry(g, 0), kRed);
}

TEST(GradTable, SystemColoursAreResolved) {
    TGrad g = WithStops(SystemColorRef(kColorBtnFace), {}, 0x80000010u); // face, shadow
    g.BuildTable(0, 0);
    EXPECT_EQ(Entry(g, 0), Rgb(240, 240, 240));
    EXPECT_EQ(Entry(g, 1000), Rgb(160, 160, 160));
    // Stored as written, resolved only when used.
    EXPECT_EQ(g.GetColor(0), 0xFF00000Fu);
    // Plain values lose their top byte.
    g.SetColor(0, 0x7F0000FFu);
    g.BuildTable(0, 0);
    EXPECT_EQ(Entry(g, 0), kRed);
}

TEST(GradTable, DirtyRule) {
    TGrad g;
    g.Kind = gkArc;
    g.Angle = 30;
    g.CenterX = 5;
    g.CenterY = 5;
    g.Normalize = true;
    g.SetAngle(40);
    EXPECT_FALSE(g.Dirty());
    g.SetColor(1, kWhite);
    EXPECT_TRUE(g.Dirty());
    g.BuildTable(0, 0);
    EXPECT_FALSE(g.Dirty());
    g.AddStop(50);
    EXPECT_TRUE(g.Dirty());
}

// --- Text form ------------------------------------------------------------------

TEST(GradText, NewGradientText) {
    TGrad g;
    const std::string text = g.SaveToText();
    EXPECT_EQ(text, "0,0,0,0,0,,0000000000,6400000000");
    EXPECT_EQ(FromText(text).SaveToText(), text);
}

TEST(GradText, ThreeStopLinearText) {
    TGrad g = WithStops(kRed, {{50, kYellow}}, kBlue);
    g.SetAngle(90);
    EXPECT_EQ(g.SaveToText(), "0,90,0,0,0,,00000000FF,320000FFFF,6400FF0000");
}

TEST(GradText, ReadsHeaderAndStops) {
    const TGrad g = FromText("1,45,-30,20,1,,00000000FF,6400FF0000");
    EXPECT_EQ(g.Kind, gkRadiate);
    EXPECT_EQ(g.Angle, 45);
    EXPECT_EQ(g.CenterX, -30);
    EXPECT_EQ(g.CenterY, 20);
    EXPECT_TRUE(g.Normalize);
    EXPECT_EQ(StopsOf(g), (std::vector<TCol>{{0, kRed}, {100, kBlue}}));
    EXPECT_TRUE(g.Dirty());
}

TEST(GradText, HeaderWithoutSeparatorHasNoStops) {
    const TGrad g = FromText("2,90");
    EXPECT_EQ(g.Kind, gkArc);
    EXPECT_EQ(g.Angle, 90);
    EXPECT_EQ(StopsOf(g), (std::vector<TCol>{{0, kBlack}, {100, kBlack}}));
}

TEST(GradText, EmptyTextGivesTheResetGradient) {
    TGrad g = FromText("2,45,10,-10,1,,00000000FF,3200FFFFFF,6400FF0000");
    g.LoadFromText("");
    EXPECT_EQ(g.SaveToText(), "0,0,0,0,0,,0000000000,6400000000");
}

struct EntriesCase {
    const char* Text;
    std::vector<TCol> Stops;
};

class GradTextEntries : public ::testing::TestWithParam<EntriesCase> {};

TEST_P(GradTextEntries, StopsLandByPosition) {
    EXPECT_EQ(StopsOf(FromText(GetParam().Text)), GetParam().Stops) << GetParam().Text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GradTextEntries,
    ::testing::Values(
        // Unsorted entries.
        EntriesCase{"0,0,0,0,0,,3200000001,1900000002", {{0, 0}, {25, 2}, {50, 1}, {100, 0}}},
        // Colour FFFFFFFF is skipped.
        EntriesCase{"0,0,0,0,0,,00FFFFFFFF,0C000000FF", {{0, 0}, {12, kRed}, {100, 0}}},
        // Nine characters are too few; characters after the tenth are ignored.
        EntriesCase{"0,0,0,0,0,,0C000000F,6400FF0000xyz", {{0, 0}, {100, kBlue}}},
        // A later entry at a taken position goes before the stop holding it.
        EntriesCase{"0,0,0,0,0,,2800000001,2800000002", {{0, 0}, {40, 2}, {40, 1}, {100, 0}}},
        EntriesCase{"0,0,0,0,0,,1E00000001,4600000009,1E00000002,1E00000003",
                    {{0, 0}, {30, 3}, {30, 2}, {30, 1}, {70, 9}, {100, 0}}},
        // Lower-case hex; digits stop at the first other character.
        EntriesCase{"0,0,0,0,0,,0a000000ff,1G0000FF00,G1000000F0",
                    {{0, 0xF0}, {1, kGreen}, {10, kRed}, {100, 0}}},
        // Positions above 100 colour the first stop.
        EntriesCase{"0,0,0,0,0,,FF000000FF,6500FF0000", {{0, kBlue}, {100, 0}}},
        // System colour references are kept as written.
        EntriesCase{"0,0,0,0,0,,00FF00000F,6480000010", {{0, 0xFF00000F}, {100, 0x80000010}}},
        // The separator is the first empty item after item 0; later empties are skipped.
        EntriesCase{",,,0000000001,,64000000FF", {{0, 1}, {100, kRed}}}));

TEST(GradText, HostileHeaderValues) {
    TGrad g = FromText("200,99999999,-70000,abc,7,,00000000FF,6400FF0000");
    EXPECT_EQ(g.Kind, gkQuad);    // clamped
    EXPECT_EQ(g.Angle, 99999999); // stored as read
    EXPECT_EQ(g.CenterX, -70000);
    EXPECT_EQ(g.CenterY, 0); // not a number
    EXPECT_TRUE(g.Normalize);
    EXPECT_EQ(g.Count(), 2); // no four-stop rule on reading

    g.LoadFromText("-1,$10,0x20,99999999999,0");
    EXPECT_EQ(g.Kind, gkQuad); // low byte 255, clamped
    EXPECT_EQ(g.Angle, 16);
    EXPECT_EQ(g.CenterX, 32);
    EXPECT_EQ(g.CenterY, 0); // overflow
    EXPECT_FALSE(g.Normalize);

    g.LoadFromText("258,1"); // low byte 2
    EXPECT_EQ(g.Kind, gkArc);
}

TEST(GradText, QuotedAndBlankSeparatedText) {
    // Reading follows the comma-text rules: blanks end unquoted items.
    const TGrad g = FromText(" 1 , 30 ,0,0,0,,\"00000000FF\",6400FF0000");
    EXPECT_EQ(g.Kind, gkRadiate);
    EXPECT_EQ(g.Angle, 30);
    EXPECT_EQ(StopsOf(g), (std::vector<TCol>{{0, kRed}, {100, kBlue}}));
}

// --- Stops that share a position --------------------------------------------

// A stop entry as the text form writes it.
std::string StopText(int pos, TColor color) {
    char entry[16];
    std::snprintf(entry, sizeof entry, "%02X%08X", static_cast<unsigned>(pos),
                  static_cast<unsigned>(color));
    return entry;
}

TEST(GradText, LaterEntryAtATakenPositionPaintsFirst) {
    // 1001 columns at 0 degrees: column x shows table entry x.
    TGrad g = FromText("0,0,0,0,0,,0000000000,28000000FF,2800FF0000,6400FFFFFF");
    Bitmap24 canvas(1001, 1);
    g.Draw(canvas, 0, 0, 1000, 0, 0, 0);
    EXPECT_EQ(canvas.Pixel(399, 0), Rgb(0, 0, 254)); // black towards blue
    EXPECT_EQ(canvas.Pixel(400, 0), kBlue);
    EXPECT_EQ(canvas.Pixel(401, 0), kRed); // red towards white from here
    EXPECT_EQ(canvas.Pixel(1000, 0), kWhite);
}

TEST(GradText, ReadingPlacesEntriesAsAddingThemInTurnWould) {
    // Few positions, so most entries land on a taken one; 0, 100 and 120
    // colour the end stops.
    constexpr int kPositions[] = {0, 20, 20, 50, 50, 50, 99, 100, 120};
    std::mt19937 rng(31);
    for (int round = 0; round < 300; ++round) {
        std::string text = "0,0,0,0,0,";
        TGrad expected;
        const int entries = static_cast<int>(rng() % 12);
        for (int i = 0; i < entries; ++i) {
            const int pos = kPositions[rng() % std::size(kPositions)];
            const TColor color = static_cast<TColor>(rng()) & 0x00FFFFFFu;
            text += "," + StopText(pos, color);
            expected.SetColor(pos == 100 ? expected.Count() - 1 : expected.AddStop(pos), color);
        }
        EXPECT_EQ(StopsOf(FromText(text)), StopsOf(expected)) << text;
    }
}

class SharedPositionTexts : public ::testing::TestWithParam<const char*> {};

TEST_P(SharedPositionTexts, WritingWhatWasReadGivesTheText) {
    EXPECT_EQ(FromText(GetParam()).SaveToText(), GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Runs, SharedPositionTexts,
    ::testing::Values("0,0,0,0,0,,0000000000,28000000FF,2800FF0000,6400FFFFFF",
                      "1,45,-30,20,1,,00000000FF,1E000000FF,1E0000FF00,1E00FF0000,6400FF0000",
                      "2,0,10,-10,0,,0000000000,0A00000001,0A00000002,3200000003,5A00000004,"
                      "5A00000005,5A00000006,6400FFFFFF",
                      "0,90,0,0,0,,0080000014,4B80000010,4B8000000F,6480000014"));

TEST(GradText, StopsSharingAPositionKeepTheirOrderThroughText) {
    // Each stop added at a taken position goes before the one holding it.
    const TGrad g = WithStops(kBlack, {{40, kRed}, {40, kBlue}, {70, 1}, {70, 2}, {70, 3}}, kWhite);
    ASSERT_EQ(StopsOf(g),
              (std::vector<TCol>{
                  {0, kBlack}, {40, kBlue}, {40, kRed}, {70, 3}, {70, 2}, {70, 1}, {100, kWhite}}));
    const std::string text = g.SaveToText();
    EXPECT_EQ(text, "0,0,0,0,0,,0000000000,28000000FF,2800FF0000,4600000001,4600000002,"
                    "4600000003,6400FFFFFF");
    EXPECT_EQ(StopsOf(FromText(text)), StopsOf(g));
}

TEST(GradText, EditorRoundTripKeepsAHardEdge) {
    // As the gradient editor does it: the part's text is loaded, a working
    // copy takes the stops, every change is copied back, and OK stores the
    // text. Reopening and pressing OK again must not flip the edge.
    std::string partText = "0,0,0,0,0,,0000000000,6400FFFFFF";
    TGrad edited = FromText(partText);
    TGrad work;
    work.CopyStops(edited);
    work.SetColor(work.AddStop(40), kRed);
    work.SetColor(work.AddStop(40), kBlue); // on the taken position: before red
    edited.CopyStops(work);
    partText = edited.SaveToText();
    edited.BuildTable(0, 0);

    for (int reopened = 0; reopened < 3; ++reopened) {
        TGrad again = FromText(partText);
        work.CopyStops(again);
        again.CopyStops(work);
        again.BuildTable(0, 0);
        EXPECT_EQ(StopsOf(again), StopsOf(edited));
        EXPECT_EQ(Entry(again, 400), kBlue);
        EXPECT_EQ(again.Table(), edited.Table());
        EXPECT_EQ(again.SaveToText(), partText);
        partText = again.SaveToText();
    }
}

TEST(GradText, RandomGradientsRoundTrip) {
    std::mt19937 rng(20260);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int round = 0; round < 300; ++round) {
        TGrad g;
        g.SetColor(0, static_cast<TColor>(rng()) & 0x80FFFFFFu);
        g.SetColor(1, static_cast<TColor>(rng()) & 0x00FFFFFFu);
        const int stops = pick(0, 8);
        for (int i = 0; i < stops; ++i) {
            g.SetColor(g.AddStop(pick(1, 99)), static_cast<TColor>(rng()) & 0x00FFFFFFu);
        }
        g.SetKind(static_cast<std::uint8_t>(pick(0, 3)));
        g.SetAngle(pick(-1000, 1000));
        g.CenterX = pick(-200, 200);
        g.CenterY = pick(-200, 200);
        g.Normalize = pick(0, 1) == 1;

        const std::string text = g.SaveToText();
        const TGrad back = FromText(text);
        EXPECT_EQ(back.SaveToText(), text);
        EXPECT_EQ(StopsOf(back), StopsOf(g)) << text;
        EXPECT_EQ(back.Kind, g.Kind);
        EXPECT_EQ(back.Angle, g.Angle);
        EXPECT_EQ(back.Normalize, g.Normalize);
    }
}

TEST(GradText, RandomBytesNeverBreakTheInvariants) {
    std::mt19937 rng(7);
    const std::string alphabet = "0123456789ABCDEFabcdefxX$-+,, \"\t";
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        const int length = std::uniform_int_distribution<int>(0, 80)(rng);
        for (int i = 0; i < length; ++i) {
            text += alphabet[rng() % alphabet.size()];
        }
        TGrad g;
        g.LoadFromText(text);
        ASSERT_GE(g.Count(), 2) << text;
        EXPECT_EQ(g.GetPos(0), 0) << text;
        EXPECT_EQ(g.GetPos(g.Count() - 1), 100) << text;
        for (int i = 1; i < g.Count(); ++i) {
            EXPECT_LE(g.GetPos(i - 1), g.GetPos(i)) << text;
        }
        EXPECT_LE(g.Kind, gkQuad);
        const std::string saved = g.SaveToText();
        EXPECT_EQ(FromText(saved).SaveToText(), saved);
        // Painting whatever was read stays inside the rectangle.
        Bitmap24 canvas(9, 7, 0x123456);
        g.Draw(canvas, 1, 1, 6, 4, round % 17 - 8, round % 25 - 12);
        EXPECT_EQ(canvas.Pixel(0, 0), 0x123456u);
        EXPECT_EQ(canvas.Pixel(7, 5), 0x123456u);
        EXPECT_FALSE(g.Dirty());
    }
}

TEST(GradText, RandomWellFormedButWildTextsPaintSafely) {
    std::mt19937 rng(11);
    auto any = [&] { return static_cast<std::int32_t>(rng()); };
    const char* hex = "0123456789ABCDEF";
    for (int round = 0; round < 600; ++round) {
        std::string text = std::to_string(any() % 300) + "," + std::to_string(any()) + "," +
                           std::to_string(round % 3 == 0 ? any() : any() % 400) + "," +
                           std::to_string(round % 5 == 0 ? any() : any() % 400) + "," +
                           std::to_string(any() % 2) + ",";
        const int stops = static_cast<int>(rng() % 7);
        for (int i = 0; i < stops; ++i) {
            text += ",";
            for (int c = 0; c < 10; ++c) {
                text += hex[rng() % 16];
            }
        }
        TGrad g = FromText(text);
        ASSERT_GE(g.Count(), 2) << text;
        EXPECT_EQ(g.GetPos(g.Count() - 1), 100) << text;
        EXPECT_LE(g.Kind, gkQuad);
        Bitmap24 canvas(12, 10, 0x123456);
        const int left = static_cast<int>(rng() % 16) - 3, top = static_cast<int>(rng() % 14) - 3;
        g.Draw(canvas, left, top, left + static_cast<int>(rng() % 9),
               top + static_cast<int>(rng() % 9), any() % 20, any() % 30);
        if (left > 0 && top > 0) {
            EXPECT_EQ(canvas.Pixel(left - 1, top - 1), 0x123456u) << text;
        }
        g.SetKind(static_cast<std::uint8_t>(rng()));
        g.SetAngle(any());
        EXPECT_TRUE(g.Angle >= 0 && g.Angle < 360) << text;
        g.Draw(canvas, 0, 0, 11, 9, 0, 0);
    }
}

} // namespace
} // namespace pelmora
