// The gradient editor's own undo and redo, and the handle strip's keys.
#include "tests/logic/gradient_dialog_fixture.h"

#include <string>

using namespace pelmora;
using namespace pelmora::testing;
using enum GradMenuItem;
using Ints = std::vector<int>;

namespace {

constexpr std::uint8_t kShift = keymod::Shift;

// Keys pressed on the strip, each with its modifiers.
void Keys(GradDialog& d, std::initializer_list<std::pair<FormKey, std::uint8_t>> presses) {
    for (const auto& [key, modifiers] : presses) {
        EXPECT_TRUE(d.Logic.pbPtrKeyDown(key, modifiers));
    }
}

} // namespace

// Every kind of edit is one step, undone one by one back to the start (the
// controls and the working stops with it) and redone one by one to the end.
TEST(GradientDialogUndo, EachEditIsOneStepBackAndForth) {
    GradDialog d("0,0,0,0,0,,00000000FF,3200FF0000,640000FF00"); // red, blue, green
    const auto seen = [&d] {
        return d.Gradient.SaveToText() + (d.View.Checked.at(GradControl::cbWrap) ? " wrap" : "");
    };
    std::vector<std::pair<std::string, std::string>> states{{"", seen()}};
    const auto step = [&](const char* what) {
        ASSERT_NE(seen(), states.back().second) << what << " changed nothing";
        EXPECT_EQ(d.Logic.History().Count(), states.size()) << what << " is one step";
        states.emplace_back(what, seen());
    };
    d.Click({90, 20});
    step("add on the strip");
    d.Drag(GradDialog::OnHandle(50), {{150, 9}, {170, 9}});
    step("drag");
    d.Drag(GradDialog::OnHandle(31), {{89, -8}});
    step("pull off");
    d.Prompts->ColorAnswers = {kWhite};
    d.MenuOnHandle(0, mnChange);
    step("menu colour");
    d.Prompts->InputAnswers = {"40"};
    d.MenuOnHandle(61, mnLocate);
    step("menu position");
    d.Logic.btReverseClick();
    step("reverse");
    d.View.Checked[GradControl::cbWrap] = true; // as the box shows its click
    d.Logic.cbWrapClick(true);
    step("wrap");
    d.Logic.cbKindChange(gkRadiate);
    step("kind");
    d.Logic.udAngleClick(1);
    step("angle arrow");
    d.Logic.edAngleChange("13");
    d.Logic.edAngleChange("135");
    step("angle typed");
    d.Logic.pbGradMouseDown(d.Logic.HandlePoints().first); // the centre
    d.Logic.pbGradMouseMove({130, 120});
    d.Logic.pbGradMouseMove({180, 60});
    d.Logic.pbGradMouseUp();
    step("centre drag");
    d.Logic.cbNormalClick(true);
    step("normalise");
    d.MenuOnHandle(100, mnSpread);
    step("spread");
    Keys(d, {{FormKey::Home, 0}, {FormKey::Right, 0}, {FormKey::Right, kShift}});
    step("key move");
    Keys(d, {{FormKey::Insert, 0}});
    step("key add");
    Keys(d, {{FormKey::Delete, 0}});
    step("key delete");
    d.Prompts->ColorAnswers = {kBlue};
    Keys(d, {{FormKey::Space, 0}});
    step("key colour");
    for (std::size_t i = states.size() - 1; i-- > 0;) {
        d.Logic.Undo();
        EXPECT_EQ(seen(), states[i].second) << "undoing " << states[i + 1].first;
        EXPECT_EQ(Positions(d.Logic.Work()), Positions(d.Gradient)) << states[i + 1].first;
    }
    for (std::size_t i = 1; i < states.size(); ++i) {
        d.Logic.Redo();
        EXPECT_EQ(seen(), states[i].second) << "redoing " << states[i].first;
    }
    EXPECT_FALSE(d.Logic.History().CanRedo());
}

