// The pattern editor's pad commands (the settings panel, re-capture, trial
// and undo), OK, Cancel, closing, the window's bounds and event errors.
#include "EditorFakes.h"

#include "library/SettingsFile.h"
#include "library/Wallpaper.h"
#include "platform/bmp.h"
#include "platform/syscolors.h"

#include <fstream>

namespace pelmora::testing {
namespace {

using Strings = std::vector<std::string>;
namespace fs = std::filesystem;

using PadPanel = EditorTest;

TEST_F(PadPanel, ShowsThePadsSettingsAtTheFirstShow) {
    Add({"A"});
    form_ = std::make_unique<PatternEditorLogic>(library_, settings_, host_, dialogs_, view_);
    EXPECT_EQ(view_.PadValues, "");
    form_->FormShow();
    EXPECT_EQ(view_.PadValues, "80×60\nアイコンの下\nオフ\n    8000000F");
    EXPECT_EQ(view_.PadMark, "□");
    EXPECT_EQ(view_.PadMarkColor, SystemColor(kColorWindowText));
    // Later shows change nothing.
    form_->PatternListClick({});
    form_->FormShow();
    EXPECT_EQ(form_->CurrentPattern(), nullptr);
}

TEST_F(PadPanel, RecaptureReadsThePadAgain) {
    struct Case {
        PadValues Values;
        const char* Text;
        const char* Mark;
        TColor MarkColor;
    };
    const Case cases[] = {
        {{120, 40, 2, 1, 0x00FF0000}, "120×40\nアイコンの右\nオン\n    00FF0000", "■", 0x00FF0000},
        {{40, 60, 0, 0, 0x00F0F0F0}, "40×60\n表示なし\nオフ\n    00F0F0F0", "□", 0},
        {{20, 20, 1, 0, static_cast<std::int32_t>(0xFF00000F)},
         "20×20\nアイコンの下\nオフ\n    FF00000F",
         "□",
         0},
    };
    Add({"A"});
    Open();
    for (const Case& c : cases) {
        const int reads = host_.PadReads;
        host_.NextPad = DerivePadInfo(c.Values, 12);
        form_->MenuClick(EditItem::mnInfo);
        EXPECT_EQ(host_.PadReads, reads + 1);
        EXPECT_EQ(view_.PadValues, c.Text);
        EXPECT_EQ(view_.PadMark, c.Mark);
        EXPECT_EQ(view_.PadMarkColor, c.MarkColor);
        EXPECT_EQ(view_.Preview.Width(), c.Values.BtnWidth + 4);
        EXPECT_EQ(view_.Preview.Height(), c.Values.BtnHeight + 4);
    }
}

using TrialOnThePad = EditorTest;

TEST_F(TrialOnThePad, TwoTrialsThenUndoRestoreTheFirstWallpaper) {
    Add({"A", "B"});
    Open();
    const fs::path trial = form_->TrialFilePath();
    EXPECT_EQ(trial.filename().string().rfind("pel", 0), 0u);
    EXPECT_TRUE(fs::exists(trial));
    EXPECT_FALSE(Enabled(EditItem::mnUndo));

    form_->MenuClick(EditItem::mnPad);
    EXPECT_TRUE(form_->IsTrialApplied());
    EXPECT_EQ(host_.WallPaperReads, 1);
    EXPECT_EQ(host_.WallPaperSets, Strings{trial.string()});
    EXPECT_EQ(LoadBmp(trial), DrawWallpaper(library_.Pattern(0), host_.Pad));
    EXPECT_TRUE(Enabled(EditItem::mnUndo));

    form_->PatternListClick({1});
    form_->MenuClick(EditItem::mnPad);
    EXPECT_EQ(host_.WallPaperReads, 1);
    EXPECT_EQ(host_.WallPaperSets, (Strings{trial.string(), trial.string()}));
    EXPECT_EQ(LoadBmp(trial), DrawWallpaper(library_.Pattern(1), host_.Pad));

    form_->MenuClick(EditItem::mnUndo);
    EXPECT_EQ(host_.WallPaperSets.back(), "old.bmp");
    EXPECT_FALSE(form_->IsTrialApplied());
    EXPECT_FALSE(Enabled(EditItem::mnUndo));
    // Trying and undoing changes no pattern.
    EXPECT_FALSE(form_->IsModified());

    // The next trial reads the pad's wallpaper afresh.
    form_->MenuClick(EditItem::mnPad);
    EXPECT_EQ(host_.WallPaperReads, 2);
}

TEST_F(TrialOnThePad, ReadsThePadAgainAndShowsIt) {
    Add({"A"});
    Open();
    host_.NextPad = DerivePadInfo(PadValues{30, 20, 0, 0, 0x00FF0000}, 12);
    form_->PatternListDblClick();
    EXPECT_EQ(view_.PadValues, "30×20\n表示なし\nオフ\n    00FF0000");
    EXPECT_EQ(LoadBmp(form_->TrialFilePath()).Width(), 34);
    EXPECT_EQ(view_.Preview.Width(), 34);
}

TEST_F(TrialOnThePad, WithoutAnOldWallpaperUndoSetsItEmpty) {
    Add({"A"});
    host_.WallPaper.reset();
    Open();
    form_->MenuClick(EditItem::mnPad);
    form_->MenuClick(EditItem::mnUndo);
    EXPECT_EQ(host_.WallPaperSets.back(), "");
}

TEST_F(TrialOnThePad, FileErrorShowsABoxAndTheWindowGoesOn) {
    // The trial file cannot be written once its folder is gone.
    host_.TrialFolder = dir_ / "gone";
    fs::create_directories(host_.TrialFolder);
    Add({"A"});
    Open();
    fs::remove_all(host_.TrialFolder);
    form_->MenuClick(EditItem::mnPad);
    ASSERT_EQ(prompts_->Shown.size(), 1u);
    EXPECT_EQ(prompts_->Shown[0].Kind, MsgKind::Error);
    EXPECT_FALSE(prompts_->Shown[0].Text.empty());
    EXPECT_FALSE(form_->IsTrialApplied());
    EXPECT_TRUE(host_.WallPaperSets.empty());
    EXPECT_EQ(view_.Closed, 0);
    form_->MenuClick(EditItem::mnNew);
    EXPECT_EQ(view_.Rows.size(), 2u);
}

// A wallpaper file of each pad's own: a choice the Pattern menu shows checked
// while it is on, kept in the settings record (and so in the settings file
// the end writes, only while it is on). It is the module's, not an edit:
// it holds at once and Cancel keeps it.
using WallpaperFileChoice = EditorTest;

TEST_F(WallpaperFileChoice, TheCheckedEntryTurnsTheStoredChoice) {
    for (const bool stored : {false, true}) {
        SCOPED_TRACE(stored);
        settings_.WallPaperPerPad = stored;
        Add({"A"});
        Open();
        EXPECT_EQ(view_.Checked.at(EditItem::mnPerPadFile), stored);
        EXPECT_TRUE(form_->IsEnabled(EditItem::mnPerPadFile));
        view_.Checked.clear();
        form_->mnPatternClick();
        EXPECT_EQ(view_.Checked.at(EditItem::mnPerPadFile), stored);

        form_->MenuClick(EditItem::mnPerPadFile);
        EXPECT_EQ(settings_.WallPaperPerPad, !stored);
        EXPECT_EQ(view_.Checked.at(EditItem::mnPerPadFile), !stored);
        EXPECT_FALSE(form_->IsModified());
        const std::string text = SettingsFileText(settings_, PatternsOf(library_));
        EXPECT_EQ(text.find("ExportDir=\r\nWallPaperPerPad=1\r\n") != std::string::npos, !stored);
        EXPECT_EQ(text.find("WallPaperPerPad") != std::string::npos, !stored);

        form_->MenuClick(EditItem::mnCancel);
        EXPECT_EQ(view_.Closed, 1);
        EXPECT_TRUE(prompts_->Shown.empty()) << "no edit to ask about";
        Close();
        EXPECT_EQ(settings_.WallPaperPerPad, !stored);
        library_.Clear();
        view_ = RecordingView();
    }
}

using OkAndCancel = EditorTest;

TEST_F(OkAndCancel, OkAfterATrialKeepsItBesideTheSettings) {
    Add({"A"});
    Open();
    const fs::path trial = form_->TrialFilePath();
    form_->MenuClick(EditItem::mnPad);
    prompts_->MessageAnswers.push_back(MsgResult::Yes);
    form_->mnExitClick();
    EXPECT_EQ(prompts_->Messages(), Strings{"仮適用した壁紙をそのまま使いますか？"});
    EXPECT_EQ(prompts_->Shown.back().Buttons, MsgButtons::YesNo);
    EXPECT_EQ(prompts_->Shown.back().Title, "確認");
    EXPECT_EQ(host_.WallPaperSets.back(), host_.WallpaperText());
    EXPECT_EQ(LoadBmp(host_.WallpaperFile()), DrawWallpaper(library_.Pattern(0), host_.Pad));
    EXPECT_EQ(view_.Closed, 1);
    Close();
    EXPECT_FALSE(fs::exists(trial));
    EXPECT_EQ(host_.Closed, 1);
    // Nothing more is set when the window goes.
    EXPECT_EQ(host_.WallPaperSets.size(), 2u);
}

TEST_F(OkAndCancel, OkAfterATrialDeclinedRestoresTheWallpaper) {
    Add({"A"});
    Open();
    form_->MenuClick(EditItem::mnPad);
    prompts_->MessageAnswers.push_back(MsgResult::No);
    form_->MenuClick(EditItem::mnExit);
    EXPECT_EQ(host_.WallPaperSets.back(), "old.bmp");
    EXPECT_EQ(view_.Closed, 1);
    Close();
    EXPECT_EQ(host_.WallPaperSets.size(), 2u);
}

TEST_F(OkAndCancel, OkWithoutChangesLeavesTheLibraryAlone) {
    Add({"A", "B"});
    const TPatrn* first = &library_.Pattern(0);
    Open();
    form_->PatternListClick({1});
    form_->mnExitClick();
    EXPECT_TRUE(prompts_->Shown.empty());
    EXPECT_EQ(view_.Closed, 1);
    Close();
    EXPECT_EQ(&library_.Pattern(0), first);
    EXPECT_EQ(host_.Closed, 1);
}

// The working patterns themselves become the library: a third copy of a large
// library is what ran a 32-bit launcher out of memory.
TEST_F(OkAndCancel, OkAfterChangesHandsTheWorkingPatternsToTheLibrary) {
    Add({"A", "B"});
    Open();
    form_->MenuClick(EditItem::mnLower);
    form_->MenuClick(EditItem::mnNew);
    const TPatrn* working = form_->Rows()[0].Pattern.get();
    form_->mnExitClick();
    EXPECT_EQ(library_.Names(), (Strings{"B", "A", Sj("新規パターン")}));
    EXPECT_EQ(library_.Pattern(0).Lumi, 1);
    EXPECT_EQ(library_.Pattern(1).Lumi, 0);
    EXPECT_EQ(library_.Pattern(2).Count(), 2);
    EXPECT_EQ(&library_.Pattern(0), working);
    EXPECT_TRUE(form_->Rows().empty());
    EXPECT_EQ(form_->CurrentPattern(), nullptr);
}

TEST_F(OkAndCancel, OkWhoseWallpaperCannotBeWrittenChangesNothing) {
    Add({"A"});
    const TPatrn* first = &library_.Pattern(0);
    host_.WallpaperPath = dir_ / "no such folder" / "settings.bmp";
    Open();
    form_->MenuClick(EditItem::mnNew);
    form_->MenuClick(EditItem::mnPad);
    prompts_->MessageAnswers.push_back(MsgResult::Yes);
    form_->mnExitClick();
    ASSERT_EQ(prompts_->Shown.size(), 2u);
    EXPECT_EQ(prompts_->Shown[1].Kind, MsgKind::Error);
    EXPECT_EQ(view_.Closed, 0);
    EXPECT_TRUE(form_->IsTrialApplied());
    EXPECT_EQ(library_.Count(), 1);
    EXPECT_EQ(&library_.Pattern(0), first);

    // Declining the trial then closes, with the edits in the library.
    prompts_->MessageAnswers.push_back(MsgResult::No);
    form_->mnExitClick();
    EXPECT_EQ(view_.Closed, 1);
    EXPECT_EQ(host_.WallPaperSets.back(), "old.bmp");
    EXPECT_EQ(library_.Count(), 2);
}

// The library OK makes is written at the end; one whose settings file the
// plug-in would refuse to read at the next start is refused here, before the
// trial is settled, and the window stays for the user to trim it.
TEST_F(OkAndCancel, OkWhoseSettingsFileWouldBeTooLargeIsRefused) {
    Add({"A"});
    const TPatrn* first = &library_.Pattern(0);
    std::string text = "[1]\r\nName=big\r\n";
    for (int i = 0; i < 300'000; ++i) {
        text += std::to_string(i) + "=1\r\n"; // about 30 bytes each when written in full
    }
    host_.ImportFile = dir_ / "many-parts.ptn";
    std::ofstream(*host_.ImportFile, std::ios::binary) << text;
    Open();
    form_->MenuClick(EditItem::mnImport);
    ASSERT_EQ(RowNames(), (Strings{"A", "big"}));
    form_->MenuClick(EditItem::mnPad);
    form_->MenuClick(EditItem::mnExit);
    EXPECT_EQ(prompts_->Messages(), Strings{"設定ファイルが上限の 8 MB を超えるため、編集結果を確定"
                                            "できません。パターンか部品を減らして下さい。"});
    EXPECT_EQ(prompts_->Shown[0].Kind, MsgKind::Error);
    EXPECT_EQ(view_.Closed, 0);
    EXPECT_TRUE(form_->IsTrialApplied());
    EXPECT_EQ(library_.Count(), 1);
    EXPECT_EQ(&library_.Pattern(0), first);

    // Without the large pattern the OK goes through.
    form_->PatternListClick({1});
    prompts_->MessageAnswers.push_back(MsgResult::Ok); // delete it
    form_->MenuClick(EditItem::mnDelete);
    ASSERT_EQ(RowNames(), Strings{"A"});
    prompts_->MessageAnswers.push_back(MsgResult::No); // the trial is not kept
    form_->MenuClick(EditItem::mnExit);
    EXPECT_EQ(view_.Closed, 1);
    EXPECT_EQ(library_.Names(), Strings{"A"});
}

TEST_F(OkAndCancel, CancelWithoutChangesClosesAtOnce) {
    Add({"A"});
    Open();
    form_->mnCancelClick();
    EXPECT_TRUE(prompts_->Shown.empty());
    EXPECT_EQ(view_.Closed, 1);
    Close();
    EXPECT_TRUE(host_.WallPaperSets.empty());
    EXPECT_EQ(host_.Closed, 1);
}

TEST_F(OkAndCancel, CancelAfterChangesAsks) {
    Add({"A"});
    const TPatrn* first = &library_.Pattern(0);
    Open();
    form_->MenuClick(EditItem::mnNew);
    prompts_->MessageAnswers.push_back(MsgResult::Cancel);
    form_->MenuClick(EditItem::mnCancel);
    EXPECT_EQ(prompts_->Messages(), Strings{"編集結果を破棄してよろしいですか？"});
    EXPECT_EQ(prompts_->Shown.back().Buttons, MsgButtons::OkCancel);
    EXPECT_EQ(prompts_->Shown.back().Title, "確認");
    EXPECT_EQ(view_.Closed, 0);

    prompts_->MessageAnswers.push_back(MsgResult::Ok);
    form_->mnCancelClick();
    EXPECT_EQ(view_.Closed, 1);
    Close();
    EXPECT_EQ(library_.Count(), 1);
    EXPECT_EQ(&library_.Pattern(0), first);
}

TEST_F(OkAndCancel, CancelAfterATrialRestoresTheWallpaper) {
    Add({"A"});
    Open();
    const fs::path trial = form_->TrialFilePath();
    form_->MenuClick(EditItem::mnPad);
    form_->mnCancelClick();
    EXPECT_TRUE(prompts_->Shown.empty());
    EXPECT_EQ(host_.WallPaperSets, (Strings{trial.string(), "old.bmp"}));
    Close();
    EXPECT_FALSE(fs::exists(trial));
}

// The plug-in may end while the editor is open: the window goes without a
// question, and a trial still on the pad is taken back.
TEST_F(OkAndCancel, DestroyedDuringATrialPutsTheWallpaperBack) {
    Add({"A"});
    Open();
    const fs::path trial = form_->TrialFilePath();
    form_->MenuClick(EditItem::mnPad);
    Close();
    EXPECT_EQ(host_.WallPaperSets.back(), "old.bmp");
    EXPECT_FALSE(fs::exists(trial));
    EXPECT_EQ(host_.Closed, 1);
    EXPECT_EQ(library_.Count(), 1);
    EXPECT_TRUE(prompts_->Shown.empty());
}

using WindowPlace = EditorTest;

TEST_F(WindowPlace, BoundsComeFromTheSettingsAndGoBackThere) {
    Add({"A"});
    settings_.Width = 640;
    settings_.Height = 480;
    settings_.PrevHeight = 150;
    Open();
    EXPECT_EQ(view_.WindowBox.Left, 10);
    EXPECT_EQ(view_.WindowBox.Top, 20);
    EXPECT_EQ(view_.WindowBox.Width, 640);
    EXPECT_EQ(view_.WindowBox.Height, 480);
    EXPECT_EQ(view_.InitialPreviewHeight, 150);

    view_.WindowBox = {30, 40, 700, 500};
    view_.UserPreviewHeight = 170;
    Close();
    EXPECT_EQ(settings_.Left, 30);
    EXPECT_EQ(settings_.Top, 40);
    EXPECT_EQ(settings_.Width, 700);
    EXPECT_EQ(settings_.Height, 500);
    EXPECT_EQ(settings_.PrevHeight, 170);
}

TEST_F(WindowPlace, APositionOffTheScreenIsCorrectedAndStoredCorrected) {
    settings_.Left = 1025;
    settings_.Top = 769;
    Open();
    EXPECT_EQ(settings_.Left, 0);
    EXPECT_EQ(settings_.Top, 0);
    EXPECT_EQ(view_.WindowBox.Left, 0);
    EXPECT_EQ(view_.WindowBox.Top, 0);

    // On the screen's edge it stays; without a screen nothing is corrected.
    Close();
    settings_.Left = 1024;
    settings_.Top = 768;
    Open();
    EXPECT_EQ(view_.WindowBox.Left, 1024);
    Close();
    view_.ScreenArea.reset();
    settings_.Left = 5000;
    Open();
    EXPECT_EQ(view_.WindowBox.Left, 5000);
}

TEST_F(WindowPlace, ThePreviewStripIsAtLeast100High) {
    settings_.PrevHeight = 20;
    Open();
    EXPECT_EQ(view_.InitialPreviewHeight, 100);
}

// A window never shown has no strip the user could have moved: the height it
// was given is stored.
TEST_F(WindowPlace, NeverShownStoresTheHeightItWasGiven) {
    settings_.PrevHeight = 20;
    form_ = std::make_unique<PatternEditorLogic>(library_, settings_, host_, dialogs_, view_);
    view_.UserPreviewHeight = 333;
    Close();
    EXPECT_EQ(settings_.PrevHeight, 100);
    EXPECT_EQ(host_.Closed, 1);
}

} // namespace
} // namespace pelmora::testing
