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
    EXPECT_TRUE(view.parts.empty());
    form->MenuClick(EditItem::mnNew);
    EXPECT_EQ(view.PartTexts(), (Strings{"ボタン背景", "ボタン枠"}));
    EXPECT_EQ(view.partCurrent, 0);
    EXPECT_TRUE(RowShowsPart(0));
    EXPECT_TRUE(RowShowsPart(1));
    EXPECT_TRUE(view.parts[0].Icon.has_value());
}

TEST_F(PartsList, SelectingAPartDescribesItInTheStatusBar) {
    auto pattern = PatternOf({{4, 1}, {3, 2}});
    pattern->Parts(2)->Outer = {2, 0, 0, -1};
    Add("A", std::move(pattern));
    Add("B", PatternOf({}));
    Open();
    form->PartsListClick(1);
    EXPECT_EQ(view.status, "描画範囲：ボタン名領域   描画色：単色");
    form->PartsListClick(2);
    EXPECT_EQ(view.status, "描画範囲：アイコン領域枠 [左:外(2), 上:-, 右:-, 下:内(1)]   "
                           "描画色：グラデーション");
    // A pattern selection clears it.
    form->PatternListClick({1});
    EXPECT_EQ(view.status, "");
}

// After a part command the status bar describes the part that is current
// then, never one that was deleted or left behind.
TEST_F(PartsList, StatusBarDescribesTheCurrentPartAfterEachCommand) {
    Add("A", PatternOf({{4, 1}, {3, 2}}));
    Open();
    const auto description = [](const char* name, const char* fill) {
        return std::string("描画範囲：") + name + "   描画色：" + fill;
    };
    form->PartsListClick(2);
    form->MenuClick(EditItem::mnPDelete);
    EXPECT_EQ(view.status, description("ボタン背景", "ボタン色"));
    form->MenuClick(EditItem::mnIcon);
    EXPECT_EQ(view.status, description("アイコン領域", "無効"));
    form->MenuClick(EditItem::mnBtn);
    EXPECT_EQ(view.status, description("アイコン領域", "ボタン色"));
    form->MenuClick(EditItem::mnPUpper);
    ASSERT_EQ(form->PartIndex(), 1);
    EXPECT_EQ(view.status, description("アイコン領域", "ボタン色"));
}

TEST_F(PartsList, SeveralPatternsSelectedEmptyThePaneAndKeepTheControls) {
    Add("A", PatternOf({{1, 4}}, 8));
    Add("B", PatternOf({}));
    Open();
    EXPECT_EQ(view.lumi, 8);
    form->PatternListClick({0, 1});
    EXPECT_TRUE(view.parts.empty());
    EXPECT_EQ(view.lumi, 8);
    for (const EditItem item : {EditItem::mnPNew, EditItem::mnFill, EditItem::mnArea,
                                EditItem::mnPUpper, EditItem::mnPLower, EditItem::mnPDelete}) {
        EXPECT_FALSE(Enabled(item));
    }
    // The controls change no pattern now.
    form->ColorAdjustChange(-8, 0, false);
    EXPECT_EQ(form->Rows()[0].Pattern->Lumi, 8);
    EXPECT_EQ(form->Rows()[1].Pattern->Lumi, 0);
    EXPECT_FALSE(form->IsModified());
}

// --- The Parts menu's rules --------------------------------------------------------

