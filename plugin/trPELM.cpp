#include "plugin/trPELM.h"

#include "library/SettingsFile.h"
#include "platform/cp932.h"
#include "platform/fpenv.h"
#include "platform/hostpath.h"
#include "platform/inifile.h"
#include "platform/prompts.h"
#include "plugin/EditorHook.h"
#include "plugin/ModuleState.h"
#include "plugin/PlugFunc.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <filesystem>
#include <new>
#include <string>
#include <string_view>
#include <unordered_map>

namespace pelmora {
namespace {

constexpr int kMaxMenuPatterns = 30;

// A fixed text as Shift-JIS for the host, converted once; the texts live as
// long as the module.
const std::string& Sjis(const char* utf8) {
    static std::unordered_map<const char*, std::string> converted;
    auto found = converted.find(utf8);
    if (found == converted.end()) {
        found = converted.emplace(utf8, Utf8ToSjis(utf8)).first;
    }
    return found->second;
}

constexpr const char* kCaptionTitle = "Pelmora(&D)";
constexpr const char* kCaptionTitleEditing = "Pelmora[詳細編集中]";
constexpr const char* kCaptionSeparator = "-";
constexpr const char* kCaptionImport = "パターンのインポート(&I)";
constexpr const char* kCaptionEditor = "パターンの詳細編集(&E)...";
constexpr const char* kHostIncomplete = "Tavrin がカリステアに対応していません。";
constexpr const char* kNoSettingsFile =
    "設定ファイルが指定されていないため、プラグインを開始できません。";
constexpr const char* kNoSettingsFileAtEnd =
    "設定ファイルが指定されていないため、設定を保存できませんでした。";
constexpr const char* kSettingsNotSaved = "設定を保存できませんでした。設定ファイル \"";
constexpr const char* kSettingsKept = "\" は元のままです。";
constexpr const char* kSettingsNotWritten = "設定ファイル \"";
constexpr const char* kSettingsNotWrittenEnd = "\" に保存できませんでした。";
constexpr const char* kKeptIn = "パターンと設定は \"";
constexpr const char* kKeptInEnd =
    "\" に保存しました。\n必要なら、Tavrin を終了してからこのファイルで設定ファイルを置き換えるか、"
    "「パターンのインポート」でパターンを取り込んでください。";
constexpr const char* kLostEverywhere =
    "\" に保存できず、予備のファイルにも保存できませんでした。今回の変更は失われます。";
constexpr const char* kFolderMissingAtStart = "設定ファイルのフォルダー \"";
constexpr const char* kFolderMissingAtStartEnd =
    "\" が見つかりません。パターンのない状態で開始します。\n"
    "終了するときに変更があれば、設定ファイルを作らずに別のファイルに保存して、その場所をお知らせし"
    "ます。";
constexpr const char* kUnreadableAtStart = "設定ファイル \"";
constexpr const char* kUnreadableAtStartEnd =
    "\" から設定を読み取れませんでした (設定ファイルの形式ではありません)。"
    "パターンのない状態で開始します。\n"
    "このファイルは上書きしません。終了するときに変更があれば、別のファイルに保存して、"
    "その場所をお知らせします。";

std::string Explanation() {
    const std::string rights = "(C) 2026 The Pelmora developers";
    const std::string lines[] = {
        "",
        kPluginName,
        std::string(48 - rights.size(), ' ') + rights,
        std::string(48, '_'),
        std::string(48, ' '),
        Sjis("  登録されたパターンから、ボタンサイズに従って自"),
        Sjis("  動的にTR4用壁紙を生成します。"),
    };
    std::string text;
    for (const std::string& line : lines) {
        if (&line != &lines[0]) {
            text += "\r\n";
        }
        text += line;
    }
    return text;
}

// Copies `text` into a host buffer of `size` bytes (low 16 bits), cut at a
// character boundary and NUL-terminated.
void CopyToHost(char* buffer, std::int32_t size, std::string_view text) {
    const std::size_t capacity = static_cast<std::uint32_t>(size) & 0xFFFFu;
    if (buffer == nullptr || capacity == 0) {
        return;
    }
    const std::size_t length = SjisBoundaryAtOrBefore(text, capacity - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
}

void FillMenuRecord(char* record, std::string_view caption) {
    std::memset(record, 0, kMenuRecordSize);
    const std::size_t length = SjisBoundaryAtOrBefore(caption, kMenuCaptionSize - 1);
    std::memcpy(record, caption.data(), length);
}

std::string PatternCaption(int number, std::string_view name) {
    std::string caption = number <= 9 ? "&" : "";
    caption += std::to_string(number);
    caption += ". ";
    caption += name;
    return caption;
}

void ShowMessage(const std::string& text, MsgKind kind) noexcept {
    try {
        CurrentPrompts().Message(text, kind, MsgButtons::Ok);
    } catch (...) {
        // Nothing more can be done without letting the error reach the host.
    }
}

void ShowError(const std::string& text) noexcept {
    ShowMessage(text, MsgKind::Error);
}

// The text shown for an error; the library's own text for running out of
// memory is not for users.
std::string ErrorText(const std::exception& e) {
    if (dynamic_cast<const std::bad_alloc*>(&e) != nullptr) {
        return "メモリが不足しました。";
    }
    return e.what();
}

// Runs an entry point's work; an error is shown and gives false.
template <typename Work> std::int32_t Guarded(Work&& work) noexcept {
    const FloatEnvironmentScope floatEnvironment;
    try {
        return work();
    } catch (const std::exception& e) {
        ShowError(ErrorText(e));
    } catch (...) {
        ShowError("プラグインで予期しないエラーが発生しました。");
    }
    return kTrxFalse;
}

int MenuPatternCount(const TModuleState& state) {
    return std::min(state.Library->Count(), kMaxMenuPatterns);
}

// A start without a settings file to write back to says so once; the
// launcher still gets a working plug-in, with an empty library.
void TellWhatTheStartFound(const TModuleState& state) {
    switch (state.Origin.kind) {
    case SettingsOrigin::Kind::FolderMissing:
        ShowMessage(kFolderMissingAtStart + DisplayText(FolderOfPath(state.SettingsPath)) +
                        kFolderMissingAtStartEnd,
                    MsgKind::Warning);
        break;
    case SettingsOrigin::Kind::Unreadable:
        ShowMessage(kUnreadableAtStart + DisplayText(state.SettingsPath) + kUnreadableAtStartEnd,
                    MsgKind::Warning);
        break;
    case SettingsOrigin::Kind::Absent:
    case SettingsOrigin::Kind::Read:
        break;
    }
}

// Writes the library back; whatever cannot go into the settings file goes
// into a recovery file, and the user is told where. True when it is saved.
bool SaveAtEnd(const TModuleState& state) {
    const std::filesystem::path file = HostPathToFs(state.SettingsPath);
    std::error_code ignored;
    const SettingsSave save{state.Settings,
                            *state.Library,
                            state.Origin,
                            state.StartDigest,
                            std::filesystem::temp_directory_path(ignored),
                            {}};
    SettingsSaveResult result;
    try {
        result = SaveSettingsFile(file, save);
    } catch (const SettingsNotKept& e) {
        ShowError(kSettingsNotWritten + DisplayText(state.SettingsPath) + kLostEverywhere + "\n" +
                  e.what());
        return false;
    } catch (const FileError& e) {
        // Too large to be read back: never written, and the old file stays.
        ShowError(kSettingsNotSaved + DisplayText(state.SettingsPath) + kSettingsKept + "\n" +
                  ErrorText(e));
        return false;
    }
    switch (result.outcome) {
    case SettingsSaveResult::Outcome::Written:
    case SettingsSaveResult::Outcome::Skipped:
        return true;
    case SettingsSaveResult::Outcome::Failed:
        ShowError(kSettingsNotSaved + DisplayText(state.SettingsPath) + kSettingsKept + "\n" +
                  result.reason);
        return false;
    case SettingsSaveResult::Outcome::Kept:
        break;
    }
    ShowError(kSettingsNotWritten + DisplayText(state.SettingsPath) + kSettingsNotWrittenEnd +
              "\n" + result.reason + "\n" + kKeptIn + PathText(result.keptIn) + kKeptInEnd);
    return false;
}

std::int32_t BeginPlugin() {
    TModuleState& state = Module();
    if (!HostApiComplete()) {
        ShowError(kHostIncomplete);
        return kTrxFalse;
    }
    if (state.SettingsPath.empty()) {
        ShowError(kNoSettingsFile);
        return kTrxFalse;
    }
    if (!state.PluginActive) {
        // Everything is read into locals first, so a file that cannot be read
        // leaves the plug-in not started.
        auto library = std::make_unique<PatternLibrary>();
        const std::filesystem::path file = HostPathToFs(state.SettingsPath);
        const SettingsAtStart start = ReadSettingsFile(file);
        TIniData settings = ReadIniData(start.ini, state.SettingsPath);
        LoadPatterns(start.ini, *library, file);
        state.StartDigest = SettingsFileDigest(settings, *library);
        state.Origin = start.origin;
        state.Settings = std::move(settings);
        state.Library = std::move(library);
        state.PluginActive = true;
        TellWhatTheStartFound(state);
    }
    return TRAChangePluginMenus(kPluginName);
}

std::int32_t EndPlugin() {
    TModuleState& state = Module();
    if (!state.PluginActive) {
        return kTrxFalse;
    }
    // Whatever happens while saving, the plug-in ends and the library goes.
    struct EndGuard {
        TModuleState& state;
        ~EndGuard() {
            state.Library.reset();
            state.PluginActive = false;
        }
    } guard{state};

    // An editor still open is closed first, without asking the host for a
    // menu the plug-in will no longer have.
    state.PluginActive = false;
    if (state.EditorOpen) {
        CloseEditor();
        state.EditorOpen = false;
    }

    if (state.SettingsPath.empty()) {
        ShowError(kNoSettingsFileAtEnd);
        return kTrxFalse;
    }
    return SaveAtEnd(state) ? kTrxTrue : kTrxFalse;
}

std::int32_t GetMenu(std::int32_t number, char* record) {
    const TModuleState& state = Module();
    if (!state.PluginActive || record == nullptr || number < 0) {
        return kTrxFalse;
    }
    if (state.EditorOpen) {
        if (number != 0) {
            return kTrxFalse;
        }
        FillMenuRecord(record, Sjis(kCaptionTitleEditing));
        return kTrxTrue;
    }
    const int n = MenuPatternCount(state);
    if (number == 0) {
        FillMenuRecord(record, Sjis(kCaptionTitle));
    } else if (number <= n) {
        FillMenuRecord(record, PatternCaption(number, state.Library->Name(number - 1)));
    } else if (number == n + 1) {
        FillMenuRecord(record, kCaptionSeparator);
    } else if (number == n + 2) {
        FillMenuRecord(record, Sjis(kCaptionImport));
    } else if (number == n + 3) {
        FillMenuRecord(record, Sjis(kCaptionEditor));
    } else {
        return kTrxFalse;
    }
    return kTrxTrue;
}

std::int32_t MenuClick(std::int32_t number, std::int32_t pad) {
    TModuleState& state = Module();
    if (!state.PluginActive) {
        return kTrxFalse;
    }
    state.CurrentPad = TRAGetPadID(pad);
    ReadPadInfo();
    // While the editor is open the menu shows its title alone.
    if (number <= 0 || state.EditorOpen) {
        return kTrxFalse;
    }
    const int n = MenuPatternCount(state);
    if (number <= n) {
        return ApplyPattern(state.Library->Pattern(number - 1)) ? kTrxTrue : kTrxFalse;
    }
    if (number == n + 2) {
        return ImportPatternFile(*state.Library) ? TRAChangePluginMenus(kPluginName) : kTrxFalse;
    }
    if (number == n + 3) {
        if (!OpenEditor()) {
            return kTrxFalse;
        }
        state.EditorOpen = true;
        return TRAChangePluginMenus(kPluginName);
    }
    return kTrxFalse;
}

} // namespace

void EditorClosed() {
    TModuleState& state = Module();
    state.EditorOpen = false;
    if (state.PluginActive) {
        TRAChangePluginMenus(kPluginName);
    }
}

} // namespace pelmora

using namespace pelmora;

PELMORA_ENTRY std::int32_t PELMORA_WINAPI TRXGetName(char* buffer, std::int32_t size) {
    return Guarded([&] {
        CopyToHost(buffer, size, kPluginName);
        return kTrxTrue;
    });
}

PELMORA_ENTRY std::int32_t PELMORA_WINAPI TRXGetExplanation(char* buffer, std::int32_t size) {
    return Guarded([&] {
        CopyToHost(buffer, size, Explanation());
        return kTrxTrue;
    });
}

PELMORA_ENTRY std::int32_t PELMORA_WINAPI TRXSetInitFile(const char* path) {
    return Guarded([&] {
        Module().SettingsPath = AbsoluteHostPath(path != nullptr ? path : "");
        return kTrxTrue;
    });
}

PELMORA_ENTRY std::int32_t PELMORA_WINAPI TRXBeginPlugin() {
    return Guarded(BeginPlugin);
}

PELMORA_ENTRY std::int32_t PELMORA_WINAPI TRXEndPlugin() {
    return Guarded(EndPlugin);
}

PELMORA_ENTRY std::int32_t PELMORA_WINAPI TRXGetMenu(std::int32_t number, char* record) {
    return Guarded([&] { return GetMenu(number, record); });
}

PELMORA_ENTRY std::int32_t PELMORA_WINAPI TRXMenuClick(std::int32_t number, std::int32_t pad) {
    return Guarded([&] { return MenuClick(number, pad); });
}
