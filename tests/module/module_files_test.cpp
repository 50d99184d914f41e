// The settings file at start and end, pattern-file import and export, and the
// name prompt.
#include "ModuleFixture.h"
#include "tests/support/Utf16.h"

#include "library/PatternLibrary.h"
#include "plugin/ModuleOperations.h"

#include <csignal>
#ifndef _WIN32
#include <sys/resource.h>
#endif

namespace pelmora::testing {
namespace {

std::vector<std::string> NamesOf(const PatternLibrary& library) {
    return library.Names();
}

std::vector<std::string> SectionNames(const IniFile& ini) {
    std::vector<std::string> names;
    for (const IniFile::Section& s : ini.Sections()) {
        names.emplace_back(s.Name);
    }
    return names;
}

using SettingsFile = ModuleTest;

TEST_F(SettingsFile, NamelessSectionsAreDroppedAndRepeatedNamesNumbered) {
    IniFile ini;
    ini.WriteInteger("Main", "Left", 5);
    MakePattern(1)->SaveToIni(ini, 0, "A");
    MakePattern(2)->SaveToIni(ini, 1, "A");
    ini.WriteString("3", "Lumi", "9"); // no name
    ini.WriteString("4", "Name", "");
    MakePattern(3)->SaveToIni(ini, 5, "B");
    const std::string text = ini.ToText();
    Start(&text);
    EXPECT_EQ(NamesOf(*TestModule().State.Library), (std::vector<std::string>{"A", "A2", "B"}));
    EXPECT_EQ(TRXEndPlugin(), kTrxTrue);
    const IniFile saved = IniFile::Parse(ReadBytes(settings_));
    EXPECT_EQ(SectionNames(saved), (std::vector<std::string>{"Main", "0", "1", "2"}));
    EXPECT_EQ(saved.Value("1", "Name"), "A2");
    EXPECT_EQ(saved.Value("2", "Name"), "B");
    EXPECT_EQ(saved.Value("2", "Lumi"), "30");
    EXPECT_FALSE(TestModule().State.Library);
    EXPECT_FALSE(TestModule().State.PluginActive);
}

TEST_F(SettingsFile, EndRewritesTheWholeFileInItsOrder) {
    StartWith({"A"});
    EXPECT_EQ(TRXEndPlugin(), kTrxTrue);
    IniFile expected;
    TIniData data = TestModule().State.Settings;
    WriteIniData(expected, data);
    MakePattern(0)->SaveToIni(expected, 0, "A");
    EXPECT_EQ(ReadBytes(settings_), expected.ToText());
    const IniFile saved = IniFile::Parse(ReadBytes(settings_));
    const auto& main = saved.Sections()[0].Values;
    std::vector<std::string> keys;
    for (const auto& kv : main) {
        keys.emplace_back(kv.first);
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"Left", "Top", "Width", "Height", "PrevHeight",
                                              "ImportDir", "ExportDir"}));
}

TEST_F(SettingsFile, FolderInPlaceOfTheFileIsReportedAndLeftAlone) {
    StartWith({"A"});
    std::filesystem::remove(settings_);
    std::filesystem::create_directory(settings_);
    EXPECT_EQ(TRXEndPlugin(), kTrxFalse);
    ASSERT_EQ(prompts_->Messages().size(), 1u);
    EXPECT_NE(prompts_->Messages()[0].find(settings_.string()), std::string::npos);
    EXPECT_EQ(prompts_->Shown[0].Kind, MsgKind::Error);
    EXPECT_TRUE(std::filesystem::is_directory(settings_));
    EXPECT_TRUE(std::filesystem::is_empty(settings_));
    EXPECT_FALSE(TestModule().State.PluginActive);
    EXPECT_FALSE(TestModule().State.Library);
}

TEST_F(SettingsFile, MissingFolderIsReported) {
    StartWith({"A"});
    std::filesystem::remove_all(dir_);
    EXPECT_EQ(TRXEndPlugin(), kTrxFalse);
    ASSERT_EQ(prompts_->Messages().size(), 1u);
    EXPECT_NE(prompts_->Messages()[0].find(settings_.string()), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir_));
}

