// The gradient editor's upper pane: kind, angle, centre and normalisation,
// which controls are enabled, the preview and its handles; and OK and Cancel.
#include "tests/logic/gradient_dialog_fixture.h"

#include <ostream>
#include <string>

using namespace pelmora;
using namespace pelmora::testing;
using enum GradControl;
using Ints = std::vector<int>;

TEST(GradientDialogControls, LoadingAGradientShowsItWithoutChangingIt) {
    const std::string text = "1,400,-250,30,1,,00000000FF,3200FF0000,640000FF00";
    GradDialog d(text.c_str());
    EXPECT_EQ(d.view.kind, 1);
    EXPECT_EQ(d.view.numbers[edAngle], 359); // the fields show what their ranges allow
    EXPECT_EQ(d.view.numbers[edX], -200);
    EXPECT_EQ(d.view.numbers[edY], 30);
    EXPECT_TRUE(d.view.checked[cbNormal]);
    EXPECT_TRUE(d.view.checked[btHdl]);
    EXPECT_FALSE(d.view.checked[cbWrap]);
    EXPECT_EQ(d.gradient.SaveToText(), text);
    EXPECT_EQ(Positions(d.logic.Work()), (Ints{0, 50, 100}));

    // The up-downs: the angle wraps round 0..359, the centre stops at -200 and 200.
    EXPECT_EQ(d.logic.UpDown(udAngle).Min, 0);
    EXPECT_EQ(d.logic.UpDown(udAngle).Max, 359);
    EXPECT_TRUE(d.logic.UpDown(udAngle).Wrap);
    for (const GradControl centre : {udX, udY}) {
        EXPECT_EQ(d.logic.UpDown(centre).Min, -200);
        EXPECT_EQ(d.logic.UpDown(centre).Max, 200);
        EXPECT_FALSE(d.logic.UpDown(centre).Wrap);
    }
}

TEST(GradientDialogControls, SwitchingToFourCornersSnapsTheAngleAndStepsBy90) {
    GradDialog d("0,45,0,0,0,,00000000FF,0A00FF0000,140000FF00,1E00FFFFFF,6400000000");
    d.logic.cbKindChange(gkQuad);
    EXPECT_EQ(d.gradient.Kind, gkQuad);
    EXPECT_EQ(Positions(d.gradient), (Ints{0, 33, 67, 100}));
    EXPECT_EQ(Positions(d.logic.Work()), (Ints{0, 33, 67, 100}));
    EXPECT_EQ(Colors(d.gradient), (std::vector<TColor>{kRed, kBlue, kGreen, 0}));
    EXPECT_EQ(d.gradient.Angle, 0);
    EXPECT_EQ(d.logic.UpDown(udAngle).Increment, 90);

    d.logic.udAngleClick(-1); // down from 0 wraps to 359, which shows as 270
    EXPECT_EQ(d.view.numbers[edAngle], 270);
    EXPECT_EQ(d.gradient.Angle, 270);
    d.logic.udAngleClick(-1);
    EXPECT_EQ(d.gradient.Angle, 180);
    d.logic.udAngleClick(1);
    d.logic.udAngleClick(1);
    EXPECT_EQ(d.view.numbers[edAngle], 0);
    EXPECT_EQ(d.gradient.Angle, 0);

    // Back to a linear kind the step is 1 again and the four stops stay.
    d.logic.cbKindChange(gkLinear);
    EXPECT_EQ(d.logic.UpDown(udAngle).Increment, 1);
    d.logic.udAngleClick(-1);
    EXPECT_EQ(d.gradient.Angle, 359);
    EXPECT_EQ(Positions(d.gradient), (Ints{0, 33, 67, 100}));
}

struct Enabling {
    const char* text;
    bool angle;
    bool centre;
    bool normalise;
};

void PrintTo(const Enabling& row, std::ostream* os) {
    *os << '"' << row.text << '"';
}

