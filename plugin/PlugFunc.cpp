#include "plugin/PlugFunc.h"

#include "pattern/patrn.h"
#include "platform/bmp.h"
#include "platform/cp932.h"
#include "platform/fileio.h"
#include "platform/inifile.h"
#include "platform/prompts.h"
#include "platform/textheight.h"
#include "plugin/ModuleState.h"
#include "plugin/PadInfo.h"
#include "plugin/PatternLibrary.h"
#include "plugin/TRAPI.h"
#include "plugin/Wallpaper.h"

#include <array>
#include <cstring>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <unistd.h>
#endif

namespace pelmora {
namespace {

constexpr const char* kWallPaperKey = "WallPaper";
constexpr int kMaxNameBytes = 255;

constexpr const char* kNamePromptTitle = "パターン名の指定";
constexpr const char* kNameInvalid = "パターンの名前が不正です。";
constexpr const char* kNameDuplicate = "パターンの名前が重複しています。";
constexpr const char* kNameRegisteredAs = "で登録します。";
constexpr const char* kImportTitle = "パターンファイルの指定";
constexpr const char* kImportFilter = "パターンファイル(*.ptn)|*.ptn|すべてのファイル(*.*)|*.*";
constexpr const char* kImported = "をインポートしました。";
constexpr const char* kExportTitle = "パターン出力先のファイル指定";
constexpr const char* kExportFilter = "パターンファイル(*.ptn)|*.ptn";
constexpr const char* kPatternExtension = "ptn";

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

std::filesystem::path Utf8ToFsPath(const std::string& utf8) {
#ifdef _WIN32
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
#else
    return std::filesystem::path(utf8);
#endif
}

// The host's text for one pad setting; empty when it has none.
std::string ReadPadSetting(std::int32_t pad, const char* key) {
    std::array<char, kPadInitBufferSize> buffer{};
    TRAGetPadInit(pad, key, buffer.data(), kPadInitBufferSize);
    return std::string(buffer.data(), strnlen(buffer.data(), buffer.size()));
}

void ShowMessage(const std::string& utf8, MsgKind kind) {
    CurrentPrompts().Message(utf8, kind, MsgButtons::Ok);
}

// The folder of a chosen file as a Shift-JIS text, or `current` when the path
// is one Shift-JIS cannot hold.
std::string RememberedFolder(const std::filesystem::path& file, const std::string& current) {
    try {
        return FolderOfPath(FsPathToHost(file));
    } catch (const CodecError&) {
        return current;
    }
}

} // namespace

std::string FolderOfPath(std::string_view path) {
    return std::string(path.substr(0, FileNameStart(path)));
}

std::string WallpaperPathFor(std::string_view settingsPath) {
    const std::size_t nameStart = FileNameStart(settingsPath);
    std::size_t extension = std::string_view::npos;
    for (std::size_t pos = nameStart; pos < settingsPath.size();) {
        const std::size_t length = SjisCharLength(settingsPath, pos);
        if (length == 1 && settingsPath[pos] == '.') {
            extension = pos;
        }
        pos += length;
    }
    return std::string(settingsPath.substr(0, extension)) + ".bmp";
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

void SavePatterns(IniFile& ini, const PatternLibrary& library) {
    for (int i = 0; i < library.Count(); ++i) {
        library.Pattern(i).SaveToIni(ini, i, library.Name(i));
    }
}

bool AskPatternName(const std::string& promptUtf8, std::string& name, const PatternLibrary& names) {
    const std::optional<std::string> entered =
        CurrentPrompts().Input(kNamePromptTitle, promptUtf8, DisplayText(name), kMaxNameBytes);
    if (!entered) {
        return false;
    }
    std::string text;
    try {
        text = Utf8ToSjis(*entered);
    } catch (const CodecError& e) {
        ShowMessage(e.what(), MsgKind::Error);
        return false;
    }
    text.resize(SjisBoundaryAtOrBefore(text, kMaxNameBytes));
    std::string result(TrimBlanks(text));
    if (result == name) {
        return true;
    }
    if (result.empty()) {
        ShowMessage(std::string(kNameInvalid) + "\"" + DisplayText(name) + "\"" + kNameRegisteredAs,
                    MsgKind::Warning);
        return true;
    }
    if (names.Contains(result)) {
        result = UniquePatternName(result, names);
        ShowMessage(std::string(kNameDuplicate) + "\"" + DisplayText(result) + "\"" +
                        kNameRegisteredAs,
                    MsgKind::Warning);
    }
    name = std::move(result);
    return true;
}

void ReadPadInfo() {
    TModuleState& state = Module();
    std::array<std::int32_t, kPadValueKeys.size()> read{};
    for (std::size_t i = 0; i < kPadValueKeys.size(); ++i) {
        const std::string key(kPadValueKeys[i]);
        read[i] = PadValueFromText(ReadPadSetting(state.CurrentPad, key.c_str()));
    }
    const PadValues values{read[0], read[1], read[2], read[3], read[4]};
    // The name height only matters when the name is shown.
    const std::int32_t nameHeight = values.BtnCaption != 0 ? MeasureNameHeight() : 0;
    state.PadInfo = DerivePadInfo(values, nameHeight);
}

namespace {

// The wallpaper lives beside the settings file; without one there is no
// folder to put it in, and the process's working folder is no place for it.
std::string ModuleWallpaperPath() {
    const std::string& settings = Module().SettingsPath;
    if (settings.empty()) {
        throw FileError("The wallpaper cannot be written: the host has not named a settings file.");
    }
    return WallpaperPathFor(settings);
}

} // namespace

bool ApplyPattern(const TPatrn& pattern) {
    const TModuleState& state = Module();
    const std::string path = ModuleWallpaperPath();
    Bitmap24 bitmap;
    DrawWallpaper(bitmap, pattern, state.PadInfo);
    SaveBmp(bitmap, HostPathToFs(path));
    return TRASetPadInit(state.CurrentPad, kWallPaperKey, path.c_str()) != 0;
}

bool TryWallpaper(TWallpaperTrial& trial, const Bitmap24& preview,
                  const std::filesystem::path& trialFile) {
    const std::int32_t pad = Module().CurrentPad;
    const std::string hostPath = FsPathToHost(trialFile);
    SaveBmp(preview, trialFile);
    if (!trial.TrialApplied) {
        std::array<char, kPadInitBufferSize> buffer{};
        const bool found =
            TRAGetPadInit(pad, kWallPaperKey, buffer.data(), kPadInitBufferSize) != 0;
        trial.OldWallPaper = found
                                 ? std::string(buffer.data(), strnlen(buffer.data(), buffer.size()))
                                 : std::string();
        trial.TrialApplied = true;
    }
    return TRASetPadInit(pad, kWallPaperKey, hostPath.c_str()) != 0;
}

bool UndoWallpaperTrial(TWallpaperTrial& trial) {
    const bool accepted =
        TRASetPadInit(Module().CurrentPad, kWallPaperKey, trial.OldWallPaper.c_str()) != 0;
    trial = TWallpaperTrial{};
    return accepted;
}

bool KeepWallpaperTrial(TWallpaperTrial& trial, const std::filesystem::path& trialFile) {
    const TModuleState& state = Module();
    const std::string path = ModuleWallpaperPath();
    SaveBmp(LoadBmp(trialFile), HostPathToFs(path));
    trial = TWallpaperTrial{};
    return TRASetPadInit(state.CurrentPad, kWallPaperKey, path.c_str()) != 0;
}

std::filesystem::path CreateTrialFile() {
#ifdef _WIN32
    char folder[MAX_PATH + 1] = {};
    char file[MAX_PATH + 1] = {};
    if (GetTempPathA(MAX_PATH, folder) == 0 || GetTempFileNameA(folder, "pel", 0, file) == 0) {
        throw FileError("cannot create a temporary file");
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
        throw FileError("cannot create a temporary file in \"" + PathText(folder) +
                        "\": " + std::strerror(errno));
    }
    close(fd);
    return std::filesystem::path(name);
#endif
}

bool ImportPatternFile(PatternLibrary& names) {
    TIniData& settings = Module().Settings;
    FileDialogRequest request;
    request.title = kImportTitle;
    request.filter = kImportFilter;
    request.defaultExtension = kPatternExtension;
    request.initialDir = DisplayText(settings.ImportDir);
    request.mustExist = true;
    const std::optional<std::string> chosen = CurrentPrompts().OpenFile(request);
    if (!chosen) {
        return false;
    }
    const std::filesystem::path file = Utf8ToFsPath(*chosen);
    // A file that is not there is an error here, not an empty pattern file.
    const IniFile ini = IniFile::Parse(ReadWholeFile(file));
    const std::string report = LoadPatterns(ini, names);
    ShowMessage(DisplayText(report) + kImported, MsgKind::Information);
    settings.ImportDir = RememberedFolder(file, settings.ImportDir);
    return true;
}

bool ExportPatterns(const std::vector<TExportEntry>& entries) {
    TIniData& settings = Module().Settings;
    FileDialogRequest request;
    request.title = kExportTitle;
    request.filter = kExportFilter;
    request.defaultExtension = kPatternExtension;
    request.initialDir = DisplayText(settings.ExportDir);
    request.confirmOverwrite = true;
    request.folderMustExist = true;
    const std::optional<std::string> chosen = CurrentPrompts().SaveFile(request);
    if (!chosen) {
        return false;
    }
    const std::filesystem::path file = Utf8ToFsPath(*chosen);
    IniFile ini;
    int section = 0;
    for (const TExportEntry& entry : entries) {
        ++section;
        entry.Pattern->SaveToIni(ini, section, entry.Name);
    }
    ini.Save(file);
    settings.ExportDir = RememberedFolder(file, settings.ExportDir);
    return true;
}

} // namespace pelmora