// The platform's file dialogs move the working folder: a relative settings
// path was read in one folder at the start and written in another at the end.
TEST_F(SettingsFile, RelativePathIsResolvedOnceWhenGiven) {
    WriteBytes(settings_, SettingsText({"A"}));
    const std::filesystem::path elsewhere = dir_ / "elsewhere";
    std::filesystem::create_directory(elsewhere);
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(dir_);
    EXPECT_EQ(TRXSetInitFile("./Pelmora.ini"), kTrxTrue);
    std::filesystem::current_path(elsewhere); // as an open-file dialog leaves it
    EXPECT_EQ(TestModule().State.SettingsPath, HostPath(settings_));
    EXPECT_EQ(TRXBeginPlugin(), Host().ChangeMenusResult);
    TestModule().State.Library->Append("B", MakePattern(1));
    EXPECT_EQ(TRXEndPlugin(), kTrxTrue);
    std::filesystem::current_path(before);
    EXPECT_EQ(LibraryNames(ReadBytes(settings_)), (std::vector<std::string>{"A", "B"}));
    EXPECT_FALSE(std::filesystem::exists(elsewhere / "Pelmora.ini"));
}

// A drive or share missing at the start gave an empty library without a word,
// and the end then replaced the real file, back by then, with nothing.
TEST_F(SettingsFile, FolderMissingAtTheStartIsSaidAndItsFileIsNeverReplaced) {
    const std::filesystem::path folder = dir_ / "stick";
    const std::filesystem::path file = folder / "Pelmora.ini";
    const std::string real = SettingsText({"A", "B", "C"});
    for (const bool edited : {false, true}) {
        prompts_->Shown.clear();
        std::filesystem::remove_all(folder);
        ASSERT_EQ(TRXSetInitFile(HostPath(file).c_str()), kTrxTrue);
        EXPECT_EQ(TRXBeginPlugin(), Host().ChangeMenusResult);
        ASSERT_EQ(prompts_->Messages().size(), 1u);
        EXPECT_EQ(prompts_->Shown[0].Kind, MsgKind::Warning);
        EXPECT_NE(prompts_->Messages()[0].find("フォルダー"), std::string::npos);
        EXPECT_EQ(TestModule().State.Library->Count(), 0);
        if (edited) {
            TestModule().State.Library->Append("New", MakePattern(1));
        }
        std::filesystem::create_directory(folder); // the stick is back
        WriteBytes(file, real);
        EXPECT_EQ(TRXEndPlugin(), edited ? kTrxFalse : kTrxTrue);
        EXPECT_EQ(ReadBytes(file), real);
        const auto kept = FilesStartingWith(folder, "Pelmora.ini.");
        ASSERT_EQ(kept.size(), edited ? 1u : 0u);
        if (edited) {
            EXPECT_EQ(LibraryNames(ReadBytes(kept[0])), std::vector<std::string>{"New"});
            EXPECT_NE(prompts_->Messages().back().find(PathText(kept[0])), std::string::npos);
        }
    }
}

// Notepad's "Unicode" settings file started with no patterns and was
// replaced at the end by an empty library.
TEST_F(SettingsFile, Utf16FileStartsWithItsPatternsAndIsWrittenBackInShiftJis) {
    IniFile ini;
    ini.WriteInteger("Main", "Left", 9);
    MakePattern(2)->SaveToIni(ini, 0, "表示");
    MakePattern(3)->SaveToIni(ini, 1, "B");
    WriteBytes(settings_, Utf16File(ini.ToText()));
    EXPECT_EQ(Start(), Host().ChangeMenusResult);
    EXPECT_TRUE(prompts_->Shown.empty());
    EXPECT_EQ(NamesOf(*TestModule().State.Library), (std::vector<std::string>{Sjis("表示"), "B"}));
    EXPECT_EQ(TestModule().State.Settings.Left, 9);
    EXPECT_EQ(TRXEndPlugin(), kTrxTrue);
    EXPECT_EQ(LibraryNames(ReadBytes(settings_)), (std::vector<std::string>{Sjis("表示"), "B"}));
}

