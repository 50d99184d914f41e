#include "plugin/EntryPoints.h"

#include "library/SettingsFile.h"
#include "platform/cp932.h"
#include "platform/fpenv.h"
#include "platform/hostpath.h"
#include "platform/inifile.h"
#include "platform/prompts.h"
#include "plugin/ModuleContext.h"
#include "plugin/ModuleOperations.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <filesystem>
#include <new>
#include <string>
#include <string_view>

namespace pelmora {
namespace {

constexpr int kMaxMenuPatterns = 30;

// A fixed text as Shift-JIS for the host.
std::string Sjis(const char* utf8) {
    return Utf8ToSjis(utf8);
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

void ShowMessage(ModuleContext* module, const std::string& text, MsgKind kind) noexcept {
    try {
        if (module != nullptr && module->Dialogs) {
            module->Dialogs->Message(text, kind, MsgButtons::Ok);
        }
    } catch (...) {
        // Nothing more can be done without letting the error reach the host.
    }
}

void ShowError(ModuleContext& module, const std::string& text) noexcept {
    ShowMessage(&module, text, MsgKind::Error);
}

// The text shown for an error; the library's own text for running out of
// memory is not for users.
std::string ErrorText(const std::exception& e) {
    if (dynamic_cast<const std::bad_alloc*>(&e) != nullptr) {
        return "メモリが不足しました。";
    }
    return e.what();
}

// Runs an entry point's work on the module; an error is shown and gives false.
template <typename Work> std::int32_t Guarded(ModuleSource source, Work&& work) noexcept {
    const FloatEnvironmentScope floatEnvironment;
    ModuleContext* module = nullptr;
    try {
        module = &source();
        return work(*module);
    } catch (const std::exception& e) {
        ShowMessage(module, ErrorText(e), MsgKind::Error);
    } catch (...) {
        ShowMessage(module, "プラグインで予期しないエラーが発生しました。", MsgKind::Error);
    }
    return kTrxFalse;
}

int MenuPatternCount(const TModuleState& state) {
    return std::min(state.Library->Count(), kMaxMenuPatterns);
}

// A start without a settings file to write back to says so once; the
// launcher still gets a working plug-in, with an empty library.
void TellWhatTheStartFound(ModuleContext& module) {
    const TModuleState& state = module.State;
    switch (state.Origin.Kind) {
    case SettingsOrigin::Kind::FolderMissing:
        ShowMessage(&module,
                    kFolderMissingAtStart + DisplayText(FolderOfPath(state.SettingsPath)) +
                        kFolderMissingAtStartEnd,
                    MsgKind::Warning);
        break;
    case SettingsOrigin::Kind::Unreadable:
        ShowMessage(&module,
                    kUnreadableAtStart + DisplayText(state.SettingsPath) + kUnreadableAtStartEnd,
                    MsgKind::Warning);
        break;
    case SettingsOrigin::Kind::Absent:
    case SettingsOrigin::Kind::Read:
        break;
    }
}

// Writes the library back; whatever cannot go into the settings file goes
// into a recovery file, and the user is told where. True when it is saved.
bool SaveAtEnd(ModuleContext& module) {
    const TModuleState& state = module.State;
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
        ShowError(module, kSettingsNotWritten + DisplayText(state.SettingsPath) + kLostEverywhere +
                              "\n" + e.what());
        return false;
    } catch (const FileError& e) {
        // Too large to be read back: never written, and the old file stays.
        ShowError(module, kSettingsNotSaved + DisplayText(state.SettingsPath) + kSettingsKept +
                              "\n" + ErrorText(e));
        return false;
    }
    switch (result.Status) {
    case SettingsSaveResult::Outcome::Written:
    case SettingsSaveResult::Outcome::Skipped:
        return true;
    case SettingsSaveResult::Outcome::Failed:
        ShowError(module, kSettingsNotSaved + DisplayText(state.SettingsPath) + kSettingsKept +
                              "\n" + result.Reason);
        return false;
    case SettingsSaveResult::Outcome::Kept:
        break;
    }
    ShowError(module, kSettingsNotWritten + DisplayText(state.SettingsPath) +
                          kSettingsNotWrittenEnd + "\n" + result.Reason + "\n" + kKeptIn +
                          PathText(result.KeptIn) + kKeptInEnd);
    return false;
}

std::int32_t BeginPlugin(ModuleContext& module) {
    TModuleState& state = module.State;
    if (!module.Host.Complete()) {
        ShowError(module, kHostIncomplete);
        return kTrxFalse;
    }
    if (state.SettingsPath.empty()) {
        ShowError(module, kNoSettingsFile);
        return kTrxFalse;
    }
    if (!state.PluginActive) {
        // Everything is read into locals first, so a file that cannot be read
        // leaves the plug-in not started.
        auto library = std::make_unique<PatternLibrary>();
        const std::filesystem::path file = HostPathToFs(state.SettingsPath);
        const SettingsAtStart start = ReadSettingsFile(file);
        TIniData settings = ReadIniData(start.Ini, state.SettingsPath);
        LoadPatterns(start.Ini, *library, file);
        state.StartDigest = SettingsFileDigest(settings, *library);
        state.Origin = start.Origin;
        state.Settings = std::move(settings);
        state.Library = std::move(library);
        state.PluginActive = true;
        TellWhatTheStartFound(module);
    }
    return module.Host.TRAChangePluginMenus(kPluginName);
}

std::int32_t EndPlugin(ModuleContext& module) {
    TModuleState& state = module.State;
    if (!state.PluginActive) {
        return kTrxFalse;
    }
    // Whatever happens while saving, the plug-in ends and the library goes.
    struct EndGuard {
        TModuleState& State;
        ~EndGuard() {
            State.Library.reset();
            State.PluginActive = false;
        }
    } guard{state};

    // An editor still open is closed first, without asking the host for a
    // menu the plug-in will no longer have.
    state.PluginActive = false;
    if (state.EditorOpen) {
        module.Editor->Close();
        state.EditorOpen = false;
    }

    if (state.SettingsPath.empty()) {
        ShowError(module, kNoSettingsFileAtEnd);
        return kTrxFalse;
    }
    return SaveAtEnd(module) ? kTrxTrue : kTrxFalse;
}

std::int32_t GetMenu(const ModuleContext& module, std::int32_t number, char* record) {
    const TModuleState& state = module.State;
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

std::int32_t MenuClick(ModuleContext& module, std::int32_t number, std::int32_t pad) {
    TModuleState& state = module.State;
    if (!state.PluginActive) {
        return kTrxFalse;
    }
    ModuleOperations& operations = *module.Operations;
    state.CurrentPad = module.Host.TRAGetPadID(pad);
    operations.ReadPadInfo();
    // While the editor is open the menu shows its title alone.
    if (number <= 0 || state.EditorOpen) {
        return kTrxFalse;
    }
    const int n = MenuPatternCount(state);
    if (number <= n) {
        return operations.ApplyPattern(state.Library->Pattern(number - 1)) ? kTrxTrue : kTrxFalse;
    }
    if (number == n + 2) {
        return operations.ImportPatterns(*state.Library)
                   ? module.Host.TRAChangePluginMenus(kPluginName)
                   : kTrxFalse;
    }
    if (number == n + 3) {
        if (!module.Editor->Open(*state.Library, state.Settings, operations)) {
            return kTrxFalse;
        }
        state.EditorOpen = true;
        return module.Host.TRAChangePluginMenus(kPluginName);
    }
    return kTrxFalse;
}

} // namespace

namespace entry {

std::int32_t GetName(ModuleSource module, char* buffer, std::int32_t size) {
    return Guarded(module, [&](ModuleContext&) {
        CopyToHost(buffer, size, kPluginName);
        return kTrxTrue;
    });
}

std::int32_t GetExplanation(ModuleSource module, char* buffer, std::int32_t size) {
    return Guarded(module, [&](ModuleContext&) {
        CopyToHost(buffer, size, Explanation());
        return kTrxTrue;
    });
}

std::int32_t SetInitFile(ModuleSource module, const char* path) {
    return Guarded(module, [&](ModuleContext& context) {
        context.State.SettingsPath = AbsoluteHostPath(path != nullptr ? path : "");
        return kTrxTrue;
    });
}

std::int32_t BeginPlugin(ModuleSource module) {
    return Guarded(module, [](ModuleContext& context) { return pelmora::BeginPlugin(context); });
}

std::int32_t EndPlugin(ModuleSource module) {
    return Guarded(module, [](ModuleContext& context) { return pelmora::EndPlugin(context); });
}

std::int32_t GetMenu(ModuleSource module, std::int32_t number, char* record) {
    return Guarded(
        module, [&](ModuleContext& context) { return pelmora::GetMenu(context, number, record); });
}

std::int32_t MenuClick(ModuleSource module, std::int32_t number, std::int32_t pad) {
    return Guarded(
        module, [&](ModuleContext& context) { return pelmora::MenuClick(context, number, pad); });
}

} // namespace entry
} // namespace pelmora
