#pragma once
// What the guide's pictures of the editor start from, on any toolkit: the
// sample library, the window's settings, and a pad of 96 x 64 buttons with the
// name below the icon that reaches no launcher.
#include "library/IniData.h"
#include "library/PatternLibrary.h"
#include "platform/clipboard.h"
#include "logic/EditorHost.h"
#include "pattern/PadInfo.h"

#include <filesystem>

namespace pelmora {

class GuidePad final : public EditorHost {
public:
    // The editor's questions go to `dialogs`.
    explicit GuidePad(Prompts& dialogs);
    void ReadPadInfo() override {}
    const TPadInfo& PadInfo() const override { return pad_; }
    std::optional<std::string> GetPadWallPaper() override { return std::nullopt; }
    bool SetPadWallPaper(const std::string&) override { return true; }
    std::filesystem::path WallpaperFile() const override { return {}; }
    std::string WallpaperText() const override { return {}; }
    std::filesystem::path CreateTrialFile() override;
    std::string HostPathText(const std::filesystem::path& path) const override {
        return path.string();
    }
    bool AskPatternName(const std::string&, std::string&, const PatternLibrary&) override {
        return false;
    }
    bool ImportPatterns(PatternLibrary&) override { return false; }
    bool ExportPatterns(const std::vector<TExportEntry>&) override { return false; }
    void EditorClosed() override {}
    Prompts& Dialogs() override { return dialogs_; }
    TextClipboard& Clipboard() override { return clipboard_; }

private:
    Prompts& dialogs_;
    MemoryClipboard clipboard_;
    TPadInfo pad_;
};

// The patterns of the sample files basic.ptn and gradients.ptn in `samples`.
PatternLibrary GuideLibrary(const std::filesystem::path& samples);

// The window's bounds in the pictures: 660 x 470 with a 110-pixel preview.
TIniData GuideWindowSettings();

} // namespace pelmora
