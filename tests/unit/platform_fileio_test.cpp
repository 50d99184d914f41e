#include "platform/fileio.h"

#include "platform_tempdir.h"
#include "tests/support/InChild.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <string>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace pelmora;
using pelmora::testing::EntryCount;
using pelmora::testing::ReadRaw;
using pelmora::testing::RunInChild;
using pelmora::testing::TempDir;
using pelmora::testing::WriteRaw;
namespace fs = std::filesystem;

namespace {

// Expects `action` to throw a FileError for `problem` whose message names `name`.
template <typename Action>
void ExpectFileError(Action action, FileProblem problem, const std::string& name) {
    try {
        action();
        ADD_FAILURE() << "no error";
    } catch (const FileError& error) {
        EXPECT_EQ(error.Problem(), problem) << error.what();
        EXPECT_NE(std::string(error.what()).find(name), std::string::npos) << error.what();
    }
}

// A Unix socket bound at `path`, closed (the name stays) when done.
void MakeSocket(const fs::path& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(path.string().size(), sizeof address.sun_path);
    std::strcpy(address.sun_path, path.c_str());
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
}

// A private character device like /dev/null, so that a fault can never touch
// the machine's own. False where devices cannot be made.
bool MakeNullDevice(const fs::path& path) {
    return ::mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
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
    fs::create_symlink("data.bin", dir / "link");
    EXPECT_EQ(ReadWholeFile(dir / "link"), bytes);
    // A file longer than it measured (the kernel's files measure 0 bytes) is
    // read to its end, and the limit still holds.
    EXPECT_NE(ReadWholeFile("/proc/self/status").find("VmSize:"), std::string::npos);
    ExpectFileError([&] { ReadWholeFile("/proc/self/status", 10); }, FileProblem::TooLarge,
                    "/proc/self/status");
}

TEST(PlatformFileIo, ReadLimitIsInclusive) {
    TempDir dir;
    WriteRaw(dir / "ten", "0123456789");
    EXPECT_EQ(ReadWholeFile(dir / "ten", 10), "0123456789");
    ExpectFileError([&] { ReadWholeFile(dir / "ten", 9); }, FileProblem::TooLarge, "ten");
}

TEST(PlatformFileIo, ErrorsAreJapaneseAndNameTheFile) {
    TempDir dir;
    const fs::path file = dir / "absent.ini";
    try {
        ReadWholeFile(file);
        FAIL() << "no error";
    } catch (const FileError& error) {
        EXPECT_EQ(error.what(), "ファイル \"" + file.string() +
                                    "\" を読み込めません。ファイルが見つかりません。");
    }
    WriteRaw(dir / "big", std::string(9u << 20, 'x'));
    try {
        ReadWholeFile(dir / "big");
        FAIL() << "no error";
    } catch (const FileError& error) {
        EXPECT_EQ(error.what(),
                  "ファイル \"" + (dir / "big").string() +
                      "\" を読み込めません。ファイルが大きすぎます (上限は 8 MB です)。");
    }
    EXPECT_EQ(LimitText(8u << 20), "8 MB");
    EXPECT_EQ(LimitText(1000), "1000 バイト");
    // The system's words (English here) only ever follow Pelmora's own.
    const struct {
        int Error;
        const char* Reason;
    } codes[] = {{EBUSY, "ほかのプログラムが使用中です。"},
                 {ETXTBSY, "ほかのプログラムが使用中です。"},
                 {EIO, "装置の読み書きでエラーが発生しました。"},
                 {ESTALE, "ネットワークの接続が失われました。"},
                 {EXDEV, "予期しないエラーです (システムのエラー 18: "}};
    for (const auto& c : codes) {
        const std::string text =
            FileErrorFromSystem(FileAction::Write, "x.ini", static_cast<unsigned long>(c.Error))
                .what();
        EXPECT_EQ(text.rfind(std::string("ファイル \"x.ini\" に書き込めません。") + c.Reason, 0),
                  0u)
            << text;
    }
}

// Nothing but a regular file is opened for reading, so nothing can block:
// the pipe held open by a writer that never writes blocked the read for ever.
TEST(PlatformFileIo, ReadingRefusesWhatIsNotARegularFileWithoutBlocking) {
    TempDir dir;
    ASSERT_EQ(::mkfifo((dir / "idle.ptn").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo((dir / "unopened.ini").c_str(), 0600), 0);
    fs::create_directory(dir / "folder.ini");
    MakeSocket(dir / "socket.ini");
    fs::create_symlink("idle.ptn", dir / "link-to-pipe.ini");
    const int writer = ::open((dir / "idle.ptn").c_str(), O_RDWR); // a writer that never writes
    ASSERT_GE(writer, 0);
    RunInChild(
        [&] {
            const std::pair<fs::path, FileProblem> cases[] = {
                {dir / "idle.ptn", FileProblem::NotRegularFile},
                {dir / "unopened.ini", FileProblem::NotRegularFile},
                {dir / "link-to-pipe.ini", FileProblem::NotRegularFile},
                {dir / "socket.ini", FileProblem::NotRegularFile},
                {"/dev/zero", FileProblem::NotRegularFile},
                {dir / "folder.ini", FileProblem::IsFolder},
                {dir / "absent.ini", FileProblem::NotFound},
            };
            for (const auto& [path, problem] : cases) {
                SCOPED_TRACE(path.string());
                ExpectFileError([&] { ReadWholeFile(path); }, problem, path.string());
            }
        },
        "reading a pipe, device, socket or folder");
    ::close(writer);
}

TEST(PlatformFileIo, WriteCreatesAndReplaces) {
    TempDir dir;
    const auto target = dir / "set.ini";
    WriteWholeFile(target, "first");
    EXPECT_EQ(ReadRaw(target), "first");
    WriteWholeFile(target, "second, longer");
    EXPECT_EQ(ReadRaw(target), "second, longer");
    WriteWholeFile(target, "");
    EXPECT_EQ(ReadRaw(target), "");
    EXPECT_EQ(EntryCount(dir.Path()), 1u) << "a temporary file was left behind";
}

TEST(PlatformFileIo, WriteKeepsPermissions) {
    TempDir dir;
    const auto target = dir / "shared.ini";
    WriteRaw(target, "old");
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    WriteWholeFile(target, "new");
    struct stat info {};
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);

    // A new file gets what the creation mask allows.
    for (const auto& [mask, mode] :
         {std::pair<mode_t, mode_t>{022, 0644}, {077, 0600}, {002, 0664}}) {
        const auto fresh = dir / ("fresh" + std::to_string(mask));
        const mode_t old = ::umask(mask);
        WriteWholeFile(fresh, "x");
        ::umask(old);
        ASSERT_EQ(::stat(fresh.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, mode) << mask;
    }
}

// Root may write another user's file; the file stays that user's.
TEST(PlatformFileIo, WriteKeepsTheOwner) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to give a file to another user";
    }
    TempDir dir;
    const auto target = dir / "theirs.ini";
    WriteRaw(target, "old");
    ASSERT_EQ(::chown(target.c_str(), 4321, 4322), 0);
    ASSERT_EQ(::chmod(target.c_str(), 0600), 0);
    WriteWholeFile(target, "new");
    struct stat info {};
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(ReadRaw(target), "new");
    EXPECT_EQ(info.st_uid, 4321u);
    EXPECT_EQ(info.st_gid, 4322u);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
}

