#include "plugin/ModuleOperations.h"

#include "library/PatternLibrary.h"
#include "library/SettingsFile.h"
#include "library/Wallpaper.h"
#include "pattern/PadInfo.h"
#include "pattern/Pattern.h"
#include "platform/bmp.h"
#include "platform/cp932.h"
#include "platform/fileio.h"
#include "platform/hostpath.h"
#include "platform/inifile.h"
#include "platform/prompts.h"
#include "platform/tempfile.h"
#include "platform/textheight.h"
#include "plugin/ModuleContext.h"

#include <array>
#include <cstring>
#include <new>
#include <stdexcept>
#include <string>
#include <system_error>

namespace pelmora {
namespace {

constexpr int kMaxNameBytes = 255;

constexpr const char* kNamePromptTitle = "パターン名の指定";
constexpr const char* kNameInvalid = "パターンの名前が不正です。";
constexpr const char* kNameDuplicate = "パターンの名前が重複しています。";
constexpr const char* kNameRegisteredAs = "で登録します。";
constexpr const char* kImportTitle = "パターンファイルの指定";
constexpr const char* kImportFilter = "パターンファイル(*.ptn)|*.ptn|すべてのファイル(*.*)|*.*";
constexpr const char* kExportKept = "エクスポートする内容は \"";
constexpr const char* kExportKeptEnd =
    "\" に保存しました。ほかのプログラムを閉じてからもう一度エクスポートするか、"
    "このファイルの名前を変えてお使いください。";
constexpr const char* kExportTitle = "パターン出力先のファイル指定";
constexpr const char* kExportFilter = "パターンファイル(*.ptn)|*.ptn";
constexpr const char* kPatternExtension = "ptn";
// Where a desktop names the type from its own database, a pattern file would
// pass for another program's: the dialogs that name it say whose it is.
constexpr const char* kPatternTypeName = "Pelmora パターンファイル";

// The host's text for one pad setting, whatever the host answered: a host may
// leave a value in the buffer and still say it has none.
std::string ReadPadSetting(const HostBinding& host, std::int32_t pad, const char* key) {
    std::array<char, kPadInitBufferSize> buffer{};
    host.TRAGetPadInit(pad, key, buffer.data(), kPadInitBufferSize);
    return std::string(buffer.data(), strnlen(buffer.data(), buffer.size()));
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

// Whether a failed export is worth a recovery file: the file was there to be
// written but something held or refused it. A name that cannot be a file
// (a folder, a device, a missing folder) is the user's to choose again.
bool WorthKeeping(FileProblem problem) {
    switch (problem) {
    case FileProblem::InUse:
    case FileProblem::Changed:
    case FileProblem::AccessDenied:
    case FileProblem::WriteProtected:
    case FileProblem::NotReady:
    case FileProblem::DeviceError:
    case FileProblem::NetworkError:
    case FileProblem::Other:
        return true;
    default:
        return false;
    }
}

// An export that could not be written is kept beside its file, so that the
// work of choosing and naming is not lost; the error then says where.
[[noreturn]] void KeepExportAndThrow(const std::filesystem::path& file, std::string_view text,
                                     const FileError& error) {
    if (!WorthKeeping(error.Problem())) {
        throw error;
    }
    std::filesystem::path kept;
    try {
        kept = KeepInRecoveryFile(file, text);
    } catch (const FileError&) {
        throw error; // the patterns are still in the editor
    }
    throw std::runtime_error(std::string(error.what()) + "\n" + kExportKept + PathText(kept) +
                             kExportKeptEnd);
}

} // namespace

void ModuleOperations::ShowMessage(const std::string& utf8, MsgKind kind) {
    Dialogs().Message(utf8, kind, MsgButtons::Ok);
}

Prompts& ModuleOperations::Dialogs() {
    return *module_.Dialogs;
}

TextClipboard& ModuleOperations::Clipboard() {
    return *module_.Clipboard;
}

bool ModuleOperations::AskPatternName(const std::string& promptUtf8, std::string& name,
                                      const PatternLibrary& names) {
    const std::optional<std::string> entered =
        Dialogs().Input(kNamePromptTitle, promptUtf8, DisplayText(name), kMaxNameBytes);
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

void ModuleOperations::ReadPadInfo() {
    TModuleState& state = module_.State;
    std::array<std::int32_t, kPadValueKeys.size()> read{};
    for (std::size_t i = 0; i < kPadValueKeys.size(); ++i) {
        const std::string key(kPadValueKeys[i]);
        read[i] = PadValueFromText(ReadPadSetting(module_.Host, state.CurrentPad, key.c_str()));
    }
    const PadValues values{read[0], read[1], read[2], read[3], read[4]};
    // The name height only matters when the name is shown.
    const std::int32_t nameHeight = values.BtnCaption != 0 ? MeasureNameHeight() : 0;
    state.PadInfo = DerivePadInfo(values, nameHeight);
}

const TPadInfo& ModuleOperations::PadInfo() const {
    return module_.State.PadInfo;
}

std::optional<std::string> ModuleOperations::GetPadWallPaper() {
    return ReadPadText(module_.State.CurrentPad, kWallPaperKey);
}

bool ModuleOperations::SetPadWallPaper(const std::string& value) {
    return SetPadText(module_.State.CurrentPad, kWallPaperKey, value);
}

std::filesystem::path ModuleOperations::WallpaperFile() const {
    return HostPathToFs(WallpaperText());
}

std::filesystem::path ModuleOperations::CreateTrialFile() {
    return pelmora::CreateTrialFile();
}

std::string ModuleOperations::HostPathText(const std::filesystem::path& path) const {
    return FsPathToHost(path);
}

void ModuleOperations::EditorClosed() {
    module_.State.EditorOpen = false;
    if (module_.State.PluginActive) {
        module_.Host.TRAChangePluginMenus(kPluginName);
    }
}

std::optional<std::string> ModuleOperations::ReadPadText(std::int32_t pad, const char* key) {
    std::array<char, kPadInitBufferSize> buffer{};
    if (module_.Host.TRAGetPadInit(pad, key, buffer.data(), kPadInitBufferSize) == 0) {
        return std::nullopt;
    }
    return std::string(buffer.data(), strnlen(buffer.data(), buffer.size()));
}

bool ModuleOperations::SetPadText(std::int32_t pad, const char* key, const std::string& value) {
    return module_.Host.TRASetPadInit(pad, key, value.c_str()) != 0;
}

// The wallpaper lives beside the settings file; without one there is no
// folder to put it in, and the process's working folder is no place for it.
std::string ModuleOperations::WallpaperText() const {
    const TModuleState& state = module_.State;
    if (state.SettingsPath.empty()) {
        throw std::runtime_error("設定ファイルが指定されていないため、壁紙を保存できません。");
    }
    return PadWallpaperPath(state.SettingsPath, state.Settings, state.CurrentPad);
}

bool ModuleOperations::ApplyPattern(const TPatrn& pattern) {
    const TModuleState& state = module_.State;
    const std::string path = WallpaperText();
    Bitmap24 bitmap;
    DrawWallpaper(bitmap, pattern, state.PadInfo);
    SaveBmp(bitmap, HostPathToFs(path));
    return module_.Host.TRASetPadInit(state.CurrentPad, kWallPaperKey, path.c_str()) != 0;
}

namespace {

FileDialogRequest PatternFileRequest(const char* title, const char* filter,
                                     const std::string& folder) {
    FileDialogRequest request;
    request.Title = title;
    request.Filter = filter;
    request.DefaultExtension = kPatternExtension;
    request.TypeName = kPatternTypeName;
    request.InitialDir = DisplayText(folder);
    return request;
}

} // namespace

bool ModuleOperations::ImportPatterns(PatternLibrary& names) {
    TIniData& settings = module_.State.Settings;
    FileDialogRequest request = PatternFileRequest(kImportTitle, kImportFilter, settings.ImportDir);
    request.MustExist = true;
    const std::optional<std::string> chosen = Dialogs().OpenFile(request);
    if (!chosen) {
        return false;
    }
    const std::string report = ImportPatternFile(Utf8ToFsPath(*chosen), names, settings);
    ShowMessage(DisplayText(report) + kImportedText, MsgKind::Information);
    return true;
}

bool ModuleOperations::ExportPatterns(const std::vector<TExportEntry>& entries) {
    TIniData& settings = module_.State.Settings;
    FileDialogRequest request = PatternFileRequest(kExportTitle, kExportFilter, settings.ExportDir);
    request.ConfirmOverwrite = true;
    request.FolderMustExist = true;
    const std::optional<std::string> chosen = Dialogs().SaveFile(request);
    if (!chosen) {
        return false;
    }
    const std::filesystem::path file = Utf8ToFsPath(*chosen);
    const std::string text = PatternFileText(PatternsOf(entries));
    if (text.size() > kMaxInputFileSize) {
        throw FileError(FileAction::Write, file, FileProblem::TooLarge,
                        LimitText(kMaxInputFileSize));
    }
    try {
        WriteWholeFile(file, text);
    } catch (const FileError& error) {
        KeepExportAndThrow(file, text, error);
    }
    settings.ExportDir = RememberedFolder(file, settings.ExportDir);
    return true;
}

} // namespace pelmora
