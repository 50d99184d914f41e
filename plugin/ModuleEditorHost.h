#pragma once
// The pattern editor's view of the module: the current pad through the host's
// functions, the files beside the settings file, and the module's dialogs.
#include "logic/EditorHost.h"

namespace pelmora {

class ModuleEditorHost final : public EditorHost {
public:
    void ReadPadInfo() override;
    const TPadInfo& PadInfo() const override;
    std::optional<std::string> GetPadWallPaper() override;
    bool SetPadWallPaper(const std::string& value) override;
    std::filesystem::path WallpaperFile() const override;
    std::string WallpaperText() const override;
    std::filesystem::path CreateTrialFile() override;
    std::string HostPathText(const std::filesystem::path& path) const override;
    bool AskPatternName(const std::string& promptUtf8, std::string& name,
                        const PatternLibrary& names) override;
    bool ImportPatterns(PatternLibrary& list) override;
    void ExportPatterns(const std::vector<TExportEntry>& entries) override;
    void EditorClosed() override;
};

} // namespace pelmora
