#include "platform/fileio.h"

#include "platform_tempdir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace pelmora;
using pelmora::testing::EntryCount;
using pelmora::testing::ReadRaw;
using pelmora::testing::TempDir;
using pelmora::testing::WriteRaw;

namespace {

// Expects `action` to throw a FileError whose message names `name`.
template <typename Action> void ExpectFileErrorNaming(Action action, const std::string& name) {
    try {
        action();
        ADD_FAILURE() << "no error";
    } catch (const FileError& error) {
        EXPECT_NE(std::string(error.what()).find(name), std::string::npos) << error.what();
    }
}

TEST(PlatformFileIo, ReadsWholeFiles) {
    TempDir dir;
    std::string bytes;
    for (int i = 0; i < 200000; ++i) {
        bytes += static_cast<char>(i * 7);
    }
    WriteRaw(dir / "data.bin", bytes);
    EXPECT_EQ(ReadWholeFile(dir / "data.bin"), bytes);
    WriteRaw(dir / "empty", "");
    EXPECT_EQ(ReadWholeFile(dir / "empty"), "");
}

TEST(PlatformFileIo, ReadLimitIsInclusive) {
    TempDir dir;
    WriteRaw(dir / "ten", "0123456789");
    EXPECT_EQ(ReadWholeFile(dir / "ten", 10), "0123456789");
    ExpectFileErrorNaming([&] { ReadWholeFile(dir / "ten", 9); }, "ten");
}

TEST(PlatformFileIo, ReadErrorsNameTheFile) {
    TempDir dir;
    ExpectFileErrorNaming([&] { ReadWholeFile(dir / "absent.ini"); }, "absent.ini");
    std::filesystem::create_directory(dir / "folder.ini");
    ExpectFileErrorNaming([&] { ReadWholeFile(dir / "folder.ini"); }, "folder.ini");
    // The limit also holds for files without a size, such as pipes and devices.
    ExpectFileErrorNaming([&] { ReadWholeFile("/dev/zero", 4096); }, "/dev/zero");
}

TEST(PlatformFileIo, AtomicWriteCreatesAndReplaces) {
    TempDir dir;
    const auto target = dir / "set.ini";
    WriteFileAtomic(target, "first");
    EXPECT_EQ(ReadRaw(target), "first");
    WriteFileAtomic(target, "second, longer");
    EXPECT_EQ(ReadRaw(target), "second, longer");
    WriteFileAtomic(target, "");
    EXPECT_EQ(ReadRaw(target), "");
    EXPECT_EQ(EntryCount(dir.Path()), 1u) << "a temporary file was left behind";
}

TEST(PlatformFileIo, AtomicWriteKeepsPermissions) {
    TempDir dir;
    const auto target = dir / "shared.ini";
    WriteRaw(target, "old");
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    WriteFileAtomic(target, "new");
    struct stat info {};
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);

    // A new file gets what the creation mask allows.
    for (const auto& [mask, mode] :
         {std::pair<mode_t, mode_t>{022, 0644}, {077, 0600}, {002, 0664}}) {
        const auto fresh = dir / ("fresh" + std::to_string(mask));
        const mode_t old = ::umask(mask);
        WriteFileAtomic(fresh, "x");
        ::umask(old);
        ASSERT_EQ(::stat(fresh.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, mode) << mask;
    }
}

TEST(PlatformFileIo, AtomicWriteThroughASymbolicLinkReplacesItsTarget) {
    TempDir dir;
    WriteRaw(dir / "real.ini", "old");
    std::filesystem::create_symlink("real.ini", dir / "link.ini");
    WriteFileAtomic(dir / "link.ini", "new");
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.ini"));
    EXPECT_EQ(ReadRaw(dir / "real.ini"), "new");
}

TEST(PlatformFileIo, FailedWritesLeaveNothingBehind) {
    TempDir dir;
    WriteRaw(dir / "plain", "I am a file");
    std::filesystem::create_directory(dir / "taken");
    WriteRaw(dir / "taken" / "inside", "keep");
    const std::filesystem::path targets[] = {
        dir / "taken",               // the target is a folder
        dir / "missing" / "set.ini", // the folder does not exist
        dir / "plain" / "set.ini",   // the "folder" is a file
        dir / "taken" / "",          // a folder path with no file name
    };
    for (const auto& target : targets) {
        SCOPED_TRACE(target.string());
        ExpectFileErrorNaming([&] { WriteFileAtomic(target, "data"); }, target.string());
    }
    EXPECT_EQ(ReadRaw(dir / "plain"), "I am a file");
    EXPECT_EQ(ReadRaw(dir / "taken" / "inside"), "keep");
    EXPECT_EQ(EntryCount(dir.Path()), 2u);
    EXPECT_EQ(EntryCount(dir / "taken"), 1u);
}

// Restores the file size limit and the signal it raises.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        ok_ = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool Ok() const { return ok_; }

private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
    bool ok_ = false;
};

TEST(PlatformFileIo, AWriteThatFailsHalfwayKeepsTheOldFileByteForByte) {
    TempDir dir;
    const auto target = dir / "set.ini";
    const std::string old = "[Main]\r\nLeft=1\r\n\r\n";
    WriteRaw(target, old);
    const std::string big(1 << 20, 'x');
    {
        FileSizeLimit limit(4096); // the disk "fills up" after 4 KiB
        ASSERT_TRUE(limit.Ok());
        ExpectFileErrorNaming([&] { WriteFileAtomic(target, big); }, "set.ini");
    }
    EXPECT_EQ(ReadRaw(target), old);
    EXPECT_EQ(EntryCount(dir.Path()), 1u) << "the temporary file was not removed";
}

TEST(PlatformFileIo, PathTextIsUtf8) {
    EXPECT_EQ(PathText(std::filesystem::path(u8"/tmp/パターン.ini")), "/tmp/パターン.ini");
    EXPECT_EQ(PathText("relative/x.bmp"), "relative/x.bmp");
}

} // namespace
