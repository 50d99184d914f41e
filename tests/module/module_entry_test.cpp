// Entry points, host binding and the plug-in menu.
#include "ModuleFixture.h"

#include <set>

namespace pelmora::testing {
namespace {

const std::string kHostIncomplete = "Tavrin がカリステアに対応していません。";

TEST(HostBinding, MainExecutableExportsAllTwentyFive) {
    EXPECT_TRUE(TestModule().Host.Complete());
    std::set<std::string> names(std::begin(kHostFunctionNames), std::end(kHostFunctionNames));
    EXPECT_EQ(names.size(), 25u);
}

TEST(HostBinding, LooksNamesUpInOrderAndNeedsEveryOne) {
    HostBinding binding;
    std::vector<std::string> asked;
    EXPECT_TRUE(binding.Bind([&](const char* name) {
        asked.push_back(name);
        return reinterpret_cast<void*>(&Host);
    }));
    ASSERT_EQ(asked.size(), 25u);
    EXPECT_EQ(asked.front(), "TRAGetPadCount");
    EXPECT_EQ(asked[1], "TRAGetPadID");
    EXPECT_EQ(asked.back(), "TRAGetIcon");
    for (const std::string& missing : asked) {
        EXPECT_FALSE(binding.Bind([&](const char* name) -> void* {
            return name == missing ? nullptr : reinterpret_cast<void*>(&Host);
        })) << missing;
    }
    EXPECT_FALSE(binding.Bind(nullptr));
    EXPECT_THROW(binding.TRAChangePluginMenus("Pelmora"), std::logic_error);
    EXPECT_TRUE(binding.BindMainExecutable());
}

using EntryPoints = ModuleTest;

TEST_F(EntryPoints, NameIsCutToTheLowSixteenBitsOfTheSize) {
    struct Case {
        std::int32_t Size;
        std::string Expected;
    };
    for (const Case& c : {Case{5, "Pelm"}, Case{0x10005, "Pelm"}, Case{1, ""}, Case{8, "Pelmora"},
                          Case{1024, "Pelmora"}, Case{0x7FFF0008, "Pelmora"}}) {
        std::array<char, 16> buffer;
        buffer.fill('#');
        EXPECT_EQ(TRXGetName(buffer.data(), c.Size), kTrxTrue);
        EXPECT_EQ(std::string(buffer.data()), c.Expected) << c.Size;
    }
    std::array<char, 4> untouched{'#', '#', '#', '#'};
    EXPECT_EQ(TRXGetName(untouched.data(), 0x10000), kTrxTrue);
    EXPECT_EQ(untouched[0], '#');
}

TEST_F(EntryPoints, ExplanationHasSevenLinesOfTheFixedWidth) {
    std::array<char, 1024> buffer{};
    ASSERT_EQ(TRXGetExplanation(buffer.data(), buffer.size()), kTrxTrue);
    const std::string text(buffer.data());
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(text.substr(start, end - start));
    }
    lines.push_back(text.substr(start));
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[0], "");
    EXPECT_EQ(lines[1], "Pelmora");
    for (int i = 2; i <= 5; ++i) {
        EXPECT_EQ(lines[i].size(), 48u) << "line " << i + 1;
    }
    EXPECT_EQ(lines[2].front(), ' ');
    EXPECT_NE(lines[2].back(), ' ');
    EXPECT_EQ(lines[3], std::string(48, '_'));
    EXPECT_EQ(lines[4], std::string(48, ' '));
    EXPECT_EQ(lines[5], Sjis("  登録されたパターンから、ボタンサイズに従って自"));
    EXPECT_EQ(lines[6], Sjis("  動的にTR4用壁紙を生成します。"));
}

TEST_F(EntryPoints, ExplanationIsNeverCutInsideADoubleByteCharacter) {
    std::array<char, 1024> full{};
    TRXGetExplanation(full.data(), full.size());
    const std::string text(full.data());
    const std::size_t lastLine = text.rfind("\r\n") + 2;
    // Room for the two blanks and half of the first double-byte character.
    std::array<char, 1024> cut{};
    TRXGetExplanation(cut.data(), static_cast<std::int32_t>(lastLine + 2 + 1 + 1));
    EXPECT_EQ(std::string(cut.data()), text.substr(0, lastLine + 2));
}

