// The pattern editor's pad commands (the settings panel, re-capture, trial
// and undo), OK, Cancel, closing, the window's bounds and event errors.
#include "EditorFakes.h"

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
    form = std::make_unique<PatternEditorLogic>(library, settings, host, dialogs, view);
    EXPECT_EQ(view.padValues, "");
    form->FormShow();
    EXPECT_EQ(view.padValues, "80×60\nアイコンの下\nオフ\n    8000000F");
    EXPECT_EQ(view.padMark, "□");
    EXPECT_EQ(view.padMarkColor, SystemColor(kColorWindowText));
    // Later shows change nothing.
    form->PatternListClick({});
    form->FormShow();
    EXPECT_EQ(form->CurrentPattern(), nullptr);
}

TEST_F(PadPanel, RecaptureReadsThePadAgain) {
    struct Case {
        PadValues values;
        const char* text;
        const char* mark;
        TColor markColor;
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
        const int reads = host.padReads;
        host.nextPad = DerivePadInfo(c.values, 12);
        form->MenuClick(EditItem::mnInfo);
        EXPECT_EQ(host.padReads, reads + 1);
        EXPECT_EQ(view.padValues, c.text);
        EXPECT_EQ(view.padMark, c.mark);
        EXPECT_EQ(view.padMarkColor, c.markColor);
        EXPECT_EQ(view.preview.Width(), c.values.BtnWidth + 4);
        EXPECT_EQ(view.preview.Height(), c.values.BtnHeight + 4);
    }
}

using TrialOnThePad = EditorTest;

TEST_F(TrialOnThePad, TwoTrialsThenUndoRestoreTheFirstWallpaper) {
    Add({"A", "B"});
    Open();
    const fs::path trial = form->TrialFilePath();
    EXPECT_EQ(trial.filename().string().rfind("pel", 0), 0u);
    EXPECT_TRUE(fs::exists(trial));
    EXPECT_FALSE(Enabled(EditItem::mnUndo));

    form->MenuClick(EditItem::mnPad);
    EXPECT_TRUE(form->IsTrialApplied());
    EXPECT_EQ(host.wallPaperReads, 1);
    EXPECT_EQ(host.wallPaperSets, Strings{trial.string()});
    EXPECT_EQ(LoadBmp(trial), DrawWallpaper(library.Pattern(0), host.pad));
    EXPECT_TRUE(Enabled(EditItem::mnUndo));

    form->PatternListClick({1});
    form->MenuClick(EditItem::mnPad);
    EXPECT_EQ(host.wallPaperReads, 1);
    EXPECT_EQ(host.wallPaperSets, (Strings{trial.string(), trial.string()}));
    EXPECT_EQ(LoadBmp(trial), DrawWallpaper(library.Pattern(1), host.pad));

    form->MenuClick(EditItem::mnUndo);
    EXPECT_EQ(host.wallPaperSets.back(), "old.bmp");
    EXPECT_FALSE(form->IsTrialApplied());
    EXPECT_FALSE(Enabled(EditItem::mnUndo));
    // Trying and undoing changes no pattern.
    EXPECT_FALSE(form->IsModified());

    // The next trial reads the pad's wallpaper afresh.
    form->MenuClick(EditItem::mnPad);
    EXPECT_EQ(host.wallPaperReads, 2);
}

TEST_F(TrialOnThePad, ReadsThePadAgainAndShowsIt) {
    Add({"A"});
    Open();
    host.nextPad = DerivePadInfo(PadValues{30, 20, 0, 0, 0x00FF0000}, 12);
    form->PatternListDblClick();
    EXPECT_EQ(view.padValues, "30×20\n表示なし\nオフ\n    00FF0000");
    EXPECT_EQ(LoadBmp(form->TrialFilePath()).Width(), 34);
    EXPECT_EQ(view.preview.Width(), 34);
}

TEST_F(TrialOnThePad, WithoutAnOldWallpaperUndoSetsItEmpty) {
    Add({"A"});
    host.wallPaper.reset();
    Open();
    form->MenuClick(EditItem::mnPad);
    form->MenuClick(EditItem::mnUndo);
    EXPECT_EQ(host.wallPaperSets.back(), "");
}

