#include "platform/hostpath.h"

#include "platform/cp932.h"

namespace pelmora {
namespace {

bool IsPathSeparator(char c) {
#ifdef _WIN32
    return c == '\\' || c == '/' || c == ':';
#else
    return c == '/';
#endif
}

// Position just after the last separator, stepping over double-byte
// characters whole (a trail byte may have the code of a backslash).
std::size_t FileNameStart(std::string_view path) {
    std::size_t start = 0;
    for (std::size_t pos = 0; pos < path.size();) {
        const std::size_t length = SjisCharLength(path, pos);
        if (length == 1 && IsPathSeparator(path[pos])) {
            start = pos + 1;
        }
        pos += length;
    }
    return start;
}

} // namespace

std::string FolderOfPath(std::string_view path) {
    return std::string(path.substr(0, FileNameStart(path)));
}

std::string ReplaceExtension(std::string_view path, std::string_view ending) {
    const std::size_t nameStart = FileNameStart(path);
    std::size_t extension = std::string_view::npos;
    for (std::size_t pos = nameStart; pos < path.size();) {
        const std::size_t length = SjisCharLength(path, pos);
        if (length == 1 && path[pos] == '.') {
            extension = pos;
        }
        pos += length;
    }
    return std::string(path.substr(0, extension)).append(ending);
}

std::string WallpaperPathFor(std::string_view settingsPath) {
    return ReplaceExtension(settingsPath, ".bmp");
}

std::filesystem::path Utf8ToFsPath(const std::string& utf8) {
#ifdef _WIN32
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
#else
    return std::filesystem::path(utf8);
#endif
}

std::filesystem::path HostPathToFs(std::string_view path) {
    return Utf8ToFsPath(SjisToUtf8(path));
}

std::string FsPathToHost(const std::filesystem::path& path) {
#ifdef _WIN32
    const std::u8string utf8 = path.u8string();
    return Utf8ToSjis(std::string(utf8.begin(), utf8.end()));
#else
    return Utf8ToSjis(path.string());
#endif
}

std::string AbsoluteHostPath(std::string_view path) {
    try {
        const std::filesystem::path given = HostPathToFs(path);
        if (path.empty() || given.is_absolute()) {
            return std::string(path);
        }
        std::filesystem::path relative; // without "." steps, which change nothing
        for (const std::filesystem::path& step : given) {
            if (step != ".") {
                relative /= step;
            }
        }
        std::error_code error;
        const std::filesystem::path absolute = std::filesystem::absolute(relative, error);
        return error ? std::string(path) : FsPathToHost(absolute);
    } catch (const CodecError&) {
        return std::string(path);
    }
}

std::string DisplayText(std::string_view sjis) {
    try {
        return SjisToUtf8(sjis);
    } catch (const CodecError&) {
        // Fall through to the character-by-character form.
    }
    std::string utf8;
    for (std::size_t pos = 0; pos < sjis.size();) {
        const std::size_t length = SjisCharLength(sjis, pos);
        try {
            utf8 += SjisToUtf8(sjis.substr(pos, length));
        } catch (const CodecError&) {
            utf8 += "\xEF\xBF\xBD";
        }
        pos += length;
    }
    return utf8;
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= 32) {
        text.remove_prefix(1);
    }
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32) {
        text.remove_suffix(1);
    }
    return text;
}

} // namespace pelmora
