// The module under hostile conditions: entry points called in any order,
// settings files that are damaged, oversized or not files at all, and a long
// run of start, click and end cycles.
#include "ModuleFixture.h"
#include "PrivateMount.h"

#include "library/PatternLibrary.h"
#include "platform/fileio.h"

#include <malloc.h>
#include <sys/stat.h>

#include <algorithm>
#include <iostream>
#include <random>

#if defined(__SANITIZE_ADDRESS__)
// From the sanitizer runtime, whose headers are not always installed.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace pelmora::testing {
namespace {

const std::map<std::string, std::string> kPad = {{"BtnWidth", "40"},
                                                 {"BtnHeight", "30"},
                                                 {"BtnCaption", "1"},
                                                 {"BtnSmallIcon", "0"},
                                                 {"BtnColor", "$204080"}};

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
            const bool wasActive = TestModule().State.PluginActive;
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
        if (!TestModule().State.PluginActive) {
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
    EXPECT_FALSE(TestModule().State.PluginActive);
}

// Each row starts from a fresh module and a settings file with three patterns,
// makes its calls in order and expects exactly these answers. A start answers
// with the host's answer to the menu request, which the fake host gives as 1.
enum class Call { SetPath, SetEmptyPath, SetLongPath, Begin, End, Menu, Click };
constexpr std::int32_t kMenusChanged = 1;

struct OrderCase {
    const char* Name;
    std::vector<std::pair<Call, std::int32_t>> Calls; // call and its expected answer
    std::size_t Messages;                             // errors shown
    const char* Message;                              // part of the last one
    bool ActiveAfter;
    bool SettingsRewritten;
};

TEST_F(ReliabilityEntryOrder, CallsOutOfOrderOrRepeatedGiveTheseAnswers) {
    const std::string initial = SettingsText({"A", "B", "C"});
    const std::string path = settings_.string();
    // 10,000 bytes in all: a file name far beyond what the system allows.
    const std::string longPath = path + "/" + std::string(10000 - path.size() - 1, 'a');
    ASSERT_EQ(longPath.size(), 10000u);
    const OrderCase cases[] = {
        {"click before begin",
         {{Call::SetPath, kTrxTrue}, {Call::Click, kTrxFalse}},
         0,
         "",
         false,
         false},
        {"menu before begin",
         {{Call::SetPath, kTrxTrue}, {Call::Menu, kTrxFalse}},
         0,
         "",
         false,
         false},
        {"end before begin",
         {{Call::SetPath, kTrxTrue}, {Call::End, kTrxFalse}},
         0,
         "",
         false,
         false},
        {"begin without a path",
         {{Call::Begin, kTrxFalse}},
         1,
         "設定ファイルが指定されていないため",
         false,
         false},
        {"begin twice",
         {{Call::SetPath, kTrxTrue}, {Call::Begin, kMenusChanged}, {Call::Begin, kMenusChanged}},
         0,
         "",
         true,
         false},
        {"end twice",
         {{Call::SetPath, kTrxTrue},
          {Call::Begin, kMenusChanged},
          {Call::End, kTrxTrue},
          {Call::End, kTrxFalse}},
         0,
         "",
         false,
         true},
        {"menu and click after end",
         {{Call::SetPath, kTrxTrue},
          {Call::Begin, kMenusChanged},
          {Call::End, kTrxTrue},
          {Call::Menu, kTrxFalse},
          {Call::Click, kTrxFalse}},
         0,
         "",
         false,
         true},
        {"begin again after end",
         {{Call::SetPath, kTrxTrue},
          {Call::Begin, kMenusChanged},
          {Call::End, kTrxTrue},
          {Call::Begin, kMenusChanged},
          {Call::Menu, kTrxTrue}},
         0,
         "",
         true,
         true},
        {"empty path, then begin",
         {{Call::SetEmptyPath, kTrxTrue}, {Call::Begin, kTrxFalse}},
         1,
         "設定ファイルが指定されていないため",
         false,
         false},
        {"empty path while running, then end",
         {{Call::SetPath, kTrxTrue},
          {Call::Begin, kMenusChanged},
          {Call::SetEmptyPath, kTrxTrue},
          {Call::End, kTrxFalse}},
         1,
         "設定を保存できませんでした。",
         false,
         false},
        {"10,000-byte path, then begin",
         {{Call::SetLongPath, kTrxTrue}, {Call::Begin, kTrxFalse}},
         1,
         "ファイル名が長すぎます。",
         false,
         false},
        {"10,000-byte path while running, then end",
         {{Call::SetPath, kTrxTrue},
          {Call::Begin, kMenusChanged},
          {Call::SetLongPath, kTrxTrue},
          {Call::End, kTrxFalse}},
         1,
         "ファイル名が長すぎます。",
         false,
         false},
    };
    SetPad(1, kPad);
    std::array<char, kMenuRecordSize> record{};
    for (const OrderCase& c : cases) {
        TestModule().State = TModuleState{};
        prompts_->Shown.clear();
        WriteBytes(settings_, initial);
        std::filesystem::remove(dir_ / "Pelmora.bmp");
        std::size_t step = 0;
        for (const auto& [call, expected] : c.Calls) {
            std::int32_t result = 0;
            switch (call) {
            case Call::SetPath:
                result = TRXSetInitFile(path.c_str());
                break;
            case Call::SetEmptyPath:
                result = TRXSetInitFile("");
                break;
            case Call::SetLongPath:
                result = TRXSetInitFile(longPath.c_str());
                break;
            case Call::Begin:
                result = TRXBeginPlugin();
                break;
            case Call::End:
                result = TRXEndPlugin();
                break;
            case Call::Menu:
                result = TRXGetMenu(0, record.data());
                break;
            case Call::Click:
                result = TRXMenuClick(1, 1);
                break;
            }
            EXPECT_EQ(result, expected) << c.Name << ", call " << step;
            ++step;
        }
        EXPECT_EQ(prompts_->Messages().size(), c.Messages) << c.Name;
        if (c.Messages != 0) {
            EXPECT_NE(prompts_->Messages().back().find(c.Message), std::string::npos) << c.Name;
        }
        for (const ScriptedPrompts::Dialog& shown : prompts_->Shown) {
            EXPECT_EQ(shown.Kind, MsgKind::Error) << c.Name;
        }
        EXPECT_EQ(TestModule().State.PluginActive, c.ActiveAfter) << c.Name;
        EXPECT_EQ(static_cast<bool>(TestModule().State.Library), c.ActiveAfter) << c.Name;
        const std::string after = ReadBytes(settings_);
        EXPECT_EQ(after != initial, c.SettingsRewritten) << c.Name;
        EXPECT_EQ(LibraryNames(after), (std::vector<std::string>{"A", "B", "C"})) << c.Name;
        EXPECT_FALSE(std::filesystem::exists(dir_ / "Pelmora.bmp")) << c.Name;
    }
}

// ---- Faults in the settings file ---------------------------------------------

using ReliabilitySettingsFaults = ModuleTest;

TEST_F(ReliabilitySettingsFaults, EveryTruncationStartsAndEndsWithAWholeFile) {
    const std::string whole = SettingsText({"A", "B", "C", "D"});
    for (std::size_t cut = 0; cut <= whole.size(); cut += 7) {
        const std::string text = whole.substr(0, cut);
        Start(&text);
        ASSERT_TRUE(TestModule().State.PluginActive) << cut;
        const std::vector<std::string> loaded = TestModule().State.Library->Names();
        ASSERT_EQ(TRXEndPlugin(), kTrxTrue) << cut;
        EXPECT_EQ(LibraryNames(ReadBytes(settings_)), loaded) << cut;
    }
    EXPECT_TRUE(prompts_->Shown.empty());
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
        ASSERT_TRUE(TestModule().State.PluginActive) << round;
        const std::vector<std::string> loaded = TestModule().State.Library->Names();
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
    std::filesystem::resize_file(settings_, kMaxInputFileSize + 1);
    EXPECT_EQ(TRXSetInitFile(settings_.c_str()), kTrxTrue);
    EXPECT_EQ(TRXBeginPlugin(), kTrxFalse);
    EXPECT_FALSE(TestModule().State.PluginActive);
    ASSERT_EQ(prompts_->Messages().size(), 1u);
    EXPECT_EQ(prompts_->Messages()[0], "ファイル \"" + settings_.string() +
                                           "\" を読み込めません。ファイルが大きすぎます "
                                           "(上限は 8 MB です)。");
    EXPECT_EQ(TRXEndPlugin(), kTrxFalse);
    EXPECT_EQ(std::filesystem::file_size(settings_), kMaxInputFileSize + 1);
}

// A file removed while the plug-in runs is written again; one that another
// program replaced is kept as that program left it, and the library goes
// beside it (the other program's file was once replaced without a word).
TEST_F(ReliabilitySettingsFaults, FileRemovedWhileRunningIsWrittenAgainOneReplacedIsKept) {
    StartWith({"A", "B"});
    std::filesystem::remove(settings_);
    ASSERT_EQ(TRXEndPlugin(), kTrxTrue);
    EXPECT_EQ(LibraryNames(ReadBytes(settings_)), (std::vector<std::string>{"A", "B"}));

    TRXBeginPlugin();
    ASSERT_TRUE(TestModule().State.PluginActive);
    WriteBytes(settings_, SettingsText({"Other"}));
    EXPECT_EQ(TRXEndPlugin(), kTrxFalse);
    EXPECT_EQ(LibraryNames(ReadBytes(settings_)), std::vector<std::string>{"Other"});
    EXPECT_EQ(LibraryNames(ReadBytes(dir_ / "Pelmora.ini.未保存.ini")),
              (std::vector<std::string>{"A", "B"}));
    ASSERT_EQ(prompts_->Messages().size(), 1u);
    EXPECT_NE(prompts_->Messages()[0].find("ほかのプログラムによって"), std::string::npos);
}

// ---- A long run --------------------------------------------------------------

// Bytes of heap in use. The sanitizers' allocator keeps its own count; glibc's
// is asked otherwise.
std::size_t HeapInUse() {
#if defined(__SANITIZE_ADDRESS__)
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks;
#endif
}

// The instrumented build runs the same cycles on a smaller library so that the
// whole suite stays within its time; the cycle count is the same.
#if defined(__SANITIZE_ADDRESS__)
constexpr int kSoakLibrarySize = 200;
#else
constexpr int kSoakLibrarySize = 1000;
#endif
constexpr int kSoakCycles = 1000;
constexpr int kSoakWarmUpCycles = 20;
constexpr std::size_t kSoakHeapSlack = 64 * 1024;

class ReliabilitySoak : public ModuleTest {
protected:
    void TearDown() override {
        Unmount(dir_);
        ModuleTest::TearDown();
    }
};

TEST_F(ReliabilitySoak, AThousandStartClickEndCyclesChangeNothingAndKeepMemoryFlat) {
    std::vector<std::string> names;
    for (int i = 0; i < kSoakLibrarySize; ++i) {
        names.push_back("P" + std::to_string(i));
    }
    // The cycles measure the module, not the disk: where mounting is allowed the
    // folder is a tmpfs, so the flushes each save makes do not wait for a disk
    // the whole team shares.
    const bool inMemory = MountTmpfs(dir_, "64m");
    WriteBytes(settings_, SettingsText(names));
    SetPad(1, kPad);
    std::string firstEnd;
    std::string firstWallpaper;
    std::size_t heapAfterWarmUp = 0;
    std::size_t heapHighest = 0;
    for (int cycle = 0; cycle < kSoakCycles; ++cycle) {
        ASSERT_EQ(TRXSetInitFile(settings_.c_str()), kTrxTrue);
        TRXBeginPlugin();
        ASSERT_TRUE(TestModule().State.PluginActive) << cycle;
        // Title, thirty patterns (the most the menu shows), separator, import, editor.
        ASSERT_EQ(Menu().size(), 34u) << cycle;
        ASSERT_EQ(TRXMenuClick(1 + cycle % 30, 1), kTrxTrue) << cycle;
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
        Host().Calls.clear(); // the fake host's record of calls is not the module's memory
        if (cycle == kSoakWarmUpCycles) {
            heapAfterWarmUp = HeapInUse();
        }
        if (cycle >= kSoakWarmUpCycles) {
            heapHighest = std::max(heapHighest, HeapInUse());
        }
    }
    const std::size_t heapAtEnd = HeapInUse();
    std::cout << "[ measured ] library " << kSoakLibrarySize << " patterns"
              << (inMemory ? " (tmpfs)" : " (disk)") << ", settings file " << firstEnd.size()
              << " bytes; heap in use after warm-up " << heapAfterWarmUp << ", at the end "
              << heapAtEnd << ", highest " << heapHighest << "\n";
    EXPECT_LE(heapAtEnd, heapAfterWarmUp + kSoakHeapSlack);
    EXPECT_LE(heapHighest, heapAfterWarmUp + kSoakHeapSlack);
    EXPECT_EQ(LibraryNames(firstEnd), names);
    EXPECT_TRUE(prompts_->Shown.empty());
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir_)) {
        ++entries;
    }
    EXPECT_EQ(entries, 2u); // the settings and the wallpaper, no temporary files
}

} // namespace
} // namespace pelmora::testing