#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))
// A host may run with the x87 unit at 53-bit precision and floating-point
// exceptions unmasked; inside the plug-in the arithmetic has its own
// environment, and the host gets its own back.
TEST_F(EntryPoints, RunWithTheirOwnFloatingPointEnvironment) {
    Start();
    std::uint16_t hostX87 = 0x0272; // 53-bit precision, invalid and zero-divide unmasked
    std::uint32_t hostSse = 0x1900; // invalid, zero-divide and overflow unmasked
    std::uint16_t x87After = 0;
    std::uint32_t sseAfter = 0;
    std::uint16_t x87Before = 0;
    std::uint32_t sseBefore = 0;
    asm volatile("fnstcw %0" : "=m"(x87Before));
    asm volatile("stmxcsr %0" : "=m"(sseBefore));
    asm volatile("fclex");
    asm volatile("fldcw %0" : : "m"(hostX87));
    asm volatile("ldmxcsr %0" : : "m"(hostSse));
    TRXMenuClick(0, 1);
    asm volatile("fnstcw %0" : "=m"(x87After));
    asm volatile("stmxcsr %0" : "=m"(sseAfter));
    asm volatile("fldcw %0" : : "m"(x87Before));
    asm volatile("ldmxcsr %0" : : "m"(sseBefore));
    EXPECT_EQ(Host().X87Seen & 0x0F3F, 0x033F); // 64-bit, nearest, all masked
    EXPECT_EQ(Host().SseSeen & 0xFFC0, 0x1F80u);
    EXPECT_EQ(x87After & 0x1F3F, hostX87 & 0x1F3F);
    EXPECT_EQ(sseAfter & 0xFFC0, hostSse);
}
#endif

TEST_F(EntryPoints, MissingSettingsFileGivesDefaultsAndIsCreatedAtEnd) {
    ASSERT_FALSE(std::filesystem::exists(settings_));
    EXPECT_EQ(Start(), Host().ChangeMenusResult);
    const TIniData& s = TestModule().State.Settings;
    const std::string folder = FolderText(dir_);
    EXPECT_EQ(s.Left, 0);
    EXPECT_EQ(s.Top, 0);
    EXPECT_EQ(s.Width, 400);
    EXPECT_EQ(s.Height, 350);
    EXPECT_EQ(s.PrevHeight, 130);
    EXPECT_EQ(s.ImportDir, folder);
    EXPECT_EQ(s.ExportDir, folder);
    EXPECT_EQ(TRXEndPlugin(), kTrxTrue);
    EXPECT_EQ(ReadBytes(settings_), "[Main]\r\nLeft=0\r\nTop=0\r\nWidth=400\r\nHeight=350\r\n"
                                    "PrevHeight=130\r\nImportDir=" +
                                        folder + "\r\nExportDir=" + folder + "\r\n\r\n");
    EXPECT_TRUE(prompts_->Shown.empty());
}

TEST_F(EntryPoints, MainSettingsAreReadWithDefaultsForUnreadableValues) {
    const std::string text = "[main]\r\nwidth=abc\r\nLeft=$10\r\nTop=-5\r\nHeight=\r\n"
                             "PrevHeight=200\r\nImportDir=/imports/\r\nExtra=1\r\n"
                             "[Other]\r\nKey=Value\r\n";
    EXPECT_EQ(Start(&text), Host().ChangeMenusResult);
    EXPECT_EQ(TRXEndPlugin(), kTrxTrue);
    const std::string folder = FolderText(dir_);
    EXPECT_EQ(ReadBytes(settings_), "[Main]\r\nLeft=16\r\nTop=-5\r\nWidth=400\r\nHeight=350\r\n"
                                    "PrevHeight=200\r\nImportDir=/imports/\r\nExportDir=" +
                                        folder + "\r\n\r\n");
}

TEST_F(EntryPoints, BeginAsksForTheMenuAndPassesTheHostsAnswerBack) {
    Host().ChangeMenusResult = 1234;
    EXPECT_EQ(Start(), 1234);
    ASSERT_EQ(Host().CallsTo("TRAChangePluginMenus").size(), 1u);
    EXPECT_EQ(Host().CallsTo("TRAChangePluginMenus")[0].Args[0], "Pelmora");
    EXPECT_TRUE(TestModule().State.PluginActive);
}

