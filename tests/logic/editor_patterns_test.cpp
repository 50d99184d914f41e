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
    EXPECT_EQ(view.rows, (Strings{"A", "B"}));
    EXPECT_EQ(view.selection, Rows{0});
    EXPECT_NE(&Current(), &library.Pattern(0));
    EXPECT_EQ(form->Rows()[1].Pattern->Lumi, 1);
    EXPECT_FALSE(form->IsModified());
}

TEST_F(PatternList, EmptyLibraryThenNew) {
    Open();
    EXPECT_TRUE(view.rows.empty());
    EXPECT_EQ(form->Preview().Width(), 0);
    EXPECT_EQ(view.preview.Width(), 0);
    EXPECT_TRUE(view.parts.empty());

    form->MenuClick(EditItem::mnNew);
    EXPECT_EQ(RowNames(), Strings{"新規パターン"});
    EXPECT_EQ(view.selection, Rows{0});
    const TPatrn& made = *form->Rows()[0].Pattern;
    ASSERT_EQ(made.Count(), 2);
    EXPECT_EQ(made.Parts(0)->Fill, fkBtn);
    EXPECT_FALSE(made.Parts(0)->IsFrame);
    EXPECT_EQ(made.Parts(1)->Area, paAll);
    EXPECT_TRUE(made.Parts(1)->IsFrame);
    EXPECT_EQ(made.Parts(1)->Fill, fkBtnF);
    EXPECT_EQ(view.preview.Width(), 84);
    EXPECT_EQ(view.preview.Height(), 64);
    EXPECT_TRUE(form->IsModified());
}

TEST_F(PatternList, NewGivesNumberedNames) {
    Add({"A"});
    Open();
    for (int i = 0; i < 3; ++i) {
        form->MenuClick(EditItem::mnNew);
    }
    const Strings expected{"A", "新規パターン", "新規パターン2", "新規パターン3"};
    EXPECT_EQ(RowNames(), expected);
    EXPECT_EQ(view.rows, expected);
    EXPECT_EQ(view.selection, Rows{3});
    EXPECT_EQ(view.current, 3);
}

TEST_F(PatternList, CopyGivesNextFreeNumber) {
    Add({"A", "B"});
    Open();
    form->MenuClick(EditItem::mnCopy);
    EXPECT_EQ(RowNames(), (Strings{"A", "B", "A2"}));
    EXPECT_EQ(view.selection, Rows{2});
    form->PatternListClick({0});
    form->MenuClick(EditItem::mnCopy);
    EXPECT_EQ(RowNames(), (Strings{"A", "B", "A2", "A3"}));
    // A deep copy: its own object with the same settings.
    EXPECT_NE(form->Rows()[3].Pattern.get(), form->Rows()[0].Pattern.get());
    EXPECT_EQ(form->Rows()[3].Pattern->Lumi, 0);
    EXPECT_TRUE(form->IsModified());
}

TEST_F(PatternList, RenameAcceptedAndCancelled) {
    Add({"A", "B"});
    Open();
    form->PatternListClick({1});
    host.nameAnswers.push_back(std::nullopt);
    form->MenuClick(EditItem::mnRename);
    EXPECT_EQ(host.askedNames, Strings{"B"});
    EXPECT_EQ(host.askedLists, Strings{"A;B;"});
    EXPECT_EQ(host.askedPrompts, Strings{"変更後のパターン名を入力して下さい。"});
    EXPECT_EQ(RowNames(), (Strings{"A", "B"}));
    EXPECT_FALSE(form->IsModified());

    host.nameAnswers.push_back("ボタン");
    form->MenuClick(EditItem::mnRename);
    EXPECT_EQ(RowNames(), (Strings{"A", "ボタン"}));
    EXPECT_EQ(view.rows, (Strings{"A", "ボタン"}));
    EXPECT_EQ(view.selection, Rows{1});
    EXPECT_TRUE(form->IsModified());
}

TEST_F(PatternList, DeleteAsksWithEverySelectedName) {
    Add({"A", "B", "C", "D"});
    Open();
    form->PatternListClick({0, 1, 2});
    prompts->messageAnswers.push_back(MsgResult::Ok);
    form->MenuClick(EditItem::mnDelete);
    EXPECT_EQ(prompts->Messages(),
              Strings{"\"A\"\r\n\"B\"\r\n\"C\"\r\nを削除してもよろしいですか？"});
    EXPECT_EQ(prompts->shown.back().title, "確認");
    EXPECT_EQ(prompts->shown.back().kind, MsgKind::Confirmation);
    EXPECT_EQ(prompts->shown.back().buttons, MsgButtons::OkCancel);
    EXPECT_EQ(RowNames(), Strings{"D"});
    EXPECT_EQ(view.rows, Strings{"D"});
    EXPECT_EQ(view.selection, Rows{0});
    EXPECT_EQ(form->Rows()[0].Pattern->Lumi, 3);
}

