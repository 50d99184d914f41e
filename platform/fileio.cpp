#include "platform/fileio.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace pelmora {

namespace {

[[noreturn]] void Fail(const std::string& action, const std::filesystem::path& path, int error) {
    throw FileError("cannot " + action + " \"" + PathText(path) + "\": " + std::strerror(error));
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

// The permissions a newly created file would get: the old file's, when there
// is one, so replacing a file does not change who may read it.
mode_t ModeForReplacement(const std::filesystem::path& target) {
    struct stat info {};
    if (::stat(target.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
        return info.st_mode & 07777;
    }
    return 0666 & ~CurrentUmask();
}

// Writing through a symbolic link replaces the file it points to, not the link.
std::filesystem::path ResolveTarget(const std::filesystem::path& path) {
    std::error_code error;
    if (std::filesystem::is_symlink(path, error)) {
        const auto resolved = std::filesystem::weakly_canonical(path, error);
        if (!error) {
            return resolved;
        }
    }
    return path;
}

void SyncFolder(const std::filesystem::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd); // durability only; the rename has already succeeded
        ::close(fd);
    }
}

} // namespace

std::string PathText(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::string ReadWholeFile(const std::filesystem::path& path, std::size_t limit) {
    // Opened without waiting: a named pipe that nobody writes to would
    // otherwise block the open, and with it the caller, for ever. Reading then
    // waits as usual, and such a pipe reads as empty.
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0) {
        Fail("open file", path, errno);
    }
    const int flags = ::fcntl(file.get(), F_GETFL);
    if (flags < 0 || ::fcntl(file.get(), F_SETFL, flags & ~O_NONBLOCK) != 0) {
        Fail("read file", path, errno);
    }
    struct stat info {};
    if (::fstat(file.get(), &info) != 0) {
        Fail("read file", path, errno);
    }
    if (S_ISDIR(info.st_mode)) {
        Fail("read file", path, EISDIR);
    }
    const auto tooLarge = [&] {
        throw FileError("cannot read file \"" + PathText(path) + "\": it is larger than " +
                        std::to_string(limit) + " bytes");
    };
    if (S_ISREG(info.st_mode) && static_cast<std::uintmax_t>(info.st_size) > limit) {
        tooLarge();
    }
    std::string bytes;
    if (S_ISREG(info.st_mode)) {
        bytes.reserve(static_cast<std::size_t>(info.st_size));
    }
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(file.get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            Fail("read file", path, errno);
        }
        if (got == 0) {
            break;
        }
        // The file may have grown since it was measured.
        if (bytes.size() + static_cast<std::size_t>(got) > limit) {
            tooLarge();
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    return bytes;
}

void WriteFileAtomic(const std::filesystem::path& path, std::string_view bytes) {
    const std::filesystem::path target = ResolveTarget(path);
    if (target.filename().empty()) {
        Fail("write file", path, EISDIR);
    }
    const std::filesystem::path folder =
        target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    std::string tempName = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    FileDescriptor temp(::mkostemp(tempName.data(), O_CLOEXEC));
    if (temp.get() < 0) {
        Fail("write file", path, errno);
    }
    const auto failAndRemove = [&](int error) {
        if (temp.get() >= 0) {
            temp.Close();
        }
        ::unlink(tempName.c_str());
        Fail("write file", path, error);
    };
    if (::fchmod(temp.get(), ModeForReplacement(target)) != 0 || !WriteAll(temp.get(), bytes) ||
        ::fsync(temp.get()) != 0) {
        failAndRemove(errno);
    }
    if (temp.Close() != 0) {
        failAndRemove(errno);
    }
    if (::rename(tempName.c_str(), target.c_str()) != 0) {
        failAndRemove(errno);
    }
    SyncFolder(folder);
}

} // namespace pelmora
