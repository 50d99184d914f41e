// Reading and writing files on POSIX systems.
#include "platform/fileio.h"
#include "platform/fileio_retry.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <new>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

namespace pelmora {

namespace {

namespace fs = std::filesystem;

// As many hops as the kernel follows before it reports a loop.
constexpr int kMaxLinkHops = 40;

FileProblem ProblemOf(int error) {
    switch (error) {
    case ENOENT:
        return FileProblem::NotFound;
    case ENOTDIR:
        return FileProblem::FolderNotFound;
    case EISDIR:
        return FileProblem::IsFolder;
    case EACCES:
    case EPERM:
        return FileProblem::AccessDenied;
    case ELOOP:
        return FileProblem::LinkUnresolvable;
    case EFBIG:
        return FileProblem::TooLarge;
    case ENOMEM:
        return FileProblem::OutOfMemory;
    case ENOSPC:
    case EDQUOT:
        return FileProblem::DiskFull;
    case EROFS:
        return FileProblem::ReadOnlyDisk;
    case ENAMETOOLONG:
        return FileProblem::NameTooLong;
    case ENXIO:
    case EPIPE:
        return FileProblem::NoReader;
    case EBUSY:
    case ETXTBSY:
        return FileProblem::InUse;
    case ENOMEDIUM:
        return FileProblem::NotReady;
    case EILSEQ:
        return FileProblem::InvalidName;
    case EIO:
        return FileProblem::DeviceError;
    case ESTALE:
    case ENOTCONN:
    case ECONNRESET:
    case ECONNABORTED:
    case EHOSTDOWN:
    case EHOSTUNREACH:
    case ENETDOWN:
    case ENETUNREACH:
        return FileProblem::NetworkError;
    default:
        return FileProblem::Other;
    }
}

[[noreturn]] void Fail(FileAction action, const fs::path& path, int error) {
    throw FileErrorFromSystem(action, path, static_cast<unsigned long>(error));
}

// Closes a descriptor on every path out of a scope.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    // Closes now, reporting the result (a delayed write error can show up here).
    int Close() {
        const int rc = ::close(fd_);
        fd_ = -1;
        return rc;
    }

private:
    int fd_;
};

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

FileStamp StampOf(const struct stat& info) {
    return FileStamp{static_cast<std::uint64_t>(info.st_dev),
                     static_cast<std::uint64_t>(info.st_ino),
                     static_cast<std::uint64_t>(info.st_size),
                     static_cast<std::uint64_t>(info.st_mtim.tv_sec) * 1000000000u +
                         static_cast<std::uint64_t>(info.st_mtim.tv_nsec)};
}

bool IsTransient(int error) {
    return ProblemOf(error) == FileProblem::InUse;
}

// ---- Reading ------------------------------------------------------------------

void RequireReadable(const fs::path& path, const struct stat& info, std::size_t limit) {
    if (S_ISDIR(info.st_mode)) {
        throw FileError(FileAction::Read, path, FileProblem::IsFolder);
    }
    if (!S_ISREG(info.st_mode)) {
        throw FileError(FileAction::Read, path, FileProblem::NotRegularFile);
    }
    if (static_cast<std::uintmax_t>(info.st_size) > limit) {
        throw FileError(FileAction::Read, path, FileProblem::TooLarge, LimitText(limit));
    }
}

// Reads up to `size` bytes into `into`, fewer only at the end of the file.
std::size_t ReadUpTo(int fd, const fs::path& path, char* into, std::size_t size) {
    std::size_t have = 0;
    while (have < size) {
        const ssize_t got = ::read(fd, into + have, size - have);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            Fail(FileAction::Read, path, errno);
        }
        if (got == 0) {
            break;
        }
        have += static_cast<std::size_t>(got);
    }
    return have;
}

