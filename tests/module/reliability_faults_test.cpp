// Writing the settings file at the end and a pattern file on export when the
// file system refuses: a read-only folder, a folder in place of the file, a
// folder that does not exist, a full disk, a write cut off part of the way and
// a process killed in the middle of its write. The old file must stay byte for
// byte, the user must be told which file was not written, and the end keeps
// the library in a recovery file wherever one can be written.
//
// The tests run as root, for whom permissions do not stop a write, so a
// read-only folder and a full disk are real file systems: a small tmpfs,
// mounted in a mount namespace of this process only. Where mounting is not
// allowed those two rows are reported and left out.
#include "ModuleFixture.h"
#include "PrivateMount.h"

#include "library/PatternLibrary.h"
#include "platform/fileio.h"
#include "plugin/ModuleOperations.h"

#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <functional>
#include <iostream>

namespace pelmora::testing {
namespace {

// Fills the file system holding `folder` until a write is refused for lack of space.
void FillUp(const std::filesystem::path& folder) {
    std::FILE* file = std::fopen((folder / "filler").c_str(), "wb");
    ASSERT_NE(file, nullptr);
    const std::string block(4096, 'x');
    while (std::fwrite(block.data(), 1, block.size(), file) == block.size() &&
           std::fflush(file) == 0) {
    }
    std::fclose(file);
    for (char c = 'a'; c <= 'z'; ++c) { // the last bytes go to small files
        WriteBytes(folder / std::string(1, c), "x");
    }
}

// Runs `write` with files limited to `limit` bytes, with the signal that would
// kill the process ignored, so the write fails with an error instead.
template <typename Write> void WithFileSizeLimit(rlim_t limit, Write&& write) {
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = limit;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    write();
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
}

// Where the end keeps the library it could not write into the settings file.
enum class Keeping { Beside, SystemTemp, Nowhere };

// One way for a write to fail. `prepare` puts the old file (if any) in place,
// breaks the file system and returns the path to write; `afterStart`, when
// set, breaks it after the plug-in has read the file.
struct FaultCase {
    const char* Name;
    const char* Reason; // the system's words for the failure, part of the message
    std::function<std::filesystem::path(const std::filesystem::path& dir, const std::string& old)>
        Prepare;
    bool OldIsFolder = false;   // the target is a folder, which must stay empty
    bool WholeWriteCut = false; // the write runs under a file size limit
    Keeping KeptIn = Keeping::SystemTemp;
    std::function<void(const std::filesystem::path& target)> AfterStart = nullptr;
    const char* SettingsReason = nullptr; // when the end words it otherwise
};

std::vector<FaultCase> FaultCases() {
    return {
        {"read-only folder", "読み取り専用のドライブです。",
         [](const std::filesystem::path& dir, const std::string& old) {
             const std::filesystem::path folder = dir / "ro";
             if (!MountTmpfs(folder, "1m")) {
                 return std::filesystem::path();
             }
             WriteBytes(folder / "target", old);
             EXPECT_EQ(::mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr),
                       0);
             return folder / "target";
         }},
        {"target is a folder", "フォルダーです。",
         [](const std::filesystem::path& dir, const std::string&) { return dir / "target"; }, true,
         false, Keeping::Beside,
         [](const std::filesystem::path& target) { std::filesystem::create_directory(target); }},
        {"folder does not exist", "フォルダーが見つかりません。",
         [](const std::filesystem::path& dir, const std::string&) {
             return dir / "missing" / "target";
         },
         false, false, Keeping::SystemTemp, nullptr, "フォルダーが見つからなかった"},
        {"full disk", "ディスクの空き容量が足りません。",
         [](const std::filesystem::path& dir, const std::string& old) {
             const std::filesystem::path folder = dir / "full";
             if (!MountTmpfs(folder, "256k")) {
                 return std::filesystem::path();
             }
             WriteBytes(folder / "target", old);
             FillUp(folder);
             return folder / "target";
         }},
        {"write cut off part of the way", "ファイルが大きすぎます。",
         [](const std::filesystem::path& dir, const std::string& old) {
             WriteBytes(dir / "target", old);
             return dir / "target";
         },
         false, true, Keeping::Nowhere},
    };
}

class ReliabilityWriteFaults : public ModuleTest {
protected:
    void TearDown() override {
        for (const char* folder : {"ro", "full"}) {
            Unmount(dir_ / folder);
        }
        ModuleTest::TearDown();
    }