TEST_F(TrialOnThePad, FileErrorShowsABoxAndTheWindowGoesOn) {
    // The trial file cannot be written once its folder is gone.
    host.trialFolder = dir / "gone";
    fs::create_directories(host.trialFolder);
    Add({"A"});
    Open();
    fs::remove_all(host.trialFolder);
    form->MenuClick(EditItem::mnPad);
    ASSERT_EQ(prompts->shown.size(), 1u);
    EXPECT_EQ(prompts->shown[0].kind, MsgKind::Error);
    EXPECT_FALSE(prompts->shown[0].text.empty());
    EXPECT_FALSE(form->IsTrialApplied());
    EXPECT_TRUE(host.wallPaperSets.empty());
    EXPECT_EQ(view.closed, 0);
    form->MenuClick(EditItem::mnNew);
    EXPECT_EQ(view.rows.size(), 2u);
}

using OkAndCancel = EditorTest;

TEST_F(OkAndCancel, OkAfterATrialKeepsItBesideTheSettings) {
    Add({"A"});
    Open();
    const fs::path trial = form->TrialFilePath();
    form->MenuClick(EditItem::mnPad);
    prompts->messageAnswers.push_back(MsgResult::Yes);
    form->mnExitClick();
    EXPECT_EQ(prompts->Messages(), Strings{"仮適用した壁紙をそのまま使いますか？"});
    EXPECT_EQ(prompts->shown.back().buttons, MsgButtons::YesNo);
    EXPECT_EQ(prompts->shown.back().title, "確認");
    EXPECT_EQ(host.wallPaperSets.back(), host.WallpaperText());
    EXPECT_EQ(LoadBmp(host.WallpaperFile()), DrawWallpaper(library.Pattern(0), host.pad));
    EXPECT_EQ(view.closed, 1);
    Close();
    EXPECT_FALSE(fs::exists(trial));
    EXPECT_EQ(host.closed, 1);
    // Nothing more is set when the window goes.
    EXPECT_EQ(host.wallPaperSets.size(), 2u);
}

TEST_F(OkAndCancel, OkAfterATrialDeclinedRestoresTheWallpaper) {
    Add({"A"});
    Open();
    form->MenuClick(EditItem::mnPad);
    prompts->messageAnswers.push_back(MsgResult::No);
    form->MenuClick(EditItem::mnExit);
    EXPECT_EQ(host.wallPaperSets.back(), "old.bmp");
    EXPECT_EQ(view.closed, 1);
    Close();
    EXPECT_EQ(host.wallPaperSets.size(), 2u);
}

TEST_F(OkAndCancel, OkWithoutChangesLeavesTheLibraryAlone) {
    Add({"A", "B"});
    const TPatrn* first = &library.Pattern(0);
    Open();
    form->PatternListClick({1});
    form->mnExitClick();
    EXPECT_TRUE(prompts->shown.empty());
    EXPECT_EQ(view.closed, 1);
    Close();
    EXPECT_EQ(&library.Pattern(0), first);
    EXPECT_EQ(host.closed, 1);
}

// The working patterns themselves become the library: a third copy of a large
// library is what ran a 32-bit launcher out of memory.
TEST_F(OkAndCancel, OkAfterChangesHandsTheWorkingPatternsToTheLibrary) {
    Add({"A", "B"});
    Open();
    form->MenuClick(EditItem::mnLower);
    form->MenuClick(EditItem::mnNew);
    const TPatrn* working = form->Rows()[0].Pattern.get();
    form->mnExitClick();
    EXPECT_EQ(library.Names(), (Strings{"B", "A", Sj("新規パターン")}));
    EXPECT_EQ(library.Pattern(0).Lumi, 1);
    EXPECT_EQ(library.Pattern(1).Lumi, 0);
    EXPECT_EQ(library.Pattern(2).Count(), 2);
    EXPECT_EQ(&library.Pattern(0), working);
    EXPECT_TRUE(form->Rows().empty());
    EXPECT_EQ(form->CurrentPattern(), nullptr);
}