#ifdef _WIN32
// NUL, CON, AUX.ini, COM1, LPT1.ini ... name devices in every folder; a start
// on one answered true with an empty library.
TEST_F(SettingsFile, ReservedDeviceNamesAreRefusedAtTheStart) {
    for (const char* name :
         {"NUL", "con", "AUX.ini", "COM1", "lpt1.ini", "CONIN$", "nul .ini", "Aux.", "COM9.txt"}) {
        TestModule().State = TModuleState{};
        prompts_->Shown.clear();
        ASSERT_EQ(TRXSetInitFile(HostPath(dir_ / name).c_str()), kTrxTrue);
        EXPECT_EQ(TRXBeginPlugin(), kTrxFalse) << name;
        ASSERT_EQ(prompts_->Messages().size(), 1u) << name;
        EXPECT_NE(prompts_->Messages()[0].find("通常のファイルではありません"), std::string::npos)
            << name << ": " << prompts_->Messages()[0];
    }
}

// The launcher, a virus scanner or a backup tool holding the settings file
// through the end cost the session's patterns.
TEST_F(SettingsFile, AFileHeldThroughTheEndKeepsTheLibraryBesideIt) {
    StartWith({"A"});
    TestModule().State.Library->Append("Imported", MakePattern(1));
    const std::string old = ReadBytes(settings_);
    const HANDLE holder = CreateFileW(settings_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_EQ(TRXEndPlugin(), kTrxFalse);
    CloseHandle(holder);
    EXPECT_EQ(ReadBytes(settings_), old);
    const auto kept = FilesStartingWith(dir_, "Pelmora.ini.");
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(LibraryNames(ReadBytes(kept[0])), (std::vector<std::string>{"A", "Imported"}));
    ASSERT_EQ(prompts_->Messages().size(), 1u);
    const std::string shown = prompts_->Messages()[0];
    EXPECT_NE(shown.find("ほかのプログラムが使用中です。"), std::string::npos) << shown;
    EXPECT_NE(shown.find(PathText(kept[0])), std::string::npos) << shown;
    EXPECT_TRUE(FilesStartingWith(dir_, ".Pelmora.ini.").empty()) << "a temporary file was left";
}
#endif

#ifndef _WIN32 // a file-size limit for the process is POSIX's
// A write that fails part of the way through leaves the old file as it was.
TEST_F(SettingsFile, FailedWriteLeavesTheOldFileByteForByte) {
    const std::string old = SettingsText({"Old"});
    Start(&old);
    for (int i = 0; i < 50; ++i) {
        TestModule().State.Library->Append("P" + std::to_string(i), MakePattern(i));
    }
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = old.size() + 10;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::int32_t result = TRXEndPlugin();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_EQ(result, kTrxFalse);
    EXPECT_EQ(ReadBytes(settings_), old);
    ASSERT_EQ(prompts_->Messages().size(), 1u);
    EXPECT_NE(prompts_->Messages()[0].find(settings_.string()), std::string::npos);
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir_)) {
        ++entries;
    }
    EXPECT_EQ(entries, 1u); // no temporary file left behind
}
#endif

using Import = ModuleTest;

