// The pattern editor's list of patterns: opening on a copy of the library,
// selection, the pattern commands with their enabling rules, import, export
// and dragging rows.
#include "EditorFakes.h"

#include "library/Wallpaper.h"

namespace pelmora::testing {
namespace {

using Strings = std::vector<std::string>;
using Rows = std::vector<int>;

using PatternList = EditorTest;

TEST_F(PatternList, OpensOnACopyWithTheFirstRowSelected) {
    Add({"A", "B"});
    Open();
    EXPECT_EQ(view_.Rows, (Strings{"A", "B"}));
    EXPECT_EQ(view_.Selection, Rows{0});
    EXPECT_NE(&Current(), &library_.Pattern(0));
    EXPECT_EQ(form_->Rows()[1].Pattern->Lumi, 1);
    EXPECT_FALSE(form_->IsModified());
}

TEST_F(PatternList, EmptyLibraryThenNew) {
    Open();
    EXPECT_TRUE(view_.Rows.empty());
    EXPECT_EQ(form_->Preview().Width(), 0);
    EXPECT_EQ(view_.Preview.Width(), 0);
    EXPECT_TRUE(view_.Parts.empty());

    form_->MenuClick(EditItem::mnNew);
    EXPECT_EQ(RowNames(), Strings{"新規パターン"});
    EXPECT_EQ(view_.Selection, Rows{0});
    const TPatrn& made = *form_->Rows()[0].Pattern;
    ASSERT_EQ(made.Count(), 2);
    EXPECT_EQ(made.Parts(0)->Fill, fkBtn);
    EXPECT_FALSE(made.Parts(0)->IsFrame);
    EXPECT_EQ(made.Parts(1)->Area, paAll);
    EXPECT_TRUE(made.Parts(1)->IsFrame);
    EXPECT_EQ(made.Parts(1)->Fill, fkBtnF);
    EXPECT_EQ(view_.Preview.Width(), 84);
    EXPECT_EQ(view_.Preview.Height(), 64);
    EXPECT_TRUE(form_->IsModified());
}

TEST_F(PatternList, NewGivesNumberedNames) {
    Add({"A"});
    Open();
    for (int i = 0; i < 3; ++i) {
        form_->MenuClick(EditItem::mnNew);
    }
    const Strings expected{"A", "新規パターン", "新規パターン2", "新規パターン3"};
    EXPECT_EQ(RowNames(), expected);
    EXPECT_EQ(view_.Rows, expected);
    EXPECT_EQ(view_.Selection, Rows{3});
    EXPECT_EQ(view_.Current, 3);
}

TEST_F(PatternList, CopyGivesNextFreeNumber) {
    Add({"A", "B"});
    Open();
    form_->MenuClick(EditItem::mnCopy);
    EXPECT_EQ(RowNames(), (Strings{"A", "B", "A2"}));
    EXPECT_EQ(view_.Selection, Rows{2});
    form_->PatternListClick({0});
    form_->MenuClick(EditItem::mnCopy);
    EXPECT_EQ(RowNames(), (Strings{"A", "B", "A2", "A3"}));
    // A deep copy: its own object with the same settings.
    EXPECT_NE(form_->Rows()[3].Pattern.get(), form_->Rows()[0].Pattern.get());
    EXPECT_EQ(form_->Rows()[3].Pattern->Lumi, 0);
    EXPECT_TRUE(form_->IsModified());
}

TEST_F(PatternList, RenameAcceptedAndCancelled) {
    Add({"A", "B"});
    Open();
    form_->PatternListClick({1});
    host_.NameAnswers.push_back(std::nullopt);
    form_->MenuClick(EditItem::mnRename);
    EXPECT_EQ(host_.AskedNames, Strings{"B"});
    EXPECT_EQ(host_.AskedLists, Strings{"A;B;"});
    EXPECT_EQ(host_.AskedPrompts, Strings{"変更後のパターン名を入力して下さい。"});
    EXPECT_EQ(RowNames(), (Strings{"A", "B"}));
    EXPECT_FALSE(form_->IsModified());

    host_.NameAnswers.push_back("ボタン");
    form_->MenuClick(EditItem::mnRename);
    EXPECT_EQ(RowNames(), (Strings{"A", "ボタン"}));
    EXPECT_EQ(view_.Rows, (Strings{"A", "ボタン"}));
    EXPECT_EQ(view_.Selection, Rows{1});
    EXPECT_TRUE(form_->IsModified());
}

TEST_F(PatternList, DeleteAsksWithEverySelectedName) {
    Add({"A", "B", "C", "D"});
    Open();
    form_->PatternListClick({0, 1, 2});
    prompts_->MessageAnswers.push_back(MsgResult::Ok);
    form_->MenuClick(EditItem::mnDelete);
    EXPECT_EQ(prompts_->Messages(),
              Strings{"\"A\"\r\n\"B\"\r\n\"C\"\r\nを削除してもよろしいですか？"});
    EXPECT_EQ(prompts_->Shown.back().Title, "確認");
    EXPECT_EQ(prompts_->Shown.back().Kind, MsgKind::Confirmation);
    EXPECT_EQ(prompts_->Shown.back().Buttons, MsgButtons::OkCancel);
    EXPECT_EQ(RowNames(), Strings{"D"});
    EXPECT_EQ(view_.Rows, Strings{"D"});
    EXPECT_EQ(view_.Selection, Rows{0});
    EXPECT_EQ(form_->Rows()[0].Pattern->Lumi, 3);
}

TEST_F(PatternList, DeleteRowsApartFromEachOther) {
    Add({"A", "B", "C", "D"});
    Open();
    form_->PatternListClick({3, 1});
    prompts_->MessageAnswers.push_back(MsgResult::Ok);
    form_->MenuClick(EditItem::mnDelete);
    EXPECT_EQ(prompts_->Messages(), Strings{"\"B\"\r\n\"D\"\r\nを削除してもよろしいですか？"});
    EXPECT_EQ(RowNames(), (Strings{"A", "C"}));
    EXPECT_EQ(view_.Selection, Rows{0});
    EXPECT_TRUE(form_->IsModified());
}

TEST_F(PatternList, DeleteCancelledKeepsRows) {
    Add({"A", "B"});
    Open();
    prompts_->MessageAnswers.push_back(MsgResult::Cancel);
    form_->MenuClick(EditItem::mnDelete);
    EXPECT_EQ(prompts_->Messages().size(), 1u);
    EXPECT_EQ(RowNames(), (Strings{"A", "B"}));
    EXPECT_FALSE(form_->IsModified());
}

TEST_F(PatternList, DeletingTheLastRowLeavesNoPreview) {
    Add({"A"});
    Open();
    prompts_->MessageAnswers.push_back(MsgResult::Ok);
    form_->MenuClick(EditItem::mnDelete);
    EXPECT_TRUE(view_.Rows.empty());
    EXPECT_EQ(view_.Preview.Width(), 0);
    EXPECT_TRUE(view_.Parts.empty());
    EXPECT_FALSE(Enabled(EditItem::mnDelete));
}

// The rules of the Pattern and File menus by the number of selected rows.
TEST_F(PatternList, EnablingRulesFollowTheSelection) {
    Add({"A", "B", "C"});
    Open();
    const EditItem oneRow[] = {EditItem::mnRename, EditItem::mnUpper, EditItem::mnLower,
                               EditItem::mnPad};
    const EditItem anyRows[] = {EditItem::mnExport, EditItem::mnDelete};
    const EditItem always[] = {EditItem::mnNew,    EditItem::mnCopy, EditItem::mnInfo,
                               EditItem::mnImport, EditItem::mnExit, EditItem::mnCancel};
    for (const Rows& selected : {Rows{1}, Rows{0, 1}, Rows{}}) {
        form_->PatternListClick(selected);
        form_->mnPatternClick();
        const std::size_t s = selected.size();
        for (const EditItem item : oneRow) {
            EXPECT_EQ(Enabled(item), s == 1) << s;
        }
        for (const EditItem item : anyRows) {
            EXPECT_EQ(Enabled(item), s >= 1) << s;
        }
        for (const EditItem item : always) {
            EXPECT_TRUE(form_->IsEnabled(item)) << s;
        }
        EXPECT_FALSE(Enabled(EditItem::mnUndo));
    }
}

TEST_F(PatternList, SeveralSelectedBlankThePreviewAndDisabledCommandsDoNothing) {
    Add({"A", "B", "C"});
    Open();
    EXPECT_EQ(view_.Preview.Width(), 84);
    form_->PatternListClick({0, 1});
    EXPECT_EQ(view_.Preview.Width(), 0);
    EXPECT_EQ(form_->CurrentPattern(), nullptr);
    EXPECT_TRUE(view_.Parts.empty());
    for (const EditItem item :
         {EditItem::mnRename, EditItem::mnUpper, EditItem::mnLower, EditItem::mnPad}) {
        form_->MenuClick(item);
    }
    EXPECT_TRUE(prompts_->Shown.empty());
    EXPECT_EQ(RowNames(), (Strings{"A", "B", "C"}));
    EXPECT_TRUE(host_.WallPaperSets.empty());
    EXPECT_FALSE(form_->IsModified());

    form_->PatternListClick({});
    form_->MenuClick(EditItem::mnExport);
    form_->MenuClick(EditItem::mnDelete);
    EXPECT_TRUE(prompts_->Shown.empty());
    EXPECT_TRUE(host_.Exported.empty());
}

TEST_F(PatternList, UpAndDownStopAtTheEnds) {
    Add({"A", "B", "C"});
    Open();
    form_->MenuClick(EditItem::mnUpper);
    EXPECT_EQ(RowNames(), (Strings{"A", "B", "C"}));
    EXPECT_FALSE(form_->IsModified());

    form_->MenuClick(EditItem::mnLower);
    EXPECT_EQ(RowNames(), (Strings{"B", "A", "C"}));
    EXPECT_EQ(view_.Rows, (Strings{"B", "A", "C"}));
    EXPECT_EQ(view_.Selection, Rows{1});
    EXPECT_EQ(Current().Lumi, 0);
    EXPECT_TRUE(form_->IsModified());

    form_->PatternListClick({2});
    form_->MenuClick(EditItem::mnLower);
    EXPECT_EQ(RowNames(), (Strings{"B", "A", "C"}));
    form_->MenuClick(EditItem::mnUpper);
    EXPECT_EQ(RowNames(), (Strings{"B", "C", "A"}));
    EXPECT_EQ(view_.Selection, Rows{1});
}

// A selection change makes the base part of the pattern current then: the
// bar describes it, as a click on its row does; with no pattern current the
// bar is empty.
TEST_F(PatternList, SelectionChangeDescribesTheCurrentPartOrClearsTheStatusBar) {
    const std::string basePart = "描画範囲：ボタン背景   描画色：ボタン色";
    Add({"A", "B"});
    Open();
    EXPECT_EQ(view_.Status, basePart) << "at the first show";
    view_.Status = "hint";
    form_->PatternListClick({1});
    EXPECT_EQ(view_.Status, basePart);
    form_->PatternListClick({0, 1});
    EXPECT_EQ(view_.Status, "");
    form_->MenuClick(EditItem::mnNew);
    EXPECT_EQ(view_.Status, basePart);
    form_->PatternListClick({});
    EXPECT_EQ(view_.Status, "");
}

TEST_F(PatternList, PreviewIsTheWallpaper) {
    Add({"A", "B"});
    library_.Pattern(1).AddNew().Fill = fkMono; // a black icon area
    library_.Pattern(1).Parts(1)->Area = paIcon;
    Open();
    EXPECT_EQ(view_.Preview, DrawWallpaper(library_.Pattern(0), host_.Pad));
    form_->PatternListClick({1});
    EXPECT_EQ(view_.Preview, DrawWallpaper(library_.Pattern(1), host_.Pad));
    EXPECT_EQ(form_->Preview(), view_.Preview);
    EXPECT_NE(view_.Preview, DrawWallpaper(library_.Pattern(0), host_.Pad));
}

TEST_F(PatternList, ExportWritesSelectedRowsInOrder) {
    Add({"A", "B", "C", "D", "E"});
    Open();
    form_->PatternListClick({4, 1, 2});
    form_->MenuClick(EditItem::mnExport);
    ASSERT_EQ(host_.Exported.size(), 1u);
    EXPECT_EQ(host_.Exported[0], (Strings{"B", "C", "E"}));
    EXPECT_EQ(host_.ExportedPatterns[0][2], form_->Rows()[4].Pattern.get());
    EXPECT_FALSE(form_->IsModified());
}

TEST_F(PatternList, ImportAppendsRowsKeepingSelection) {
    Add({"A", "B"});
    const std::filesystem::path file = dir_ / "import.ptn";
    IniFile ini;
    PatternOf({}, 7)->SaveToIni(ini, 1, "A");
    PatternOf({}, 8)->SaveToIni(ini, 2, "X");
    ini.Save(file);
    host_.ImportFile = file;
    Open();
    form_->PatternListClick({1});
    form_->MenuClick(EditItem::mnImport);
    EXPECT_EQ(RowNames(), (Strings{"A", "B", "A2", "X"}));
    EXPECT_EQ(view_.Rows, (Strings{"A", "B", "A2", "X"}));
    EXPECT_EQ(form_->Rows()[2].Pattern->Lumi, 7);
    EXPECT_EQ(view_.Selection, Rows{1});
    EXPECT_TRUE(form_->IsModified());
}

TEST_F(PatternList, CancelledImportChangesNothing) {
    Add({"A"});
    Open();
    form_->MenuClick(EditItem::mnImport);
    EXPECT_EQ(RowNames(), Strings{"A"});
    EXPECT_FALSE(form_->IsModified());
}

// Names that are not Shift-JIS show with replacement characters, in the list
// and in the delete question.
TEST_F(PatternList, BrokenNamesShowReplacementCharacters) {
    library_.Append("a\x81", PatternOf({}));
    Open();
    EXPECT_EQ(view_.Rows, Strings{"a\xEF\xBF\xBD"});
    form_->MenuClick(EditItem::mnDelete);
    EXPECT_EQ(prompts_->Messages(), Strings{"\"a\xEF\xBF\xBD\"\r\nを削除してもよろしいですか？"});
}

// --- Dragging rows -----------------------------------------------------------------

TEST_F(PatternList, DropOnARowMovesTheCurrentRowThere) {
    Add({"A", "B", "C", "D", "E"});
    Open();
    form_->PatternListClick({3});
    const ListScroll scroll{0, 20};
    EXPECT_TRUE(form_->PatternListDragOver(DragSpot::PatternList, 1, scroll));
    form_->PatternListDragDrop(1);
    EXPECT_EQ(RowNames(), (Strings{"A", "D", "B", "C", "E"}));
    EXPECT_EQ(view_.Selection, Rows{1});
    EXPECT_TRUE(form_->IsModified());
}

TEST_F(PatternList, DropBelowTheLastRowOrWithSeveralSelectedIsRefused) {
    Add({"A", "B"});
    Open();
    const ListScroll scroll{0, 2};
    EXPECT_FALSE(form_->PatternListDragOver(DragSpot::PatternList, 2, scroll));
    form_->PatternListDragDrop(2);
    form_->PatternListClick({0, 1});
    EXPECT_FALSE(form_->PatternListDragOver(DragSpot::PatternList, 1, scroll));
    form_->PatternListDragDrop(1);
    EXPECT_EQ(RowNames(), (Strings{"A", "B"}));
    EXPECT_FALSE(form_->IsModified());
}

// Each drag-over event scrolls at most one row: on the first visible row
// (while scrolled), on the last visible row (while more follow), over the
// label above the list and over the status bar below it.
TEST_F(PatternList, DraggingOverTheEdgesScrollsOneRow) {
    Strings names;
    for (int i = 0; i < 60; ++i) {
        names.push_back("P" + std::to_string(i));
    }
    Add(names);
    Open();
    struct Case {
        DragSpot Spot;
        int Item;
        ListScroll Scroll;
        std::vector<int> Scrolls;
        bool Accepted;
    };
    const Case cases[] = {
        {DragSpot::PatternList, 3, {0, 20}, {}, true},
        {DragSpot::PatternList, 20, {0, 20}, {1}, false},
        {DragSpot::PatternList, 59, {39, 59}, {}, true}, // the last row is in view
        {DragSpot::PatternList, 5, {5, 25}, {-1}, false},
        {DragSpot::PatternList, 0, {0, 20}, {}, true},
        {DragSpot::PatternLabel, 0, {5, 25}, {-1}, false},
        {DragSpot::PatternLabel, 0, {0, 20}, {}, false},
        {DragSpot::StatusBar, 60, {0, 20}, {1}, false},
        {DragSpot::StatusBar, 60, {59, 60}, {}, false},
        {DragSpot::Elsewhere, 3, {5, 25}, {}, false},
    };
    for (const Case& c : cases) {
        view_.Scrolls.clear();
        EXPECT_EQ(form_->PatternListDragOver(c.Spot, c.Item, c.Scroll), c.Accepted) << c.Item;
        EXPECT_EQ(view_.Scrolls, c.Scrolls) << c.Item;
    }
    EXPECT_EQ(RowNames(), names);
    EXPECT_FALSE(form_->IsModified());
}

} // namespace
} // namespace pelmora::testing