TEST_F(OkAndCancel, OkWhoseWallpaperCannotBeWrittenChangesNothing) {
    Add({"A"});
    const TPatrn* first = &library.Pattern(0);
    host.wallpaperFile = dir / "no such folder" / "settings.bmp";
    Open();
    form->MenuClick(EditItem::mnNew);
    form->MenuClick(EditItem::mnPad);
    prompts->messageAnswers.push_back(MsgResult::Yes);
    form->mnExitClick();
    ASSERT_EQ(prompts->shown.size(), 2u);
    EXPECT_EQ(prompts->shown[1].kind, MsgKind::Error);
    EXPECT_EQ(view.closed, 0);
    EXPECT_TRUE(form->IsTrialApplied());
    EXPECT_EQ(library.Count(), 1);
    EXPECT_EQ(&library.Pattern(0), first);

    // Declining the trial then closes, with the edits in the library.
    prompts->messageAnswers.push_back(MsgResult::No);
    form->mnExitClick();
    EXPECT_EQ(view.closed, 1);
    EXPECT_EQ(host.wallPaperSets.back(), "old.bmp");
    EXPECT_EQ(library.Count(), 2);
}

// The library OK makes is written at the end; one whose settings file the
// plug-in would refuse to read at the next start is refused here, before the
// trial is settled, and the window stays for the user to trim it.
TEST_F(OkAndCancel, OkWhoseSettingsFileWouldBeTooLargeIsRefused) {
    Add({"A"});
    const TPatrn* first = &library.Pattern(0);
    std::string text = "[1]\r\nName=big\r\n";
    for (int i = 0; i < 300'000; ++i) {
        text += std::to_string(i) + "=1\r\n"; // about 30 bytes each when written in full
    }
    host.importFile = dir / "many-parts.ptn";
    std::ofstream(*host.importFile, std::ios::binary) << text;
    Open();
    form->MenuClick(EditItem::mnImport);
    ASSERT_EQ(RowNames(), (Strings{"A", "big"}));
    form->MenuClick(EditItem::mnPad);
    form->MenuClick(EditItem::mnExit);
    EXPECT_EQ(prompts->Messages(), Strings{"設定ファイルが上限の 8 MB を超えるため、編集結果を確定"
                                           "できません。パターンか部品を減らして下さい。"});
    EXPECT_EQ(prompts->shown[0].kind, MsgKind::Error);
    EXPECT_EQ(view.closed, 0);
    EXPECT_TRUE(form->IsTrialApplied());
    EXPECT_EQ(library.Count(), 1);
    EXPECT_EQ(&library.Pattern(0), first);

    // Without the large pattern the OK goes through.
    form->PatternListClick({1});
    prompts->messageAnswers.push_back(MsgResult::Ok); // delete it
    form->MenuClick(EditItem::mnDelete);
    ASSERT_EQ(RowNames(), Strings{"A"});
    prompts->messageAnswers.push_back(MsgResult::No); // the trial is not kept
    form->MenuClick(EditItem::mnExit);
    EXPECT_EQ(view.closed, 1);
    EXPECT_EQ(library.Names(), Strings{"A"});
}

TEST_F(OkAndCancel, CancelWithoutChangesClosesAtOnce) {
    Add({"A"});
    Open();
    form->mnCancelClick();
    EXPECT_TRUE(prompts->shown.empty());
    EXPECT_EQ(view.closed, 1);
    Close();
    EXPECT_TRUE(host.wallPaperSets.empty());
    EXPECT_EQ(host.closed, 1);
}

