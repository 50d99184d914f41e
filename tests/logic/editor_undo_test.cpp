// The pattern editor's undo and redo: every change of the working copy is
// one step that comes back exactly, with the selection and the part that
// show it; the Edit menu names the steps; Modified follows the history.
#include "EditorFakes.h"

#include "library/Wallpaper.h"

#include <functional>
#include <sstream>

namespace pelmora::testing {
namespace {

using Strings = std::vector<std::string>;
using Rows = std::vector<int>;

constexpr TColor kBlue = 0x00FF0000;

class EditorUndo : public EditorTest {
protected:
    // Everything the working copy holds, the colours and gradient texts a
    // part's fill does not use included.
    std::string Snapshot() const {
        std::ostringstream out;
        for (const EditorRow& row : form_->Rows()) {
            const TPatrn& p = *row.Pattern;
            out << SjisToUtf8(row.Name) << ':' << p.Lumi << ',' << p.Hue << ',' << p.BtnColTrim;
            for (int i = 0; i < p.Count(); ++i) {
                const TParts& part = *p.Parts(i);
                out << " [" << int{part.Area} << part.IsFrame << ',' << part.Outer.Left
                    << part.Outer.Top << part.Outer.Right << part.Outer.Bottom << ','
                    << part.Thick.Left << part.Thick.Top << part.Thick.Right << part.Thick.Bottom
                    << ',' << int{part.Fill} << ',' << part.Color << ',' << part.GradText << ']';
            }
            out << '\n';
        }
        return out.str();
    }
    struct Shown {
        Rows Selection;
        int Part;
        std::string Parts; // the pane's rows
        bool operator==(const Shown&) const = default;
    };
    Shown Showing() const {
        std::string parts;
        for (const std::string& text : view_.PartTexts()) {
            parts += text + ";";
        }
        return {view_.Selection, form_->PartIndex(), parts};
    }
    std::string Caption(EditItem item) { return view_.Captions[item]; }
    void Undo() { form_->MenuClick(EditItem::mnEditUndo); }
    void Redo() { form_->MenuClick(EditItem::mnEditRedo); }
    void Drag(int lumi, int hue, bool trim, std::initializer_list<int> positions, bool ofLumi) {
        for (const int at : positions) {
            ofLumi ? form_->ColorAdjustChange(at, hue, trim)
                   : form_->ColorAdjustChange(lumi, at, trim);
        }
        form_->ColorAdjustDone();
    }
};

// Patterns "A" (parts: base, icon frame in a single colour, name area by
// gradient), "B", "C"; `Select` selected and part `Part` current first.
struct Case {
    const char* Label; // what the Edit menu calls the step
    Rows Select;
    int Part;
    bool OfParts; // a step inside the current pattern, which shows its part
    std::function<void(PatternEditorLogic&)> Edit;
};

void Click(PatternEditorLogic& f, EditItem item) {
    f.MenuClick(item);
}

class EditorUndoCases : public EditorUndo {
protected:
    void OpenThree(const Case& c) {
        form_.reset();
        library_ = PatternLibrary();
        auto a = PatternOf({{3, 1}, {4, 2}});
        a->Parts(2)->GradText = "1,90,10,-20,0,,0000FF0000,640000FF00";
        Add("A", std::move(a));
        Add("B", PatternOf({{1, 3}}, 2));
        Add("C", PatternOf({}, -3));
        const std::filesystem::path file = dir_ / "import.ptn";
        IniFile ini;
        PatternOf({}, 7)->SaveToIni(ini, 1, "A");
        PatternOf({{5, 3}}, 8)->SaveToIni(ini, 2, "X");
        ini.Save(file);
        host_.ImportFile = file;
        host_.NameAnswers = {std::string("改名")};
        prompts_->MessageAnswers = {MsgResult::Ok};
        prompts_->ColorAnswers = {kBlue};
        dialogs_.GradientAnswers = {std::string("2,45,0,0,1,,0000000000,64FFFFFFFF")};
        dialogs_.AreaAnswers = {AreaAdjustment{{1, 0, 0, 1}, {2, 1, 1, 1}}};
        Open();
        form_->PatternListClick(c.Select);
        if (c.Part >= 0) {
            form_->PartsListClick(c.Part);
        }
    }
    Bitmap24 ExpectedPreview() {
        return form_->CurrentPattern() == nullptr ? Bitmap24()
                                                  : DrawWallpaper(Current(), host_.Pad);
    }
};

TEST_F(EditorUndoCases, EveryChangeIsOneStepThatComesBackExactly) {
    using enum EditItem;
    const auto menu = [](EditItem item) {
        return [item](PatternEditorLogic& f) { Click(f, item); };
    };
    const auto lumi = [](PatternEditorLogic& f) {
        for (const int at : {1, 2, 3, -4}) {
            f.ColorAdjustChange(at, 0, false);
        }
        f.ColorAdjustDone();
    };
    const auto hue = [](PatternEditorLogic& f) {
        f.ColorAdjustChange(0, 5, false);
        f.ColorAdjustChange(0, 6, false);
        f.ColorAdjustDone();
    };
    const auto trim = [](PatternEditorLogic& f) {
        f.ColorAdjustChange(0, 0, true);
        f.ColorAdjustDone();
    };
    const auto dropPattern = [](PatternEditorLogic& f) {
        ASSERT_TRUE(f.PatternListDragOver(DragSpot::PatternList, 0, ListScroll{0, 20}));
        f.PatternListDragDrop(0);
    };
    const auto dropPart = [](PatternEditorLogic& f) { f.PartsListDragDrop(1); };
    const Case cases[] = {
        {"パターンの新規作成", {0}, 1, false, menu(mnNew)},
        {"パターンの複製作成", {0}, 1, false, menu(mnCopy)},
        {"パターンの名前変更", {1}, -1, false, menu(mnRename)},
        {"パターンの削除", {0, 2}, -1, false, menu(mnDelete)},
        {"インポート", {1}, -1, false, menu(mnImport)},
        {"インポート", {0, 1}, -1, false, menu(mnImport)},
        {"パターンの移動", {0}, -1, false, menu(mnLower)},
        {"パターンの移動", {2}, -1, false, menu(mnUpper)},
        {"パターンの移動", {2}, -1, false, dropPattern},
        {"部品の新規作成", {0}, 1, true, menu(mnNameF)},
        {"部品の削除", {0}, 1, true, menu(mnPDelete)},
        {"部品の移動", {0}, 1, true, menu(mnPLower)},
        {"部品の移動", {0}, 2, true, menu(mnPUpper)},
        {"部品の移動", {0}, 2, true, dropPart},
        {"描画色の設定", {0}, 1, true, menu(mnBtnF)},
        {"描画色の設定", {0}, 2, true, menu(mnNon)},
        {"単色の設定", {0}, 0, true, menu(mnMono)},
        {"グラデーションの設定", {0}, 1, true, menu(mnGrad)},
        {"描画範囲の微調整", {0}, 2, true, menu(mnArea)},
        {"明るさの変更", {0}, 1, true, lumi},
        {"色合いの変更", {0}, 2, true, hue},
        {"ボタン色部品の色調整", {0}, 0, true, trim},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Label);
        OpenThree(c);
        EXPECT_FALSE(form_->IsEnabled(EditItem::mnEditUndo));
        EXPECT_EQ(Caption(EditItem::mnEditUndo), "元に戻す(&U)");

        const std::string before = Snapshot();
        Shown shownBefore = Showing();
        shownBefore.Selection = c.Select; // the list shows the user's own clicks
        c.Edit(*form_);
        const std::string after = Snapshot();
        const Shown shownAfter = Showing();
        ASSERT_NE(after, before);
        EXPECT_TRUE(form_->IsModified());
        EXPECT_EQ(form_->History().Count(), 1u);
        EXPECT_TRUE(view_.Enabled[EditItem::mnEditUndo]);
        EXPECT_FALSE(view_.Enabled[EditItem::mnEditRedo]);
        EXPECT_EQ(Caption(EditItem::mnEditUndo), std::string("元に戻す: ") + c.Label + "(&U)");
        EXPECT_EQ(Caption(EditItem::mnEditRedo), "やり直し(&R)");

        for (int round = 0; round < 2; ++round) {
            Undo();
            EXPECT_EQ(Snapshot(), before);
            EXPECT_EQ(view_.Rows, RowNames());
            EXPECT_EQ(view_.Selection, c.Select);
            EXPECT_EQ(view_.Parts.size(), view_.PartTexts().size());
            if (c.OfParts) {
                EXPECT_EQ(Showing(), shownBefore);
                EXPECT_EQ(view_.PartCurrent, form_->PartIndex());
                EXPECT_EQ(view_.Lumi, Current().Lumi);
            }
            EXPECT_EQ(view_.Preview, ExpectedPreview());
            EXPECT_FALSE(form_->IsModified());
            EXPECT_FALSE(view_.Enabled[EditItem::mnEditUndo]);
            EXPECT_TRUE(view_.Enabled[EditItem::mnEditRedo]);
            EXPECT_EQ(Caption(EditItem::mnEditRedo), std::string("やり直し: ") + c.Label + "(&R)");
            Redo();
            EXPECT_EQ(Snapshot(), after);
            EXPECT_EQ(view_.Rows, RowNames());
            EXPECT_EQ(view_.Selection, shownAfter.Selection);
            if (c.OfParts) {
                EXPECT_EQ(Showing(), shownAfter);
            }
            EXPECT_EQ(view_.Preview, ExpectedPreview());
            EXPECT_TRUE(form_->IsModified());
        }
    }
}

// --- What an undo shows ---------------------------------------------------------------

TEST_F(EditorUndo, UndoShowsTheRowsAndThePartThatCameBack) {
    Add("A", PatternOf({{3, 1}, {4, 3}, {1, 4}}));
    Add({"B", "C"});
    Open();
    form_->PartsListClick(2);
    form_->MenuClick(EditItem::mnPDelete);
    EXPECT_EQ(view_.PartCurrent, 0);
    form_->PatternListClick({2});
    Undo();
    // Back on "A" with the deleted part current.
    EXPECT_EQ(view_.Selection, Rows{0});
    EXPECT_EQ(view_.PartCurrent, 2);
    EXPECT_EQ(view_.Parts.size(), 4u);
    EXPECT_EQ(view_.Status, "描画範囲：ボタン名領域   描画色：ボタン色");

    // Deleted rows come back selected, in their places.
    form_->PatternListClick({1, 2});
    prompts_->MessageAnswers.push_back(MsgResult::Ok);
    form_->MenuClick(EditItem::mnDelete);
    EXPECT_EQ(view_.Rows, Strings{"A"});
    Undo();
    EXPECT_EQ(view_.Rows, (Strings{"A", "B", "C"}));
    EXPECT_EQ(view_.Selection, (Rows{1, 2}));
    EXPECT_TRUE(view_.Parts.empty());
}

TEST_F(EditorUndo, ANewEditAfterAnUndoDiscardsTheRedoSteps) {
    Add({"A"});
    Open();
    form_->MenuClick(EditItem::mnNew);
    form_->MenuClick(EditItem::mnNew);
    Undo();
    EXPECT_TRUE(form_->IsEnabled(EditItem::mnEditRedo));
    form_->MenuClick(EditItem::mnCopy);
    EXPECT_FALSE(form_->IsEnabled(EditItem::mnEditRedo));
    EXPECT_EQ(form_->History().Count(), 2u);
    // A redo without a step does nothing.
    Redo();
    EXPECT_EQ(RowNames(), (Strings{"A", "新規パターン", "新規パターン2"}));
    Undo();
    Undo();
    EXPECT_EQ(RowNames(), Strings{"A"});
    EXPECT_FALSE(form_->IsModified());
}

// A drag or a key press is one step however many positions it passes; the
// end of one and the start of the next are two steps.
TEST_F(EditorUndo, ColourControlsMakeOneStepPerGesture) {
    Add("A", PatternOf({{3, 1}}, 1));
    Open();
    Drag(1, 0, false, {2, 3, 4}, true);
    Drag(4, 0, false, {5}, true);
    Drag(5, 0, false, {1, 2}, false);
    EXPECT_EQ(form_->History().Count(), 3u);
    // A report of the position the bar already has is no step.
    form_->ColorAdjustChange(5, 2, false);
    form_->ColorAdjustDone();
    EXPECT_EQ(form_->History().Count(), 3u);
    Undo();
    EXPECT_EQ(Current().Hue, 0);
    EXPECT_EQ(view_.Hue, 0);
    Undo();
    EXPECT_EQ(Current().Lumi, 4);
    EXPECT_EQ(view_.Lumi, 4);
    Undo();
    EXPECT_EQ(Current().Lumi, 1);
    EXPECT_FALSE(form_->IsModified());
}

// Another pattern selected while a track bar is held: its change is a step
// of its own, and undoing it leaves the first pattern alone.
TEST_F(EditorUndo, AGestureDoesNotReachIntoAnotherPattern) {
    Add({"A", "B"});
    Open();
    form_->ColorAdjustChange(3, 0, false);
    form_->PatternListClick({1});
    form_->ColorAdjustChange(6, 0, false);
    form_->ColorAdjustDone();
    EXPECT_EQ(form_->History().Count(), 2u);
    Undo();
    EXPECT_EQ(form_->Rows()[0].Pattern->Lumi, 3);
    EXPECT_EQ(form_->Rows()[1].Pattern->Lumi, 1);
}

// What a fill switch leaves in the part (the colour for a later switch
// back) comes back with the undo, not only what the stored form carries.
TEST_F(EditorUndo, UndoBringsBackTheColourAFillKeeps) {
    Add("A", PatternOf({{3, 1}}));
    Open();
    form_->PartsListClick(1);
    form_->MenuClick(EditItem::mnBtn);
    prompts_->ColorAnswers.push_back(kBlue);
    form_->MenuClick(EditItem::mnMono);
    Undo();
    EXPECT_EQ(Current().Parts(1)->Fill, fkBtn);
    Undo();
    EXPECT_EQ(Current().Parts(1)->Fill, fkMono);
    EXPECT_EQ(Current().Parts(1)->Color, 0x0000FF00u);
    EXPECT_TRUE(view_.Checked[EditItem::mnMono]);
    EXPECT_TRUE(RowShowsPart(1));
}

// --- Cancelled dialogs, the trial, OK and Cancel ------------------------------------------

TEST_F(EditorUndo, WhatChangesNothingIsNoStep) {
    Add({"A", "B"});
    Open();
    form_->PartsListClick(0);
    prompts_->ColorAnswers.push_back(std::nullopt);
    form_->MenuClick(EditItem::mnMono);
    dialogs_.GradientAnswers.push_back(std::nullopt);
    form_->MenuClick(EditItem::mnGrad);
    host_.NameAnswers.push_back(std::nullopt);
    form_->MenuClick(EditItem::mnRename);
    prompts_->MessageAnswers.push_back(MsgResult::Cancel);
    form_->MenuClick(EditItem::mnDelete);
    form_->MenuClick(EditItem::mnImport); // no file chosen
    form_->MenuClick(EditItem::mnUpper);  // the first row
    form_->MenuClick(EditItem::mnPad);
    form_->MenuClick(EditItem::mnInfo);
    EXPECT_EQ(form_->History().Count(), 0u);
    EXPECT_FALSE(view_.Enabled[EditItem::mnEditUndo]);
    // The trial keeps its own undo.
    EXPECT_TRUE(form_->IsEnabled(EditItem::mnUndo));
    form_->MenuClick(EditItem::mnUndo);
    EXPECT_EQ(host_.WallPaper, std::string("old.bmp"));
    EXPECT_FALSE(form_->IsModified());
}

TEST_F(EditorUndo, CancelAsksOnlyWhileTheCopyDiffersFromTheLibrary) {
    Add({"A"});
    Open();
    form_->MenuClick(EditItem::mnNew);
    Undo();
    form_->MenuClick(EditItem::mnCancel);
    EXPECT_TRUE(prompts_->Messages().empty());
    EXPECT_EQ(view_.Closed, 1);

    Open();
    form_->MenuClick(EditItem::mnNew);
    form_->MenuClick(EditItem::mnNew);
    Undo();
    prompts_->MessageAnswers.push_back(MsgResult::Cancel);
    form_->MenuClick(EditItem::mnCancel);
    EXPECT_EQ(prompts_->Messages(), Strings{"編集結果を破棄してよろしいですか？"});
    // Redone after the question, and kept with OK.
    Redo();
    form_->MenuClick(EditItem::mnExit);
    EXPECT_EQ(library_.Count(), 3);
}

// OK after every step was undone leaves the library exactly as it was, the
// colours its parts' fills do not use included.
TEST_F(EditorUndo, OkAfterEverythingUndoneKeepsTheLibrary) {
    auto a = PatternOf({{3, 3}});
    a->Parts(1)->Color = kBlue;
    Add("A", std::move(a));
    Open();
    form_->ColorAdjustChange(2, 0, false);
    form_->ColorAdjustDone();
    Undo();
    form_->MenuClick(EditItem::mnExit);
    EXPECT_EQ(library_.Pattern(0).Parts(1)->Color, kBlue);
    EXPECT_EQ(library_.Pattern(0).Lumi, 0);
}

// --- The history's reach ------------------------------------------------------------------

TEST_F(EditorUndo, AThousandStepsAreKept) {
    Add({"A"});
    Open();
    constexpr int kSteps = 1200;
    for (int i = 1; i <= kSteps; ++i) {
        form_->ColorAdjustChange(i % 2 == 0 ? 1 : -1, 0, false);
        form_->ColorAdjustDone();
    }
    int undone = 0;
    while (form_->IsEnabled(EditItem::mnEditUndo)) {
        Undo();
        ++undone;
    }
    EXPECT_GE(undone, 1000);
    EXPECT_LE(undone, kSteps);
    // The oldest steps went: the state the window began with is out of reach.
    EXPECT_TRUE(form_->IsModified() || undone == kSteps);
}

} // namespace
} // namespace pelmora::testing
