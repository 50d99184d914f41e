#pragma once
// The plug-in's operations on the host and the user's files, for the menu and
// for the pattern editor alike: reading the pad's button layout, applying a
// pattern as the pad's wallpaper, the name prompt, and pattern-file import
// and export.
//
// Paths and names are Shift-JIS texts, as the host and the files hold them;
// texts for the dialog service are UTF-8.
#include "logic/EditorHost.h"
#include "platform/bitmap.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace pelmora {

struct ModuleContext;
class TPatrn;

inline constexpr const char* kPluginName = "Pelmora";
inline constexpr std::int32_t kPadInitBufferSize = 1024;
inline constexpr const char* kWallPaperKey = "WallPaper";

class ModuleOperations final : public EditorHost {
public:
    explicit ModuleOperations(ModuleContext& module) : module_(module) {}

    // Refills the module's button layout from the current pad's settings.
    void ReadPadInfo() override;
    const TPadInfo& PadInfo() const override;
    std::optional<std::string> GetPadWallPaper() override;
    bool SetPadWallPaper(const std::string& value) override;
    // The current pad's wallpaper file beside the settings file (one for all
    // pads, or the pad's own while WallPaperPerPad is on); throws when the
    // host has named no settings file.
    std::filesystem::path WallpaperFile() const override;
    std::string WallpaperText() const override;
    std::filesystem::path CreateTrialFile() override;
    std::string HostPathText(const std::filesystem::path& path) const override;
    // Lets the user rename an entry of `names` (which holds `name`).
    bool AskPatternName(const std::string& promptUtf8, std::string& name,
                        const PatternLibrary& names) override;
    // Asks for a pattern file and appends its patterns to `names`. False when
    // the dialog was cancelled. Updates ImportDir.
    bool ImportPatterns(PatternLibrary& names) override;
    // Asks for a file and writes `entries` into it as sections "1", "2", ...,
    // replacing whatever it held. Updates ExportDir.
    bool ExportPatterns(const std::vector<TExportEntry>& entries) override;
    // Clears EditorOpen and asks the host to list the patterns again.
    void EditorClosed() override;
    Prompts& Dialogs() override;
    TextClipboard& Clipboard() override;

    // Paints `pattern` as the wallpaper of the current pad, saves it in the
    // pad's wallpaper file and hands it to the pad. True when the host
    // accepted it.
    bool ApplyPattern(const TPatrn& pattern);
    // One setting of a pad, read with a 1024-byte buffer; nullopt when the
    // host has none.
    std::optional<std::string> ReadPadText(std::int32_t pad, const char* key);
    // Hands a setting to a pad; true when the host accepted it.
    bool SetPadText(std::int32_t pad, const char* key, const std::string& value);

private:
    void ShowMessage(const std::string& utf8, MsgKind kind);

    ModuleContext& module_;
};

} // namespace pelmora
