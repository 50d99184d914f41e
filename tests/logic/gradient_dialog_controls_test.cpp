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
    EXPECT_EQ(d.View.Kind, 1);
    EXPECT_EQ(d.View.Numbers[edAngle], 359); // the fields show what their ranges allow
    EXPECT_EQ(d.View.Numbers[edX], -200);
    EXPECT_EQ(d.View.Numbers[edY], 30);
    EXPECT_TRUE(d.View.Checked[cbNormal]);
    EXPECT_TRUE(d.View.Checked[btHdl]);
    EXPECT_FALSE(d.View.Checked[cbWrap]);
    EXPECT_EQ(d.Gradient.SaveToText(), text);
    EXPECT_EQ(Positions(d.Logic.Work()), (Ints{0, 50, 100}));

    // The up-downs: the angle wraps round 0..359, the centre stops at -200 and 200.
    EXPECT_EQ(d.Logic.UpDown(udAngle).Min, 0);
    EXPECT_EQ(d.Logic.UpDown(udAngle).Max, 359);
    EXPECT_TRUE(d.Logic.UpDown(udAngle).Wrap);
    for (const GradControl centre : {udX, udY}) {
        EXPECT_EQ(d.Logic.UpDown(centre).Min, -200);
        EXPECT_EQ(d.Logic.UpDown(centre).Max, 200);
        EXPECT_FALSE(d.Logic.UpDown(centre).Wrap);
    }
}

TEST(GradientDialogControls, SwitchingToFourCornersSnapsTheAngleAndStepsBy90) {
    GradDialog d("0,45,0,0,0,,00000000FF,0A00FF0000,140000FF00,1E00FFFFFF,6400000000");
    d.Logic.cbKindChange(gkQuad);
    EXPECT_EQ(d.Gradient.Kind, gkQuad);
    EXPECT_EQ(Positions(d.Gradient), (Ints{0, 33, 67, 100}));
    EXPECT_EQ(Positions(d.Logic.Work()), (Ints{0, 33, 67, 100}));
    EXPECT_EQ(Colors(d.Gradient), (std::vector<TColor>{kRed, kBlue, kGreen, 0}));
    EXPECT_EQ(d.Gradient.Angle, 0);
    EXPECT_EQ(d.Logic.UpDown(udAngle).Increment, 90);

    d.Logic.udAngleClick(-1); // down from 0 wraps to 359, which shows as 270
    EXPECT_EQ(d.View.Numbers[edAngle], 270);
    EXPECT_EQ(d.Gradient.Angle, 270);
    d.Logic.udAngleClick(-1);
    EXPECT_EQ(d.Gradient.Angle, 180);
    d.Logic.udAngleClick(1);
    d.Logic.udAngleClick(1);
    EXPECT_EQ(d.View.Numbers[edAngle], 0);
    EXPECT_EQ(d.Gradient.Angle, 0);

    // Back to a linear kind the step is 1 again and the four stops stay.
    d.Logic.cbKindChange(gkLinear);
    EXPECT_EQ(d.Logic.UpDown(udAngle).Increment, 1);
    d.Logic.udAngleClick(-1);
    EXPECT_EQ(d.Gradient.Angle, 359);
    EXPECT_EQ(Positions(d.Gradient), (Ints{0, 33, 67, 100}));
}

struct Enabling {
    const char* Text;
    bool Angle;
    bool Centre;
    bool Normalise;
};

void PrintTo(const Enabling& row, std::ostream* os) {
    *os << '"' << row.Text << '"';
}

class GradientDialogEnabling : public ::testing::TestWithParam<Enabling> {};

