// The gradient editor's own undo and redo, and the handle strip's keys.
#include "tests/logic/gradient_dialog_fixture.h"

#include <functional>
#include <string>

using namespace pelmora;
using namespace pelmora::testing;
using enum GradMenuItem;
using Ints = std::vector<int>;

namespace {

constexpr const char* kThreeStops =
    "0,0,0,0,0,,00000000FF,3200FF0000,640000FF00"; // red, blue, green

void Key(GradDialog& d, FormKey key, std::uint8_t modifiers = 0) {
    EXPECT_TRUE(d.Logic.pbPtrKeyDown(key, modifiers));
}

} // namespace

// Every kind of edit is one step: undone one by one back to the start, the
// selected stop with it, and redone one by one to the end.
TEST(GradientDialogUndo, EachEditIsOneStepBackAndForth) {
    GradDialog d(kThreeStops);
    const struct {
        const char* What;
        std::function<void(GradDialog&)> Do;
    } edits[] = {
        {"a stop added on the strip",
         [](GradDialog& g) {
             g.Click({90, 20});
         }},
        {"a stop dragged",
         [](GradDialog& g) {
             g.Drag(GradDialog::OnHandle(50), {{150, 10}, {160, 10}, {170, 10}});
         }},
        {"a stop pulled off",
         [](GradDialog& g) {
             g.Drag(GradDialog::OnHandle(31), {{StopPixel(31) + 5, -8}});
         }},
        {"a colour from the menu",
         [](GradDialog& g) {
             g.Prompts->ColorAnswers = {kWhite};
             g.MenuOnHandle(0, mnChange);
         }},
        {"a position from the menu",
         [](GradDialog& g) {
             g.Prompts->InputAnswers = {"40"};
             g.MenuOnHandle(61, mnLocate);
         }},
        {"reversed", [](GradDialog& g) { g.Logic.btReverseClick(); }},
        {"both ends matched", [](GradDialog& g) {
             g.View.Checked[GradControl::cbWrap] = true; // as the box shows its click
             g.Logic.cbWrapClick(true);
         }},
        {"the kind", [](GradDialog& g) { g.Logic.cbKindChange(gkRadiate); }},
        {"the angle's arrow", [](GradDialog& g) { g.Logic.udAngleClick(1); }},
        {"the angle typed",
         [](GradDialog& g) {
             for (const char* text : {"1", "13", "135"}) {
                 g.Logic.edAngleChange(text);
             }
         }},
        {"the centre dragged",
         [](GradDialog& g) {
             const TPoint p = g.Logic.HandlePoints().first;
             g.Logic.pbGradMouseDown(p);
             g.Logic.pbGradMouseMove({p.X + 10, p.Y});
             g.Logic.pbGradMouseMove({180, 60});
             g.Logic.pbGradMouseUp();
         }},
        {"normalised", [](GradDialog& g) { g.Logic.cbNormalClick(true); }},
        {"spread evenly", [](GradDialog& g) { g.MenuOnHandle(100, mnSpread); }},
        {"a stop moved by a key",
         [](GradDialog& g) {
             Key(g, FormKey::Home);
             Key(g, FormKey::Right);
             Key(g, FormKey::Right, keymod::Shift);
         }},
        {"a stop added by a key", [](GradDialog& g) { Key(g, FormKey::Insert); }},
        {"a stop deleted by a key", [](GradDialog& g) { Key(g, FormKey::Delete); }},
        {"a colour by a key",
         [](GradDialog& g) {
             g.Prompts->ColorAnswers = {kBlue};
             Key(g, FormKey::Space);
         }},
    };
    struct Seen {
        std::string Text;
        bool Wrap;
    };
    const auto seen = [&d] {
        return Seen{d.Gradient.SaveToText(), d.View.Checked.at(GradControl::cbWrap)};
    };
    std::vector<Seen> states{seen()};
    for (const auto& edit : edits) {
        edit.Do(d);
        ASSERT_NE(d.Gradient.SaveToText(), states.back().Text) << edit.What << " changed nothing";
        EXPECT_EQ(d.Logic.History().Count(), states.size()) << edit.What << " is one step";
        states.push_back(seen());
    }
    for (std::size_t i = states.size() - 1; i-- > 0;) {
        d.Logic.Undo();
        EXPECT_EQ(d.Gradient.SaveToText(), states[i].Text) << "undoing " << edits[i].What;
        EXPECT_EQ(d.View.Checked.at(GradControl::cbWrap), states[i].Wrap) << edits[i].What;
        EXPECT_EQ(Positions(d.Logic.Work()), Positions(d.Gradient)) << edits[i].What;
    }
    EXPECT_FALSE(d.Logic.History().CanUndo());
    for (std::size_t i = 1; i < states.size(); ++i) {
        d.Logic.Redo();
        EXPECT_EQ(d.Gradient.SaveToText(), states[i].Text) << "redoing " << edits[i - 1].What;
    }
    EXPECT_FALSE(d.Logic.History().CanRedo());
}

