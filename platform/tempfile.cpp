#include "platform/tempfile.h"

#include "platform/fileio.h"

#include <cerrno>
#include <string>
#include <system_error>
#include <unistd.h>

namespace pelmora {

std::filesystem::path CreateTrialFile() {
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
}

} // namespace pelmora