TEST_F(PatternList, DeleteRowsApartFromEachOther) {
    Add({"A", "B", "C", "D"});
    Open();
    form->PatternListClick({3, 1});
    prompts->messageAnswers.push_back(MsgResult::Ok);
    form->MenuClick(EditItem::mnDelete);
    EXPECT_EQ(prompts->Messages(), Strings{"\"B\"\r\n\"D\"\r\nを削除してもよろしいですか？"});
    EXPECT_EQ(RowNames(), (Strings{"A", "C"}));
    EXPECT_EQ(view.selection, Rows{0});
    EXPECT_TRUE(form->IsModified());
}

TEST_F(PatternList, DeleteCancelledKeepsRows) {
    Add({"A", "B"});
    Open();
    prompts->messageAnswers.push_back(MsgResult::Cancel);
    form->MenuClick(EditItem::mnDelete);
    EXPECT_EQ(prompts->Messages().size(), 1u);
    EXPECT_EQ(RowNames(), (Strings{"A", "B"}));
    EXPECT_FALSE(form->IsModified());
}

TEST_F(PatternList, DeletingTheLastRowLeavesNoPreview) {
    Add({"A"});
    Open();
    prompts->messageAnswers.push_back(MsgResult::Ok);
    form->MenuClick(EditItem::mnDelete);
    EXPECT_TRUE(view.rows.empty());
    EXPECT_EQ(view.preview.Width(), 0);
    EXPECT_TRUE(view.parts.empty());
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
        form->PatternListClick(selected);
        form->mnPatternClick();
        const std::size_t s = selected.size();
        for (const EditItem item : oneRow) {
            EXPECT_EQ(Enabled(item), s == 1) << s;
        }
        for (const EditItem item : anyRows) {
            EXPECT_EQ(Enabled(item), s >= 1) << s;
        }
        for (const EditItem item : always) {
            EXPECT_TRUE(form->IsEnabled(item)) << s;
        }
        EXPECT_FALSE(Enabled(EditItem::mnUndo));
    }
}

TEST_F(PatternList, SeveralSelectedBlankThePreviewAndDisabledCommandsDoNothing) {
    Add({"A", "B", "C"});
    Open();
    EXPECT_EQ(view.preview.Width(), 84);
    form->PatternListClick({0, 1});
    EXPECT_EQ(view.preview.Width(), 0);
    EXPECT_EQ(form->CurrentPattern(), nullptr);
    EXPECT_TRUE(view.parts.empty());
    for (const EditItem item :
         {EditItem::mnRename, EditItem::mnUpper, EditItem::mnLower, EditItem::mnPad}) {
        form->MenuClick(item);
    }
    EXPECT_TRUE(prompts->shown.empty());
    EXPECT_EQ(RowNames(), (Strings{"A", "B", "C"}));
    EXPECT_TRUE(host.wallPaperSets.empty());
    EXPECT_FALSE(form->IsModified());

    form->PatternListClick({});
    form->MenuClick(EditItem::mnExport);
    form->MenuClick(EditItem::mnDelete);
    EXPECT_TRUE(prompts->shown.empty());
    EXPECT_TRUE(host.exported.empty());
}

TEST_F(PatternList, UpAndDownStopAtTheEnds) {
    Add({"A", "B", "C"});
    Open();
    form->MenuClick(EditItem::mnUpper);
    EXPECT_EQ(RowNames(), (Strings{"A", "B", "C"}));
    EXPECT_FALSE(form->IsModified());

    form->MenuClick(EditItem::mnLower);
    EXPECT_EQ(RowNames(), (Strings{"B", "A", "C"}));
    EXPECT_EQ(view.rows, (Strings{"B", "A", "C"}));
    EXPECT_EQ(view.selection, Rows{1});
    EXPECT_EQ(Current().Lumi, 0);
    EXPECT_TRUE(form->IsModified());

    form->PatternListClick({2});
    form->MenuClick(EditItem::mnLower);
    EXPECT_EQ(RowNames(), (Strings{"B", "A", "C"}));
    form->MenuClick(EditItem::mnUpper);
    EXPECT_EQ(RowNames(), (Strings{"B", "C", "A"}));
    EXPECT_EQ(view.selection, Rows{1});
}

TEST_F(PatternList, SelectionChangeClearsTheStatusBar) {
    Add({"A", "B"});
    Open();
    view.status = "hint";
    form->PatternListClick({1});
    EXPECT_EQ(view.status, "");
}