TEST_F(EntryPoints, IncompleteHostRefusesToStartAndNothingElseActs) {
    TestModule().Host.Bind([](const char* name) -> void* {
        return std::string(name) == "TRAGetIcon" ? nullptr : reinterpret_cast<void*>(&Host);
    });
    EXPECT_EQ(Start(), kTrxFalse);
    EXPECT_EQ(prompts_->Messages(), std::vector<std::string>{kHostIncomplete});
    EXPECT_EQ(prompts_->Shown[0].Kind, MsgKind::Error);
    EXPECT_FALSE(MenuCaption(0));
    EXPECT_EQ(TRXMenuClick(1, 1), kTrxFalse);
    EXPECT_EQ(TRXEndPlugin(), kTrxFalse);
    EXPECT_TRUE(Host().Calls.empty());
    EXPECT_FALSE(std::filesystem::exists(settings_));
}

TEST_F(EntryPoints, WithoutAStartTheMenuIsEmptyAndClicksAndEndDoNothing) {
    EXPECT_EQ(TRXSetInitFile(HostPath(settings_).c_str()), kTrxTrue);
    EXPECT_FALSE(MenuCaption(0));
    EXPECT_EQ(TRXMenuClick(0, 1), kTrxFalse);
    EXPECT_EQ(TRXEndPlugin(), kTrxFalse);
    EXPECT_TRUE(Host().Calls.empty());
    EXPECT_FALSE(std::filesystem::exists(settings_));
    EXPECT_TRUE(prompts_->Shown.empty());
}

TEST_F(EntryPoints, StartWithoutASettingsPathIsRefused) {
    EXPECT_EQ(TRXBeginPlugin(), kTrxFalse);
    EXPECT_EQ(prompts_->Messages().size(), 1u);
    EXPECT_FALSE(TestModule().State.PluginActive);
}

TEST_F(EntryPoints, SettingsPathThatIsNotShiftJisIsRefused) {
    EXPECT_EQ(TRXSetInitFile("/tmp/broken\x81"), kTrxTrue);
    EXPECT_EQ(TRXBeginPlugin(), kTrxFalse);
    EXPECT_EQ(prompts_->Messages().size(), 1u);
    EXPECT_FALSE(TestModule().State.PluginActive);
}

TEST_F(EntryPoints, SettingsPathWithJapaneseFoldersWorks) {
    const std::filesystem::path folder = dir_ / Utf8ToFsPath("設定");
    std::filesystem::create_directory(folder);
    const std::string path = HostPath(folder / "Pelmora.ini");
    const std::string folderText = FolderText(folder);
    EXPECT_EQ(TRXSetInitFile(path.c_str()), kTrxTrue);
    EXPECT_EQ(TRXBeginPlugin(), Host().ChangeMenusResult);
    EXPECT_EQ(TestModule().State.Settings.ImportDir, folderText);
    EXPECT_EQ(TRXEndPlugin(), kTrxTrue);
    const IniFile saved = IniFile::Load(folder / "Pelmora.ini");
    EXPECT_EQ(saved.Value("Main", "ExportDir"), folderText);
}

TEST_F(EntryPoints, UnreadableSettingsFileIsShownAndNothingStarts) {
    std::filesystem::create_directory(settings_); // a folder where the file should be
    EXPECT_EQ(Start(), kTrxFalse);
    ASSERT_EQ(prompts_->Messages().size(), 1u);
    EXPECT_NE(prompts_->Messages()[0].find(settings_.string()), std::string::npos);
    EXPECT_FALSE(TestModule().State.PluginActive);
    EXPECT_FALSE(TestModule().State.Library);
    EXPECT_FALSE(MenuCaption(0));
}

using PluginMenu = ModuleTest;

TEST_F(PluginMenu, EmptyLibraryGivesTitleSeparatorImportAndEditor) {
    Start();
    EXPECT_EQ(this->Menu(),
              (std::vector<std::string>{"Pelmora(&D)", "-", Sjis("パターンのインポート(&I)"),
                                        Sjis("パターンの詳細編集(&E)...")}));
    EXPECT_FALSE(MenuCaption(-1));
}

TEST_F(PluginMenu, ListsAtMostThirtyPatternsWithAcceleratorsUpToNine) {
    std::vector<std::string> names;
    for (int i = 1; i <= 35; ++i) {
        names.push_back("P" + std::to_string(i));
    }
    StartWith(names);
    const std::vector<std::string> menu = this->Menu();
    ASSERT_EQ(menu.size(), 34u);
    EXPECT_EQ(menu[1], "&1. P1");
    EXPECT_EQ(menu[9], "&9. P9");
    EXPECT_EQ(menu[10], "10. P10");
    EXPECT_EQ(menu[30], "30. P30");
    EXPECT_EQ(menu[31], "-");
    EXPECT_EQ(menu[32], Sjis("パターンのインポート(&I)"));
    EXPECT_EQ(menu[33], Sjis("パターンの詳細編集(&E)..."));
    EXPECT_FALSE(MenuCaption(34));
    EXPECT_EQ(TestModule().State.Library->Count(), 35);
}

