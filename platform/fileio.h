#pragma once
// Whole-file reading with a size limit, and atomic replacement of a file.
#include <cstddef>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

namespace pelmora {

// An I/O failure; the message (UTF-8) names the file.
class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline constexpr std::size_t kMaxInputFileSize = 64u * 1024u * 1024u;

// Throws FileError when the file cannot be read (a folder included) or is
// larger than `limit` bytes.
std::string ReadWholeFile(const std::filesystem::path& path, std::size_t limit = kMaxInputFileSize);

// Writes to a temporary file in the same folder, flushes it and renames it over
// `path`; on any failure the temporary file is removed, the old file stays as it
// was and FileError is thrown. The new file keeps the old one's permissions;
// a symbolic link is written through (its target replaced, the link kept).
void WriteFileAtomic(const std::filesystem::path& path, std::string_view bytes);

// Text for messages: the path as UTF-8.
std::string PathText(const std::filesystem::path& path);

} // namespace pelmora
