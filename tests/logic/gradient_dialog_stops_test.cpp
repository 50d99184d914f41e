// The gradient editor's stops: the handle strip's clicks and drags, the stop
// menu, the colour and position dialogs, and the buttons of the lower pane.
#include "tests/logic/gradient_dialog_fixture.h"

using namespace pelmora;
using namespace pelmora::testing;
using enum GradMenuItem;
using Ints = std::vector<int>;
using Colours = std::vector<TColor>;

TEST(GradientDialogStrip, PressingTheEmptyStripAddsAStopWithTheBarsColour) {
    GradDialog d("0,0,0,0,0,,0000000000,6400FFFFFF");
    d.Click({140, 20}); // Round(135 / 2.7) = 50
    EXPECT_EQ(Positions(d.Logic.Work()), (Ints{0, 50, 100}));
    EXPECT_EQ(d.Gradient.GetColor(1), TColor{0x00808080}); // Round(127.5) = 128
    EXPECT_EQ(Positions(d.Gradient), (Ints{0, 50, 100}));
    EXPECT_EQ(d.Logic.DragIndex(), -1);
    EXPECT_EQ(d.Logic.MenuIndex(), -1);

    d.Click({290, 20}); // outside 1..99 nothing is added
    EXPECT_EQ(d.Gradient.Count(), 3);
}

TEST(GradientDialogStrip, AnInteriorHandlePulledOffIsHiddenAndDeletedOnRelease) {
    GradDialog d("0,0,0,0,0,,0000000000,3200FF0000,6400000000");
    const TPoint handle = GradDialog::OnHandle(50);
    EXPECT_EQ(d.View.StripPixel(handle.X, 17), kBlue);

    d.Press(handle);
    EXPECT_EQ(d.Logic.DragIndex(), 1);
    d.Move({handle.X, -6});
    EXPECT_TRUE(d.Logic.DragOut());
    EXPECT_EQ(d.Logic.Work().Count(), 3); // hidden, not yet gone
    EXPECT_NE(d.View.StripPixel(handle.X, 17), kBlue);
    EXPECT_EQ(d.View.StripLabels, (std::vector<StripLabel>{{0, "0"}, {StopPixel(100), "100"}}))
        << "its number goes with it";

    // Back on the strip it shows again; off once more and released, it goes.
    d.Move({handle.X, 10});
    EXPECT_FALSE(d.Logic.DragOut());
    EXPECT_EQ(d.View.StripPixel(handle.X, 17), kBlue);
    EXPECT_EQ(d.View.StripLabels.size(), 3u);
    d.Move({handle.X, -6});
    d.Release({handle.X, -6});
    EXPECT_EQ(Positions(d.Logic.Work()), (Ints{0, 100}));
    EXPECT_EQ(Positions(d.Gradient), (Ints{0, 100}));
}

TEST(GradientDialogStrip, EndHandlesPulledOffStay) {
    GradDialog d("0,0,0,0,0,,0000000000,3200FF0000,6400000000");
    for (const int end : {0, 100}) {
        const TPoint handle = GradDialog::OnHandle(end);
        d.Drag(handle, {{handle.X - 40, 10}, {handle.X, -8}});
        EXPECT_EQ(Positions(d.Gradient), (Ints{0, 50, 100}));
    }
}

TEST(GradientDialogStrip, AHandleStopsShortOfItsNeighbours) {
    GradDialog d("0,0,0,0,0,,0000000000,1E00FF0000,3C0000FF00,6400000000"); // 0, 30, 60, 100
    d.Press(GradDialog::OnHandle(30));
    d.Move({127, 10}); // Round(122 / 2.7) = 45
    EXPECT_EQ(d.Logic.Work().GetPos(1), 45);
    d.Move({167, 10}); // 60: onto the neighbour
    EXPECT_EQ(d.Logic.Work().GetPos(1), 45);
    d.Move({200, 10}); // past it
    EXPECT_EQ(d.Logic.Work().GetPos(1), 45);
    d.Move({164, 10}); // Round(159 / 2.7) = 59
    EXPECT_EQ(d.Logic.Work().GetPos(1), 59);
    d.Move({5, 10}); // onto stop 0
    EXPECT_EQ(d.Logic.Work().GetPos(1), 59);
    EXPECT_EQ(d.Gradient.GetPos(1), 30); // the target follows at the release
    d.Release({5, 10});
    EXPECT_EQ(Positions(d.Gradient), (Ints{0, 59, 60, 100}));
    EXPECT_EQ(d.Logic.MenuIndex(), 1); // the clicked stop is kept for a double-click
}

