#pragma once
// What the pattern editor needs from the module and, through it, from the
// host. Texts handed to the host are Shift-JIS.
#include "library/PatternLibrary.h"
#include "pattern/PadInfo.h"
#include "platform/prompts.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace pelmora {

class TextClipboard;

class EditorHost {
public:
    virtual ~EditorHost() = default;
    // Refills the current button layout from the current pad.
    virtual void ReadPadInfo() = 0;
    virtual const TPadInfo& PadInfo() const = 0;
    // The pad's "WallPaper" setting; nullopt when the host has none.
    virtual std::optional<std::string> GetPadWallPaper() = 0;
    // True when the host accepted the setting.
    virtual bool SetPadWallPaper(const std::string& value) = 0;
    // Where a kept trial wallpaper goes (the current pad's wallpaper file
    // beside the settings file), as a file and as the text handed to the pad.
    virtual std::filesystem::path WallpaperFile() const = 0;
    virtual std::string WallpaperText() const = 0;
    // A new empty temporary file whose name begins with "pel".
    virtual std::filesystem::path CreateTrialFile() = 0;
    // A file path as the text handed to the pad.
    virtual std::string HostPathText(const std::filesystem::path& path) const = 0;
    // The name prompt: true when a name was accepted; `name` then holds it.
    virtual bool AskPatternName(const std::string& promptUtf8, std::string& name,
                                const PatternLibrary& names) = 0;
    // Appends the patterns of a file the user picks to `list`; false when
    // nothing was read.
    virtual bool ImportPatterns(PatternLibrary& list) = 0;
    // Writes the entries to a pattern file the user picks; false when the
    // user picked none.
    virtual bool ExportPatterns(const std::vector<TExportEntry>& entries) = 0;
    // The window is gone: the plug-in menu lists the patterns again.
    virtual void EditorClosed() = 0;
    // The dialog service the editor's questions and messages go through.
    virtual Prompts& Dialogs() = 0;
    // The clipboard the editor copies to and pastes from.
    virtual TextClipboard& Clipboard() = 0;
};

} // namespace pelmora