class GradientDialogEnabling : public ::testing::TestWithParam<Enabling> {};

TEST_P(GradientDialogEnabling, FollowsKindCentreAndNormalisation) {
    const Enabling& row = GetParam();
    GradDialog d(row.text);
    for (const GradControl c : {lbAngle, edAngle, udAngle, lbDegree}) {
        EXPECT_EQ(d.view.enabled[c], row.angle) << static_cast<int>(c);
    }
    for (const GradControl c : {lbCenter, lbX, edX, udX, lbXPer, lbY, edY, udY, lbYPer}) {
        EXPECT_EQ(d.view.enabled[c], row.centre) << static_cast<int>(c);
    }
    EXPECT_EQ(d.view.enabled[cbNormal], row.normalise);
}

INSTANTIATE_TEST_SUITE_P(Kinds, GradientDialogEnabling,
                         ::testing::Values(Enabling{"0,0,80,0,1,,", true, false, false},
                                           Enabling{"3,0,-80,0,1,,", true, false, false},
                                           Enabling{"2,0,0,0,0,,", false, true, false},
                                           Enabling{"2,0,0,50,0,,", false, true, true},
                                           Enabling{"1,0,50,0,1,,", false, true, true},
                                           Enabling{"1,0,49,0,1,,", true, true, false},
                                           Enabling{"1,0,0,-50,1,,", false, true, true},
                                           Enabling{"1,0,-49,49,1,,", true, true, false},
                                           Enabling{"1,0,50,0,0,,", true, true, true}));

