// The fine-adjust dialog's logic: arrows, modes, ranges, Reset, labels and
// the schematic, with a view that records what it is told to show.
#include "logic/FineAdjustLogic.h"
#include "logic/FineAdjustPaint.h"
#include "platform/syscolors.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace pelmora {
void PrintTo(const TTrim& t, std::ostream* os) {
    *os << "(" << t.Left << ", " << t.Top << ", " << t.Right << ", " << t.Bottom << ")";
}
void PrintTo(const TRect& r, std::ostream* os) {
    *os << "[" << r.Left << ", " << r.Top << ", " << r.Right << ", " << r.Bottom << ")";
}
} // namespace pelmora

using namespace pelmora;
using enum ValueControl;

namespace {

class RecordingValueView final : public FineAdjustView {
public:
    std::map<ValueControl, std::string> Texts;
    std::map<ValueControl, bool> Visible;
    std::map<ValueControl, bool> Checked;
    std::map<ValueControl, ShapeLook> Shapes;
    std::optional<bool> Closed;

    void ShowText(ValueControl label, const std::string& text) override { Texts[label] = text; }
    void ShowVisible(ValueControl control, bool on) override { Visible[control] = on; }
    void ShowChecked(ValueControl radio, bool on) override { Checked[radio] = on; }
    void ShowShape(ValueControl shape, const ShapeLook& look) override { Shapes[shape] = look; }
    void CloseDialog(bool ok) override { Closed = ok; }
};

// A dialog as the editor opens it: created, loaded, shown.
struct Form {
    Form(std::uint8_t area, bool isFrame, TTrim thick, TTrim outer) {
        Logic.FormCreate();
        Logic.SetValues(area, isFrame, thick, outer);
        Logic.FormShow();
    }

    // Clicks the increasing arrow (right or up) or the decreasing one.
    void Click(ValueControl upDown, bool increase, int times = 1) {
        for (int i = 0; i < times; ++i) {
            Logic.udTopClick(upDown, increase ? 1 : -1);
        }
    }
    std::string Labels() {
        return View.Texts[lbLeft] + " " + View.Texts[lbTop] + " " + View.Texts[lbRight] + " " +
               View.Texts[lbBottom];
    }
    TRect Rect(ValueControl shape) { return View.Shapes.at(shape).Bounds; }

    RecordingValueView View;
    FineAdjustLogic Logic{View};
};

// The up-down and arrow that move an outer edge outward, by side.
struct SideArrow {
    ValueControl UpDown;
    bool OutwardIncreases; // outward is the right or up arrow
    std::int32_t TTrim::*Side;
};
const SideArrow kOuterArrows[] = {
    {udLeft, false, &TTrim::Left},
    {udTop, true, &TTrim::Top},
    {udRight, true, &TTrim::Right},
    {udBottom, false, &TTrim::Bottom},
};

} // namespace

TEST(FineAdjust, OpensInOuterModeOnTheBaseRange) {
    Form f(0, true, {1, 1, 1, 1}, {0, 0, 0, 0});
    EXPECT_TRUE(f.View.Checked[rbOut]);
    EXPECT_FALSE(f.View.Checked[rbIn]);
    EXPECT_FALSE(f.Logic.ThickMode());
    EXPECT_EQ(f.View.Texts[lbStandard], "全体");
    EXPECT_EQ(f.Labels(), "- - - -");
    EXPECT_EQ(f.Rect(spStandard), (TRect{32, 80, 249, 233}));
    EXPECT_EQ(f.Rect(spOut), (TRect{32, 80, 249, 233}));
    EXPECT_EQ(f.Rect(spIn), (TRect{33, 81, 248, 232}));
    EXPECT_EQ(f.Rect(spComment), (TRect{48, 50, 89, 51}));
    // Cyan region, the inside in the face colour, dotted outlines with no fill.
    const ShapeLook out = f.View.Shapes[spOut];
    EXPECT_TRUE(out.Filled);
    EXPECT_EQ(out.Brush, TColor{0x00FFFF00});
    EXPECT_EQ(f.View.Shapes[spIn].Brush, SystemColor(kColorBtnFace));
    for (const ValueControl outline : {spStandard, spComment}) {
        EXPECT_FALSE(f.View.Shapes[outline].Filled);
        EXPECT_EQ(f.View.Shapes[outline].Outline, ShapeOutline::Dotted);
    }
}