TEST_F(PartsList, BasePartAllowsOnlyNewFills) {
    Add("A", PatternOf({{1, 4}, {3, 1}}));
    Open();
    EXPECT_EQ(view.partCurrent, 0);
    form->mnPartsClick();
    for (const EditItem item : {EditItem::mnArea, EditItem::mnPUpper, EditItem::mnPLower,
                                EditItem::mnPDelete, EditItem::mnNon, EditItem::mnBtnF}) {
        EXPECT_FALSE(Enabled(item));
    }
    EXPECT_TRUE(Enabled(EditItem::mnPNew));
    EXPECT_TRUE(Enabled(EditItem::mnFill));
    for (const EditItem item : {EditItem::mnMono, EditItem::mnGrad, EditItem::mnBtn}) {
        EXPECT_TRUE(form->IsEnabled(item));
    }
    EXPECT_TRUE(view.checked[EditItem::mnBtn]);

    // Disabled commands do nothing.
    for (const EditItem item : {EditItem::mnPUpper, EditItem::mnPLower, EditItem::mnPDelete,
                                EditItem::mnArea, EditItem::mnNon}) {
        form->MenuClick(item);
    }
    EXPECT_EQ(PartNames(), (Strings{"ボタン背景", "ボタン枠", "アイコン領域枠"}));
    EXPECT_EQ(Current().Parts(0)->Fill, fkBtn);
    EXPECT_TRUE(dialogs.areasShown.empty());
    EXPECT_FALSE(form->IsModified());

    // A new fill for the base part is taken.
    form->MenuClick(EditItem::mnBtn);
    EXPECT_TRUE(form->IsModified());
    prompts->colorAnswers.push_back(kRed);
    form->MenuClick(EditItem::mnMono);
    EXPECT_EQ(Current().Parts(0)->Fill, fkMono);
    EXPECT_EQ(Current().Parts(0)->Color, kRed);
    EXPECT_TRUE(view.checked[EditItem::mnMono]);
    EXPECT_FALSE(view.checked[EditItem::mnBtn]);
    EXPECT_EQ(view.preview.Pixel(10, 10), kRed);
}

TEST_F(PartsList, UpAndDownFollowTheRules) {
    Add("A", PatternOf({{2, 1}, {3, 3}, {5, 3}}));
    Open();
    form->PartsListClick(1);
    EXPECT_FALSE(Enabled(EditItem::mnPUpper));
    EXPECT_TRUE(Enabled(EditItem::mnPLower));
    form->MenuClick(EditItem::mnPUpper);
    EXPECT_EQ(PartNames(),
              (Strings{"ボタン背景", "アイコン領域", "アイコン領域枠", "ボタン名領域枠"}));
    EXPECT_FALSE(form->IsModified());

    // The frame goes below the filled icon area, which now covers it.
    form->PartsListClick(2);
    const Bitmap24 before = view.preview;
    form->MenuClick(EditItem::mnPUpper);
    EXPECT_EQ(PartNames(),
              (Strings{"ボタン背景", "アイコン領域枠", "アイコン領域", "ボタン名領域枠"}));
    EXPECT_EQ(view.PartTexts(), PartNames());
    EXPECT_EQ(view.partCurrent, 1);
    EXPECT_TRUE(RowShowsPart(1));
    EXPECT_TRUE(RowShowsPart(2));
    EXPECT_TRUE(form->IsModified());
    EXPECT_NE(view.preview, before);
    EXPECT_EQ(view.preview, DrawWallpaper(Current(), host.pad));

    // Down to the last row; there Down is disabled.
    form->MenuClick(EditItem::mnPLower);
    form->MenuClick(EditItem::mnPLower);
    EXPECT_EQ(view.partCurrent, 3);
    EXPECT_EQ(PartNames(),
              (Strings{"ボタン背景", "アイコン領域", "ボタン名領域枠", "アイコン領域枠"}));
    EXPECT_FALSE(Enabled(EditItem::mnPLower));
    EXPECT_TRUE(Enabled(EditItem::mnPUpper));
    form->MenuClick(EditItem::mnPLower);
    EXPECT_EQ(Current().Parts(3)->GetName(), "アイコン領域枠");
}

TEST_F(PartsList, SinglePartPatternDisablesMovesAndDelete) {
    Add("A", PatternOf({}));
    Open();
    EXPECT_EQ(view.PartTexts(), Strings{"ボタン背景"});
    for (const EditItem item :
         {EditItem::mnPUpper, EditItem::mnPLower, EditItem::mnPDelete, EditItem::mnArea}) {
        EXPECT_FALSE(Enabled(item));
    }
    form->MenuClick(EditItem::mnPDelete);
    form->mnPDeleteClick();
    EXPECT_EQ(Current().Count(), 1);
    EXPECT_FALSE(form->IsModified());
}

// --- Part commands ---------------------------------------------------------------------

