// Files on Windows keep the promises they keep on Linux: only regular files
// are read or replaced, write protection protects, a failed write leaves the
// old file, and temporary files a killed writer left are cleaned up.
#include "platform/fileio.h"

#include "../unit/platform_tempdir.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace pelmora {
namespace {

using testing::EntryCount;
using testing::ReadRaw;
using testing::TempDir;
using testing::WriteRaw;

// The message names the file and gives the reason in the user's words.
void ExpectRefused(const std::function<void()>& action, const std::string& file,
                   const std::string& reason) {
    try {
        action();
        ADD_FAILURE() << "no error for " << file;
    } catch (const FileError& error) {
        const std::string message = error.what();
        EXPECT_NE(message.find(file), std::string::npos) << message;
        EXPECT_NE(message.find(reason), std::string::npos) << message;
    }
}

TEST(Win32Files, ReplacesAFileAndLeavesNothingElse) {
    TempDir dir;
    const auto file = dir / "settings.ini";
    WriteRaw(file, "old");
    WriteWholeFile(file, "new content");
    EXPECT_EQ(ReadWholeFile(file), "new content");
    WriteWholeFile(dir / "fresh.ini", "");
    EXPECT_EQ(ReadWholeFile(dir / "fresh.ini"), "");
    EXPECT_EQ(EntryCount(dir.Path()), 2u);
}

TEST(Win32Files, ShiftJisFoldersWithABackslashTrailByte) {
    TempDir dir;
    const auto folder = dir.Path() / L"\x8868\x30BD\x80FD"; // 表ソ能
    std::filesystem::create_directory(folder);
    const auto file = folder / L"\x30BD.ini";
    WriteWholeFile(file, "[Main]\r\n");
    EXPECT_EQ(ReadWholeFile(file), "[Main]\r\n");
}

TEST(Win32Files, AReadOnlyFileIsRefusedAndKept) {
    TempDir dir;
    const auto file = dir / "locked.ini";
    WriteRaw(file, "old");
    ASSERT_TRUE(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY));
    ExpectRefused([&] { WriteWholeFile(file, "new"); }, "locked.ini",
                  "書き込みが禁止されています (読み取り専用)。");
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadRaw(file), "old");
    EXPECT_EQ(EntryCount(dir.Path()), 1u);
}

TEST(Win32Files, FoldersDevicesAndMissingFoldersAreRefused) {
    TempDir dir;
    std::filesystem::create_directory(dir / "folder.ini");
    ExpectRefused([&] { WriteWholeFile(dir / "folder.ini", "x"); }, "folder.ini", "フォルダーです");
    ExpectRefused([&] { ReadWholeFile(dir / "folder.ini"); }, "folder.ini", "フォルダーです");
    ExpectRefused([&] { WriteWholeFile("NUL", "x"); }, "NUL", "通常のファイルではありません");
    WriteWholeFile("NUL", "x", WriteTarget::RegularFileOrStream); // a device is written into
    ExpectRefused([&] { ReadWholeFile("NUL"); }, "NUL", "通常のファイルではありません");
    ExpectRefused([&] { WriteWholeFile(dir / "gone" / "x.ini", "x"); }, "x.ini", "見つかりません");
    ExpectRefused([&] { ReadWholeFile(dir / "missing.ini"); }, "missing.ini",
                  "ファイルが見つかりません。");
    EXPECT_EQ(EntryCount(dir.Path()), 1u);
}

TEST(Win32Files, ReadingStopsAtTheLimit) {
    TempDir dir;
    const auto file = dir / "big.ini";
    WriteRaw(file, std::string(2 * 1024 * 1024 + 1, 'x'));
    ExpectRefused([&] { ReadWholeFile(file, 2 * 1024 * 1024); }, "big.ini", "2 MB");
    EXPECT_EQ(ReadWholeFile(file, 3 * 1024 * 1024).size(), 2u * 1024 * 1024 + 1);
}

TEST(Win32Files, TemporaryFilesAKilledWriterLeftAreRemovedAndNothingElse) {
    TempDir dir;
    const auto file = dir / "s.ini";
    WriteRaw(dir / ".s.ini.pelmora-tmp-Ab12Cd", "stale");
    WriteRaw(dir / ".s.ini.pelmora-tmp-Ab1", "not one of ours: too short");
    WriteRaw(dir / ".t.ini.pelmora-tmp-Ab12Cd", "another file's");
    const auto held = dir / ".s.ini.pelmora-tmp-Held00";
    WriteRaw(held, "a writer still at work");
    const HANDLE writer = CreateFileW(held.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    WriteWholeFile(file, "new");
    CloseHandle(writer);
    EXPECT_FALSE(std::filesystem::exists(dir / ".s.ini.pelmora-tmp-Ab12Cd"));
    EXPECT_TRUE(std::filesystem::exists(dir / ".s.ini.pelmora-tmp-Ab1"));
    EXPECT_TRUE(std::filesystem::exists(dir / ".t.ini.pelmora-tmp-Ab12Cd"));
    EXPECT_TRUE(std::filesystem::exists(held));
    EXPECT_EQ(ReadRaw(file), "new");
}

} // namespace
} // namespace pelmora