TEST(GradientDialogUndo, UndoShowsTheStateInTheControlsAndSelectsTheStop) {
    GradDialog d(kThreeStops);
    d.Logic.pbPtrFocus(true);
    d.Logic.cbKindChange(gkQuad);
    EXPECT_EQ(d.Logic.UpDown(GradControl::udAngle).Increment, 90);
    d.Logic.Undo();
    EXPECT_EQ(d.View.Kind, gkLinear);
    EXPECT_EQ(d.Logic.UpDown(GradControl::udAngle).Increment, 1);
    EXPECT_EQ(Positions(d.Gradient), (Ints{0, 50, 100}));

    d.Logic.udXClick(GradControl::udX, 1);
    d.Logic.Undo();
    EXPECT_EQ(d.View.Numbers.at(GradControl::edX), 0);

    // The stop deleted was selected: back, it is selected again, and shows it.
    Key(d, FormKey::Right);
    Key(d, FormKey::Delete);
    EXPECT_EQ(Positions(d.Gradient), (Ints{0, 100}));
    EXPECT_EQ(d.Logic.Selected(), 1) << "the stop after it";
    Key(d, FormKey::Home);
    d.Logic.Undo();
    EXPECT_EQ(Positions(d.Gradient), (Ints{0, 50, 100}));
    EXPECT_EQ(d.Logic.Selected(), 1);
    const Bitmap24 framed = d.View.Pictures.at(GradControl::pbPtr);
    d.Logic.pbPtrFocus(false);
    EXPECT_NE(d.View.Pictures.at(GradControl::pbPtr).Pixel(StopPixel(50) - 2, 20),
              framed.Pixel(StopPixel(50) - 2, 20))
        << "the focus frame is round the selected stop only while the strip has the focus";

    // Selecting is no step; an edit after an undo drops the redo.
    const std::size_t steps = d.Logic.History().Count();
    Key(d, FormKey::End);
    EXPECT_EQ(d.Logic.History().Count(), steps);
    d.Logic.btReverseClick();
    EXPECT_FALSE(d.Logic.History().CanRedo());
}

TEST(GradientDialogUndo, UndoInADragTakesTheDragBackAndTypingPerField) {
    GradDialog d(kThreeStops);
    d.Press(GradDialog::OnHandle(50));
    d.Move({170, 10});
    d.Logic.Undo();
    EXPECT_EQ(Positions(d.Logic.Work()), (Ints{0, 50, 100}));
    EXPECT_EQ(d.Logic.DragIndex(), -1);
    d.Move({200, 10});
    d.Release({200, 10});
    EXPECT_EQ(Positions(d.Gradient), (Ints{0, 50, 100}));
    EXPECT_FALSE(d.Logic.History().CanUndo());

    // Typing in one field is one step; in another field it is the next.
    d.Logic.edXChange("-");
    d.Logic.edXChange("-4");
    d.Logic.edYChange("7");
    d.Logic.edXChange("-40");
    EXPECT_EQ(d.Logic.History().Count(), 3u);
    d.Logic.Undo();
    d.Logic.Undo();
    EXPECT_EQ(d.Gradient.CenterX, -4);
    EXPECT_EQ(d.Gradient.CenterY, 0);

    // Nothing is a step that changes nothing.
    d.Logic.cbNormalClick(false);
    d.Click(GradDialog::OnHandle(0));
    EXPECT_EQ(d.Logic.History().Count(), 3u);
}

