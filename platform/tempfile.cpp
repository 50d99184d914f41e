#include "platform/tempfile.h"

#include "platform/fileio.h"

#include <cerrno>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace pelmora {

std::filesystem::path CreateTrialFile() {
#ifdef _WIN32
    char folder[MAX_PATH + 1] = {};
    char file[MAX_PATH + 1] = {};
    if (GetTempPathA(MAX_PATH, folder) == 0 || GetTempFileNameA(folder, "pel", 0, file) == 0) {
        throw FileErrorFromSystem(FileAction::Write, folder, GetLastError());
    }
    return std::filesystem::path(file);
#else
    std::error_code error;
    std::filesystem::path folder = std::filesystem::temp_directory_path(error);
    if (error) {
        folder = "/tmp";
    }
    std::string name = (folder / "pelXXXXXX").string();
    const int fd = mkstemp(name.data());
    if (fd < 0) {
        throw FileErrorFromSystem(FileAction::Write, name, static_cast<unsigned long>(errno));
    }
    close(fd);
    return std::filesystem::path(name);
#endif
}

} // namespace pelmora