    // Starts on a good settings file and grows the library so that any write
    // is larger than the old file.
    void StartWithLargeLibrary() {
        StartWith({"A", "B"});
        GrowLibrary();
    }
    void GrowLibrary() {
        for (int i = 0; i < 200; ++i) {
            TestModule().State.Library->Append("P" + std::to_string(i), MakePattern(i));
        }
    }

    // The recovery file of `target` where the case keeps it, holding the
    // library's `patterns`, and no other; it is removed once looked at.
    void ExpectKept(const FaultCase& c, const std::filesystem::path& target, std::size_t patterns) {
        const std::string name = target.filename().string() + "." + std::string("未保存");
        const auto beside = FilesStartingWith(target.parent_path(), name);
        const auto inTemp = FilesStartingWith(systemTempDir_, name);
        EXPECT_EQ(beside.size(), c.KeptIn == Keeping::Beside ? 1u : 0u) << c.Name;
        EXPECT_EQ(inTemp.size(), c.KeptIn == Keeping::SystemTemp ? 1u : 0u) << c.Name;
        for (const auto& kept : c.KeptIn == Keeping::Beside ? beside : inTemp) {
            EXPECT_EQ(LibraryNames(ReadBytes(kept)).size(), patterns) << c.Name;
            std::filesystem::remove(kept);
        }
    }

    std::size_t EntriesIn(const std::filesystem::path& folder) {
        std::size_t entries = 0;
        for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder)) {
            ++entries;
        }
        return entries;
    }

    // The target is as it was before the write: the old bytes, the empty
    // folder, or nothing at all; and no temporary file is left beside it.
    void ExpectUntouched(const FaultCase& c, const std::filesystem::path& target,
                         const std::string& old, std::size_t entriesBefore) {
        if (c.OldIsFolder) {
            EXPECT_TRUE(std::filesystem::is_directory(target)) << c.Name;
            EXPECT_TRUE(std::filesystem::is_empty(target)) << c.Name;
        } else if (std::filesystem::exists(target.parent_path())) {
            EXPECT_EQ(ReadBytes(target), old) << c.Name;
        } else {
            EXPECT_FALSE(std::filesystem::exists(target.parent_path())) << c.Name;
        }
        if (std::filesystem::exists(target.parent_path())) {
            EXPECT_EQ(EntriesIn(target.parent_path()), entriesBefore) << c.Name;
        }
    }
};

TEST_F(ReliabilityWriteFaults, SettingsFileAtEndStaysAsItWasAndTheLibraryIsKept) {
    const std::string old = SettingsText({"Old"});
    for (const FaultCase& c : FaultCases()) {
        TestModule().State = TModuleState{};
        prompts_->Shown.clear();
        const std::filesystem::path target = c.Prepare(dir_, old);
        if (target.empty()) {
            std::cout << "[ skipped  ] " << c.Name << ": mounting is not allowed here\n";
            continue;
        }
        ASSERT_EQ(TRXSetInitFile(target.c_str()), kTrxTrue);
        ASSERT_EQ(TRXBeginPlugin(), 1) << c.Name;
        GrowLibrary();
        const auto patterns = static_cast<std::size_t>(TestModule().State.Library->Count());
        if (c.AfterStart) {
            c.AfterStart(target);
        }
        const std::size_t entriesBefore =
            std::filesystem::exists(target.parent_path()) ? EntriesIn(target.parent_path()) : 0;
        std::int32_t result = kTrxTrue;
        if (c.WholeWriteCut) {
            WithFileSizeLimit(old.size() + 10, [&] { result = TRXEndPlugin(); });
        } else {
            result = TRXEndPlugin();
        }
        EXPECT_EQ(result, kTrxFalse) << c.Name;
        EXPECT_FALSE(TestModule().State.PluginActive) << c.Name;
        ASSERT_FALSE(prompts_->Messages().empty()) << c.Name;
        const std::string shown = prompts_->Messages().back();
        EXPECT_EQ(prompts_->Shown.back().Kind, MsgKind::Error) << c.Name;
        EXPECT_NE(shown.find(target.string()), std::string::npos) << c.Name << ": " << shown;
        const char* reason = c.SettingsReason != nullptr ? c.SettingsReason : c.Reason;
        EXPECT_NE(shown.find(reason), std::string::npos) << c.Name << ": " << shown;
        ExpectKept(c, target, patterns);
        ExpectUntouched(c, target, old, entriesBefore);
        std::error_code ignored;
        std::filesystem::remove_all(dir_ / "target", ignored);
    }
}