// A file without write permission was replaced, even changing its owner,
// when root wrote it. Write protection protects everyone's file from everyone.
TEST(PlatformFileIo, AWriteProtectedFileIsRefusedAndKept) {
    TempDir dir;
    for (const mode_t mode : {0444, 0400, 0000, 0555}) {
        SCOPED_TRACE(mode);
        const auto target = dir / "locked.ini";
        WriteRaw(target, "keep me");
        ASSERT_EQ(::chmod(target.c_str(), mode), 0);
        fs::create_symlink("locked.ini", dir / "link.ini");
        ExpectFileError([&] { WriteWholeFile(target, "new"); }, FileProblem::WriteProtected,
                        "locked.ini");
        ExpectFileError([&] { WriteWholeFile(dir / "link.ini", "new"); },
                        FileProblem::WriteProtected, "link.ini");
        struct stat info {};
        ASSERT_EQ(::stat(target.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, mode);
        ASSERT_EQ(::chmod(target.c_str(), 0600), 0);
        EXPECT_EQ(ReadRaw(target), "keep me");
        EXPECT_EQ(EntryCount(dir.Path()), 2u) << "a temporary file was left behind";
        fs::remove(target);
        fs::remove(dir / "link.ini");
    }
}

TEST(PlatformFileIo, LinksAreFollowedToTheirFinalTarget) {
    TempDir dir;
    fs::create_directory(dir / "real");
    WriteRaw(dir / "real" / "set.ini", "old");
    // An existing target, through a chain of links, one of them relative to
    // a folder of its own.
    fs::create_symlink("real/set.ini", dir / "one.ini");
    fs::create_symlink(dir / "one.ini", dir / "two.ini");
    WriteWholeFile(dir / "two.ini", "new");
    EXPECT_EQ(ReadRaw(dir / "real" / "set.ini"), "new");
    EXPECT_TRUE(fs::is_symlink(dir / "one.ini"));
    EXPECT_TRUE(fs::is_symlink(dir / "two.ini"));

    // A dangling link, and a chain ending in one: the file is created where
    // the chain ends; the links were replaced themselves before.
    fs::create_symlink("real/later.ini", dir / "dangling.ini");
    fs::create_symlink("dangling.ini", dir / "to-dangling.ini");
    WriteWholeFile(dir / "to-dangling.ini", "created");
    EXPECT_EQ(ReadRaw(dir / "real" / "later.ini"), "created");
    EXPECT_TRUE(fs::is_symlink(dir / "dangling.ini"));
    EXPECT_TRUE(fs::is_symlink(dir / "to-dangling.ini"));
    fs::create_symlink("../missing/x.ini", dir / "real" / "nowhere.ini");
    ExpectFileError([&] { WriteWholeFile(dir / "real" / "nowhere.ini", "x"); },
                    FileProblem::FolderNotFound, "nowhere.ini");

    // Loops are errors, and touch nothing.
    fs::create_symlink("b.ini", dir / "a.ini");
    fs::create_symlink("a.ini", dir / "b.ini");
    fs::create_symlink("self.ini", dir / "self.ini");
    for (const char* name : {"a.ini", "self.ini"}) {
        ExpectFileError([&] { WriteWholeFile(dir / name, "x"); }, FileProblem::LinkUnresolvable,
                        name);
    }
    fs::create_symlink("real", dir / "folder-link");
    ExpectFileError([&] { WriteWholeFile(dir / "folder-link", "x"); }, FileProblem::IsFolder,
                    "folder-link");
    EXPECT_EQ(EntryCount(dir.Path()), 9u);
    EXPECT_EQ(EntryCount(dir / "real"), 3u);
}

TEST(PlatformFileIo, SettingsAndPatternFilesMustBeRegularFiles) {
    TempDir dir;
    ASSERT_EQ(::mkfifo((dir / "pipe.ini").c_str(), 0600), 0);
    MakeSocket(dir / "socket.ini");
    fs::create_directory(dir / "folder.ini");
    fs::create_symlink("pipe.ini", dir / "link.ini");
    std::vector<std::pair<fs::path, FileProblem>> cases = {
        {dir / "pipe.ini", FileProblem::NotRegularFile},
        {dir / "socket.ini", FileProblem::NotRegularFile},
        {dir / "link.ini", FileProblem::NotRegularFile},
        {dir / "folder.ini", FileProblem::IsFolder},
    };
    if (MakeNullDevice(dir / "null.ini")) {
        cases.push_back({dir / "null.ini", FileProblem::NotRegularFile});
    } else {
        std::cout << "[ skipped  ] a character device as the target: mknod is not allowed here\n";
    }
    const int reader = ::open((dir / "pipe.ini").c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    for (const auto& [path, problem] : cases) {
        SCOPED_TRACE(path.string());
        ExpectFileError([&] { WriteWholeFile(path, "data"); }, problem, path.filename());
        EXPECT_FALSE(fs::is_regular_file(fs::symlink_status(path))) << "replaced";
    }
    char byte = 0;
    EXPECT_NE(::read(reader, &byte, 1), 1) << "something was written into the pipe";
    ::close(reader);
    EXPECT_EQ(EntryCount(dir.Path()), cases.size());
}

// `pelmora render -o /dev/stdout | wc -c` replaced the machine's /dev/stdout
// link with a file and sent nothing down the pipe.
TEST(PlatformFileIo, OutputsMayBePipesAndDevices) {
    TempDir dir;
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    // What /dev/stdout is: a link to the process's descriptor.
    fs::create_symlink("/proc/self/fd/" + std::to_string(pipeEnds[1]), dir / "stdout");
    WriteWholeFile(dir / "stdout", "BM bytes", WriteTarget::RegularFileOrStream);
    ::close(pipeEnds[1]);
    char buffer[64] = {};
    EXPECT_EQ(::read(pipeEnds[0], buffer, sizeof buffer), 8);
    EXPECT_EQ(std::string(buffer), "BM bytes");
    ::close(pipeEnds[0]);
    EXPECT_TRUE(fs::is_symlink(dir / "stdout"));

    // A named pipe with a reader, and one without: refused, not waited for.
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    RunInChild(
        [&] {
            ExpectFileError(
                [&] { WriteWholeFile(dir / "fifo", "x", WriteTarget::RegularFileOrStream); },
                FileProblem::NoReader, "fifo");
        },
        "writing into a pipe nobody reads");
    const int reader = ::open((dir / "fifo").c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    WriteWholeFile(dir / "fifo", "into the fifo", WriteTarget::RegularFileOrStream);
    EXPECT_EQ(::read(reader, buffer, sizeof buffer), 13);
    ::close(reader);

    if (MakeNullDevice(dir / "null")) {
        // The folder may forbid opening devices (nodev); only the refusal to
        // replace it is certain.
        try {
            WriteWholeFile(dir / "null", "gone", WriteTarget::RegularFileOrStream);
        } catch (const FileError& error) {
            EXPECT_EQ(error.Problem(), FileProblem::AccessDenied) << error.what();
        }
        EXPECT_EQ(fs::status(dir / "null").type(), fs::file_type::character);
    }
    MakeSocket(dir / "socket");
    ExpectFileError([&] { WriteWholeFile(dir / "socket", "x", WriteTarget::RegularFileOrStream); },
                    FileProblem::NotRegularFile, "socket");
    WriteWholeFile(dir / "plain.bmp", "a file", WriteTarget::RegularFileOrStream);
    EXPECT_EQ(ReadRaw(dir / "plain.bmp"), "a file");
}

TEST(PlatformFileIo, FailedWritesLeaveNothingBehind) {
    TempDir dir;
    WriteRaw(dir / "plain", "I am a file");
    fs::create_directory(dir / "taken");
    WriteRaw(dir / "taken" / "inside", "keep");
    const std::pair<fs::path, FileProblem> cases[] = {
        {dir / "taken", FileProblem::IsFolder},
        {dir / "missing" / "set.ini", FileProblem::FolderNotFound},
        {dir / "plain" / "set.ini", FileProblem::FolderNotFound},
        {dir / "taken" / "", FileProblem::IsFolder},
    };
    for (const auto& [target, problem] : cases) {
        SCOPED_TRACE(target.string());
        ExpectFileError([&] { WriteWholeFile(target, "data"); }, problem, target.string());
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
        ExpectFileError([&] { WriteWholeFile(target, big); }, FileProblem::TooLarge, "set.ini");
    }
    EXPECT_EQ(ReadRaw(target), old);
    EXPECT_EQ(EntryCount(dir.Path()), 1u) << "the temporary file was not removed";
}

// A writer killed mid-write leaves its temporary file; the next write to the
// same target removes it, and nothing that merely looks like one.
TEST(PlatformFileIo, TheNextWriteRemovesWhatAKilledWriterLeft) {
    TempDir dir;
    const auto target = dir / "set.ini";
    WriteRaw(target, "old");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        rlimit limit{4096, 4096}; // SIGXFSZ at its default kills the writer
        ::setrlimit(RLIMIT_FSIZE, &limit);
        try {
            WriteWholeFile(target, std::string(1 << 20, 'x'));
        } catch (...) {
        }
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer was not killed";
    ASSERT_EQ(EntryCount(dir.Path()), 2u) << "the killed writer left no temporary file";

    // Stale files of the same target, and things that must stay.
    WriteRaw(dir / ".set.ini.pelmora-tmp-Ab12Zz", "stale");
    const std::vector<std::string> keep = {
        ".set.ini.pelmora-tmp-Ab12Z",  ".set.ini.pelmora-tmp-Ab12Zz9",
        ".set.ini.pelmora-tmp-Ab_2Zz", ".set.ini.pelmora-tmp-Ab12Zz~",
        "set.ini.pelmora-tmp-Ab12Zz",  ".other.ini.pelmora-tmp-Ab12Zz",
        ".set.ini.pelmora-tmp-live01",
    };
    for (const std::string& name : keep) {
        WriteRaw(dir / name, "keep");
    }
    WriteRaw(dir / "precious", "keep");
    fs::create_symlink("precious", dir / ".set.ini.pelmora-tmp-link01");
    fs::create_directory(dir / ".set.ini.pelmora-tmp-fold01");
    // A writer at work holds its temporary file locked.
    const int live = ::open((dir / ".set.ini.pelmora-tmp-live01").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(live, LOCK_EX), 0);

    WriteWholeFile(target, "new");
    ::close(live);
    EXPECT_EQ(ReadRaw(target), "new");
    for (const std::string& name : keep) {
        EXPECT_TRUE(fs::exists(dir / name)) << name;
    }
    EXPECT_EQ(ReadRaw(dir / "precious"), "keep");
    EXPECT_TRUE(fs::is_symlink(dir / ".set.ini.pelmora-tmp-link01"));
    EXPECT_TRUE(fs::is_directory(dir / ".set.ini.pelmora-tmp-fold01"));
    // The target, the kept ones, the precious file, its link and the folder.
    EXPECT_EQ(EntryCount(dir.Path()), 1 + keep.size() + 3);
}

TEST(PlatformFileIo, TemporaryFileNames) {
    EXPECT_EQ(TempFilePrefix("/a/set.ini"), ".set.ini.pelmora-tmp-");
    EXPECT_TRUE(IsTempFileOf(".set.ini.pelmora-tmp-aZ09xy", "/a/set.ini"));
    EXPECT_TRUE(IsTempFileOf("/elsewhere/.set.ini.pelmora-tmp-aZ09xy", "set.ini"));
    EXPECT_FALSE(IsTempFileOf(".set.ini.pelmora-tmp-aZ09x", "set.ini"));
    EXPECT_FALSE(IsTempFileOf(".set.ini.pelmora-tmp-aZ0-xy", "set.ini"));
    EXPECT_FALSE(IsTempFileOf(".set.ini.pelmora-tmp-aZ09xy", "set.in"));
}

TEST(PlatformFileIo, PathTextIsUtf8) {
    EXPECT_EQ(PathText(fs::path(u8"/tmp/パターン.ini")), "/tmp/パターン.ini");
    EXPECT_EQ(PathText("relative/x.bmp"), "relative/x.bmp");
}

} // namespace
