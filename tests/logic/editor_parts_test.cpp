// The pattern editor's parts pane: the parts list, the Parts menu's rules and
// commands (the base part stays fixed), fills through the colour and gradient
// dialogs, fine adjustment, dragging parts and the colour adjustment.
#include "EditorFakes.h"

#include "library/Wallpaper.h"

namespace pelmora::testing {
namespace {

using Strings = std::vector<std::string>;

constexpr TColor kRed = 0x000000FF;
constexpr TColor kBlue = 0x00FF0000;
constexpr TColor kGreen = 0x0000FF00;

using PartsList = EditorTest;

TEST_F(PartsList, NewPatternShowsTwoRowsWithIcons) {
    Open();
    EXPECT_TRUE(view_.Parts.empty());
    form_->MenuClick(EditItem::mnNew);
    EXPECT_EQ(view_.PartTexts(), (Strings{"ボタン背景", "ボタン枠"}));
    EXPECT_EQ(view_.PartCurrent, 0);
    EXPECT_TRUE(RowShowsPart(0));
    EXPECT_TRUE(RowShowsPart(1));
    EXPECT_TRUE(view_.Parts[0].Icon.has_value());
}

TEST_F(PartsList, SelectingAPartDescribesItInTheStatusBar) {
    auto pattern = PatternOf({{4, 1}, {3, 2}});
    pattern->Parts(2)->Outer = {2, 0, 0, -1};
    Add("A", std::move(pattern));
    Add("B", PatternOf({}));
    Open();
    form_->PartsListClick(1);
    EXPECT_EQ(view_.Status, "描画範囲：ボタン名領域   描画色：単色");
    form_->PartsListClick(2);
    EXPECT_EQ(view_.Status, "描画範囲：アイコン領域枠 [左:外(2), 上:-, 右:-, 下:内(1)]   "
                            "描画色：グラデーション");
    // A pattern selection makes its base part current, and describes it.
    form_->PatternListClick({1});
    EXPECT_EQ(view_.Status, "描画範囲：ボタン背景   描画色：ボタン色");
}

// After a part command the status bar describes the part that is current
// then, never one that was deleted or left behind.
TEST_F(PartsList, StatusBarDescribesTheCurrentPartAfterEachCommand) {
    Add("A", PatternOf({{4, 1}, {3, 2}}));
    Open();
    const auto description = [](const char* name, const char* fill) {
        return std::string("描画範囲：") + name + "   描画色：" + fill;
    };
    form_->PartsListClick(2);
    form_->MenuClick(EditItem::mnPDelete);
    EXPECT_EQ(view_.Status, description("ボタン背景", "ボタン色"));
    form_->MenuClick(EditItem::mnIcon);
    EXPECT_EQ(view_.Status, description("アイコン領域", "無効"));
    form_->MenuClick(EditItem::mnBtn);
    EXPECT_EQ(view_.Status, description("アイコン領域", "ボタン色"));
    form_->MenuClick(EditItem::mnPUpper);
    ASSERT_EQ(form_->PartIndex(), 1);
    EXPECT_EQ(view_.Status, description("アイコン領域", "ボタン色"));
}

// A gradient dialog's OK changes the current part's fill: the bar says so at
// once. Cancel changes nothing, and the bar keeps what it said.
TEST_F(PartsList, GradientOkDescribesThePartAtOnce) {
    Add("A", PatternOf({{2, 1}}));
    Open();
    form_->PartsListClick(1);
    dialogs_.GradientAnswers = {std::nullopt, "0,0,0,0,0,,0000FF0000,640000FF00"};
    form_->MenuClick(EditItem::mnGrad);
    EXPECT_EQ(view_.Status, "描画範囲：アイコン領域   描画色：単色");
    form_->MenuClick(EditItem::mnGrad);
    EXPECT_EQ(view_.Status, "描画範囲：アイコン領域   描画色：グラデーション");
}

// A highlighted menu item shows its hint; once none is (the menu closed), the
// bar describes the current part again, or is empty without one.
TEST_F(PartsList, MenuHintsGiveWayToTheCurrentPart) {
    Add("A", PatternOf({{4, 3}}));
    Add("B", PatternOf({}));
    Open();
    form_->PartsListClick(1);
    form_->MenuHighlight("新しく部品を作成する");
    EXPECT_EQ(view_.Status, "新しく部品を作成する");
    form_->MenuHighlight("");
    EXPECT_EQ(view_.Status, "描画範囲：ボタン名領域   描画色：ボタン色");
    form_->PatternListClick({0, 1});
    form_->MenuHighlight("選択したパターンを削除する");
    form_->MenuHighlight("");
    EXPECT_EQ(view_.Status, "");
}

TEST_F(PartsList, SeveralPatternsSelectedEmptyThePaneAndKeepTheControls) {
    Add("A", PatternOf({{1, 4}}, 8));
    Add("B", PatternOf({}));
    Open();
    EXPECT_EQ(view_.Lumi, 8);
    form_->PatternListClick({0, 1});
    EXPECT_TRUE(view_.Parts.empty());
    EXPECT_EQ(view_.Lumi, 8);
    for (const EditItem item : {EditItem::mnPNew, EditItem::mnFill, EditItem::mnArea,
                                EditItem::mnPUpper, EditItem::mnPLower, EditItem::mnPDelete}) {
        EXPECT_FALSE(Enabled(item));
    }
    // The controls change no pattern now.
    form_->ColorAdjustChange(-8, 0, false);
    EXPECT_EQ(form_->Rows()[0].Pattern->Lumi, 8);
    EXPECT_EQ(form_->Rows()[1].Pattern->Lumi, 0);
    EXPECT_FALSE(form_->IsModified());
}

// --- The Parts menu's rules --------------------------------------------------------

TEST_F(PartsList, BasePartAllowsOnlyNewFills) {
    Add("A", PatternOf({{1, 4}, {3, 1}}));
    Open();
    EXPECT_EQ(view_.PartCurrent, 0);
    form_->mnPartsClick();
    for (const EditItem item : {EditItem::mnArea, EditItem::mnPUpper, EditItem::mnPLower,
                                EditItem::mnPDelete, EditItem::mnNon, EditItem::mnBtnF}) {
        EXPECT_FALSE(Enabled(item));
    }
    EXPECT_TRUE(Enabled(EditItem::mnPNew));
    EXPECT_TRUE(Enabled(EditItem::mnFill));
    for (const EditItem item : {EditItem::mnMono, EditItem::mnGrad, EditItem::mnBtn}) {
        EXPECT_TRUE(form_->IsEnabled(item));
    }
    EXPECT_TRUE(view_.Checked[EditItem::mnBtn]);

    // Disabled commands do nothing.
    for (const EditItem item : {EditItem::mnPUpper, EditItem::mnPLower, EditItem::mnPDelete,
                                EditItem::mnArea, EditItem::mnNon}) {
        form_->MenuClick(item);
    }
    EXPECT_EQ(PartNames(), (Strings{"ボタン背景", "ボタン枠", "アイコン領域枠"}));
    EXPECT_EQ(Current().Parts(0)->Fill, fkBtn);
    EXPECT_TRUE(dialogs_.AreasShown.empty());
    EXPECT_FALSE(form_->IsModified());

    // A new fill for the base part is taken.
    form_->MenuClick(EditItem::mnBtn);
    EXPECT_TRUE(form_->IsModified());
    prompts_->ColorAnswers.push_back(kRed);
    form_->MenuClick(EditItem::mnMono);
    EXPECT_EQ(Current().Parts(0)->Fill, fkMono);
    EXPECT_EQ(Current().Parts(0)->Color, kRed);
    EXPECT_TRUE(view_.Checked[EditItem::mnMono]);
    EXPECT_FALSE(view_.Checked[EditItem::mnBtn]);
    EXPECT_EQ(view_.Preview.Pixel(10, 10), kRed);
}

TEST_F(PartsList, UpAndDownFollowTheRules) {
    Add("A", PatternOf({{2, 1}, {3, 3}, {5, 3}}));
    Open();
    form_->PartsListClick(1);
    EXPECT_FALSE(Enabled(EditItem::mnPUpper));
    EXPECT_TRUE(Enabled(EditItem::mnPLower));
    form_->MenuClick(EditItem::mnPUpper);
    EXPECT_EQ(PartNames(),
              (Strings{"ボタン背景", "アイコン領域", "アイコン領域枠", "ボタン名領域枠"}));
    EXPECT_FALSE(form_->IsModified());

    // The frame goes below the filled icon area, which now covers it.
    form_->PartsListClick(2);
    const Bitmap24 before = view_.Preview;
    form_->MenuClick(EditItem::mnPUpper);
    EXPECT_EQ(PartNames(),
              (Strings{"ボタン背景", "アイコン領域枠", "アイコン領域", "ボタン名領域枠"}));
    EXPECT_EQ(view_.PartTexts(), PartNames());
    EXPECT_EQ(view_.PartCurrent, 1);
    EXPECT_TRUE(RowShowsPart(1));
    EXPECT_TRUE(RowShowsPart(2));
    EXPECT_TRUE(form_->IsModified());
    EXPECT_NE(view_.Preview, before);
    EXPECT_EQ(view_.Preview, DrawWallpaper(Current(), host_.Pad));

    // Down to the last row; there Down is disabled.
    form_->MenuClick(EditItem::mnPLower);
    form_->MenuClick(EditItem::mnPLower);
    EXPECT_EQ(view_.PartCurrent, 3);
    EXPECT_EQ(PartNames(),
              (Strings{"ボタン背景", "アイコン領域", "ボタン名領域枠", "アイコン領域枠"}));
    EXPECT_FALSE(Enabled(EditItem::mnPLower));
    EXPECT_TRUE(Enabled(EditItem::mnPUpper));
    form_->MenuClick(EditItem::mnPLower);
    EXPECT_EQ(Current().Parts(3)->GetName(), "アイコン領域枠");
}

TEST_F(PartsList, SinglePartPatternDisablesMovesAndDelete) {
    Add("A", PatternOf({}));
    Open();
    EXPECT_EQ(view_.PartTexts(), Strings{"ボタン背景"});
    for (const EditItem item :
         {EditItem::mnPUpper, EditItem::mnPLower, EditItem::mnPDelete, EditItem::mnArea}) {
        EXPECT_FALSE(Enabled(item));
    }
    form_->MenuClick(EditItem::mnPDelete);
    form_->mnPDeleteClick();
    EXPECT_EQ(Current().Count(), 1);
    EXPECT_FALSE(form_->IsModified());
}

// --- Part commands ---------------------------------------------------------------------

TEST_F(PartsList, NewPartEntriesMakeTheirKinds) {
    Add("A", PatternOf({}));
    Open();
    struct Entry {
        EditItem Item;
        std::uint8_t Area;
        bool Frame;
        const char* Kind;
    };
    const Entry entries[] = {{EditItem::mnAll, paAll, true, "ボタン枠"},
                             {EditItem::mnIcon, paIcon, false, "アイコン領域"},
                             {EditItem::mnIconF, paIcon, true, "アイコン領域枠"},
                             {EditItem::mnName, paName, false, "ボタン名領域"},
                             {EditItem::mnNameF, paName, true, "ボタン名領域枠"}};
    int count = 1;
    for (const Entry& entry : entries) {
        form_->MenuClick(entry.Item);
        ++count;
        ASSERT_EQ(Current().Count(), count);
        const TParts& part = *Current().Parts(count - 1);
        EXPECT_EQ(part.Area, entry.Area);
        EXPECT_EQ(part.IsFrame, entry.Frame);
        EXPECT_EQ(part.Fill, fkNon);
        EXPECT_EQ(part.Outer, TTrim{});
        EXPECT_EQ(part.Thick, (TTrim{1, 1, 1, 1}));
        ASSERT_EQ(view_.Parts.size(), static_cast<std::size_t>(count));
        EXPECT_EQ(view_.PartCurrent, count - 1);
        EXPECT_EQ(view_.Parts.back().Text, entry.Kind);
        EXPECT_FALSE(view_.Parts.back().Icon.has_value());
        EXPECT_TRUE(view_.Checked[EditItem::mnNon]);
        EXPECT_EQ(Enabled(EditItem::mnBtnF), entry.Frame);
    }
    EXPECT_TRUE(form_->IsModified());
}

TEST_F(PartsList, DeleteNeedsNoConfirmation) {
    Add("A", PatternOf({{1, 4}, {2, 1}, {3, 3}}));
    Open();
    form_->PartsListClick(2);
    form_->MenuClick(EditItem::mnPDelete);
    EXPECT_TRUE(prompts_->Shown.empty());
    EXPECT_EQ(PartNames(), (Strings{"ボタン背景", "ボタン枠", "アイコン領域枠"}));
    EXPECT_EQ(view_.PartTexts(), PartNames());
    EXPECT_EQ(view_.PartCurrent, 0);
    EXPECT_TRUE(RowShowsPart(2));
    EXPECT_TRUE(form_->IsModified());
    EXPECT_EQ(view_.Preview, DrawWallpaper(Current(), host_.Pad));
    EXPECT_EQ(form_->Rows().size(), 1u);
}

TEST_F(PartsList, FillZeroDropsTheIconAndButtonColourBringsItBack) {
    Add("A", PatternOf({{3, 1}}));
    Open();
    form_->PartsListClick(1);
    form_->MenuClick(EditItem::mnNon);
    EXPECT_EQ(Current().Parts(1)->Fill, fkNon);
    EXPECT_FALSE(view_.Parts[1].Icon.has_value());
    form_->MenuClick(EditItem::mnBtn);
    EXPECT_EQ(Current().Parts(1)->Fill, fkBtn);
    EXPECT_TRUE(RowShowsPart(1));
    // The colour the part had stays for a later single-colour choice.
    EXPECT_EQ(Current().Parts(1)->Color, kGreen);
}

TEST_F(PartsList, SingleColourPresetCancelAndChoose) {
    Add("A", PatternOf({{3, 0}}));
    Open();
    form_->PartsListClick(1);
    prompts_->ColorAnswers.push_back(std::nullopt);
    form_->MenuClick(EditItem::mnMono);
    // The working copy carries no colour for a part that paints nothing.
    EXPECT_EQ(prompts_->ColorInitials, std::vector<TColor>{0});
    EXPECT_EQ(Current().Parts(1)->Fill, fkNon);
    EXPECT_FALSE(view_.Parts[1].Icon.has_value());
    EXPECT_TRUE(view_.Checked[EditItem::mnNon]);
    EXPECT_FALSE(view_.Checked[EditItem::mnMono]);
    EXPECT_FALSE(form_->IsModified());

    prompts_->ColorAnswers.push_back(kBlue);
    form_->MenuClick(EditItem::mnMono);
    EXPECT_EQ(Current().Parts(1)->Fill, fkMono);
    EXPECT_EQ(Current().Parts(1)->Color, kBlue);
    EXPECT_TRUE(RowShowsPart(1));
    EXPECT_TRUE(form_->IsModified());

    // Switching away and back presets the dialog with the colour kept.
    form_->MenuClick(EditItem::mnBtnF);
    prompts_->ColorAnswers.push_back(std::nullopt);
    form_->MenuClick(EditItem::mnMono);
    EXPECT_EQ(prompts_->ColorInitials.back(), kBlue);
    EXPECT_EQ(Current().Parts(1)->Fill, fkBtnF);
    EXPECT_TRUE(view_.Checked[EditItem::mnBtnF]);
}

TEST_F(PartsList, GradientDialogPresetCancelAndOk) {
    auto pattern = PatternOf({{2, 2}});
    const std::string stored = "1,90,10,-20,0,,0000FF0000,640000FF00";
    pattern->Parts(1)->GradText = stored;
    Add("A", std::move(pattern));
    Open();
    form_->PartsListClick(1);
    EXPECT_TRUE(view_.Checked[EditItem::mnGrad]);

    // The dialog opens on the part's gradient; edits left behind by Cancel
    // do not reach the part.
    dialogs_.GradientAnswers.push_back(std::nullopt);
    form_->MenuClick(EditItem::mnGrad);
    EXPECT_EQ(dialogs_.GradientsShown, Strings{stored});
    EXPECT_EQ(Current().Parts(1)->Fill, fkGrad);
    EXPECT_EQ(Current().Parts(1)->GradText, stored);
    EXPECT_FALSE(form_->IsModified());

    // Another fill keeps the text; OK stores the dialog's gradient.
    form_->MenuClick(EditItem::mnBtn);
    EXPECT_EQ(Current().Parts(1)->GradText, stored);
    const std::string edited = "2,90,10,-20,0,,0000FF0000,640000FF00";
    dialogs_.GradientAnswers.push_back(edited);
    form_->MenuClick(EditItem::mnGrad);
    EXPECT_EQ(dialogs_.GradientsShown.back(), stored);
    const TParts& part = *Current().Parts(1);
    EXPECT_EQ(part.Fill, fkGrad);
    EXPECT_EQ(part.GradText, edited);
    EXPECT_TRUE(view_.Checked[EditItem::mnGrad]);
    EXPECT_TRUE(RowShowsPart(1));
    EXPECT_TRUE(form_->IsModified());
    EXPECT_EQ(view_.Preview, DrawWallpaper(Current(), host_.Pad));
}

TEST_F(PartsList, FineAdjustCancelAndOk) {
    Add("A", PatternOf({{3, 1}}));
    library_.Pattern(0).Parts(1)->Thick = {1, 2, 1, 1};
    Open();
    form_->PartsListClick(1);
    dialogs_.AreaAnswers.push_back(std::nullopt);
    form_->MenuClick(EditItem::mnArea);
    ASSERT_EQ(dialogs_.AreasShown.size(), 1u);
    EXPECT_EQ(dialogs_.AreasShown[0].Area, paIcon);
    EXPECT_TRUE(dialogs_.AreasShown[0].IsFrame);
    EXPECT_EQ(dialogs_.AreasShown[0].Thick, (TTrim{1, 2, 1, 1}));
    EXPECT_EQ(dialogs_.AreasShown[0].Outer, TTrim{});
    EXPECT_EQ(Current().Parts(1)->Outer, TTrim{});
    EXPECT_FALSE(form_->IsModified());

    dialogs_.AreaAnswers.push_back(AreaAdjustment{{1, 1, 1, 1}, {2, 1, 1, 1}});
    form_->MenuClick(EditItem::mnArea);
    const TParts& part = *Current().Parts(1);
    EXPECT_EQ(part.Outer, (TTrim{1, 1, 1, 1}));
    EXPECT_EQ(part.Thick, (TTrim{2, 1, 1, 1}));
    EXPECT_EQ(view_.Parts[1].Text, "アイコン領域枠");
    EXPECT_TRUE(RowShowsPart(1));
    EXPECT_TRUE(form_->IsModified());
    EXPECT_EQ(view_.Preview, DrawWallpaper(Current(), host_.Pad));
}

// The plug-in may end (and destroy the window) while one of its dialogs is
// open: the answer is dropped and the library keeps the part as it was.
TEST_F(PartsList, WindowDestroyedUnderAnOpenDialog) {
    for (const EditItem command : {EditItem::mnArea, EditItem::mnGrad}) {
        library_.Clear();
        Add("A", PatternOf({{3, 1}}));
        Open();
        form_->PartsListClick(1);
        dialogs_.WhileOpen = [this] { Close(); };
        dialogs_.AreaAnswers = {AreaAdjustment{{1, 1, 1, 1}, {2, 2, 2, 2}}};
        dialogs_.GradientAnswers = {std::string("1,0,0,0,0,,0000FF0000,640000FF00")};
        form_->MenuClick(command);
        EXPECT_EQ(form_, nullptr);
        EXPECT_EQ(view_.Closed, 0);
        EXPECT_EQ(library_.Pattern(0).Parts(1)->Fill, fkMono);
        EXPECT_EQ(library_.Pattern(0).Parts(1)->Outer, TTrim{});
        dialogs_.WhileOpen = nullptr;
    }
}

// --- Dragging parts ----------------------------------------------------------------------

// The base part is neither dragged nor displaced.
TEST_F(PartsList, DraggingKeepsTheBasePart) {
    Add("A", PatternOf({{1, 4}, {2, 1}, {5, 3}}));
    Open();
    struct Case {
        int Dragged;
        int Over;
        bool Accepted;
    };
    const Case cases[] = {{3, 1, true}, {3, 0, false}, {0, 1, false}, {0, 2, false},
                          {1, 3, true}, {2, 4, false}, {2, -1, false}};
    for (const Case& c : cases) {
        form_->PartsListClick(c.Dragged);
        EXPECT_EQ(form_->PartsListDragOver(c.Over), c.Accepted) << c.Dragged << " " << c.Over;
    }
    const Strings start = PartNames();
    form_->PartsListClick(0);
    form_->PartsListDragDrop(2);
    form_->PartsListClick(3);
    form_->PartsListDragDrop(0);
    EXPECT_EQ(PartNames(), start);
    EXPECT_FALSE(form_->IsModified());

    // Row 3 onto row 1: the former part 1 moves to index 2.
    form_->PartsListDragDrop(1);
    EXPECT_EQ(PartNames(), (Strings{"ボタン背景", "ボタン名領域枠", "ボタン枠", "アイコン領域"}));
    EXPECT_EQ(view_.PartTexts(), PartNames());
    EXPECT_EQ(view_.PartCurrent, 1);
    EXPECT_TRUE(form_->IsModified());
    EXPECT_EQ(view_.Preview, DrawWallpaper(Current(), host_.Pad));
}

// --- Colour adjustment -------------------------------------------------------------------

TEST_F(PartsList, ColourAdjustmentStoresPositions) {
    Add("A", PatternOf({{3, 1}}));
    Open();
    const Bitmap24 plain = view_.Preview;
    form_->ColorAdjustChange(-8, 0, false);
    EXPECT_EQ(Current().Lumi, -8);
    EXPECT_TRUE(form_->IsModified());
    EXPECT_NE(view_.Preview, plain);
    form_->ColorAdjustChange(-8, 3, false);
    EXPECT_EQ(Current().Hue, 6);
    form_->ColorAdjustChange(-8, 3, true);
    EXPECT_TRUE(Current().BtnColTrim);
    EXPECT_EQ(view_.Preview, DrawWallpaper(Current(), host_.Pad));
    // The icons show no shift.
    EXPECT_TRUE(RowShowsPart(0));
    EXPECT_TRUE(RowShowsPart(1));
}

TEST_F(PartsList, StoredHueShowsHalvedTowardZero) {
    auto odd = PatternOf({}, 3);
    odd->Hue = -5;
    odd->BtnColTrim = true;
    Add("A", std::move(odd));
    Open();
    EXPECT_EQ(view_.Hue, -2);
    EXPECT_EQ(view_.Lumi, 3);
    EXPECT_TRUE(view_.BtnColTrim);
    EXPECT_EQ(Current().Hue, -5);
    EXPECT_FALSE(form_->IsModified());
}

// Controls set from a pattern are not the user's change, even where the
// toolkit reports its own changes.
TEST_F(PartsList, SelectingAnotherPatternAndBackIsNoChange) {
    auto first = PatternOf({}, 4);
    first->Hue = 8;
    auto second = PatternOf({{1, 4}}, -2);
    second->BtnColTrim = true;
    Add("A", std::move(first));
    Add("B", std::move(second));
    view_.EchoColorAdjust = [this] {
        form_->ColorAdjustChange(view_.Lumi, view_.Hue + 1, !view_.BtnColTrim);
    };
    Open();
    form_->PatternListClick({1});
    EXPECT_EQ(view_.Lumi, -2);
    EXPECT_EQ(view_.PartTexts(), (Strings{"ボタン背景", "ボタン枠"}));
    form_->PatternListClick({0});
    EXPECT_EQ(view_.Lumi, 4);
    EXPECT_EQ(view_.Hue, 4);
    EXPECT_FALSE(view_.BtnColTrim);
    EXPECT_FALSE(form_->IsModified());
    EXPECT_EQ(form_->Rows()[0].Pattern->Hue, 8);
    EXPECT_EQ(form_->Rows()[1].Pattern->Lumi, -2);
}

} // namespace
} // namespace pelmora::testing