TEST(FineAdjust, AFilledPartHasOnlyTheOuterMode) {
    Form f(1, false, {2, 3, 4, 5}, {1, 0, 0, 0});
    for (const ValueControl control : {rbOut, rbIn, spIn}) {
        EXPECT_FALSE(f.View.Visible.at(control));
    }
    EXPECT_EQ(f.View.Texts[lbStandard], "アイコン領域");
    EXPECT_EQ(f.Labels(), "外(1) - - -");

    f.Click(udLeft, false); // left arrow: the left edge moves outward
    EXPECT_EQ(f.Logic.GetOuter(), (TTrim{2, 0, 0, 0}));
    EXPECT_EQ(f.Logic.GetThick(), (TTrim{2, 3, 4, 5}));

    f.Logic.btResetClick();
    EXPECT_EQ(f.Logic.GetOuter(), (TTrim{1, 1, 1, 1}));
    EXPECT_EQ(f.Logic.GetThick(), (TTrim{1, 1, 1, 1}));
}

TEST(FineAdjust, EachArrowMovesItsEdgeOutwardAndInwardUpTo9) {
    for (const SideArrow& arrow : kOuterArrows) {
        Form f(2, true, {1, 1, 1, 1}, {0, 0, 0, 0});
        f.Click(arrow.UpDown, arrow.OutwardIncreases, 12);
        TTrim expected;
        expected.*arrow.Side = 9;
        EXPECT_EQ(f.Logic.GetOuter(), expected);
        f.Click(arrow.UpDown, !arrow.OutwardIncreases, 20);
        expected.*arrow.Side = -9;
        EXPECT_EQ(f.Logic.GetOuter(), expected);
        EXPECT_NE(f.Labels().find("内(9)"), std::string::npos);
    }
}

TEST(FineAdjust, TheWholeButtonOnlyShrinks) {
    for (const SideArrow& arrow : kOuterArrows) {
        Form f(0, true, {1, 1, 1, 1}, {0, 0, 0, 0});
        f.Click(arrow.UpDown, arrow.OutwardIncreases);
        EXPECT_EQ(f.Logic.GetOuter(), (TTrim{0, 0, 0, 0}));
        f.Click(arrow.UpDown, !arrow.OutwardIncreases, 12);
        TTrim expected;
        expected.*arrow.Side = -9;
        EXPECT_EQ(f.Logic.GetOuter(), expected);
        f.Click(arrow.UpDown, arrow.OutwardIncreases, 12);
        EXPECT_EQ(f.Logic.GetOuter(), (TTrim{0, 0, 0, 0}));
    }
}

TEST(FineAdjust, SwitchingModesKeepsBothSets) {
    Form f(1, true, {1, 1, 1, 1}, {2, -2, 0, 1});
    EXPECT_EQ(f.Labels(), "外(2) 内(2) - 外(1)");

    f.Logic.rbOutClick(true);
    EXPECT_TRUE(f.Logic.ThickMode());
    EXPECT_EQ(f.Labels(), "太さ(1) 太さ(1) 太さ(1) 太さ(1)");
    // In this mode the arrows move the inner edges: right of udLeft thickens
    // the left side, down of udTop the top, left of udRight the right, up of
    // udBottom the bottom.
    f.Click(udLeft, true);
    f.Click(udTop, false, 2);
    f.Click(udRight, false, 3);
    f.Click(udBottom, true, 4);
    EXPECT_EQ(f.Logic.GetThick(), (TTrim{2, 3, 4, 5}));
    EXPECT_EQ(f.Labels(), "太さ(2) 太さ(3) 太さ(4) 太さ(5)");
    EXPECT_EQ(f.Logic.GetOuter(), (TTrim{2, -2, 0, 1}));

    f.Logic.rbOutClick(false);
    EXPECT_EQ(f.Labels(), "外(2) 内(2) - 外(1)");
    f.Click(udRight, true);
    EXPECT_EQ(f.Logic.GetOuter(), (TTrim{2, -2, 1, 1}));
    EXPECT_EQ(f.Logic.GetThick(), (TTrim{2, 3, 4, 5}));
}