// Reads to the end into a string of the measured size; the file may have
// shrunk or grown since it was measured.
std::string ReadOpenFile(int fd, const fs::path& path, std::size_t expected, std::size_t limit) {
    std::string bytes(expected, '\0');
    const std::size_t have = ReadUpTo(fd, path, bytes.data(), expected);
    if (have < expected) {
        bytes.resize(have);
        return bytes;
    }
    char more[65536];
    while (const std::size_t got = ReadUpTo(fd, path, more, sizeof more)) {
        if (got > limit - bytes.size()) {
            throw FileError(FileAction::Read, path, FileProblem::TooLarge, LimitText(limit));
        }
        bytes.append(more, got);
    }
    return bytes;
}

// ---- Writing ------------------------------------------------------------------

// The process's file creation mask. Reading it with umask() means setting it
// for a moment, which races with files other threads of the host create, so
// the kernel's report is preferred.
mode_t CurrentUmask() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("Umask:", 0) == 0) {
            return static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8) & 0777);
        }
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

// Write protection protects, also against an administrator, whom the system
// itself would let write anything: a file without any write permission is
// never replaced. Beyond that the system's own rule for the user decides.
bool WriteProtected(const fs::path& file, const struct stat& info) {
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        return true;
    }
    return ::faccessat(AT_FDCWD, file.c_str(), W_OK, AT_EACCESS) != 0 &&
           (errno == EACCES || errno == EPERM);
}

// Where a path that does not exist leads: through a chain of symbolic links
// to the name that is missing, which is where the file is created.
fs::path MissingTarget(const fs::path& path) {
    fs::path current = path;
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0) {
            if (errno == ENOENT) {
                return current;
            }
            Fail(FileAction::Write, path, errno);
        }
        if (!S_ISLNK(info.st_mode)) {
            return current; // it appeared meanwhile; the replacement checks it again
        }
        std::error_code error;
        const fs::path link = fs::read_symlink(current, error);
        if (error) {
            Fail(FileAction::Write, path, error.value());
        }
        current = link.is_absolute() ? link : current.parent_path() / link;
    }
    throw FileError(FileAction::Write, path, FileProblem::LinkUnresolvable);
}

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// A temporary file beside the target, locked while it is written so that a
// writer cleaning up never takes it for one left by a killed process.
// Removed unless it was put in the target's place.
class TempFile {
public:
    TempFile(const fs::path& given, const fs::path& folder, const fs::path& target)
        : given_(given) {
        for (int attempt = 0; attempt < 8; ++attempt) {
            name_ = (folder / TempFilePrefix(target)).string() + "XXXXXX";
            fd_ = ::mkostemp(name_.data(), O_CLOEXEC);
            if (fd_ < 0) {
                Fail(errno == ENOENT ? ENOTDIR : errno);
            }
            if (LockedAndStillNamed()) {
                return;
            }
            // A writer cleaning up took it for a stale one in the moment before
            // it was locked, and removes it.
            ::close(fd_);
        }
        Fail(EAGAIN);
    }
    ~TempFile() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        if (!committed_) {
            ::unlink(name_.c_str());
        }
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    int get() const { return fd_; }
    [[noreturn]] void Fail(int error) const { pelmora::Fail(FileAction::Write, given_, error); }

    // Renames the written file over the target (or, for a new file, onto a
    // name nothing holds yet), still open and locked, so that no writer
    // cleaning up can take it for a leftover. 0 or the error.
    int PutInPlace(const fs::path& target, bool mayReplace) {
        if (mayReplace) {
            return ::rename(name_.c_str(), target.c_str()) == 0 ? 0 : errno;
        }
        if (::renameat2(AT_FDCWD, name_.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) {
            return 0;
        }
        if (errno != EINVAL && errno != ENOSYS) {
            return errno;
        }
        // A file system that cannot rename without replacing: a hard link
        // cannot replace anything either.
        if (::link(name_.c_str(), target.c_str()) != 0) {
            return errno;
        }
        ::unlink(name_.c_str());
        return 0;
    }
    void Committed() { committed_ = true; }

private:
    bool LockedAndStillNamed() const {
        if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
            // A file system without locks cannot tell live files from stale
            // ones; the clean-up then leaves them all alone.
            return errno != EWOULDBLOCK;
        }
        struct stat opened {};
        struct stat named {};
        return ::fstat(fd_, &opened) == 0 && ::lstat(name_.c_str(), &named) == 0 &&
               SameFile(opened, named);
    }