TEST_P(GradientDialogEnabling, FollowsKindCentreAndNormalisation) {
    const Enabling& row = GetParam();
    GradDialog d(row.Text);
    for (const GradControl c : {lbAngle, edAngle, udAngle, lbDegree}) {
        EXPECT_EQ(d.View.Enabled[c], row.Angle) << static_cast<int>(c);
    }
    for (const GradControl c : {lbCenter, lbX, edX, udX, lbXPer, lbY, edY, udY, lbYPer}) {
        EXPECT_EQ(d.View.Enabled[c], row.Centre) << static_cast<int>(c);
    }
    EXPECT_EQ(d.View.Enabled[cbNormal], row.Normalise);
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
        GradControl Field;
        const char* Text;
        bool Accepted;
    } rows[] = {
        {edAngle, "", true},    {edAngle, "359", true}, {edAngle, "1a", false},
        {edAngle, "-1", false}, {edAngle, " 1", false}, {edAngle, "４５", false},
        {edAngle, "あ", false}, {edX, "-200", true},    {edX, "1-", true},
        {edX, "+5", false},     {edY, "１", false},     {edY, "0x1", false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(GradientDialogLogic::FieldAccepts(row.Field, row.Text), row.Accepted) << row.Text;
    }
}

TEST(GradientDialogControls, TypedNumbersReadAsZeroWhenEmptyAndAreLimited) {
    GradDialog d("1,0,0,0,1,,00000000FF,6400FF0000");
    d.View.Numbers.clear();
    d.Logic.edAngleChange("1");
    d.Logic.edAngleChange("12");
    EXPECT_EQ(d.Gradient.Angle, 12);
    EXPECT_TRUE(d.View.Numbers.empty()); // typing is not disturbed
    d.Logic.edAngleChange("1");
    d.Logic.edAngleChange("");
    EXPECT_EQ(d.Gradient.Angle, 0);
    d.Logic.edAngleChange("500");
    EXPECT_EQ(d.View.Numbers[edAngle], 359);
    EXPECT_EQ(d.Gradient.Angle, 359);
    d.Logic.udAngleClick(1); // the arrows wrap
    EXPECT_EQ(d.View.Numbers[edAngle], 0);
    EXPECT_EQ(d.Gradient.Angle, 0);
    d.Logic.udAngleClick(-1);
    EXPECT_EQ(d.Gradient.Angle, 359);

    // Moving the centre onto the edge makes normalisation possible and, with
    // it on, disables the angle.
    EXPECT_FALSE(d.View.Enabled[cbNormal]);
    d.Logic.edXChange("5");
    d.Logic.edXChange("50");
    EXPECT_EQ(d.Gradient.CenterX, 50);
    EXPECT_TRUE(d.View.Enabled[cbNormal]);
    EXPECT_FALSE(d.View.Enabled[edAngle]);
    d.Logic.edXChange("5");
    EXPECT_EQ(d.Gradient.CenterX, 5);
    EXPECT_TRUE(d.View.Enabled[edAngle]);
    d.Logic.edXChange("-999");
    EXPECT_EQ(d.View.Numbers[edX], -200);
    EXPECT_EQ(d.Gradient.CenterX, -200);
    d.Logic.udXClick(udY, 1);
    EXPECT_EQ(d.View.Numbers[edY], 1);
    EXPECT_EQ(d.Gradient.CenterY, 1);

    // Unticking normalisation while it is enabled.
    d.Logic.cbNormalClick(false);
    EXPECT_FALSE(d.Gradient.Normalize);
    EXPECT_TRUE(d.View.Enabled[edAngle]);
}

TEST(GradientDialogPreview, DraggingTheCentreHandle) {
    GradDialog d("1,0,0,0,0,,00000000FF,6400FF0000");
    d.Logic.pbGradMouseDown({121, 119});
    EXPECT_TRUE(d.Logic.CenterDrag());
    d.Logic.pbGradMouseMove({150, 100});
    d.Logic.pbGradMouseMove({180, 60});
    d.Logic.pbGradMouseUp();
    EXPECT_FALSE(d.Logic.CenterDrag());
    EXPECT_EQ(d.Gradient.CenterX, 50);
    EXPECT_EQ(d.Gradient.CenterY, -50);
    EXPECT_EQ(d.View.Numbers[edX], 50);
    EXPECT_EQ(d.View.Numbers[edY], -50);
    EXPECT_TRUE(d.View.Enabled[cbNormal]);

    // Dragged far outside, the centre stops at the fields' limits.
    const TPoint p = d.Logic.HandlePoints().first;
    EXPECT_EQ(p, (TPoint{180, 60}));
    d.Logic.pbGradMouseDown(p);
    d.Logic.pbGradMouseMove({-200, 239});
    d.Logic.pbGradMouseUp();
    EXPECT_EQ(d.Gradient.CenterX, -200);
    EXPECT_EQ(d.Gradient.CenterY, 99);

    // A press away from both handles grabs nothing.
    d.Logic.pbGradMouseDown({10, 10});
    d.Logic.pbGradMouseMove({120, 120});
    EXPECT_EQ(d.Gradient.CenterX, -200);
}