// The strip's keys, on an ordinary gradient and on the four-corner kind.
TEST(GradientDialogKeys, KeysSelectMoveAddAndDeleteWithinTheRules) {
    GradDialog d("0,0,0,0,0,,00000000FF,0A00FF0000,0C0000FF00,6400FFFFFF"); // 0, 10, 12, 100
    const auto keys = [&d](std::initializer_list<std::pair<FormKey, std::uint8_t>> presses) {
        for (const auto& [key, mods] : presses) {
            Key(d, key, mods);
        }
    };
    const std::uint8_t shift = keymod::Shift;
    keys({{FormKey::Right, 0}, {FormKey::Right, shift}});
    EXPECT_EQ(Positions(d.Gradient), (Ints{0, 11, 12, 100}));
    keys({{FormKey::Right, shift}}); // onto the neighbour: refused
    EXPECT_EQ(Positions(d.Gradient), (Ints{0, 11, 12, 100}));
    keys({{FormKey::Insert, 0}}); // no position strictly between 11 and 12
    EXPECT_EQ(d.Gradient.Count(), 4);
    keys({{FormKey::Right, 0}, {FormKey::Insert, 0}}); // between 12 and 100: 56
    EXPECT_EQ(Positions(d.Gradient), (Ints{0, 11, 12, 56, 100}));
    EXPECT_EQ(d.Logic.Selected(), 3);
    keys({{FormKey::End, 0}, {FormKey::Delete, 0}, {FormKey::Right, shift}, {FormKey::Insert, 0}});
    EXPECT_EQ(Positions(d.Gradient), (Ints{0, 11, 12, 56, 100})) << "the end stop stays";
    keys({{FormKey::Home, 0}, {FormKey::Left, 0}, {FormKey::Left, shift}, {FormKey::Delete, 0}});
    EXPECT_EQ(Positions(d.Gradient), (Ints{0, 11, 12, 56, 100}));
    EXPECT_EQ(d.Logic.Selected(), 0);
    EXPECT_FALSE(d.Logic.pbPtrKeyDown(FormKey::Up, 0));
    EXPECT_FALSE(d.Logic.pbPtrKeyDown(FormKey::Delete, keymod::Ctrl)) << "the window's keys";

    // Enter opens the colour of the selected stop; with both ends matched
    // the other end follows.
    d.Logic.cbWrapClick(true);
    d.Prompts->ColorAnswers = {kGreen};
    keys({{FormKey::Enter, 0}});
    EXPECT_EQ(d.Prompts->ColorInitials.back(), kRed);
    EXPECT_EQ(Colors(d.Gradient).back(), kGreen);

    // Four corners: the stops can be selected and recoloured, no more.
    d.Logic.cbKindChange(gkQuad);
    const std::string corners = d.Gradient.SaveToText();
    keys({{FormKey::Right, 0}});
    for (const auto& [key, mods] : {std::pair{FormKey::Right, shift}, {FormKey::Left, shift},
                                    {FormKey::Insert, 0}, {FormKey::Delete, 0}}) {
        Key(d, key, static_cast<std::uint8_t>(mods));
        EXPECT_EQ(d.Gradient.SaveToText(), corners) << static_cast<int>(key);
        EXPECT_EQ(d.Logic.Selected(), 1);
    }
    d.Prompts->ColorAnswers = {kBlue};
    keys({{FormKey::Space, 0}});
    EXPECT_EQ(d.Gradient.GetColor(1), kBlue);
}

TEST(GradientDialogKeys, SpreadEvenlyKeepsTheOrderAndIsForOrdinaryKindsOnly) {
    GradDialog d("0,0,0,0,0,,00000000FF,0500FF0000,060000FF00,0700FFFFFF,6400000000");
    d.MenuOnHandle(0, mnSpread);
    EXPECT_EQ(Positions(d.Gradient), (Ints{0, 25, 50, 75, 100}));
    EXPECT_EQ(Colors(d.Gradient), (std::vector<TColor>{kRed, kBlue, kGreen, kWhite, 0}));
    EXPECT_TRUE(d.View.Menus.back().IsEnabled(mnSpread));

    GradDialog two("0,0,0,0,0,,00000000FF,6400000000");
    two.MenuOnHandle(0, std::nullopt);
    EXPECT_FALSE(two.View.Menus.back().IsEnabled(mnSpread)) << "nothing between the ends";
    d.Logic.cbKindChange(gkQuad);
    d.MenuOnHandle(0, std::nullopt);
    EXPECT_FALSE(d.View.Menus.back().IsEnabled(mnSpread));
}
