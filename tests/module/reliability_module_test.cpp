// The module under hostile conditions: entry points called in any order,
// settings files that are damaged, oversized or not files at all, and a long
// run of start, click and end cycles.
#include "ModuleFixture.h"

#include "plugin/PatternLibrary.h"

#include <sys/stat.h>

#include <random>

namespace pelmora::testing {
namespace {

const std::map<std::string, std::string> kPad = {{"BtnWidth", "40"},
                                                 {"BtnHeight", "30"},
                                                 {"BtnCaption", "1"},
                                                 {"BtnSmallIcon", "0"},
                                                 {"BtnColor", "$204080"}};

std::vector<std::string> LibraryNames(const std::string& settingsText) {
    PatternLibrary library;
    LoadPatterns(IniFile::Parse(settingsText), library);
    return library.Names();
}

using ReliabilityEntryOrder = ModuleTest;

TEST_F(ReliabilityEntryOrder, EntryPointsInAnyOrderKeepTheModuleConsistent) {
    WriteBytes(settings_, SettingsText({"A", "B", "C"}));
    SetPad(1, kPad);
    const std::string path = settings_.string();
    std::mt19937 random(20261208);
    auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    std::array<char, kMenuRecordSize> record{};
    std::array<char, 300> text{};
    bool pathGiven = false;

    for (int call = 0; call < 3000; ++call) {
        std::int32_t result = kTrxFalse;
        switch (pick(0, 9)) {
        case 0:
            pathGiven = pick(0, 5) != 0;
            result = TRXSetInitFile(pathGiven ? path.c_str() : "");
            break;
        case 1:
            // Passes the host's answer to the menu request back: not checked.
            TRXBeginPlugin();
            break;
        case 2: {
            const bool wasActive = Module().PluginActive;
            result = TRXEndPlugin();
            // Without a path the settings cannot be written: shown, and false.
            EXPECT_EQ(result, wasActive && pathGiven ? kTrxTrue : kTrxFalse) << "call " << call;
            if (wasActive && pathGiven) {
                // Every end leaves a whole settings file with the library in it.
                const std::vector<std::string> names = LibraryNames(ReadBytes(settings_));
                ASSERT_GE(names.size(), 3u) << "call " << call;
                EXPECT_EQ(names[0], "A");
            }
            break;
        }
        case 3:
        case 4:
            result = TRXGetMenu(pick(-3, 40), record.data());
            break;
        case 5:
        case 6:
        case 7:
            result = TRXMenuClick(pick(-3, 40), pick(-2, 3));
            break;
        case 8:
            result = TRXGetName(text.data(), pick(-2, 300));
            break;
        default:
            result = TRXGetExplanation(text.data(), pick(0, 300));
            break;
        }
        ASSERT_TRUE(result == kTrxTrue || result == kTrxFalse) << "call " << call;
        if (!Module().PluginActive) {
            EXPECT_EQ(TRXGetMenu(0, record.data()), kTrxFalse) << "call " << call;
        }
    }
    TRXEndPlugin();
}

TEST_F(ReliabilityEntryOrder, NullBuffersAreRefusedOrIgnored) {
    StartWith({"A"});
    EXPECT_EQ(TRXGetMenu(0, nullptr), kTrxFalse);
    EXPECT_EQ(TRXGetName(nullptr, 100), kTrxTrue);
    EXPECT_EQ(TRXGetExplanation(nullptr, 100), kTrxTrue);
    EXPECT_EQ(TRXSetInitFile(nullptr), kTrxTrue);
    EXPECT_EQ(TRXEndPlugin(), kTrxFalse); // no path to write to: shown, not thrown
    EXPECT_FALSE(Module().PluginActive);
}

// ---- Faults in the settings file ---------------------------------------------

using ReliabilitySettingsFaults = ModuleTest;

TEST_F(ReliabilitySettingsFaults, EveryTruncationStartsAndEndsWithAWholeFile) {
    const std::string whole = SettingsText({"A", "B", "C", "D"});
    for (std::size_t cut = 0; cut <= whole.size(); cut += 7) {
        const std::string text = whole.substr(0, cut);
        Start(&text);
        ASSERT_TRUE(Module().PluginActive) << cut;
        const std::vector<std::string> loaded = Module().Library->Names();
        ASSERT_EQ(TRXEndPlugin(), kTrxTrue) << cut;
        EXPECT_EQ(LibraryNames(ReadBytes(settings_)), loaded) << cut;
    }
    EXPECT_TRUE(prompts_->shown.empty());
}

TEST_F(ReliabilitySettingsFaults, BinaryGarbageStartsAndIsReplacedByAWholeFileAtEnd) {
    std::mt19937 random(7);
    for (int round = 0; round < 20; ++round) {
        std::string garbage(4096, '\0');
        for (char& c : garbage) {
            c = static_cast<char>(random());
        }
        // Some lines that look like sections, so patterns are found too.
        garbage.insert(garbage.size() / 2, "\n[x]\nName=\x82\xa0\0b\n0=1,\"0,0\",,4\n");
        Start(&garbage);
        ASSERT_TRUE(Module().PluginActive) << round;
        const std::vector<std::string> loaded = Module().Library->Names();
        SetPad(1, kPad);
        if (!loaded.empty()) {
            EXPECT_EQ(TRXMenuClick(1, 1), kTrxTrue) << round;
        }
        ASSERT_EQ(TRXEndPlugin(), kTrxTrue) << round;
        EXPECT_EQ(LibraryNames(ReadBytes(settings_)), loaded) << round;
    }
}

TEST_F(ReliabilitySettingsFaults, OversizedFileIsRefusedAndLeftAlone) {
    WriteBytes(settings_, SettingsText({"A"}));
    std::filesystem::resize_file(settings_, std::uintmax_t{64} * 1024 * 1024 + 1);
    EXPECT_EQ(TRXSetInitFile(settings_.c_str()), kTrxTrue);
    EXPECT_EQ(TRXBeginPlugin(), kTrxFalse);
    EXPECT_FALSE(Module().PluginActive);
    ASSERT_EQ(prompts_->Messages().size(), 1u);
    EXPECT_NE(prompts_->Messages()[0].find("larger than"), std::string::npos);
    EXPECT_EQ(TRXEndPlugin(), kTrxFalse);
    EXPECT_EQ(std::filesystem::file_size(settings_), std::uintmax_t{64} * 1024 * 1024 + 1);
}

TEST_F(ReliabilitySettingsFaults, NamedPipeNobodyWritesToDoesNotHangTheStart) {
    ASSERT_EQ(::mkfifo(settings_.c_str(), 0600), 0);
    EXPECT_EQ(TRXSetInitFile(settings_.c_str()), kTrxTrue);
    TRXBeginPlugin();
    ASSERT_TRUE(Module().PluginActive);
    EXPECT_EQ(Module().Library->Count(), 0);
    EXPECT_EQ(TRXEndPlugin(), kTrxTrue);
    EXPECT_TRUE(std::filesystem::is_regular_file(settings_));
}

TEST_F(ReliabilitySettingsFaults, FileRemovedOrReplacedWhileRunningIsWrittenAgainAtEnd) {
    StartWith({"A", "B"});
    std::filesystem::remove(settings_);
    ASSERT_EQ(TRXEndPlugin(), kTrxTrue);
    EXPECT_EQ(LibraryNames(ReadBytes(settings_)), (std::vector<std::string>{"A", "B"}));

    TRXBeginPlugin();
    ASSERT_TRUE(Module().PluginActive);
    WriteBytes(settings_, SettingsText({"Other"}));
    ASSERT_EQ(TRXEndPlugin(), kTrxTrue);
    EXPECT_EQ(LibraryNames(ReadBytes(settings_)), (std::vector<std::string>{"A", "B"}));
}

// ---- A long run --------------------------------------------------------------

using ReliabilitySoak = ModuleTest;

TEST_F(ReliabilitySoak, AThousandStartClickEndCyclesChangeNothing) {
    const std::string initial = SettingsText({"A", "B", "C"});
    WriteBytes(settings_, initial);
    SetPad(1, kPad);
    std::string firstEnd;
    std::string firstWallpaper;
    for (int cycle = 0; cycle < 1000; ++cycle) {
        ASSERT_EQ(TRXSetInitFile(settings_.c_str()), kTrxTrue);
        TRXBeginPlugin();
        ASSERT_TRUE(Module().PluginActive) << cycle;
        ASSERT_EQ(Menu().size(), 7u) << cycle; // title, three patterns, separator, import, editor
        ASSERT_EQ(TRXMenuClick(1 + cycle % 3, 1), kTrxTrue) << cycle;
        ASSERT_EQ(TRXMenuClick(1, 1), kTrxTrue) << cycle;
        ASSERT_EQ(TRXEndPlugin(), kTrxTrue) << cycle;
        const std::string settings = ReadBytes(settings_);
        const std::string wallpaper = ReadBytes(dir_ / "Pelmora.bmp");
        if (cycle == 0) {
            firstEnd = settings;
            firstWallpaper = wallpaper;
        }
        ASSERT_EQ(settings, firstEnd) << cycle;
        ASSERT_EQ(wallpaper, firstWallpaper) << cycle;
    }
    EXPECT_EQ(LibraryNames(firstEnd), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_TRUE(prompts_->shown.empty());
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir_)) {
        ++entries;
    }
    EXPECT_EQ(entries, 2u); // the settings and the wallpaper, no temporary files
}

} // namespace
} // namespace pelmora::testing