TEST(GradientDialogStrip, AFourCornerGradientLocksItsStops) {
    GradDialog d("3,90,0,0,0,,00000000FF,210000FF00,4300FF0000,6400FFFFFF");
    const Ints corners{0, 33, 67, 100};
    d.Drag(GradDialog::OnHandle(33), {{150, 10}});
    d.Drag(GradDialog::OnHandle(67), {{GradDialog::OnHandle(67).X, -8}});
    d.Click({250, 20});
    EXPECT_EQ(Positions(d.Gradient), corners);
    EXPECT_TRUE(d.View.StripLabels.empty()); // no position numbers over the handles

    d.MenuOnHandle(33, std::nullopt);
    ASSERT_EQ(d.View.Menus.size(), 1u);
    EXPECT_FALSE(d.View.Menus[0].IsEnabled(mnLocate));
    EXPECT_FALSE(d.View.Menus[0].IsEnabled(mnDelete));

    // From the keyboard "次に追加" is disabled as well.
    d.View.MenuAnswers = {std::nullopt};
    d.Logic.btSelectClick();
    ASSERT_EQ(d.View.Menus.size(), 2u);
    EXPECT_FALSE(d.View.Menus[1].IsEnabled(mnAdd));
    EXPECT_EQ(Positions(d.Gradient), corners);
}

TEST(GradientDialogStrip, HandlesShowTheirStopsColoursAndPositions) {
    GradDialog d("0,0,0,0,0,,00000000FF,1E00FF0000,640000FF00");
    EXPECT_EQ(d.View.StripLabels,
              (std::vector<StripLabel>{{0, "0"}, {StopPixel(30), "30"}, {StopPixel(100), "100"}}));
    // Raised: a highlight outline with a shadowed right edge; pressed, the other way round.
    const TColor highlight = SystemColor(kColorBtnHighlight);
    const TColor shadow = SystemColor(kColorBtnShadow);
    const int x = StopPixel(30);
    const auto looks = [&](TColor top, TColor rightEdge) {
        EXPECT_EQ(d.View.StripPixel(x + 5, 17), kBlue);
        EXPECT_EQ(d.View.StripPixel(x + 3, 13), top);
        EXPECT_EQ(d.View.StripPixel(x + 8, 17), rightEdge);
    };
    looks(highlight, shadow);
    d.Press(GradDialog::OnHandle(30));
    looks(shadow, highlight);
    d.Release(GradDialog::OnHandle(30));
    looks(highlight, shadow);
    EXPECT_EQ(d.View.StripPixel(StopPixel(100) + 5, 20), kGreen);
}

TEST(GradientDialogStrip, WrapTiesBothEnds) {
    GradDialog d("0,0,0,0,0,,00000000FF,3200FF0000,640000FF00");
    d.Logic.cbWrapClick(true);
    EXPECT_EQ(Colors(d.Gradient), (Colours{kRed, kBlue, kRed}));

    // Recolouring the first stop recolours the last, and the other way round.
    d.Prompts->ColorAnswers = {kGreen, kWhite};
    d.MenuOnHandle(0, mnChange);
    EXPECT_EQ(Colors(d.Gradient), (Colours{kGreen, kBlue, kGreen}));
    d.MenuOnHandle(100, mnChange);
    EXPECT_EQ(Colors(d.Gradient), (Colours{kWhite, kBlue, kWhite}));

    // An interior stop is recoloured alone.
    d.Prompts->ColorAnswers = {kRed};
    d.MenuOnHandle(50, mnChange);
    EXPECT_EQ(Colors(d.Gradient), (Colours{kWhite, kRed, kWhite}));
}

TEST(GradientDialogStrip, ReverseFlipsTheStops) {
    GradDialog d("0,0,0,0,0,,00000000FF,1E00FF0000,640000FF00");
    d.Logic.btReverseClick();
    EXPECT_EQ(Positions(d.Gradient), (Ints{0, 70, 100}));
    EXPECT_EQ(Colors(d.Gradient), (Colours{kGreen, kBlue, kRed}));
    EXPECT_EQ(Positions(d.Logic.Work()), (Ints{0, 70, 100}));
}

// The double-click comes before the second press where the platform replaces
// that press by it, and after it where the toolkit reports both.
TEST(GradientDialogStrip, ADoubleClickOnAHandleOpensTheColourDialogOnceInEitherEventOrder) {
    for (const bool doubleClickFirst : {true, false}) {
        SCOPED_TRACE(doubleClickFirst ? "double-click before the second press" : "after it");
        GradDialog d("0,0,0,0,0,,00000000FF,3200FF0000,640000FF00");
        d.Prompts->ColorAnswers = {kWhite, kWhite};
        const auto doubleClick = [&](TPoint at) {
            const std::size_t opened = d.Prompts->ColorInitials.size();
            d.Click(at);
            if (doubleClickFirst) {
                d.Logic.pbPtrDblClick(MouseButton::Left);
                d.Press(at);
            } else {
                d.Press(at);
                d.Logic.pbPtrDblClick(MouseButton::Left);
            }
            EXPECT_EQ(d.Prompts->ColorInitials.size(), opened) << "opened before the click ended";
            d.Release(at);
            d.DeliverPosted();
        };
        doubleClick(GradDialog::OnHandle(50));
        EXPECT_EQ(d.Prompts->ColorInitials, (Colours{kBlue}));
        EXPECT_EQ(Colors(d.Gradient), (Colours{kRed, kWhite, kGreen}));
        EXPECT_EQ(d.Prompts->ColorAnswers.size(), 1u);

        // On the empty strip it opens nothing (but adds a stop there).
        doubleClick({200, 20});
        EXPECT_EQ(d.Prompts->ColorInitials.size(), 1u);
        EXPECT_EQ(d.Gradient.Count(), 4);
    }
}