TEST_F(Import, FileIsAskedForAndItsPatternsAddedUnderFreeNames) {
    StartWith({"A"});
    const std::filesystem::path file = dir_ / "in" / "two.ptn";
    std::filesystem::create_directory(dir_ / "in");
    IniFile ptn;
    MakePattern(7)->SaveToIni(ptn, 1, "A");
    MakePattern(8)->SaveToIni(ptn, 2, "A");
    ptn.Save(file);
    prompts_->OpenAnswers.push_back(file.string());
    Host().ChangeMenusResult = 55;
    Host().Calls.clear();
    EXPECT_EQ(TRXMenuClick(3, 1), 55); // n = 1: item 3 is import

    ASSERT_EQ(prompts_->FileRequests.size(), 1u);
    const FileDialogRequest& request = prompts_->FileRequests[0];
    EXPECT_EQ(request.Title, "パターンファイルの指定");
    EXPECT_EQ(request.Filter, "パターンファイル(*.ptn)|*.ptn|すべてのファイル(*.*)|*.*");
    EXPECT_EQ(request.DefaultExtension, "ptn");
    EXPECT_EQ(request.TypeName, "Pelmora パターンファイル");
    EXPECT_EQ(request.InitialDir, FolderText(dir_));
    EXPECT_TRUE(request.MustExist);
    EXPECT_EQ(prompts_->Messages(),
              std::vector<std::string>{"\"A2\"\r\n\"A3\"\r\nをインポートしました。"});
    EXPECT_EQ(NamesOf(*TestModule().State.Library), (std::vector<std::string>{"A", "A2", "A3"}));
    EXPECT_EQ(TestModule().State.Library->Pattern(2).Lumi, 80);
    EXPECT_EQ(TestModule().State.Settings.ImportDir, FolderText(dir_ / "in"));
    EXPECT_EQ(Host().CallsTo("TRAChangePluginMenus").size(), 1u);
    EXPECT_EQ(this->Menu().size(), 7u);
}

TEST_F(Import, CancelChangesNothingAndShowsNothing) {
    StartWith({"A"});
    prompts_->OpenAnswers.push_back(std::nullopt);
    Host().Calls.clear();
    EXPECT_EQ(TRXMenuClick(3, 1), kTrxFalse);
    EXPECT_TRUE(prompts_->Messages().empty());
    EXPECT_EQ(TestModule().State.Library->Count(), 1);
    EXPECT_EQ(TestModule().State.Settings.ImportDir, FolderText(dir_));
    EXPECT_TRUE(Host().CallsTo("TRAChangePluginMenus").empty());
}

// A file no pattern can be read from (another format, a damaged file, a
// Unicode file with a character Shift-JIS lacks) imported "nothing" and
// reported success.
TEST_F(Import, FileWithoutAReadablePatternIsAnErrorAndChangesNothing) {
    const struct {
        const char* What;
        std::string Bytes;
        const char* Reason;
    } cases[] = {
        {"settings only", "[Main]\r\nLeft=1\r\n", "パターンを読み込めませんでした。"},
        {"empty", "", "パターンを読み込めませんでした。"},
        {"not a settings text", "\x01\x02binary\xFF", "パターンを読み込めませんでした。"},
        {"UTF-16 with a character Shift-JIS lacks", Utf16File("[1]\r\nName=\xF0\x9F\x98\x80\r\n"),
         "Shift-JIS で表せない文字"},
    };
    StartWith({"A"});
    for (const auto& c : cases) {
        prompts_->Shown.clear();
        WriteBytes(dir_ / "in.ptn", c.Bytes);
        prompts_->OpenAnswers.push_back((dir_ / "in.ptn").string());
        EXPECT_EQ(TRXMenuClick(3, 1), kTrxFalse) << c.What;
        ASSERT_EQ(prompts_->Messages().size(), 1u) << c.What;
        EXPECT_EQ(prompts_->Shown.back().Kind, MsgKind::Error) << c.What;
        EXPECT_NE(prompts_->Messages()[0].find("in.ptn"), std::string::npos) << c.What;
        EXPECT_NE(prompts_->Messages()[0].find(c.Reason), std::string::npos)
            << c.What << ": " << prompts_->Messages()[0];
        EXPECT_EQ(NamesOf(*TestModule().State.Library), std::vector<std::string>{"A"}) << c.What;
    }
}

// Notepad's "Unicode" and UTF-8 with a byte-order mark read as their text.
TEST_F(Import, UnicodeFilesImportAsTheirText) {
    const std::string text = "[1]\r\nName=パターン\r\nLumi=3\r\n";
    const std::string files[] = {Utf16File(text), Utf16File(text, true), "\xEF\xBB\xBF" + text};
    StartWith({});
    for (const std::string& bytes : files) {
        WriteBytes(dir_ / "u.ptn", bytes);
        prompts_->OpenAnswers.push_back((dir_ / "u.ptn").string());
        TRXMenuClick(TestModule().State.Library->Count() + 2, 1);
    }
    const std::string name = Sjis("パターン");
    EXPECT_EQ(NamesOf(*TestModule().State.Library),
              (std::vector<std::string>{name, name + "2", name + "3"}));
    EXPECT_EQ(TestModule().State.Library->Pattern(2).Lumi, 3);
}

