#pragma once
// Paths as the host and the settings file hold them (Shift-JIS texts), and
// their conversion to and from the file system's paths. A path is scanned
// character by character, so a double-byte character whose trail byte has
// the code of a separator never splits it.
#include <filesystem>
#include <string>
#include <string_view>

namespace pelmora {

// The path up to and including its last separator; empty when it has none.
std::string FolderOfPath(std::string_view path);
// The path with the extension of its file name (from the last full stop)
// replaced by `ending`, or `ending` appended when the name has none.
std::string ReplaceExtension(std::string_view path, std::string_view ending);
// The settings path with ".bmp" for its extension.
std::string WallpaperPathFor(std::string_view settingsPath);
// A host path as a file-system path; throws CodecError for bytes that are
// not Shift-JIS.
std::filesystem::path HostPathToFs(std::string_view path);
// The reverse; throws CodecError for a path that Shift-JIS cannot hold.
std::string FsPathToHost(const std::filesystem::path& path);
// A UTF-8 text (a dialog's answer, a command-line argument) as a path.
std::filesystem::path Utf8ToFsPath(const std::string& utf8);
// The path made absolute against the working folder as it is now: the
// platform's file dialogs move the working folder, so a relative path is
// resolved once, when it is given. A path that is empty or absolute already,
// or whose absolute form Shift-JIS cannot hold, is returned as it is.
std::string AbsoluteHostPath(std::string_view path);
// UTF-8 for messages; bytes that are not Shift-JIS show as U+FFFD.
std::string DisplayText(std::string_view sjis);
// Without leading and trailing characters of code 32 or less.
std::string_view TrimBlanks(std::string_view text);

} // namespace pelmora