TEST_F(PluginMenu, LongCaptionIsCutAtACharacterBoundary) {
    std::string name;
    for (int i = 0; i < 40; ++i) {
        name += Sjis("あ");
    }
    StartWith({name, "x" + name});
    // "&1. " and 29 double-byte characters fill 62 bytes; the 30th would split at byte 63.
    EXPECT_EQ(*MenuCaption(1), "&1. " + name.substr(0, 58));
    // "&2. x" leaves 58 bytes: 29 characters exactly, 63 bytes.
    EXPECT_EQ(*MenuCaption(2), "&2. x" + name.substr(0, 58));
}

TEST_F(PluginMenu, OpenEditorShowsTheEditingTitleAloneUntilItCloses) {
    StartWith({"A", "B"});
    TestEditor().Opens = true;
    Host().ChangeMenusResult = 77;
    Host().Calls.clear();
    EXPECT_EQ(TRXMenuClick(5, 3), 77);
    EXPECT_TRUE(TestModule().State.EditorOpen);
    EXPECT_EQ(this->Menu(), std::vector<std::string>{Sjis("Pelmora[詳細編集中]")});
    EXPECT_FALSE(MenuCaption(1));
    // Items the menu does not show do nothing while editing.
    EXPECT_EQ(TRXMenuClick(1, 3), kTrxFalse);
    EXPECT_TRUE(Host().CallsTo("TRASetPadInit").empty());
    EXPECT_FALSE(std::filesystem::exists(dir_ / "Pelmora.bmp"));
    Host().Calls.clear();
    TestModule().Operations->EditorClosed();
    EXPECT_FALSE(TestModule().State.EditorOpen);
    EXPECT_EQ(Host().CallsTo("TRAChangePluginMenus").size(), 1u);
    EXPECT_EQ(this->Menu().size(), 6u);
}

TEST_F(PluginMenu, EndClosesAnOpenEditorWithoutAskingForTheMenu) {
    StartWith({"A"});
    TestEditor().Opens = true;
    TRXMenuClick(4, 3);
    Host().Calls.clear();
    EXPECT_EQ(TRXEndPlugin(), kTrxTrue);
    EXPECT_EQ(TestEditor().Closes, 1);
    EXPECT_FALSE(TestModule().State.EditorOpen);
    EXPECT_TRUE(Host().CallsTo("TRAChangePluginMenus").empty());
    EXPECT_FALSE(MenuCaption(0));
}

TEST_F(PluginMenu, EditorThatDoesNotOpenLeavesTheMenuAsItWas) {
    StartWith({"A"});
    Host().Calls.clear();
    EXPECT_EQ(TRXMenuClick(4, 3), kTrxFalse);
    EXPECT_FALSE(TestModule().State.EditorOpen);
    EXPECT_TRUE(Host().CallsTo("TRAChangePluginMenus").empty());
}

TEST_F(PluginMenu, EveryClickRefreshesThePadButOnlyShownItemsAct) {
    StartWith({"A", "B"});
    for (std::int32_t number : {0, -1, 3, 6, 100}) {
        Host().Calls.clear();
        EXPECT_EQ(TRXMenuClick(number, number + 7), kTrxFalse) << number;
        const std::vector<HostCall> ids = Host().CallsTo("TRAGetPadID");
        ASSERT_EQ(ids.size(), 1u);
        EXPECT_EQ(ids[0].Args[0], std::to_string(number + 7));
        EXPECT_EQ(TestModule().State.CurrentPad, number + 7 + FakeHost::kPadIdOffset);
        EXPECT_EQ(Host().CallsTo("TRAGetPadInit").size(), 5u);
        EXPECT_TRUE(Host().CallsTo("TRASetPadInit").empty());
        EXPECT_TRUE(Host().CallsTo("TRAChangePluginMenus").empty());
    }
    EXPECT_TRUE(prompts_->Shown.empty());
}

} // namespace
} // namespace pelmora::testing