TEST_F(Import, SettingsFileItselfAddsEveryPatternAgain) {
    StartWith({"A", "B"});
    prompts_->OpenAnswers.push_back(settings_.string());
    TRXMenuClick(4, 1);
    EXPECT_EQ(NamesOf(*TestModule().State.Library),
              (std::vector<std::string>{"A", "B", "A2", "B2"}));
}

TEST_F(Import, MissingFileIsAnErrorNotAnEmptyImport) {
    StartWith({"A"});
    prompts_->OpenAnswers.push_back((dir_ / "gone.ptn").string());
    EXPECT_EQ(TRXMenuClick(3, 1), kTrxFalse);
    ASSERT_EQ(prompts_->Messages().size(), 1u);
    EXPECT_NE(prompts_->Messages()[0].find("gone.ptn"), std::string::npos);
    EXPECT_EQ(prompts_->Shown.back().Kind, MsgKind::Error);
    EXPECT_EQ(TestModule().State.Settings.ImportDir, FolderText(dir_));
}

TEST_F(Import, ImportedPatternsReachTheSettingsFileAtEnd) {
    StartWith({});
    IniFile ptn;
    MakePattern(4)->SaveToIni(ptn, 1, "New");
    ptn.Save(dir_ / "one.ptn");
    prompts_->OpenAnswers.push_back((dir_ / "one.ptn").string());
    TRXMenuClick(2, 1);
    TRXEndPlugin();
    const IniFile saved = IniFile::Parse(ReadBytes(settings_));
    EXPECT_EQ(saved.Value("0", "Name"), "New");
    EXPECT_EQ(saved.Value("Main", "ImportDir"), FolderText(dir_));
}

using Export = ModuleTest;

TEST_F(Export, SelectedPatternsReplaceTheFileAsSectionsFromOne) {
    StartWith({"A", "B", "C", "D"});
    const std::filesystem::path file = dir_ / "out" / "sel.ptn";
    std::filesystem::create_directory(dir_ / "out");
    IniFile previous;
    for (int i = 1; i <= 5; ++i) {
        MakePattern(i)->SaveToIni(previous, i, "Old" + std::to_string(i));
    }
    previous.Save(file);
    const PatternLibrary& library = *TestModule().State.Library;
    prompts_->SaveAnswers.push_back(file.string());
    EXPECT_TRUE(TestModule().Operations->ExportPatterns(
        {{"B", &library.Pattern(1)}, {"D", &library.Pattern(3)}}));

    ASSERT_EQ(prompts_->FileRequests.size(), 1u);
    const FileDialogRequest& request = prompts_->FileRequests[0];
    EXPECT_EQ(request.Title, "パターン出力先のファイル指定");
    EXPECT_EQ(request.Filter, "パターンファイル(*.ptn)|*.ptn");
    EXPECT_EQ(request.DefaultExtension, "ptn");
    EXPECT_EQ(request.TypeName, "Pelmora パターンファイル");
    EXPECT_EQ(request.InitialDir, FolderText(dir_));
    EXPECT_TRUE(request.ConfirmOverwrite);
    EXPECT_TRUE(request.FolderMustExist);

    IniFile expected;
    library.Pattern(1).SaveToIni(expected, 1, "B");
    library.Pattern(3).SaveToIni(expected, 2, "D");
    EXPECT_EQ(ReadBytes(file), expected.ToText());
    EXPECT_EQ(TestModule().State.Settings.ExportDir, FolderText(dir_ / "out"));
    EXPECT_TRUE(prompts_->Messages().empty());
}