TEST_F(PatternList, PreviewIsTheWallpaper) {
    Add({"A", "B"});
    library.Pattern(1).AddNew().Fill = fkMono; // a black icon area
    library.Pattern(1).Parts(1)->Area = paIcon;
    Open();
    EXPECT_EQ(view.preview, DrawWallpaper(library.Pattern(0), host.pad));
    form->PatternListClick({1});
    EXPECT_EQ(view.preview, DrawWallpaper(library.Pattern(1), host.pad));
    EXPECT_EQ(form->Preview(), view.preview);
    EXPECT_NE(view.preview, DrawWallpaper(library.Pattern(0), host.pad));
}

TEST_F(PatternList, ExportWritesSelectedRowsInOrder) {
    Add({"A", "B", "C", "D", "E"});
    Open();
    form->PatternListClick({4, 1, 2});
    form->MenuClick(EditItem::mnExport);
    ASSERT_EQ(host.exported.size(), 1u);
    EXPECT_EQ(host.exported[0], (Strings{"B", "C", "E"}));
    EXPECT_EQ(host.exportedPatterns[0][2], form->Rows()[4].Pattern.get());
    EXPECT_FALSE(form->IsModified());
}

TEST_F(PatternList, ImportAppendsRowsKeepingSelection) {
    Add({"A", "B"});
    const std::filesystem::path file = dir / "import.ptn";
    IniFile ini;
    PatternOf({}, 7)->SaveToIni(ini, 1, "A");
    PatternOf({}, 8)->SaveToIni(ini, 2, "X");
    ini.Save(file);
    host.importFile = file;
    Open();
    form->PatternListClick({1});
    form->MenuClick(EditItem::mnImport);
    EXPECT_EQ(RowNames(), (Strings{"A", "B", "A2", "X"}));
    EXPECT_EQ(view.rows, (Strings{"A", "B", "A2", "X"}));
    EXPECT_EQ(form->Rows()[2].Pattern->Lumi, 7);
    EXPECT_EQ(view.selection, Rows{1});
    EXPECT_TRUE(form->IsModified());
}

TEST_F(PatternList, CancelledImportChangesNothing) {
    Add({"A"});
    Open();
    form->MenuClick(EditItem::mnImport);
    EXPECT_EQ(RowNames(), Strings{"A"});
    EXPECT_FALSE(form->IsModified());
}

// Names that are not Shift-JIS show with replacement characters, in the list
// and in the delete question.
TEST_F(PatternList, BrokenNamesShowReplacementCharacters) {
    library.Append("a\x81", PatternOf({}));
    Open();
    EXPECT_EQ(view.rows, Strings{"a\xEF\xBF\xBD"});
    form->MenuClick(EditItem::mnDelete);
    EXPECT_EQ(prompts->Messages(), Strings{"\"a\xEF\xBF\xBD\"\r\nを削除してもよろしいですか？"});
}

// --- Dragging rows -----------------------------------------------------------------

TEST_F(PatternList, DropOnARowMovesTheCurrentRowThere) {
    Add({"A", "B", "C", "D", "E"});
    Open();
    form->PatternListClick({3});
    const ListScroll scroll{0, 20};
    EXPECT_TRUE(form->PatternListDragOver(DragSpot::PatternList, 1, scroll));
    form->PatternListDragDrop(1);
    EXPECT_EQ(RowNames(), (Strings{"A", "D", "B", "C", "E"}));
    EXPECT_EQ(view.selection, Rows{1});
    EXPECT_TRUE(form->IsModified());
}

TEST_F(PatternList, DropBelowTheLastRowOrWithSeveralSelectedIsRefused) {
    Add({"A", "B"});
    Open();
    const ListScroll scroll{0, 2};
    EXPECT_FALSE(form->PatternListDragOver(DragSpot::PatternList, 2, scroll));
    form->PatternListDragDrop(2);
    form->PatternListClick({0, 1});
    EXPECT_FALSE(form->PatternListDragOver(DragSpot::PatternList, 1, scroll));
    form->PatternListDragDrop(1);
    EXPECT_EQ(RowNames(), (Strings{"A", "B"}));
    EXPECT_FALSE(form->IsModified());
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
        DragSpot spot;
        int item;
        ListScroll scroll;
        std::vector<int> scrolls;
        bool accepted;
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
        view.scrolls.clear();
        EXPECT_EQ(form->PatternListDragOver(c.spot, c.item, c.scroll), c.accepted) << c.item;
        EXPECT_EQ(view.scrolls, c.scrolls) << c.item;
    }
    EXPECT_EQ(RowNames(), names);
    EXPECT_FALSE(form->IsModified());
}

} // namespace
} // namespace pelmora::testing