TEST(GradientDialogPreview, DraggingTheAngleHandle) {
    GradDialog d("0,0,0,0,0,,00000000FF,6400FF0000");
    d.Logic.pbGradMouseDown({172, 122}); // Q = (170, 120)
    EXPECT_TRUE(d.Logic.AngleDrag());
    const struct {
        TPoint To;
        int Angle;
    } moves[] = {{{120, 200}, 90},
                 {{120, 10}, 270},
                 {{200, 200}, 45},
                 {{40, 40}, 225},
                 {{320, 119}, 0}}; // just above the axis: 360 becomes 0
    for (const auto& move : moves) {
        d.Logic.pbGradMouseMove(move.To);
        EXPECT_EQ(d.Gradient.Angle, move.Angle);
        EXPECT_EQ(d.View.Numbers[edAngle], move.Angle);
    }
    d.Logic.pbGradMouseUp();
    EXPECT_FALSE(d.Logic.AngleDrag());

    EXPECT_EQ(GradientDialogLogic::AngleFromPoints({120, 120}, {100, 120}), 180);
    EXPECT_EQ(GradientDialogLogic::AngleFromPoints({120, 120}, {220, 119}), 359);
    EXPECT_EQ(GradientDialogLogic::AngleFromPoints({120, 120}, {320, 119}), 360);

    // With the handles hidden a press grabs nothing.
    d.Logic.btHdlClick(false);
    d.Logic.pbGradMouseDown({170, 120});
    d.Logic.pbGradMouseMove({120, 200});
    EXPECT_EQ(d.Gradient.Angle, 0);
}

TEST(GradientDialogPreview, ShowsTheGradientWithItsHandlesOnlyWhenAsked) {
    GradDialog d("0,0,0,0,0,,0000000000,6400FFFFFF");
    const Bitmap24& preview = d.View.Pictures[pbGrad];
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

    d.Logic.btHdlClick(false);
    const Bitmap24& plain = d.View.Pictures[pbGrad];
    EXPECT_EQ(plain.Pixel(169, 119), plain.Pixel(169, 110));
    EXPECT_EQ(plain.Pixel(140, 120), plain.Pixel(140, 121));

    // The bar shows the working stops from 0 at the left to 100 at the right.
    EXPECT_EQ(d.View.Pictures[pbBar].Pixel(0, 10), TColor{0});
    EXPECT_EQ(d.View.Pictures[pbBar].Pixel(270, 10), kWhite);
}

TEST(GradientDialogPreview, TheCentreHandleIsBlackWithAWhiteOutline) {
    GradDialog d("2,0,-20,10,0,,00000000FF,6400FF0000");
    const auto [p, q] = d.Logic.HandlePoints();
    EXPECT_EQ(p, (TPoint{96, 132})); // Round(-24) + 120, Round(12) + 120
    const Bitmap24& preview = d.View.Pictures[pbGrad];
    EXPECT_EQ(preview.Pixel(p.X, p.Y), TColor{0});
    EXPECT_EQ(preview.Pixel(p.X - 3, p.Y), kWhite);
    // No angle handle for rings.
    EXPECT_NE(preview.Pixel(q.X, q.Y), kWhite);
}

TEST(GradientDialogControls, KindPicturesAreGreyOnTransparent) {
    GradDialog d("0,0,0,0,0,,");
    for (const Bitmap24& picture : d.View.KindPictures) {
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
    d.Logic.btReverseClick();
    d.Logic.btCancelClick();
    EXPECT_EQ(d.View.Closed, false);
    EXPECT_EQ(d.Gradient.SaveToText(), "0,0,0,0,0,,000000FF00,4600FF0000,64000000FF");
    d.Logic.btOKClick();
    EXPECT_EQ(d.View.Closed, true);
}
