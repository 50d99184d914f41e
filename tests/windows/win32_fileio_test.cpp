// Files on Windows keep the promises they keep on Linux: only regular files
// are read or replaced, write protection protects, a failed write leaves the
// old file, and temporary files a killed writer left are cleaned up.
#include "platform/fileio.h"

#include "platform/win32/wide.h"

#include "../unit/platform_tempdir.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <iterator>
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

// Another program opening the file for a moment (the launcher showing the
// wallpaper, a scanner, a backup tool) made the save fail at once, in English.
TEST(Win32Files, AFileHeldByAnotherProgramIsWaitedForThenReportedAsInUse) {
    TempDir dir;
    const auto file = dir / "s.ini";
    for (const DWORD share :
         {DWORD{0}, DWORD{FILE_SHARE_READ}, DWORD{FILE_SHARE_READ | FILE_SHARE_WRITE}}) {
        WriteRaw(file, "old");
        HANDLE holder = CreateFileW(file.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(holder, INVALID_HANDLE_VALUE);
        // Let go at the first wait: the next attempt goes through.
        WriteOptions options;
        int waits = 0;
        options.Wait = [&](std::chrono::milliseconds) {
            ++waits;
            CloseHandle(holder);
            holder = INVALID_HANDLE_VALUE;
        };
        WriteWholeFile(file, "new", options);
        EXPECT_EQ(waits, 1) << "share " << share;
        EXPECT_EQ(ReadRaw(file), "new");

        // Held throughout: every wait is taken, then the file is named as in use.
        holder = CreateFileW(file.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(holder, INVALID_HANDLE_VALUE);
        waits = 0;
        options.Wait = [&](std::chrono::milliseconds) { ++waits; };
        ExpectRefused([&] { WriteWholeFile(file, "newer", options); }, "s.ini",
                      "ほかのプログラムが使用中です。");
        CloseHandle(holder);
        EXPECT_EQ(waits, static_cast<int>(std::size(kRetryWaits)));
        EXPECT_EQ(ReadRaw(file), "new");
        EXPECT_EQ(EntryCount(dir.Path()), 1u) << "a temporary or backup file was left";
    }
}

TEST(Win32Files, SystemErrorsAreWordedInJapaneseFirst) {
    const struct {
        unsigned long Error;
        const char* Reason;
    } codes[] = {{ERROR_SHARING_VIOLATION, "ほかのプログラムが使用中です。"},
                 {ERROR_UNABLE_TO_MOVE_REPLACEMENT, "ほかのプログラムが使用中です。"},
                 {ERROR_NOT_READY, "ドライブの準備ができていません。"},
                 {ERROR_INVALID_NAME, "ファイル名の形式が正しくありません。"},
                 {ERROR_NETNAME_DELETED, "ネットワークの接続が失われました。"},
                 {ERROR_CRC, "装置の読み書きでエラーが発生しました。"},
                 {ERROR_INVALID_FUNCTION, "予期しないエラーです (システムのエラー 1: "}};
    for (const auto& c : codes) {
        const std::string text = FileErrorFromSystem(FileAction::Write, L"x.ini", c.Error).what();
        EXPECT_EQ(text.rfind(std::string("ファイル \"x.ini\" に書き込めません。") + c.Reason, 0),
                  0u)
            << text;
    }
}

TEST(Win32Files, AReplacedFileKeepsItsAttributes) {
    TempDir dir;
    const auto file = dir / "s.ini";
    WriteRaw(file, "old");
    ASSERT_TRUE(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    WriteWholeFile(file, "new");
    const DWORD attributes = GetFileAttributesW(file.c_str());
    EXPECT_EQ(attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE),
              DWORD{FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE});
    EXPECT_EQ(ReadRaw(file), "new");
}

// CON, NUL, COM1.ini ... are devices in every folder, whatever the case and
// whatever follows the first dot.
TEST(Win32Files, ReservedDeviceNamesAreNeverReadOrReplaced) {
    TempDir dir;
    for (const wchar_t* name : {L"NUL", L"con", L"AUX.ini", L"COM1", L"lpt1.ini", L"CONIN$",
                                L"CONOUT$", L"nul .ini", L"Aux.", L"PRN.a.b"}) {
        const auto path = dir.Path() / name;
        try {
            ReadWholeFile(path);
            ADD_FAILURE() << "read " << path;
        } catch (const FileError& error) {
            EXPECT_EQ(error.Problem(), FileProblem::NotRegularFile) << path;
        }
        try {
            WriteWholeFile(path, "x");
            ADD_FAILURE() << "wrote " << path;
        } catch (const FileError& error) {
            EXPECT_EQ(error.Problem(), FileProblem::NotRegularFile) << path;
        }
    }
    for (const wchar_t* name : {L"NULL.ini", L"CONSOLE", L"COM10", L"LPT0.ini", L"xNUL"}) {
        WriteWholeFile(dir.Path() / name, "ok");
        EXPECT_EQ(ReadWholeFile(dir.Path() / name), "ok") << std::filesystem::path(name);
    }
}

// A new file's temporary name adds about twenty characters: near and past
// MAX_PATH it was never created without the long-path form.
TEST(Win32Files, PathsNearAndPastMaxPathAreWrittenAndReplaced) {
    TempDir dir;
    for (const std::size_t length : {std::size_t{245}, std::size_t{259}, std::size_t{400}}) {
        std::filesystem::path file = dir.Path();
        while (file.native().size() + 60 < length) {
            file /= std::wstring(50, L'd');
            CreateDirectoryW(win32::LongPath(file.native()).c_str(), nullptr);
        }
        const std::size_t room = length - file.native().size() - 1;
        file /= std::wstring(room - 4, L'f') + L".ini";
        ASSERT_EQ(file.native().size(), length);
        WriteWholeFile(file, "first");
        WriteWholeFile(file, "second");
        EXPECT_EQ(ReadWholeFile(file), "second") << length;
    }
}

} // namespace
} // namespace pelmora