TEST_F(PartsList, NewPartEntriesMakeTheirKinds) {
    Add("A", PatternOf({}));
    Open();
    struct Entry {
        EditItem item;
        std::uint8_t area;
        bool frame;
        const char* kind;
    };
    const Entry entries[] = {{EditItem::mnAll, paAll, true, "ボタン枠"},
                             {EditItem::mnIcon, paIcon, false, "アイコン領域"},
                             {EditItem::mnIconF, paIcon, true, "アイコン領域枠"},
                             {EditItem::mnName, paName, false, "ボタン名領域"},
                             {EditItem::mnNameF, paName, true, "ボタン名領域枠"}};
    int count = 1;
    for (const Entry& entry : entries) {
        form->MenuClick(entry.item);
        ++count;
        ASSERT_EQ(Current().Count(), count);
        const TParts& part = *Current().Parts(count - 1);
        EXPECT_EQ(part.Area, entry.area);
        EXPECT_EQ(part.IsFrame, entry.frame);
        EXPECT_EQ(part.Fill, fkNon);
        EXPECT_EQ(part.Outer, TTrim{});
        EXPECT_EQ(part.Thick, (TTrim{1, 1, 1, 1}));
        ASSERT_EQ(view.parts.size(), static_cast<std::size_t>(count));
        EXPECT_EQ(view.partCurrent, count - 1);
        EXPECT_EQ(view.parts.back().Text, entry.kind);
        EXPECT_FALSE(view.parts.back().Icon.has_value());
        EXPECT_TRUE(view.checked[EditItem::mnNon]);
        EXPECT_EQ(Enabled(EditItem::mnBtnF), entry.frame);
    }
    EXPECT_TRUE(form->IsModified());
}

TEST_F(PartsList, DeleteNeedsNoConfirmation) {
    Add("A", PatternOf({{1, 4}, {2, 1}, {3, 3}}));
    Open();
    form->PartsListClick(2);
    form->MenuClick(EditItem::mnPDelete);
    EXPECT_TRUE(prompts->shown.empty());
    EXPECT_EQ(PartNames(), (Strings{"ボタン背景", "ボタン枠", "アイコン領域枠"}));
    EXPECT_EQ(view.PartTexts(), PartNames());
    EXPECT_EQ(view.partCurrent, 0);
    EXPECT_TRUE(RowShowsPart(2));
    EXPECT_TRUE(form->IsModified());
    EXPECT_EQ(view.preview, DrawWallpaper(Current(), host.pad));
    EXPECT_EQ(form->Rows().size(), 1u);
}

TEST_F(PartsList, FillZeroDropsTheIconAndButtonColourBringsItBack) {
    Add("A", PatternOf({{3, 1}}));
    Open();
    form->PartsListClick(1);
    form->MenuClick(EditItem::mnNon);
    EXPECT_EQ(Current().Parts(1)->Fill, fkNon);
    EXPECT_FALSE(view.parts[1].Icon.has_value());
    form->MenuClick(EditItem::mnBtn);
    EXPECT_EQ(Current().Parts(1)->Fill, fkBtn);
    EXPECT_TRUE(RowShowsPart(1));
    // The colour the part had stays for a later single-colour choice.
    EXPECT_EQ(Current().Parts(1)->Color, kGreen);
}

// Grey names a part that paints nothing only where it can be read: a selected
// row, whatever its part, is written in the selection's text colour.
TEST(PartRowInkRule, GreyOnlyOnUnselectedRowsWithoutPicture) {
    struct Case {
        bool hasPicture;
        bool selected;
        PartRowInk ink;
    };
    for (const Case& c :
         {Case{true, false, PartRowInk::Text}, Case{false, false, PartRowInk::GrayText},
          Case{true, true, PartRowInk::SelectedText},
          Case{false, true, PartRowInk::SelectedText}}) {
        EXPECT_EQ(PartRowTextInk(c.hasPicture, c.selected), c.ink)
            << "picture " << c.hasPicture << ", selected " << c.selected;
    }
}

TEST_F(PartsList, SingleColourPresetCancelAndChoose) {
    Add("A", PatternOf({{3, 0}}));
    Open();
    form->PartsListClick(1);
    prompts->colorAnswers.push_back(std::nullopt);
    form->MenuClick(EditItem::mnMono);
    // The working copy carries no colour for a part that paints nothing.
    EXPECT_EQ(prompts->colorInitials, std::vector<TColor>{0});
    EXPECT_EQ(Current().Parts(1)->Fill, fkNon);
    EXPECT_FALSE(view.parts[1].Icon.has_value());
    EXPECT_TRUE(view.checked[EditItem::mnNon]);
    EXPECT_FALSE(view.checked[EditItem::mnMono]);
    EXPECT_FALSE(form->IsModified());

    prompts->colorAnswers.push_back(kBlue);
    form->MenuClick(EditItem::mnMono);
    EXPECT_EQ(Current().Parts(1)->Fill, fkMono);
    EXPECT_EQ(Current().Parts(1)->Color, kBlue);
    EXPECT_TRUE(RowShowsPart(1));
    EXPECT_TRUE(form->IsModified());

    // Switching away and back presets the dialog with the colour kept.
    form->MenuClick(EditItem::mnBtnF);
    prompts->colorAnswers.push_back(std::nullopt);
    form->MenuClick(EditItem::mnMono);
    EXPECT_EQ(prompts->colorInitials.back(), kBlue);
    EXPECT_EQ(Current().Parts(1)->Fill, fkBtnF);
    EXPECT_TRUE(view.checked[EditItem::mnBtnF]);
}