TEST(FineAdjust, ThicknessStaysWithin0To9) {
    Form f(2, true, {0, 0, 0, 0}, {3, 3, 3, 3});
    f.Logic.rbOutClick(true);
    EXPECT_EQ(f.Labels(), "太さ(0) 太さ(0) 太さ(0) 太さ(0)");
    f.Click(udLeft, false);
    f.Click(udTop, true);
    f.Click(udRight, true);
    f.Click(udBottom, false);
    EXPECT_EQ(f.Logic.GetThick(), (TTrim{0, 0, 0, 0}));
    f.Click(udBottom, true, 15);
    EXPECT_EQ(f.Logic.GetThick(), (TTrim{0, 0, 0, 9}));
    EXPECT_EQ(f.Logic.GetOuter(), (TTrim{3, 3, 3, 3}));
}

struct ResetRow {
    const char* Name;
    std::uint8_t Area;
    bool Frame;
    bool ThickMode;
    int Outer;
    const char* Labels;
};

void PrintTo(const ResetRow& row, std::ostream* os) {
    *os << row.Name;
}

class FineAdjustReset : public ::testing::TestWithParam<ResetRow> {};

TEST_P(FineAdjustReset, GivesTheAreasDefaultsAndTheArrowsStartFromThem) {
    const ResetRow& row = GetParam();
    Form f(row.Area, row.Frame, {4, 0, 7, 2}, {-3, -4, -5, -6});
    if (row.ThickMode) {
        f.Logic.rbOutClick(true);
    }
    f.Logic.btResetClick();
    EXPECT_EQ(f.Logic.GetOuter(), (TTrim{row.Outer, row.Outer, row.Outer, row.Outer}));
    EXPECT_EQ(f.Logic.GetThick(), (TTrim{1, 1, 1, 1}));
    EXPECT_EQ(f.Labels(), row.Labels);

    // One click now changes one edge.
    f.Click(udTop, !row.ThickMode);
    if (row.ThickMode) {
        EXPECT_EQ(f.Logic.GetThick(), (TTrim{1, 2, 1, 1}));
    } else if (row.Area == 0) {
        EXPECT_EQ(f.Logic.GetOuter(), (TTrim{0, 0, 0, 0})); // cannot grow
    } else {
        EXPECT_EQ(f.Logic.GetOuter(), (TTrim{1, 2, 1, 1}));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Areas, FineAdjustReset,
    ::testing::Values(ResetRow{"WholeButton", 0, false, false, 0, "- - - -"},
                      ResetRow{"ButtonFrame", 0, true, false, 0, "- - - -"},
                      ResetRow{"IconFrame", 1, true, false, 1, "外(1) 外(1) 外(1) 外(1)"},
                      ResetRow{"NameArea", 2, false, false, 1, "外(1) 外(1) 外(1) 外(1)"},
                      ResetRow{"NameFrameThickness", 2, true, true, 1,
                               "太さ(1) 太さ(1) 太さ(1) 太さ(1)"}),
    [](const ::testing::TestParamInfo<ResetRow>& info) { return info.param.Name; });

TEST(FineAdjust, TheSchematicFollowsTheValues) {
    Form f(1, true, {3, 1, 2, 4}, {3, 0, -2, 1});
    const TRect standard = f.Rect(spStandard);
    const TRect out = f.Rect(spOut);
    EXPECT_EQ(out,
              (TRect{standard.Left - 3, standard.Top, standard.Right - 2, standard.Bottom + 1}));
    EXPECT_EQ(f.Rect(spIn), (TRect{out.Left + 3, out.Top + 1, out.Right - 2, out.Bottom - 4}));

    f.Click(udLeft, true); // outer left 3 -> 2
    EXPECT_EQ(f.Rect(spOut).Left, standard.Left - 2);
    EXPECT_EQ(f.Rect(spIn).Left, standard.Left - 2 + 3);

    // A frame thicker than its region leaves no inside.
    f.Logic.SetValues(1, true, {200, 1, 200, 1}, {0, 0, 0, 0});
    f.Logic.FormShow();
    EXPECT_EQ(f.Rect(spIn).Right, f.Rect(spIn).Left);
}

TEST(FineAdjust, ValuesBeyondTheArrowsStayUntilAnArrowOfTheirModeIsClicked) {
    Form f(1, true, {12, 1, 1, 1}, {20, 0, 0, -15});
    EXPECT_EQ(f.Labels(), "外(20) - - 内(15)");
    EXPECT_EQ(f.Logic.UpDown(udLeft).Position, -9);
    EXPECT_EQ(f.Logic.GetOuter(), (TTrim{20, 0, 0, -15}));

    // Thickness mode shows the thickness without touching the outer values.
    f.Logic.rbOutClick(true);
    EXPECT_EQ(f.Labels(), "太さ(12) 太さ(1) 太さ(1) 太さ(1)");
    f.Logic.rbOutClick(false);
    EXPECT_EQ(f.Logic.GetOuter(), (TTrim{20, 0, 0, -15}));

    // A click takes every edge of the mode from its arrows.
    f.Click(udTop, true);
    EXPECT_EQ(f.Logic.GetOuter(), (TTrim{9, 1, 0, -9}));
    EXPECT_EQ(f.Logic.GetThick(), (TTrim{12, 1, 1, 1}));

    // Even the extremes a file can hold stay as read.
    Form wild(2, true, {INT32_MIN, 0, 0, 0}, {INT32_MAX, INT32_MIN, 0, 0});
    EXPECT_EQ(wild.Logic.GetOuter(), (TTrim{INT32_MAX, INT32_MIN, 0, 0}));
    EXPECT_EQ(wild.View.Texts[lbLeft], "外(2147483647)");
}

TEST(FineAdjust, OkAndCancelClose) {
    Form f(1, true, {1, 1, 1, 1}, {0, 0, 0, 0});
    f.Logic.btCancelClick();
    EXPECT_EQ(f.View.Closed, false);
    f.Logic.btOKClick();
    EXPECT_EQ(f.View.Closed, true);
}

// The schematic painted into a bitmap: fill, then the outline along the edge;
// dotted outlines set the pixels whose x + y is odd, whatever the shape.
TEST(FineAdjustPaint, ShapesPaintTheirFillAndOutline) {
    constexpr TColor kFace = 0x00F0F0F0;
    constexpr TColor kCyan = 0x00FFFF00;
    constexpr TColor kBlack = 0;
    const struct {
        ShapeLook Shape;
        std::vector<std::pair<TPoint, TColor>> Pixels;
    } cases[] = {
        {{{2, 3, 7, 6}, true, kCyan, kBlack, ShapeOutline::Solid},
         {{{2, 3}, kBlack}, {{6, 5}, kBlack}, {{4, 4}, kCyan}, {{7, 4}, kFace}, {{4, 6}, kFace}}},
        {{{2, 3, 7, 6}, false, kCyan, kBlack, ShapeOutline::Dotted},
         {{{2, 3}, kBlack},
          {{3, 3}, kFace},
          {{4, 3}, kBlack},
          {{2, 4}, kFace},
          {{2, 5}, kBlack},
          {{6, 4}, kFace},
          {{6, 5}, kBlack},
          {{5, 5}, kFace},
          {{4, 4}, kFace}}},
        {{{3, 3, 8, 4}, false, 0, kBlack, ShapeOutline::Dotted},
         {{{3, 3}, kFace}, {{4, 3}, kBlack}, {{6, 3}, kBlack}, {{7, 3}, kFace}}},
        {{{-3, -1, 3, 2}, true, kCyan, kBlack, ShapeOutline::Dotted},
         {{{0, 0}, kCyan}, {{1, 1}, kCyan}, {{2, 1}, kBlack}, {{2, 0}, kCyan}, {{3, 0}, kFace}}},
        {{{4, 4, 4, 9}, true, kCyan, kBlack, ShapeOutline::Solid}, {{{4, 4}, kFace}}},
        {{{5, 5, 3, 3}, true, kCyan, kBlack, ShapeOutline::Solid}, {{{4, 4}, kFace}}},
    };
    for (const auto& c : cases) {
        Bitmap24 canvas(10, 8, kFace);
        PaintShapeLook(canvas, c.Shape);
        for (const auto& [at, colour] : c.Pixels) {
            EXPECT_EQ(canvas.Pixel(at.X, at.Y), colour)
                << "(" << at.X << ", " << at.Y << ") of [" << c.Shape.Bounds.Left << ", "
                << c.Shape.Bounds.Top << ", " << c.Shape.Bounds.Right << ", "
                << c.Shape.Bounds.Bottom << ")";
        }
    }
}