TEST(GradientDialogMenu, AddNextGoesBetweenTheNeighbours) {
    GradDialog d("0,0,0,0,0,,00000000FF,0A00FF0000,0B0000FF00,6400FFFFFF"); // 0, 10, 11, 100
    // The keyboard selects stop 0; "次を選択" moves to the stop at 10; "次に
    // 追加" adds at Round(10.5) = 10, before the stop that is there.
    d.View.MenuAnswers = {mnSelect, mnAdd};
    d.Logic.btSelectClick();
    EXPECT_EQ(Positions(d.Gradient), (Ints{0, 10, 10, 11, 100}));
    EXPECT_EQ(Colors(d.Gradient), (Colours{kRed, kBlue, kBlue, kGreen, kWhite}));
    EXPECT_EQ(d.Logic.MenuIndex(), -1);
}

TEST(GradientDialogMenu, FromTheKeyboardNextWrapsRoundAndTheKeyboardEntriesShow) {
    GradDialog d("0,0,0,0,0,,00000000FF,6400FFFFFF");
    // Stop 0, the last stop, round to stop 0, the last again; "次に追加" after
    // the last stop puts the new stop at 50.
    d.View.MenuAnswers = {mnSelect, mnSelect, mnSelect, mnAdd};
    d.Logic.btSelectClick();
    EXPECT_EQ(d.View.MenuIndexes, (Ints{0, 1, 0, 1}));
    for (const GradStopMenu& menu : d.View.Menus) {
        EXPECT_TRUE(menu.IsVisible(mnSep2) && menu.IsVisible(mnSelect) && menu.IsVisible(mnAdd));
        EXPECT_EQ(menu.At.Y, 13); // over the handle of the stop it acts on
    }
    EXPECT_EQ(d.View.Menus[1].At.X, StopPixel(100) + 5);
    EXPECT_EQ(Positions(d.Gradient), (Ints{0, 50, 100}));

    // A right-click shows neither entry, and pops up at the pointer.
    d.MenuOnHandle(50, std::nullopt);
    EXPECT_FALSE(d.View.Menus.back().IsVisible(mnSelect));
    EXPECT_FALSE(d.View.Menus.back().IsVisible(mnAdd));
    EXPECT_EQ(d.View.Menus.back().At, GradDialog::OnHandle(50));
}

TEST(GradientDialogMenu, PositionDialogOffersTheRangeBetweenTheNeighboursAndIgnoresTheRest) {
    GradDialog d("0,0,0,0,0,,00000000FF,0A00FF0000,3200FF0000,6400FFFFFF"); // 0, 10, 50, 100
    d.Prompts->InputAnswers = {std::string("30"), std::string("5"), std::string("x"), std::nullopt};
    for (int round = 0; round < 4; ++round) {
        d.MenuOnHandle(d.Gradient.GetPos(2), mnLocate);
        EXPECT_EQ(d.Logic.MenuIndex(), -1);
    }
    ASSERT_EQ(d.Prompts->Shown.size(), 4u);
    EXPECT_EQ(d.Prompts->Shown[0].Title, "位置の指定");
    EXPECT_EQ(d.Prompts->Shown[0].Text, "11[%] から 99[%]の範囲で入力して下さい");
    EXPECT_EQ(d.Prompts->InputInitials[0], "50");
    EXPECT_EQ(d.Prompts->InputInitials[1], "30");
    EXPECT_EQ(Positions(d.Gradient), (Ints{0, 10, 30, 100}));

    // The ends cannot be positioned or deleted.
    d.MenuOnHandle(100, std::nullopt);
    EXPECT_FALSE(d.View.Menus.back().IsEnabled(mnLocate));
    EXPECT_FALSE(d.View.Menus.back().IsEnabled(mnDelete));
}

TEST(GradientDialogMenu, CopyPasteAndDelete) {
    GradDialog d("0,0,0,0,0,,00000000FF,3200FF0000,640000FF00");
    d.MenuOnHandle(0, mnCopy);
    EXPECT_FALSE(d.View.Menus[0].IsEnabled(mnPaste));
    EXPECT_EQ(d.Logic.CopiedColor(), kRed);

    d.MenuOnHandle(50, mnPaste);
    EXPECT_TRUE(d.View.Menus[1].IsEnabled(mnPaste));
    EXPECT_EQ(Colors(d.Gradient), (Colours{kRed, kRed, kGreen}));

    d.MenuOnHandle(50, mnDelete);
    EXPECT_EQ(Positions(d.Gradient), (Ints{0, 100}));
}

TEST(GradientDialogMenu, ARightClickBesideTheHandlesShowsNoMenu) {
    GradDialog d("0,0,0,0,0,,00000000FF,640000FF00");
    d.Click({140, 20}, MouseButton::Right);
    EXPECT_TRUE(d.View.Menus.empty());
    EXPECT_EQ(d.Gradient.Count(), 2);
}