TEST_F(PartsList, GradientDialogPresetCancelAndOk) {
    auto pattern = PatternOf({{2, 2}});
    const std::string stored = "1,90,10,-20,0,,0000FF0000,640000FF00";
    pattern->Parts(1)->GradText = stored;
    Add("A", std::move(pattern));
    Open();
    form->PartsListClick(1);
    EXPECT_TRUE(view.checked[EditItem::mnGrad]);

    // The dialog opens on the part's gradient; edits left behind by Cancel
    // do not reach the part.
    dialogs.gradientAnswers.push_back(std::nullopt);
    form->MenuClick(EditItem::mnGrad);
    EXPECT_EQ(dialogs.gradientsShown, Strings{stored});
    EXPECT_EQ(Current().Parts(1)->Fill, fkGrad);
    EXPECT_EQ(Current().Parts(1)->GradText, stored);
    EXPECT_FALSE(form->IsModified());

    // Another fill keeps the text; OK stores the dialog's gradient.
    form->MenuClick(EditItem::mnBtn);
    EXPECT_EQ(Current().Parts(1)->GradText, stored);
    const std::string edited = "2,90,10,-20,0,,0000FF0000,640000FF00";
    dialogs.gradientAnswers.push_back(edited);
    form->MenuClick(EditItem::mnGrad);
    EXPECT_EQ(dialogs.gradientsShown.back(), stored);
    const TParts& part = *Current().Parts(1);
    EXPECT_EQ(part.Fill, fkGrad);
    EXPECT_EQ(part.GradText, edited);
    EXPECT_TRUE(view.checked[EditItem::mnGrad]);
    EXPECT_TRUE(RowShowsPart(1));
    EXPECT_TRUE(form->IsModified());
    EXPECT_EQ(view.preview, DrawWallpaper(Current(), host.pad));
}

TEST_F(PartsList, FineAdjustCancelAndOk) {
    Add("A", PatternOf({{3, 1}}));
    library.Pattern(0).Parts(1)->Thick = {1, 2, 1, 1};
    Open();
    form->PartsListClick(1);
    dialogs.areaAnswers.push_back(std::nullopt);
    form->MenuClick(EditItem::mnArea);
    ASSERT_EQ(dialogs.areasShown.size(), 1u);
    EXPECT_EQ(dialogs.areasShown[0].area, paIcon);
    EXPECT_TRUE(dialogs.areasShown[0].isFrame);
    EXPECT_EQ(dialogs.areasShown[0].thick, (TTrim{1, 2, 1, 1}));
    EXPECT_EQ(dialogs.areasShown[0].outer, TTrim{});
    EXPECT_EQ(Current().Parts(1)->Outer, TTrim{});
    EXPECT_FALSE(form->IsModified());

    dialogs.areaAnswers.push_back(AreaAdjustment{{1, 1, 1, 1}, {2, 1, 1, 1}});
    form->MenuClick(EditItem::mnArea);
    const TParts& part = *Current().Parts(1);
    EXPECT_EQ(part.Outer, (TTrim{1, 1, 1, 1}));
    EXPECT_EQ(part.Thick, (TTrim{2, 1, 1, 1}));
    EXPECT_EQ(view.parts[1].Text, "アイコン領域枠");
    EXPECT_TRUE(RowShowsPart(1));
    EXPECT_TRUE(form->IsModified());
    EXPECT_EQ(view.preview, DrawWallpaper(Current(), host.pad));
}