TEST_F(OkAndCancel, CancelAfterChangesAsks) {
    Add({"A"});
    const TPatrn* first = &library.Pattern(0);
    Open();
    form->MenuClick(EditItem::mnNew);
    prompts->messageAnswers.push_back(MsgResult::Cancel);
    form->MenuClick(EditItem::mnCancel);
    EXPECT_EQ(prompts->Messages(), Strings{"編集結果を破棄してよろしいですか？"});
    EXPECT_EQ(prompts->shown.back().buttons, MsgButtons::OkCancel);
    EXPECT_EQ(prompts->shown.back().title, "確認");
    EXPECT_EQ(view.closed, 0);

    prompts->messageAnswers.push_back(MsgResult::Ok);
    form->mnCancelClick();
    EXPECT_EQ(view.closed, 1);
    Close();
    EXPECT_EQ(library.Count(), 1);
    EXPECT_EQ(&library.Pattern(0), first);
}

TEST_F(OkAndCancel, CancelAfterATrialRestoresTheWallpaper) {
    Add({"A"});
    Open();
    const fs::path trial = form->TrialFilePath();
    form->MenuClick(EditItem::mnPad);
    form->mnCancelClick();
    EXPECT_TRUE(prompts->shown.empty());
    EXPECT_EQ(host.wallPaperSets, (Strings{trial.string(), "old.bmp"}));
    Close();
    EXPECT_FALSE(fs::exists(trial));
}

// The plug-in may end while the editor is open: the window goes without a
// question, and a trial still on the pad is taken back.
TEST_F(OkAndCancel, DestroyedDuringATrialPutsTheWallpaperBack) {
    Add({"A"});
    Open();
    const fs::path trial = form->TrialFilePath();
    form->MenuClick(EditItem::mnPad);
    Close();
    EXPECT_EQ(host.wallPaperSets.back(), "old.bmp");
    EXPECT_FALSE(fs::exists(trial));
    EXPECT_EQ(host.closed, 1);
    EXPECT_EQ(library.Count(), 1);
    EXPECT_TRUE(prompts->shown.empty());
}

using WindowPlace = EditorTest;

TEST_F(WindowPlace, BoundsComeFromTheSettingsAndGoBackThere) {
    Add({"A"});
    settings.Width = 640;
    settings.Height = 480;
    settings.PrevHeight = 150;
    Open();
    EXPECT_EQ(view.bounds.Left, 10);
    EXPECT_EQ(view.bounds.Top, 20);
    EXPECT_EQ(view.bounds.Width, 640);
    EXPECT_EQ(view.bounds.Height, 480);
    EXPECT_EQ(view.previewHeight, 150);

    view.bounds = {30, 40, 700, 500};
    view.userPreviewHeight = 170;
    Close();
    EXPECT_EQ(settings.Left, 30);
    EXPECT_EQ(settings.Top, 40);
    EXPECT_EQ(settings.Width, 700);
    EXPECT_EQ(settings.Height, 500);
    EXPECT_EQ(settings.PrevHeight, 170);
}

TEST_F(WindowPlace, APositionOffTheScreenIsCorrectedAndStoredCorrected) {
    settings.Left = 1025;
    settings.Top = 769;
    Open();
    EXPECT_EQ(settings.Left, 0);
    EXPECT_EQ(settings.Top, 0);
    EXPECT_EQ(view.bounds.Left, 0);
    EXPECT_EQ(view.bounds.Top, 0);

    // On the screen's edge it stays; without a screen nothing is corrected.
    Close();
    settings.Left = 1024;
    settings.Top = 768;
    Open();
    EXPECT_EQ(view.bounds.Left, 1024);
    Close();
    view.screen.reset();
    settings.Left = 5000;
    Open();
    EXPECT_EQ(view.bounds.Left, 5000);
}

TEST_F(WindowPlace, ThePreviewStripIsAtLeast100High) {
    settings.PrevHeight = 20;
    Open();
    EXPECT_EQ(view.previewHeight, 100);
}

// A window never shown has no strip the user could have moved: the height it
// was given is stored.
TEST_F(WindowPlace, NeverShownStoresTheHeightItWasGiven) {
    settings.PrevHeight = 20;
    form = std::make_unique<PatternEditorLogic>(library, settings, host, dialogs, view);
    view.userPreviewHeight = 333;
    Close();
    EXPECT_EQ(settings.PrevHeight, 100);
    EXPECT_EQ(host.closed, 1);
}

} // namespace
} // namespace pelmora::testing