TEST(GradientDialogUndo, TheControlsTheSelectedStopDragsAndTyping) {
    GradDialog d("0,0,0,0,0,,00000000FF,3200FF0000,640000FF00");
    d.Logic.pbPtrFocus(true);
    d.Logic.cbKindChange(gkQuad);
    d.Logic.udXClick(GradControl::udX, 1);
    d.Logic.Undo();
    d.Logic.Undo();
    EXPECT_EQ(d.View.Kind, gkLinear);
    EXPECT_EQ(d.Logic.UpDown(GradControl::udAngle).Increment, 1);
    EXPECT_EQ(d.View.Numbers.at(GradControl::edX), 0);

    // The stop deleted comes back selected, with the focus frame round it.
    Keys(d, {{FormKey::Right, 0}, {FormKey::Delete, 0}, {FormKey::Home, 0}});
    d.Logic.Undo();
    EXPECT_EQ(d.Logic.Selected(), 1);
    const int frame = StopPixel(50) - 2;
    EXPECT_EQ(d.View.StripPixel(frame, 20), SystemColor(kColorWindowText));
    d.Logic.pbPtrFocus(false);
    EXPECT_NE(d.View.StripPixel(frame, 20), SystemColor(kColorWindowText));

    // Ctrl+Z in a drag takes the drag back; the rest of the drag does nothing.
    d.Press(GradDialog::OnHandle(50));
    d.Move({170, 10});
    d.Logic.Undo();
    d.Move({200, 10});
    d.Release({200, 10});
    EXPECT_EQ(Positions(d.Gradient), (Ints{0, 50, 100}));

    // Typing into one field is one step; into another field, the next. What
    // changes nothing is no step, and selecting is none.
    for (const char* x : {"-", "-4", "-40"}) {
        d.Logic.edXChange(x);
    }
    d.Logic.edYChange("7");
    d.Logic.cbNormalClick(false);
    Keys(d, {{FormKey::End, 0}});
    EXPECT_EQ(d.Logic.History().Count(), 2u) << "the steps undone before went with the first";
    d.Logic.Undo();
    d.Logic.Undo();
    EXPECT_EQ(d.Gradient.CenterX, 0);
}

// The strip's keys keep the gradient's rules, and the four-corner kind's.
TEST(GradientDialogKeys, KeysSelectMoveAddAndDeleteWithinTheRules) {
    GradDialog d("0,0,0,0,0,,00000000FF,0A00FF0000,0C0000FF00,6400FFFFFF"); // 0, 10, 12, 100
    Keys(d, {{FormKey::Right, 0}, {FormKey::Right, kShift}, {FormKey::Right, kShift}});
    EXPECT_EQ(Positions(d.Gradient), (Ints{0, 11, 12, 100})) << "not onto the neighbour";
    Keys(d, {{FormKey::Insert, 0}, {FormKey::Right, 0}, {FormKey::Insert, 0}});
    EXPECT_EQ(Positions(d.Gradient), (Ints{0, 11, 12, 56, 100})) << "nothing between 11 and 12";
    Keys(d, {{FormKey::End, 0},
             {FormKey::Delete, 0},
             {FormKey::Right, kShift},
             {FormKey::Insert, 0},
             {FormKey::Home, 0},
             {FormKey::Left, 0},
             {FormKey::Left, kShift},
             {FormKey::Delete, 0}});
    EXPECT_EQ(Positions(d.Gradient), (Ints{0, 11, 12, 56, 100})) << "the ends stay";
    EXPECT_FALSE(d.Logic.pbPtrKeyDown(FormKey::Up, 0));
    EXPECT_FALSE(d.Logic.pbPtrKeyDown(FormKey::Delete, keymod::Ctrl)) << "the window's";

    d.Logic.cbWrapClick(true);
    d.Prompts->ColorAnswers = {kGreen};
    Keys(d, {{FormKey::Enter, 0}});
    EXPECT_EQ(d.Prompts->ColorInitials.back(), kRed);
    EXPECT_EQ(Colors(d.Gradient).back(), kGreen) << "both ends matched";
    d.MenuOnHandle(0, mnSpread);
    EXPECT_EQ(Positions(d.Gradient), (Ints{0, 25, 50, 75, 100}));
    EXPECT_EQ(Colors(d.Gradient)[1], kBlue);

    // Four corners: selected and recoloured, never moved, added, deleted or spread.
    d.Logic.cbKindChange(gkQuad);
    const std::string corners = d.Gradient.SaveToText();
    Keys(d, {{FormKey::Right, 0}});
    for (const FormKey key : {FormKey::Right, FormKey::Left, FormKey::Insert, FormKey::Delete}) {
        Keys(d, {{key, key == FormKey::Right || key == FormKey::Left ? kShift : 0}});
        EXPECT_EQ(d.Gradient.SaveToText(), corners) << static_cast<int>(key);
    }
    EXPECT_EQ(d.Logic.Selected(), 1);
    d.MenuOnHandle(0, std::nullopt);
    EXPECT_FALSE(d.View.Menus.back().IsEnabled(mnSpread));
    GradDialog two("0,0,0,0,0,,00000000FF,6400000000");
    two.MenuOnHandle(0, std::nullopt);
    EXPECT_FALSE(two.View.Menus.back().IsEnabled(mnSpread)) << "nothing between the ends";
}