TEST_F(Export, CancelWritesNothing) {
    StartWith({"A"});
    prompts_->SaveAnswers.push_back(std::nullopt);
    EXPECT_FALSE(
        TestModule().Operations->ExportPatterns({{"A", &TestModule().State.Library->Pattern(0)}}));
    EXPECT_EQ(TestModule().State.Settings.ExportDir, FolderText(dir_));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(Export, ExportedFileImportsBack) {
    StartWith({"A", "B"});
    const PatternLibrary& library = *TestModule().State.Library;
    prompts_->SaveAnswers.push_back((dir_ / "both.ptn").string());
    TestModule().Operations->ExportPatterns(
        {{"A", &library.Pattern(0)}, {"B", &library.Pattern(1)}});
    prompts_->OpenAnswers.push_back((dir_ / "both.ptn").string());
    TRXMenuClick(4, 1);
    EXPECT_EQ(NamesOf(library), (std::vector<std::string>{"A", "B", "A2", "B2"}));
    EXPECT_EQ(library.Pattern(3).Lumi, library.Pattern(1).Lumi);
}

class NamePrompt : public ModuleTest {
protected:
    void SetUp() override {
        ModuleTest::SetUp();
        StartWith({"A", "B", "abc"});
    }
    // Renames entry `name` with the typed answer; returns accepted and the name.
    std::pair<bool, std::string> Rename(std::string name, std::optional<std::string> typed) {
        prompts_->InputAnswers.push_back(std::move(typed));
        const bool accepted = TestModule().Operations->AskPatternName(
            "変更後のパターン名を入力して下さい。", name, *TestModule().State.Library);
        return {accepted, name};
    }
};

TEST_F(NamePrompt, ShowsTheBoxWithTheCurrentName) {
    Rename("A", std::nullopt);
    ASSERT_EQ(prompts_->Shown.size(), 1u);
    EXPECT_EQ(prompts_->Shown[0].What, "input");
    EXPECT_EQ(prompts_->Shown[0].Title, "パターン名の指定");
    EXPECT_EQ(prompts_->Shown[0].Text, "変更後のパターン名を入力して下さい。");
    EXPECT_EQ(prompts_->InputInitials[0], "A");
}

TEST_F(NamePrompt, AnswersAndMessages) {
    struct Case {
        std::string Current;
        std::optional<std::string> Typed;
        bool Accepted;
        std::string Result;
        std::string Message;
    };
    const Case cases[] = {
        {"A", std::nullopt, false, "A", ""},
        {"A", " A\t", true, "A", ""},
        {"A", "   ", true, "A", "パターンの名前が不正です。\"A\"で登録します。"},
        {"A", "B", true, "B2", "パターンの名前が重複しています。\"B2\"で登録します。"},
        {"A", " C ", true, "C", ""},
        {"abc", "ABC", true, "ABC", ""},
        {"A", "新しい名前", true, Utf8ToSjis("新しい名前"), ""},
    };
    for (const Case& c : cases) {
        prompts_->Shown.clear();
        const auto [accepted, result] = Rename(c.Current, c.Typed);
        EXPECT_EQ(accepted, c.Accepted) << c.Typed.value_or("<cancel>");
        EXPECT_EQ(result, c.Result) << c.Typed.value_or("<cancel>");
        const std::vector<std::string> messages = prompts_->Messages();
        EXPECT_EQ(messages.empty() ? "" : messages[0], c.Message);
    }
}

TEST_F(NamePrompt, DuplicateTakesTheNextFreeNumber) {
    TestModule().State.Library->Append("B2", MakePattern(0));
    EXPECT_EQ(Rename("A", "B").second, "B3");
    TestModule().State.Library->Append("Z2", MakePattern(0));
    EXPECT_EQ(Rename("A", "Z").second, "Z"); // only Z2 present: Z itself is free
}

TEST_F(NamePrompt, CharacterShiftJisCannotHoldIsRefused) {
    const auto [accepted, result] = Rename("A", "smile \xF0\x9F\x98\x80");
    EXPECT_FALSE(accepted);
    EXPECT_EQ(result, "A");
    ASSERT_EQ(prompts_->Messages().size(), 1u);
}

} // namespace
} // namespace pelmora::testing
