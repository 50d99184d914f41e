// Reading the pad's layout, applying a pattern and the trial protocol.
#include "ModuleFixture.h"

#include "library/IniData.h"
#include "library/PatternLibrary.h"
#include "library/Wallpaper.h"
#include "logic/WallpaperTrial.h"
#include "pattern/PadInfo.h"
#include "platform/bmp.h"
#include "platform/fileio.h"
#include "platform/hostpath.h"
#include "platform/textheight.h"
#include "plugin/ModuleOperations.h"

namespace pelmora::testing {
namespace {

const std::map<std::string, std::string> kPad80x60 = {{"BtnWidth", "80"},
                                                      {"BtnHeight", "60"},
                                                      {"BtnCaption", "1"},
                                                      {"BtnSmallIcon", "0"},
                                                      {"BtnColor", "$204080"}};

using PadLayout = ModuleTest;

TEST_F(PadLayout, FiveSettingsAreReadWithA1024ByteBuffer) {
    StartWith({"A"});
    SetPad(2, kPad80x60);
    Host().Calls.clear();
    TRXMenuClick(0, 2);
    const std::vector<HostCall> reads = Host().CallsTo("TRAGetPadInit");
    const std::string pad = std::to_string(2 + FakeHost::kPadIdOffset);
    ASSERT_EQ(reads.size(), 5u);
    const char* keys[] = {"BtnWidth", "BtnHeight", "BtnCaption", "BtnSmallIcon", "BtnColor"};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(reads[i], (HostCall{"TRAGetPadInit", {pad, keys[i], "1024"}}));
    }
    PadValues values{80, 60, 1, 0, 0x204080};
    EXPECT_EQ(TestModule().State.PadInfo, DerivePadInfo(values, MeasureNameHeight()));
    EXPECT_EQ(TestModule().State.PadInfo.BtnColor, 0x204080);
}

TEST_F(PadLayout, MissingOrUnreadableValuesAreOne) {
    StartWith({"A"});
    SetPad(1, {{"BtnWidth", "wide"}, {"BtnHeight", " 30"}, {"BtnCaption", "0"}});
    Host().MissingKeyFill = "99"; // what a host might leave in the buffer: still read
    TRXMenuClick(0, 1);
    EXPECT_EQ(TestModule().State.PadInfo, DerivePadInfo(PadValues{1, 30, 0, 99, 99}, 0));
    Host().MissingKeyFill.clear();
    TRXMenuClick(0, 1);
    EXPECT_EQ(TestModule().State.PadInfo, DerivePadInfo(PadValues{1, 30, 0, 1, 1}, 0));
}

using ApplyingPatterns = ModuleTest;

TEST_F(ApplyingPatterns, ClickPaintsTheCellBesideTheSettingsAndHandsItToThePad) {
    StartWith({"A", "B"});
    SetPad(2, kPad80x60);
    Host().Calls.clear();
    EXPECT_EQ(TRXMenuClick(2, 2), kTrxTrue);
    const std::filesystem::path bmp = dir_ / "Pelmora.bmp";
    const std::vector<HostCall> sets = Host().CallsTo("TRASetPadInit");
    ASSERT_EQ(sets.size(), 1u);
    EXPECT_EQ(sets[0],
              (HostCall{"TRASetPadInit",
                        {std::to_string(2 + FakeHost::kPadIdOffset), "WallPaper", bmp.string()}}));
    const Bitmap24 written = LoadBmp(bmp);
    EXPECT_EQ(written.Width(), 84);
    EXPECT_EQ(written.Height(), 64);
    EXPECT_EQ(written,
              DrawWallpaper(TestModule().State.Library->Pattern(1), TestModule().State.PadInfo));
    EXPECT_NE(written,
              DrawWallpaper(TestModule().State.Library->Pattern(0), TestModule().State.PadInfo));
    EXPECT_TRUE(prompts_->Shown.empty());
}

TEST_F(ApplyingPatterns, EveryPadGetsTheSameFile) {
    StartWith({"A"});
    SetPad(1, kPad80x60);
    SetPad(2, {{"BtnWidth", "20"}, {"BtnHeight", "10"}, {"BtnCaption", "0"}});
    EXPECT_EQ(TRXMenuClick(1, 1), kTrxTrue);
    EXPECT_EQ(TRXMenuClick(1, 2), kTrxTrue);
    const std::string bmp = (dir_ / "Pelmora.bmp").string();
    EXPECT_EQ(Host().Pads[1 + FakeHost::kPadIdOffset]["WallPaper"], bmp);
    EXPECT_EQ(Host().Pads[2 + FakeHost::kPadIdOffset]["WallPaper"], bmp);
    EXPECT_EQ(LoadBmp(bmp).Width(), 24);
}

// Pads of two button sizes, a pattern applied to each in turn. One shared
// file (the default, as the original): both pads point at it, and it holds
// the cell applied last, so pad 1 shows pad 2's cell. A file per pad: each
// pad its own file, "<settings base>-<pad identifier>.bmp", and its own cell.
// The host hears the same calls either way but for the path.
TEST_F(ApplyingPatterns, OneSharedFileOrAFileOfEachPadsOwn) {
    for (const bool perPad : {false, true}) {
        SCOPED_TRACE(perPad);
        StartWith({"A"});
        TestModule().State.Settings.WallPaperPerPad = perPad;
        SetPad(1, kPad80x60);
        SetPad(2, {{"BtnWidth", "20"}, {"BtnHeight", "10"}, {"BtnCaption", "0"}});
        Host().Calls.clear();
        EXPECT_EQ(TRXMenuClick(1, 1), kTrxTrue);
        EXPECT_EQ(TRXMenuClick(1, 2), kTrxTrue);
        const std::int32_t pad1 = 1 + FakeHost::kPadIdOffset;
        const std::int32_t pad2 = 2 + FakeHost::kPadIdOffset;
        const std::filesystem::path shared = dir_ / "Pelmora.bmp";
        const std::filesystem::path file1 =
            perPad ? dir_ / ("Pelmora-" + std::to_string(pad1) + ".bmp") : shared;
        const std::filesystem::path file2 =
            perPad ? dir_ / ("Pelmora-" + std::to_string(pad2) + ".bmp") : shared;
        EXPECT_EQ(Host().CallsTo("TRASetPadInit"),
                  (std::vector<HostCall>{
                      {"TRASetPadInit", {std::to_string(pad1), "WallPaper", file1.string()}},
                      {"TRASetPadInit", {std::to_string(pad2), "WallPaper", file2.string()}}}));
        EXPECT_EQ(Host().CallsTo("TRAGetPadInit").size(), 10u) << "the layouts only";
        EXPECT_EQ(LoadBmp(file1).Width(), perPad ? 84 : 24);
        EXPECT_EQ(LoadBmp(file2).Width(), 24);
        EXPECT_EQ(std::filesystem::exists(shared), !perPad);
        ASSERT_EQ(TRXEndPlugin(), kTrxTrue);
        std::filesystem::remove(file1);
        std::filesystem::remove(file2);
    }
}

TEST_F(ApplyingPatterns, PadWithoutSettingsGetsAFiveByFiveCell) {
    StartWith({"A"});
    EXPECT_EQ(TRXMenuClick(1, 9), kTrxTrue);
    const Bitmap24 written = LoadBmp(dir_ / "Pelmora.bmp");
    EXPECT_EQ(written.Width(), 5);
    EXPECT_EQ(written.Height(), 5);
}

TEST_F(ApplyingPatterns, RefusedWallpaperGivesFalseButTheFileIsWritten) {
    StartWith({"A"});
    Host().SetPadInitResult = 0;
    EXPECT_EQ(TRXMenuClick(1, 1), kTrxFalse);
    EXPECT_TRUE(std::filesystem::exists(dir_ / "Pelmora.bmp"));
    EXPECT_TRUE(prompts_->Shown.empty());
}

TEST_F(ApplyingPatterns, OversizedCellIsRefusedWithAMessageAndThePadIsUntouched) {
    StartWith({"A"});
    SetPad(1, {{"BtnWidth", "9000"}, {"BtnHeight", "10"}, {"BtnCaption", "0"}});
    EXPECT_EQ(TRXMenuClick(1, 1), kTrxFalse);
    EXPECT_EQ(prompts_->Messages().size(), 1u);
    EXPECT_TRUE(Host().CallsTo("TRASetPadInit").empty());
    EXPECT_FALSE(std::filesystem::exists(dir_ / "Pelmora.bmp"));
}

TEST_F(ApplyingPatterns, UnwritableWallpaperIsShownAndThePadKeepsItsOwn) {
    StartWith({"A"});
    std::filesystem::create_directory(dir_ / "Pelmora.bmp");
    EXPECT_EQ(TRXMenuClick(1, 1), kTrxFalse);
    ASSERT_EQ(prompts_->Messages().size(), 1u);
    EXPECT_NE(prompts_->Messages()[0].find("Pelmora.bmp"), std::string::npos);
    EXPECT_TRUE(Host().CallsTo("TRASetPadInit").empty());
}

TEST_F(ApplyingPatterns, SettingsPathTakenAwayAfterStartWritesNoWallpaperAnywhere) {
    StartWith({"A"});
    ASSERT_EQ(TRXSetInitFile(""), kTrxTrue);
    const auto stray = std::filesystem::current_path() / ".bmp";
    std::filesystem::remove(stray);
    EXPECT_EQ(TRXMenuClick(1, 1), kTrxFalse);
    ASSERT_EQ(prompts_->Messages().size(), 1u);
    EXPECT_EQ(prompts_->Messages()[0],
              "設定ファイルが指定されていないため、壁紙を保存できません。");
    EXPECT_FALSE(std::filesystem::exists(stray));
    EXPECT_TRUE(Host().CallsTo("TRASetPadInit").empty());
}

TEST(WallpaperPath, ExtensionOfTheFileNameIsReplaced) {
    struct Case {
        std::string Settings;
        std::string Wallpaper;
    };
    const std::string hyo = Utf8ToSjis("表"); // its second byte is a backslash
    for (const Case& c : {
             Case{"/a/X.ini", "/a/X.bmp"},
             Case{"/a/X", "/a/X.bmp"},
             Case{"/a.b/X", "/a.b/X.bmp"},
             Case{"/a/X.tar.gz", "/a/X.tar.bmp"},
             Case{"X.ini", "X.bmp"},
             Case{"/a/" + hyo + ".ini", "/a/" + hyo + ".bmp"},
         }) {
        EXPECT_EQ(WallpaperPathFor(c.Settings), c.Wallpaper) << c.Settings;
    }
}

TEST(WallpaperPath, APadsOwnFileCarriesItsIdentifier) {
    struct Case {
        std::string Settings;
        bool PerPad;
        std::int32_t Pad;
        std::string Wallpaper;
    };
    const std::string hyo = Utf8ToSjis("表");
    for (const Case& c : {
             Case{"/a/X.ini", false, 7, "/a/X.bmp"},
             Case{"/a.b/X", true, 12, "/a.b/X-12.bmp"},
             Case{"/a/X.ini", true, -3, "/a/X--3.bmp"},
             Case{"/a/" + hyo + ".ini", true, 1001, "/a/" + hyo + "-1001.bmp"},
         }) {
        TIniData settings;
        settings.WallPaperPerPad = c.PerPad;
        EXPECT_EQ(PadWallpaperPath(c.Settings, settings, c.Pad), c.Wallpaper) << c.Settings;
    }
}

TEST(WallpaperPath, FolderRunsUpToTheLastSeparator) {
    const std::string hyo = Utf8ToSjis("表");
    EXPECT_EQ(FolderOfPath("/a/b/X.ini"), "/a/b/");
    EXPECT_EQ(FolderOfPath("X.ini"), "");
    EXPECT_EQ(FolderOfPath("/X.ini"), "/");
    EXPECT_EQ(FolderOfPath("/d/" + hyo + "/X.ini"), "/d/" + hyo + "/");
}

TEST(HostText, BrokenShiftJisIsShownWithReplacementCharacters) {
    EXPECT_EQ(DisplayText(Utf8ToSjis("表示")), "表示");
    EXPECT_EQ(DisplayText("a\x81"), "a\xEF\xBF\xBD"); // lead byte at the end
    EXPECT_EQ(DisplayText("\xA0"
                          "b"),
              "\xEF\xBF\xBD"
              "b"); // not a character at all
    EXPECT_THROW(HostPathToFs("/tmp/a\x81"), CodecError);
    EXPECT_EQ(PathText(HostPathToFs(Utf8ToSjis("/tmp/表"))), "/tmp/表");
    EXPECT_EQ(FsPathToHost(Utf8ToFsPath("/tmp/表")), Utf8ToSjis("/tmp/表"));
    EXPECT_THROW(FsPathToHost(Utf8ToFsPath("/tmp/\xF0\x9F\x98\x80")), CodecError);
}

TEST(HostText, TrimmingDropsControlCharactersAndBlanksOnly) {
    EXPECT_EQ(TrimBlanks(" \t\r\nA B\x01 "), "A B");
    EXPECT_EQ(TrimBlanks(Utf8ToSjis("　全角")), Utf8ToSjis("　全角")); // an ideographic space stays
    EXPECT_EQ(TrimBlanks("   "), "");
}

// The editor's trial through the module's side of the host: the pad's
// wallpaper read with a 1024-byte buffer and set through the host functions.
using Trial = ModuleTest;

TEST_F(Trial, TwoTrialsThenUndoRestoreTheWallpaperFromBeforeTheFirst) {
    StartWith({"A"});
    SetPad(1, {{"WallPaper", "/old/paper.bmp"}});
    TRXMenuClick(0, 1);
    ModuleOperations& host = *TestModule().Operations;
    std::filesystem::path trialFile;
    {
        WallpaperTrial trial(host);
        trialFile = trial.File();
        EXPECT_EQ(trialFile.filename().string().substr(0, 3), "pel");
        const Bitmap24 first(7, 5, 0x0000FF);
        EXPECT_TRUE(trial.Try(first));
        EXPECT_EQ(LoadBmp(trialFile), first);
        const std::int32_t pad = 1 + FakeHost::kPadIdOffset;
        EXPECT_EQ(Host().Pads[pad]["WallPaper"], trialFile.string());
        EXPECT_TRUE(trial.Try(Bitmap24(3, 3, 0x00FF00)));
        EXPECT_EQ(trial.OldWallPaper(), "/old/paper.bmp");
        const std::vector<HostCall> reads = Host().CallsTo("TRAGetPadInit");
        ASSERT_EQ(reads.size(), 5u + 1u); // the click's reads, one trial read
        EXPECT_EQ(reads.back(),
                  (HostCall{"TRAGetPadInit", {std::to_string(pad), "WallPaper", "1024"}}));
        EXPECT_TRUE(trial.Undo());
        EXPECT_EQ(Host().Pads[pad]["WallPaper"], "/old/paper.bmp");
        EXPECT_FALSE(trial.Applied());
        EXPECT_TRUE(trial.OldWallPaper().empty());
    }
    EXPECT_FALSE(std::filesystem::exists(trialFile));
}

TEST_F(Trial, PadWithoutWallpaperIsRestoredToEmpty) {
    StartWith({"A"});
    TRXMenuClick(0, 1);
    ModuleOperations& host = *TestModule().Operations;
    WallpaperTrial trial(host);
    trial.Try(Bitmap24(2, 2));
    EXPECT_TRUE(trial.Applied());
    EXPECT_EQ(trial.OldWallPaper(), "");
    trial.Undo();
    EXPECT_EQ(Host().Pads[1 + FakeHost::kPadIdOffset]["WallPaper"], "");
}

TEST_F(Trial, KeptTrialBecomesTheWallpaperFile) {
    StartWith({"A"});
    TRXMenuClick(0, 1);
    ModuleOperations& host = *TestModule().Operations;
    WallpaperTrial trial(host);
    const Bitmap24 preview(6, 4, 0x123456);
    trial.Try(preview);
    EXPECT_TRUE(trial.Keep());
    EXPECT_EQ(LoadBmp(dir_ / "Pelmora.bmp"), preview);
    EXPECT_EQ(Host().Pads[1 + FakeHost::kPadIdOffset]["WallPaper"],
              (dir_ / "Pelmora.bmp").string());
    EXPECT_FALSE(trial.Applied());
}

// While each pad has a file of its own, a trial still goes to the trial
// file (an undo puts back the pad's own file untouched); keeping it writes
// the pad's own file.
TEST_F(Trial, KeptTrialGoesToThePadsOwnFileWhileChosen) {
    StartWith({"A"});
    TestModule().State.Settings.WallPaperPerPad = true;
    const std::int32_t pad = 3 + FakeHost::kPadIdOffset;
    const std::filesystem::path own = dir_ / ("Pelmora-" + std::to_string(pad) + ".bmp");
    const Bitmap24 before(3, 3, 0x00FF00);
    SaveBmp(before, own);
    SetPad(3, {{"WallPaper", own.string()}});
    TRXMenuClick(0, 3);
    ModuleOperations& host = *TestModule().Operations;
    WallpaperTrial trial(host);
    const Bitmap24 preview(6, 4, 0x123456);
    trial.Try(preview);
    EXPECT_EQ(Host().Pads[pad]["WallPaper"], trial.File().string());
    EXPECT_EQ(LoadBmp(own), before);
    trial.Undo();
    EXPECT_EQ(Host().Pads[pad]["WallPaper"], own.string());
    trial.Try(preview);
    EXPECT_TRUE(trial.Keep());
    EXPECT_EQ(LoadBmp(own), preview);
    EXPECT_EQ(Host().Pads[pad]["WallPaper"], own.string());
    EXPECT_FALSE(std::filesystem::exists(dir_ / "Pelmora.bmp"));
}

TEST_F(Trial, RefusedSettingIsReported) {
    StartWith({"A"});
    TRXMenuClick(0, 1);
    ModuleOperations& host = *TestModule().Operations;
    WallpaperTrial trial(host);
    Host().SetPadInitResult = 0;
    EXPECT_FALSE(trial.Try(Bitmap24(2, 2)));
    EXPECT_TRUE(trial.Applied());
}

TEST_F(Trial, KeepingWithoutASettingsFileWritesNothingAndTheTrialStays) {
    StartWith({"A"});
    TRXMenuClick(0, 1);
    ModuleOperations& host = *TestModule().Operations;
    WallpaperTrial trial(host);
    trial.Try(Bitmap24(2, 2));
    ASSERT_EQ(TRXSetInitFile(""), kTrxTrue);
    try {
        trial.Keep();
        ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "設定ファイルが指定されていないため、壁紙を保存できません。");
    }
    EXPECT_TRUE(trial.Applied());
    EXPECT_EQ(Host().CallsTo("TRASetPadInit").size(), 1u);
}

} // namespace
} // namespace pelmora::testing