    fs::path given_;
    std::string name_;
    int fd_ = -1;
    bool committed_ = false;
};

// Removes the temporary files of `target` that nobody holds: those a writer
// left when it was killed. Anything else in the folder is left alone.
void RemoveStaleTempFiles(const fs::path& folder, const fs::path& target) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return;
    }
    const int dirFd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        if (!IsTempFileOf(entry->d_name, target)) {
            continue;
        }
        FileDescriptor file(::openat(dirFd, entry->d_name,
                                     O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
        struct stat opened {};
        struct stat named {};
        if (file.get() >= 0 && ::fstat(file.get(), &opened) == 0 && S_ISREG(opened.st_mode) &&
            ::flock(file.get(), LOCK_EX | LOCK_NB) == 0 &&
            ::fstatat(dirFd, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
            SameFile(opened, named)) {
            ::unlinkat(dirFd, entry->d_name, 0);
        }
    }
    ::closedir(dir);
}

void SyncFolder(const fs::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd); // durability only; the rename has already succeeded
        ::close(fd);
    }
}

// Whether what is at `target` now is what the writer expects there. `old`
// is its lstat when `exists`.
bool AsExpected(const WriteOptions& options, bool exists, const struct stat& old) {
    switch (options.Expected) {
    case Expect::Anything:
        return true;
    case Expect::Nothing:
        return !exists;
    case Expect::SameFile:
        return exists && StampOf(old) == options.Stamp;
    }
    return false;
}

// The target as it is now: false when there is nothing.
bool LookAtTarget(const fs::path& given, const fs::path& target, struct stat& old) {
    if (::lstat(target.c_str(), &old) == 0) {
        return true;
    }
    if (errno != ENOENT) {
        Fail(FileAction::Write, given, errno);
    }
    return false;
}

void RequireReplaceable(const fs::path& given, const fs::path& target, const struct stat& old) {
    if (S_ISDIR(old.st_mode)) {
        throw FileError(FileAction::Write, given, FileProblem::IsFolder);
    }
    if (!S_ISREG(old.st_mode)) {
        throw FileError(FileAction::Write, given, FileProblem::NotRegularFile);
    }
    if (WriteProtected(target, old)) {
        throw FileError(FileAction::Write, given, FileProblem::WriteProtected);
    }
}

// Replaces `target`, the final name `given` leads to, through a temporary file.
void ReplaceFile(const fs::path& given, const fs::path& target, std::string_view bytes,
                 const WriteOptions& options) {
    if (target.filename().empty()) {
        throw FileError(FileAction::Write, given, FileProblem::IsFolder);
    }
    struct stat old {};
    const bool exists = LookAtTarget(given, target, old);
    if (exists) {
        RequireReplaceable(given, target, old);
    }
    if (!AsExpected(options, exists, old)) {
        throw FileError(FileAction::Write, given, FileProblem::Changed);
    }
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    TempFile temp(given, folder, target);
    if (exists && (old.st_uid != ::geteuid() || old.st_gid != ::getegid())) {
        // Keeps the file its owner's where the system allows it; otherwise the
        // new file is the writer's, as with any newly written file.
        [[maybe_unused]] const int ignored = ::fchown(temp.get(), old.st_uid, old.st_gid);
    }
    const mode_t mode = exists ? (old.st_mode & 07777) : (0666 & ~CurrentUmask());
    if (::fchmod(temp.get(), mode) != 0 || !WriteAll(temp.get(), bytes) ||
        ::fsync(temp.get()) != 0) {
        temp.Fail(errno);
    }
    const int error = detail::RetryWhileTransient<int>(
        options,
        [&] {
            // What is there is looked at again before each attempt: another
            // program may have replaced or removed it while this one waited.
            struct stat now {};
            const bool there = LookAtTarget(given, target, now);
            if (!AsExpected(options, there, now)) {
                throw FileError(FileAction::Write, given, FileProblem::Changed);
            }
            return temp.PutInPlace(target, options.Expected != Expect::Nothing);
        },
        IsTransient);
    if (error == EEXIST) {
        throw FileError(FileAction::Write, given, FileProblem::Changed);
    }
    if (error != 0) {
        temp.Fail(error);
    }
    temp.Committed();
    SyncFolder(folder);
    RemoveStaleTempFiles(folder, target);
}

