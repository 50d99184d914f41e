// Where the module meets its views: the dialogs and the editor window are Qt's.
#include "platform/hostpath.h"
#include "platform/prompts.h"
#include "platform/tempfile.h"
#include "plugin/EditorHook.h"
#include "plugin/ModuleState.h"
#include "plugin/PlugFunc.h"
#include "plugin/TRAPI.h"
#include "qt/QtPrompts.h"
#include "qt/edit.h"

#include <QPointer>

#include <array>
#include <cstring>
#include <memory>

namespace pelmora {
namespace {

constexpr const char* kWallPaperKey = "WallPaper";

// The window's view of the module: the current pad through the host's
// functions, the files beside the settings file, and the module's dialogs.
class ModuleEditorHost final : public EditorHost {
public:
    void ReadPadInfo() override { pelmora::ReadPadInfo(); }
    const TPadInfo& PadInfo() const override { return Module().PadInfo; }

    std::optional<std::string> GetPadWallPaper() override {
        std::array<char, kPadInitBufferSize> buffer{};
        if (TRAGetPadInit(Module().CurrentPad, kWallPaperKey, buffer.data(), kPadInitBufferSize) ==
            0) {
            return std::nullopt;
        }
        return std::string(buffer.data(), strnlen(buffer.data(), buffer.size()));
    }
    void SetPadWallPaper(const std::string& value) override {
        TRASetPadInit(Module().CurrentPad, kWallPaperKey, value.c_str());
    }

    std::filesystem::path WallpaperFile() const override { return HostPathToFs(WallpaperText()); }
    std::string WallpaperText() const override { return WallpaperPathFor(Module().SettingsPath); }
    std::filesystem::path CreateTrialFile() override { return pelmora::CreateTrialFile(); }
    std::string HostPathText(const std::filesystem::path& path) const override {
        return FsPathToHost(path);
    }

    bool AskPatternName(const std::string& promptUtf8, std::string& name,
                        const PatternLibrary& names) override {
        return pelmora::AskPatternName(promptUtf8, name, names);
    }
    bool ImportPatterns(PatternLibrary& list) override { return ImportPatternFile(list); }
    void ExportPatterns(const std::vector<TExportEntry>& entries) override {
        pelmora::ExportPatterns(entries);
    }

    void EditorClosed() override { pelmora::EditorClosed(); }
};

// Only an object is made here; the Qt application comes with the first dialog.
const bool kPromptsInstalled = [] {
    InstallPrompts(std::make_unique<QtPrompts>());
    return true;
}();

ModuleEditorHost& Host() {
    static ModuleEditorHost host;
    return host;
}

// The open window; it deletes itself when closed.
QPointer<TEditForm>& OpenWindow() {
    static QPointer<TEditForm> window;
    return window;
}

} // namespace

bool OpenEditor() {
    TModuleState& state = Module();
    if (!state.PluginActive || !state.Library || OpenWindow()) {
        return false;
    }
    EnsureQtApplication();
    // Owned by Qt: the window deletes itself when it closes.
    auto* window = new TEditForm(*state.Library, state.Settings, Host());
    OpenWindow() = window;
    window->show();
    return true;
}

void CloseEditor() {
    if (TEditForm* window = OpenWindow()) {
        // Destroyed now, not later: the library it was made from is going.
        std::unique_ptr<TEditForm> owned(window);
    }
}

} // namespace pelmora