// The plug-in may end (and destroy the window) while one of its dialogs is
// open: the answer is dropped and the library keeps the part as it was.
TEST_F(PartsList, WindowDestroyedUnderAnOpenDialog) {
    for (const EditItem command : {EditItem::mnArea, EditItem::mnGrad}) {
        library.Clear();
        Add("A", PatternOf({{3, 1}}));
        Open();
        form->PartsListClick(1);
        dialogs.whileOpen = [this] { Close(); };
        dialogs.areaAnswers = {AreaAdjustment{{1, 1, 1, 1}, {2, 2, 2, 2}}};
        dialogs.gradientAnswers = {std::string("1,0,0,0,0,,0000FF0000,640000FF00")};
        form->MenuClick(command);
        EXPECT_EQ(form, nullptr);
        EXPECT_EQ(view.closed, 0);
        EXPECT_EQ(library.Pattern(0).Parts(1)->Fill, fkMono);
        EXPECT_EQ(library.Pattern(0).Parts(1)->Outer, TTrim{});
        dialogs.whileOpen = nullptr;
    }
}

// --- Dragging parts ----------------------------------------------------------------------

// The base part is neither dragged nor displaced.
TEST_F(PartsList, DraggingKeepsTheBasePart) {
    Add("A", PatternOf({{1, 4}, {2, 1}, {5, 3}}));
    Open();
    struct Case {
        int dragged;
        int over;
        bool accepted;
    };
    const Case cases[] = {{3, 1, true}, {3, 0, false}, {0, 1, false}, {0, 2, false},
                          {1, 3, true}, {2, 4, false}, {2, -1, false}};
    for (const Case& c : cases) {
        form->PartsListClick(c.dragged);
        EXPECT_EQ(form->PartsListDragOver(c.over), c.accepted) << c.dragged << " " << c.over;
    }
    const Strings start = PartNames();
    form->PartsListClick(0);
    form->PartsListDragDrop(2);
    form->PartsListClick(3);
    form->PartsListDragDrop(0);
    EXPECT_EQ(PartNames(), start);
    EXPECT_FALSE(form->IsModified());

    // Row 3 onto row 1: the former part 1 moves to index 2.
    form->PartsListDragDrop(1);
    EXPECT_EQ(PartNames(), (Strings{"ボタン背景", "ボタン名領域枠", "ボタン枠", "アイコン領域"}));
    EXPECT_EQ(view.PartTexts(), PartNames());
    EXPECT_EQ(view.partCurrent, 1);
    EXPECT_TRUE(form->IsModified());
    EXPECT_EQ(view.preview, DrawWallpaper(Current(), host.pad));
}

// --- Colour adjustment -------------------------------------------------------------------

TEST_F(PartsList, ColourAdjustmentStoresPositions) {
    Add("A", PatternOf({{3, 1}}));
    Open();
    const Bitmap24 plain = view.preview;
    form->ColorAdjustChange(-8, 0, false);
    EXPECT_EQ(Current().Lumi, -8);
    EXPECT_TRUE(form->IsModified());
    EXPECT_NE(view.preview, plain);
    form->ColorAdjustChange(-8, 3, false);
    EXPECT_EQ(Current().Hue, 6);
    form->ColorAdjustChange(-8, 3, true);
    EXPECT_TRUE(Current().BtnColTrim);
    EXPECT_EQ(view.preview, DrawWallpaper(Current(), host.pad));
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
    EXPECT_EQ(view.hue, -2);
    EXPECT_EQ(view.lumi, 3);
    EXPECT_TRUE(view.btnColTrim);
    EXPECT_EQ(Current().Hue, -5);
    EXPECT_FALSE(form->IsModified());
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
    view.echoColorAdjust = [this] {
        form->ColorAdjustChange(view.lumi, view.hue + 1, !view.btnColTrim);
    };
    Open();
    form->PatternListClick({1});
    EXPECT_EQ(view.lumi, -2);
    EXPECT_EQ(view.PartTexts(), (Strings{"ボタン背景", "ボタン枠"}));
    form->PatternListClick({0});
    EXPECT_EQ(view.lumi, 4);
    EXPECT_EQ(view.hue, 4);
    EXPECT_FALSE(view.btnColTrim);
    EXPECT_FALSE(form->IsModified());
    EXPECT_EQ(form->Rows()[0].Pattern->Hue, 8);
    EXPECT_EQ(form->Rows()[1].Pattern->Lumi, -2);
}

} // namespace
} // namespace pelmora::testing