TEST_F(ReliabilityWriteFaults, ExportTargetStaysAsItWasAndTheErrorNamesIt) {
    IniFile oldFile;
    MakePattern(9)->SaveToIni(oldFile, 1, "Old");
    const std::string old = oldFile.ToText();
    StartWithLargeLibrary();
    const std::string exportDirBefore = TestModule().State.Settings.ExportDir;
    std::vector<TExportEntry> entries;
    for (int i = 0; i < TestModule().State.Library->Count(); ++i) {
        entries.push_back(
            {TestModule().State.Library->Name(i), &TestModule().State.Library->Pattern(i)});
    }
    for (const FaultCase& c : FaultCases()) {
        prompts_->Shown.clear();
        const std::filesystem::path target = c.Prepare(dir_, old);
        if (target.empty()) {
            std::cout << "[ skipped  ] " << c.Name << ": mounting is not allowed here\n";
            continue;
        }
        if (c.AfterStart) {
            c.AfterStart(target);
        }
        const std::size_t entriesBefore =
            std::filesystem::exists(target.parent_path()) ? EntriesIn(target.parent_path()) : 0;
        prompts_->SaveAnswers.push_back(target.string());
        // The editor shows what the export throws; the message is the file's.
        std::string error;
        const auto exportNow = [&] {
            try {
                TestModule().Operations->ExportPatterns(entries);
            } catch (const FileError& e) {
                error = e.what();
            }
        };
        if (c.WholeWriteCut) {
            WithFileSizeLimit(old.size() + 10, exportNow);
        } else {
            exportNow();
        }
        EXPECT_NE(error.find(target.string()), std::string::npos) << c.Name << ": " << error;
        EXPECT_NE(error.find(c.Reason), std::string::npos) << c.Name << ": " << error;
        EXPECT_EQ(TestModule().State.Settings.ExportDir, exportDirBefore) << c.Name;
        ExpectUntouched(c, target, old, entriesBefore);
        std::error_code ignored;
        std::filesystem::remove_all(dir_ / "target", ignored);
    }
}

// A process killed while it writes (here by the file size signal, part of the
// way through) leaves the old file whole: the new text goes to a temporary file
// that only replaces the old one once it is complete. The killed process cannot
// show anything, nor remove its temporary file.
TEST_F(ReliabilityWriteFaults, ProcessKilledInTheMiddleOfTheWriteLeavesTheOldFile) {
    const std::string oldSettings = SettingsText({"Old"});
    IniFile oldPatterns;
    MakePattern(9)->SaveToIni(oldPatterns, 1, "Old");
    const struct {
        const char* Name;
        std::string Old;
        std::function<void()> Write;
    } writes[] = {
        {"settings file at end", oldSettings, [] { TRXEndPlugin(); }},
        {"export", oldPatterns.ToText(),
         [this] {
             prompts_->SaveAnswers.push_back((dir_ / "target").string());
             TestModule().Operations->ExportPatterns(
                 {{"A", &TestModule().State.Library->Pattern(0)},
                  {"P0", &TestModule().State.Library->Pattern(2)}});
         }},
    };
    for (const auto& w : writes) {
        TestModule().State = TModuleState{};
        StartWithLargeLibrary();
        const std::filesystem::path target = dir_ / "target";
        WriteBytes(target, w.Old);
        ASSERT_EQ(TRXSetInitFile(target.c_str()), kTrxTrue);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            rlimit small{};
            ::getrlimit(RLIMIT_FSIZE, &small);
            small.rlim_cur = w.Old.size() + 10;
            std::signal(SIGXFSZ, SIG_DFL);
            ::setrlimit(RLIMIT_FSIZE, &small);
            w.Write();
            ::_exit(0); // not reached when the write was cut off
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << w.Name << ": the write was not interrupted";
        EXPECT_EQ(WTERMSIG(status), SIGXFSZ) << w.Name;
        EXPECT_EQ(ReadBytes(target), w.Old) << w.Name;
        std::filesystem::remove(target);
        TestModule().State = TModuleState{};
    }
}

} // namespace
} // namespace pelmora::testing