TEST(GradientDialogControls, NumberFieldsHoldDigitsOnlyAndTheCentreASign) {
    const struct {
        GradControl field;
        const char* text;
        bool accepted;
    } rows[] = {
        {edAngle, "", true},    {edAngle, "359", true}, {edAngle, "1a", false},
        {edAngle, "-1", false}, {edAngle, " 1", false}, {edAngle, "４５", false},
        {edAngle, "あ", false}, {edX, "-200", true},    {edX, "1-", true},
        {edX, "+5", false},     {edY, "１", false},     {edY, "0x1", false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(GradientDialogLogic::FieldAccepts(row.field, row.text), row.accepted) << row.text;
    }
}

TEST(GradientDialogControls, TypedNumbersReadAsZeroWhenEmptyAndAreLimited) {
    GradDialog d("1,0,0,0,1,,00000000FF,6400FF0000");
    d.view.numbers.clear();
    d.logic.edAngleChange("1");
    d.logic.edAngleChange("12");
    EXPECT_EQ(d.gradient.Angle, 12);
    EXPECT_TRUE(d.view.numbers.empty()); // typing is not disturbed
    d.logic.edAngleChange("1");
    d.logic.edAngleChange("");
    EXPECT_EQ(d.gradient.Angle, 0);
    d.logic.edAngleChange("500");
    EXPECT_EQ(d.view.numbers[edAngle], 359);
    EXPECT_EQ(d.gradient.Angle, 359);
    d.logic.udAngleClick(1); // the arrows wrap
    EXPECT_EQ(d.view.numbers[edAngle], 0);
    EXPECT_EQ(d.gradient.Angle, 0);
    d.logic.udAngleClick(-1);
    EXPECT_EQ(d.gradient.Angle, 359);

    // Moving the centre onto the edge makes normalisation possible and, with
    // it on, disables the angle.
    EXPECT_FALSE(d.view.enabled[cbNormal]);
    d.logic.edXChange("5");
    d.logic.edXChange("50");
    EXPECT_EQ(d.gradient.CenterX, 50);
    EXPECT_TRUE(d.view.enabled[cbNormal]);
    EXPECT_FALSE(d.view.enabled[edAngle]);
    d.logic.edXChange("5");
    EXPECT_EQ(d.gradient.CenterX, 5);
    EXPECT_TRUE(d.view.enabled[edAngle]);
    d.logic.edXChange("-999");
    EXPECT_EQ(d.view.numbers[edX], -200);
    EXPECT_EQ(d.gradient.CenterX, -200);
    d.logic.udXClick(udY, 1);
    EXPECT_EQ(d.view.numbers[edY], 1);
    EXPECT_EQ(d.gradient.CenterY, 1);

    // Unticking normalisation while it is enabled.
    d.logic.cbNormalClick(false);
    EXPECT_FALSE(d.gradient.Normalize);
    EXPECT_TRUE(d.view.enabled[edAngle]);
}

TEST(GradientDialogPreview, DraggingTheCentreHandle) {
    GradDialog d("1,0,0,0,0,,00000000FF,6400FF0000");
    d.logic.pbGradMouseDown({121, 119});
    EXPECT_TRUE(d.logic.CenterDrag());
    d.logic.pbGradMouseMove({150, 100});
    d.logic.pbGradMouseMove({180, 60});
    d.logic.pbGradMouseUp();
    EXPECT_FALSE(d.logic.CenterDrag());
    EXPECT_EQ(d.gradient.CenterX, 50);
    EXPECT_EQ(d.gradient.CenterY, -50);
    EXPECT_EQ(d.view.numbers[edX], 50);
    EXPECT_EQ(d.view.numbers[edY], -50);
    EXPECT_TRUE(d.view.enabled[cbNormal]);

    // Dragged far outside, the centre stops at the fields' limits.
    const TPoint p = d.logic.HandlePoints().first;
    EXPECT_EQ(p, (TPoint{180, 60}));
    d.logic.pbGradMouseDown(p);
    d.logic.pbGradMouseMove({-200, 239});
    d.logic.pbGradMouseUp();
    EXPECT_EQ(d.gradient.CenterX, -200);
    EXPECT_EQ(d.gradient.CenterY, 99);

    // A press away from both handles grabs nothing.
    d.logic.pbGradMouseDown({10, 10});
    d.logic.pbGradMouseMove({120, 120});
    EXPECT_EQ(d.gradient.CenterX, -200);
}

TEST(GradientDialogPreview, DraggingTheAngleHandle) {
    GradDialog d("0,0,0,0,0,,00000000FF,6400FF0000");
    d.logic.pbGradMouseDown({172, 122}); // Q = (170, 120)
    EXPECT_TRUE(d.logic.AngleDrag());
    const struct {
        TPoint to;
        int angle;
    } moves[] = {{{120, 200}, 90},
                 {{120, 10}, 270},
                 {{200, 200}, 45},
                 {{40, 40}, 225},
                 {{320, 119}, 0}}; // just above the axis: 360 becomes 0
    for (const auto& move : moves) {
        d.logic.pbGradMouseMove(move.to);
        EXPECT_EQ(d.gradient.Angle, move.angle);
        EXPECT_EQ(d.view.numbers[edAngle], move.angle);
    }
    d.logic.pbGradMouseUp();
    EXPECT_FALSE(d.logic.AngleDrag());

    EXPECT_EQ(GradientDialogLogic::AngleFromPoints({120, 120}, {100, 120}), 180);
    EXPECT_EQ(GradientDialogLogic::AngleFromPoints({120, 120}, {220, 119}), 359);
    EXPECT_EQ(GradientDialogLogic::AngleFromPoints({120, 120}, {320, 119}), 360);

    // With the handles hidden a press grabs nothing.
    d.logic.btHdlClick(false);
    d.logic.pbGradMouseDown({170, 120});
    d.logic.pbGradMouseMove({120, 200});
    EXPECT_EQ(d.gradient.Angle, 0);
}

TEST(GradientDialogPreview, ShowsTheGradientWithItsHandlesOnlyWhenAsked) {
    GradDialog d("0,0,0,0,0,,0000000000,6400FFFFFF");
    const Bitmap24& preview = d.view.pictures[pbGrad];
    // Angle handle at Q = (170, 120): white inside, black outline.
    EXPECT_EQ(preview.Pixel(169, 119), kWhite);
    EXPECT_EQ(preview.Pixel(167, 119), TColor{0});
    EXPECT_EQ(preview.Pixel(172, 119), TColor{0});
    EXPECT_EQ(preview.Pixel(173, 119), preview.Pixel(173, 110));
    // The line from the centre inverts red and green and keeps blue.
    const TColor line = preview.Pixel(140, 120);
    const TColor beside = preview.Pixel(140, 121);
    EXPECT_EQ(RedOf(line), 255 - RedOf(beside));
    EXPECT_EQ(GreenOf(line), 255 - GreenOf(beside));
    EXPECT_EQ(BlueOf(line), BlueOf(beside));
    // The ramp fills (60, 60)..(180, 180) and the box around it is the face colour.
    const TColor face = SystemColor(kColorBtnFace);
    EXPECT_EQ(preview.Pixel(60, 70), TColor{0});
    EXPECT_EQ(preview.Pixel(180, 70), kWhite);
    EXPECT_EQ(preview.Pixel(59, 70), face);
    EXPECT_EQ(preview.Pixel(181, 181), face);

    d.logic.btHdlClick(false);
    const Bitmap24& plain = d.view.pictures[pbGrad];
    EXPECT_EQ(plain.Pixel(169, 119), plain.Pixel(169, 110));
    EXPECT_EQ(plain.Pixel(140, 120), plain.Pixel(140, 121));

    // The bar shows the working stops from 0 at the left to 100 at the right.
    EXPECT_EQ(d.view.pictures[pbBar].Pixel(0, 10), TColor{0});
    EXPECT_EQ(d.view.pictures[pbBar].Pixel(270, 10), kWhite);
}

TEST(GradientDialogPreview, TheCentreHandleIsBlackWithAWhiteOutline) {
    GradDialog d("2,0,-20,10,0,,00000000FF,6400FF0000");
    const auto [p, q] = d.logic.HandlePoints();
    EXPECT_EQ(p, (TPoint{96, 132})); // Round(-24) + 120, Round(12) + 120
    const Bitmap24& preview = d.view.pictures[pbGrad];
    EXPECT_EQ(preview.Pixel(p.X, p.Y), TColor{0});
    EXPECT_EQ(preview.Pixel(p.X - 3, p.Y), kWhite);
    // No angle handle for rings.
    EXPECT_NE(preview.Pixel(q.X, q.Y), kWhite);
}

TEST(GradientDialogControls, KindPicturesAreGreyOnTransparent) {
    GradDialog d("0,0,0,0,0,,");
    for (const Bitmap24& picture : d.view.kindPictures) {
        ASSERT_EQ(picture.Width(), 14);
        ASSERT_EQ(picture.Height(), 14);
        EXPECT_EQ(picture.Pixel(0, 0), kPictureTransparent);
        const TColor middle = picture.Pixel(7, 5);
        EXPECT_TRUE(RedOf(middle) == GreenOf(middle) && GreenOf(middle) == BlueOf(middle));
    }
    const KindItemLayout item = GradientDialogLogic::cbKindDrawItem({10, 20, 91, 38});
    EXPECT_EQ(item.Picture, (TPoint{12, 23})); // 20 + 1 + (18 - 14) / 2
    EXPECT_EQ(item.Text, (TRect{28, 20, 91, 38}));
}

TEST(GradientDialogControls, OkAndCancelCloseAndCancelKeepsTheEdits) {
    GradDialog d("0,0,0,0,0,,00000000FF,1E00FF0000,640000FF00");
    d.logic.btReverseClick();
    d.logic.btCancelClick();
    EXPECT_EQ(d.view.closed, false);
    EXPECT_EQ(d.gradient.SaveToText(), "0,0,0,0,0,,000000FF00,4600FF0000,64000000FF");
    d.logic.btOKClick();
    EXPECT_EQ(d.view.closed, true);
}
