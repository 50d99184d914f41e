#pragma once
// Small file systems for tests that need a full disk, a read-only folder or
// writes that do not wait for the disk. Mounts are made in a mount namespace
// of the test process only, so nothing outside it sees them; where mounting is
// not allowed (not root, or a container that forbids it) they report false.
#include <sched.h>
#include <sys/mount.h>

#include <filesystem>
#include <string>

namespace pelmora::testing {

inline bool PrivateMountsAllowed() {
    static const bool allowed = ::unshare(CLONE_NEWNS) == 0 &&
                                ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    return allowed;
}

// Mounts an empty tmpfs of `size` (as the mount option takes it) on `where`.
inline bool MountTmpfs(const std::filesystem::path& where, const char* size) {
    std::filesystem::create_directories(where);
    const std::string options = std::string("size=") + size;
    return PrivateMountsAllowed() &&
           ::mount("tmpfs", where.c_str(), "tmpfs", 0, options.c_str()) == 0;
}

inline void Unmount(const std::filesystem::path& where) {
    ::umount2(where.c_str(), MNT_DETACH);
}

} // namespace pelmora::testing
