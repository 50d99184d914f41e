// The files the plug-in reads and writes when they are not what they should
// be: pipes, devices, sockets and folders in place of the settings file or an
// export, links, write-protected files, imports that would make a settings
// file too large to read back, and running out of memory while reading.
#include "MemoryLimit.h"
#include "ModuleFixture.h"

#include "library/PatternLibrary.h"
#include "platform/fileio.h"
#include "plugin/ModuleOperations.h"
#include "tests/support/InChild.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <iostream>

namespace pelmora::testing {
namespace {

namespace fs = std::filesystem;

std::string ReadError(const fs::path& file, const char* reason) {
    return "ファイル \"" + file.string() + "\" を読み込めません。" + reason;
}

constexpr const char* kNotRegular = "装置、パイプ、ソケットなど、通常のファイルではありません。";

void MakeSocket(const fs::path& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
}

// A private device like /dev/null: a fault can never touch the machine's own.
bool MakeNullDevice(const fs::path& path) {
    return ::mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
}

// Bytes waiting in a pipe, read without waiting.
std::string Pending(int fd) {
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    char buffer[256];
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    return got > 0 ? std::string(buffer, static_cast<std::size_t>(got)) : std::string();
}

// A pattern file of `lines` part lines in their shortest form ("<i>=1"), which
// the library writes back in full, about four times as long.
std::string ShortFormPatternFile(int lines) {
    std::string text = "[1]\r\nName=big\r\n";
    for (int i = 0; i < lines; ++i) {
        text += std::to_string(i) + "=1\r\n";
    }
    return text;
}

using SettingsFileKinds = ModuleTest;

// /dev/null as the settings file was replaced by a regular file at the end,
// and a pipe held open by a writer that never writes blocked the start for ever.
TEST_F(SettingsFileKinds, WhatIsNotARegularFileIsRefusedAtTheStartAndNeverWritten) {
    ASSERT_EQ(::mkfifo((dir_ / "unopened.ini").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo((dir_ / "idle.ini").c_str(), 0600), 0);
    MakeSocket(dir_ / "socket.ini");
    fs::create_symlink("idle.ini", dir_ / "link.ini");
    fs::create_directory(dir_ / "folder.ini");
    std::vector<std::pair<fs::path, const char*>> cases = {
        {dir_ / "unopened.ini", kNotRegular},      {dir_ / "idle.ini", kNotRegular},
        {dir_ / "socket.ini", kNotRegular},        {dir_ / "link.ini", kNotRegular},
        {dir_ / "folder.ini", "フォルダーです。"},
    };
    if (MakeNullDevice(dir_ / "null.ini")) {
        cases.push_back({dir_ / "null.ini", kNotRegular});
    } else {
        std::cout << "[ skipped  ] a device as the settings file: mknod is not allowed here\n";
    }
    const int idleWriter = ::open((dir_ / "idle.ini").c_str(), O_RDWR);
    ASSERT_GE(idleWriter, 0);
    RunInChild(
        [&] {
            for (const auto& [file, reason] : cases) {
                SCOPED_TRACE(file.string());
                TestModule().State = TModuleState{};
                prompts_->Shown.clear();
                ASSERT_EQ(TRXSetInitFile(file.c_str()), kTrxTrue);
                EXPECT_EQ(TRXBeginPlugin(), kTrxFalse);
                EXPECT_FALSE(TestModule().State.PluginActive);
                EXPECT_EQ(prompts_->Messages(), std::vector<std::string>{ReadError(file, reason)});
                EXPECT_EQ(TRXEndPlugin(), kTrxFalse);
                EXPECT_FALSE(fs::is_regular_file(fs::symlink_status(file)));
            }
        },
        "starting on a pipe, device, socket or folder");
    EXPECT_EQ(Pending(idleWriter), "") << "something was written into the pipe";
    ::close(idleWriter);
    EXPECT_TRUE(fs::is_symlink(dir_ / "link.ini"));
    EXPECT_TRUE(fs::is_empty(dir_ / "folder.ini"));
}

// A link to a file not yet created had the link itself replaced at the end.
TEST_F(SettingsFileKinds, ALinkToAFileNotYetThereIsFollowed) {
    fs::create_directory(dir_ / "data");
    fs::create_symlink("data/Pelmora.ini", settings_);
    ASSERT_EQ(Start(), 1);
    ASSERT_TRUE(TestModule().State.PluginActive);
    TestModule().State.Library->Append("A", MakePattern(1));
    ASSERT_EQ(TRXEndPlugin(), kTrxTrue);
    EXPECT_TRUE(fs::is_symlink(settings_));
    EXPECT_EQ(IniFile::Load(dir_ / "data" / "Pelmora.ini").Value("0", "Name"), "A");
    EXPECT_TRUE(prompts_->Shown.empty());
}

// A settings file whose write permission was removed was replaced anyway by
// root, and changed its owner. It is read, but never replaced: the session's
// library goes to a recovery file beside it.
TEST_F(SettingsFileKinds, AWriteProtectedFileIsReadButNotReplaced) {
    const std::string old = SettingsText({"A"});
    WriteBytes(settings_, old);
    ASSERT_EQ(::chmod(settings_.c_str(), 0444), 0);
    ASSERT_EQ(Start(), 1);
    ASSERT_EQ(TestModule().State.Library->Count(), 1);
    TestModule().State.Library->Append("B", MakePattern(2));
    EXPECT_EQ(TRXEndPlugin(), kTrxFalse);
    const fs::path kept = dir_ / "Pelmora.ini.未保存.ini";
    EXPECT_EQ(prompts_->Messages(),
              std::vector<std::string>{
                  "設定ファイル \"" + settings_.string() +
                  "\" に保存できませんでした。\nファイル \"" + settings_.string() +
                  "\" に書き込めません。書き込みが禁止されています (読み取り専用)。\n"
                  "パターンと設定は \"" +
                  kept.string() +
                  "\" に保存しました。\n必要なら、Tavrin を終了してからこのファイルで設定ファイルを"
                  "置き換えるか、「パターンのインポート」でパターンを取り込んでください。"});
    struct stat info {};
    ASSERT_EQ(::stat(settings_.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0444u);
    EXPECT_EQ(ReadBytes(settings_), old);
    EXPECT_EQ(LibraryNames(ReadBytes(kept)), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2)
        << "a temporary file was left";
}

TEST_F(SettingsFileKinds, ExportsGoOnlyIntoRegularFiles) {
    StartWith({"A"});
    const std::vector<TExportEntry> entries = {{"A", &TestModule().State.Library->Pattern(0)}};
    ASSERT_EQ(::mkfifo((dir_ / "pipe.ptn").c_str(), 0600), 0);
    MakeSocket(dir_ / "socket.ptn");
    std::vector<fs::path> targets = {dir_ / "pipe.ptn", dir_ / "socket.ptn"};
    if (MakeNullDevice(dir_ / "null.ptn")) {
        targets.push_back(dir_ / "null.ptn");
    }
    const int reader = ::open((dir_ / "pipe.ptn").c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    const std::string exportDir = TestModule().State.Settings.ExportDir;
    for (const fs::path& target : targets) {
        prompts_->SaveAnswers.push_back(target.string());
        try {
            TestModule().Operations->ExportPatterns(entries);
            ADD_FAILURE() << target << " was written";
        } catch (const FileError& e) {
            EXPECT_EQ(std::string(e.what()),
                      "ファイル \"" + target.string() + "\" に書き込めません。" + kNotRegular);
        }
        EXPECT_FALSE(fs::is_regular_file(target));
    }
    EXPECT_EQ(Pending(reader), "");
    ::close(reader);
    EXPECT_EQ(TestModule().State.Settings.ExportDir, exportDir);
}

using LockOut = ModuleTest;

// A 22 MB pattern file of 2.1 million short part lines imported; the end
// wrote them in full, 68 MB, and the next start was refused as too large: the
// whole library was locked out. Now neither that file nor a smaller one that
// grows past the limit when written is imported, and the library stays whole.
TEST_F(LockOut, AnImportTheSettingsFileCouldNotHoldIsRefusedUpFront) {
    const struct {
        int Lines;
        std::string Message; // after the file's path
    } cases[] = {
        {2'100'000, "\" を読み込めません。ファイルが大きすぎます (上限は 8 MB です)。"},
        {400'000, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Lines);
        TestModule().State = TModuleState{};
        prompts_->Shown.clear();
        StartWith({"A", "B"});
        const fs::path file = dir_ / "in" / "big.ptn";
        fs::create_directories(file.parent_path());
        WriteBytes(file, ShortFormPatternFile(c.Lines));
        const std::vector<std::string> menu = Menu();
        const std::string importDir = TestModule().State.Settings.ImportDir;
        prompts_->OpenAnswers.push_back(file.string());
        EXPECT_EQ(TRXMenuClick(4, 1), kTrxFalse); // n = 2: item 4 is import
        const std::string expected = c.Message.empty()
                                         ? "インポートすると設定ファイルが上限の 8 MB "
                                           "を超えるため、インポートしませんでした。"
                                         : "ファイル \"" + file.string() + c.Message;
        EXPECT_EQ(prompts_->Messages(), std::vector<std::string>{expected});
        EXPECT_EQ(Menu(), menu);
        EXPECT_EQ(TestModule().State.Settings.ImportDir, importDir);

        ASSERT_EQ(TRXEndPlugin(), kTrxTrue);
        ASSERT_EQ(Start(), 1) << "the library was locked out";
        EXPECT_EQ(TestModule().State.Library->Names(), (std::vector<std::string>{"A", "B"}));
        ASSERT_EQ(TRXEndPlugin(), kTrxTrue);
    }
}

// A start on a library too large to write back works; the end then keeps
// the file as it was rather than write one the next start would refuse.
TEST_F(LockOut, AnEndThatWouldWriteAnUnreadableFileKeepsTheOldOne) {
    const std::string old = ShortFormPatternFile(400'000);
    ASSERT_LT(old.size(), kMaxInputFileSize);
    ASSERT_EQ(Start(&old), 1);
    EXPECT_EQ(TRXEndPlugin(), kTrxFalse);
    ASSERT_EQ(prompts_->Messages().size(), 1u);
    EXPECT_NE(prompts_->Messages()[0].find(
                  "に書き込めません。ファイルが大きすぎます (上限は 8 MB です)。"),
              std::string::npos)
        << prompts_->Messages()[0];
    EXPECT_EQ(ReadBytes(settings_), old);
}

using OutOfMemory = ModuleTest;

// 4 MB of tiny patterns: reading them takes about 150 MB.
std::string TinyPatterns() {
    std::string text;
    while (text.size() < 4'000'000) {
        text += "[]\r\nName=a\r\n";
    }
    return text;
}

// Running out of memory while reading showed "std::bad_alloc". The limits run
// out in the reading of the file, its sections, its patterns and the weighing.
TEST_F(OutOfMemory, IsAPlainMessageAndLeavesTheLibraryAndTheFileAlone) {
    const fs::path bigFile = dir_ / "big.ptn";
    const std::string big = TinyPatterns();
    WriteBytes(bigFile, big);
    const std::string message = ReadError(bigFile, "メモリが不足しました。");
    for (const std::size_t limit : {1u << 20, 6u << 20, 24u << 20, 64u << 20, 100u << 20}) {
        SCOPED_TRACE(limit);
        TestModule().State = TModuleState{};
        prompts_->Shown.clear();
        // The start, on a settings file there is not memory enough for.
        ASSERT_EQ(TRXSetInitFile(bigFile.c_str()), kTrxTrue);
        {
            MemoryLimit memory(limit);
            EXPECT_EQ(TRXBeginPlugin(), kTrxFalse);
        }
        EXPECT_FALSE(TestModule().State.PluginActive);
        EXPECT_EQ(prompts_->Messages(), std::vector<std::string>{message});
        EXPECT_EQ(TRXEndPlugin(), kTrxFalse);
        EXPECT_EQ(ReadBytes(bigFile), big);

        // An import of it into a running plug-in.
        prompts_->Shown.clear();
        ASSERT_EQ(StartWith({"A", "B"}), 1);
        prompts_->OpenAnswers.push_back(bigFile.string());
        {
            MemoryLimit memory(limit);
            EXPECT_EQ(TRXMenuClick(4, 1), kTrxFalse);
        }
        EXPECT_EQ(prompts_->Messages(), std::vector<std::string>{message});
        EXPECT_EQ(TestModule().State.Library->Names(), (std::vector<std::string>{"A", "B"}));
        ASSERT_EQ(TRXEndPlugin(), kTrxTrue);
        PatternLibrary saved;
        LoadPatterns(IniFile::Load(settings_), saved);
        EXPECT_EQ(saved.Names(), (std::vector<std::string>{"A", "B"}));
    }
}

} // namespace
} // namespace pelmora::testing