// A character device or a pipe: written straight into, never waited for.
void WriteIntoStream(const fs::path& path, std::string_view bytes) {
    FileDescriptor out(::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (out.get() < 0) {
        Fail(FileAction::Write, path, errno);
    }
    struct stat info {};
    if (::fstat(out.get(), &info) != 0) {
        Fail(FileAction::Write, path, errno);
    }
    if (!S_ISCHR(info.st_mode) && !S_ISFIFO(info.st_mode)) {
        // Something else took the name since it was looked at.
        throw FileError(FileAction::Write, path, FileProblem::NotRegularFile);
    }
    const int flags = ::fcntl(out.get(), F_GETFL);
    if (flags < 0 || ::fcntl(out.get(), F_SETFL, flags & ~O_NONBLOCK) != 0 ||
        !WriteAll(out.get(), bytes) || out.Close() != 0) {
        Fail(FileAction::Write, path, errno);
    }
}

} // namespace

namespace detail {
void PauseFor(std::chrono::milliseconds wait) {
    struct timespec left {
        static_cast<time_t>(wait.count() / 1000), static_cast<long>(wait.count() % 1000) * 1000000L
    };
    while (::nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
}
} // namespace detail

FileError FileErrorFromSystem(FileAction action, const fs::path& path, unsigned long systemError) {
    const int error = static_cast<int>(systemError);
    const FileProblem problem = ProblemOf(error);
    return FileError(action, path, problem,
                     problem == FileProblem::Other
                         ? std::to_string(error) + ": " + std::strerror(error)
                         : std::string());
}

std::string ReadWholeFile(const fs::path& path, std::size_t limit, FileStamp* stamp) {
    // Looked at before it is opened: opening a pipe or a device can block or
    // have effects of its own.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        Fail(FileAction::Read, path, errno);
    }
    RequireReadable(path, info, limit);
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (file.get() < 0) {
        Fail(FileAction::Read, path, errno);
    }
    // Checked again on what was opened, which may not be what was looked at.
    if (::fstat(file.get(), &info) != 0) {
        Fail(FileAction::Read, path, errno);
    }
    RequireReadable(path, info, limit);
    if (stamp != nullptr) {
        *stamp = StampOf(info);
    }
    try {
        return ReadOpenFile(file.get(), path, static_cast<std::size_t>(info.st_size), limit);
    } catch (const std::bad_alloc&) {
        throw FileError(FileAction::Read, path, FileProblem::OutOfMemory);
    }
}

void WriteWholeFile(const fs::path& path, std::string_view bytes, const WriteOptions& options) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        if (errno != ENOENT) {
            Fail(FileAction::Write, path, errno);
        }
        ReplaceFile(path, MissingTarget(path), bytes, options);
        return;
    }
    if (S_ISREG(info.st_mode)) {
        std::error_code error;
        const fs::path resolved = fs::canonical(path, error);
        if (error) {
            Fail(FileAction::Write, path, error.value());
        }
        ReplaceFile(path, resolved, bytes, options);
        return;
    }
    if (S_ISDIR(info.st_mode)) {
        throw FileError(FileAction::Write, path, FileProblem::IsFolder);
    }
    if (options.Target == WriteTarget::RegularFileOrStream &&
        (S_ISCHR(info.st_mode) || S_ISFIFO(info.st_mode))) {
        WriteIntoStream(path, bytes);
        return;
    }
    throw FileError(FileAction::Write, path, FileProblem::NotRegularFile);
}

} // namespace pelmora
