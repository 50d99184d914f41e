#pragma once
// The plug-in's operations on the host and the user's files: reading the pad's
// button layout, applying a pattern as the pad's wallpaper, the trial used by
// the editor, the name prompt, and pattern-file import and export.
//
// Paths and names are Shift-JIS texts, as the host and the files hold them;
// texts for the dialog service are UTF-8.
#include "library/PatternLibrary.h"
#include "platform/bitmap.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace pelmora {

class TPatrn;

inline constexpr const char* kPluginName = "Pelmora";
inline constexpr std::int32_t kPadInitBufferSize = 1024;

// --- Library ---------------------------------------------------------------

// Lets the user rename an entry of `names` (which holds `name`). Returns
// whether a name was accepted; `name` then holds it (possibly unchanged).
bool AskPatternName(const std::string& promptUtf8, std::string& name, const PatternLibrary& names);

// --- Pad layout and wallpaper ----------------------------------------------

// Refills the module's button layout from the current pad's settings.
void ReadPadInfo();

// Paints `pattern` as the wallpaper of the current pad, saves it beside the
// settings file and hands it to the pad. True when the host accepted it.
bool ApplyPattern(const TPatrn& pattern);

// The editor's trial of a pattern on the pad, with the pad's own wallpaper
// remembered so that it can be put back.
struct TWallpaperTrial {
    bool TrialApplied = false;
    std::string OldWallPaper; // Shift-JIS, as the host returned it
};

// Saves `preview` at `trialFile` and sets it as the pad's wallpaper; the first
// trial remembers the pad's wallpaper first. Returns the host's answer.
bool TryWallpaper(TWallpaperTrial& trial, const Bitmap24& preview,
                  const std::filesystem::path& trialFile);
// Puts the remembered wallpaper back and ends the trial.
bool UndoWallpaperTrial(TWallpaperTrial& trial);
// Keeps the trial: the trial bitmap becomes the wallpaper file beside the
// settings file, and the pad is pointed at it. Ends the trial.
bool KeepWallpaperTrial(TWallpaperTrial& trial, const std::filesystem::path& trialFile);

// --- Pattern files ---------------------------------------------------------

// Asks for a pattern file and appends its patterns to `names`. False when the
// dialog was cancelled. Updates ImportDir.
bool ImportPatternFile(PatternLibrary& names);

// Asks for a file and writes `entries` into it as sections "1", "2", ...,
// replacing whatever it held. False when the dialog was cancelled. Updates
// ExportDir.
bool ExportPatterns(const std::vector<TExportEntry>& entries);

} // namespace pelmora
