#pragma once
// The plug-in's operations on the host and the user's files: reading the pad's
// button layout, applying a pattern as the pad's wallpaper, the name prompt,
// and pattern-file import and export.
//
// Paths and names are Shift-JIS texts, as the host and the files hold them;
// texts for the dialog service are UTF-8.
#include "library/PatternLibrary.h"
#include "platform/bitmap.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelmora {

class TPatrn;

inline constexpr const char* kPluginName = "Pelmora";
inline constexpr std::int32_t kPadInitBufferSize = 1024;
inline constexpr const char* kWallPaperKey = "WallPaper";

// --- Library ---------------------------------------------------------------

// Lets the user rename an entry of `names` (which holds `name`). Returns
// whether a name was accepted; `name` then holds it (possibly unchanged).
bool AskPatternName(const std::string& promptUtf8, std::string& name, const PatternLibrary& names);

// --- Pad layout and wallpaper ----------------------------------------------

// Refills the module's button layout from the current pad's settings.
void ReadPadInfo();

// One setting of a pad, read with a 1024-byte buffer; nullopt when the host
// has none.
std::optional<std::string> ReadPadText(std::int32_t pad, const char* key);
// Hands a setting to a pad; true when the host accepted it.
bool SetPadText(std::int32_t pad, const char* key, const std::string& value);

// The wallpaper file beside the settings file; throws FileError when the host
// has named no settings file.
std::string ModuleWallpaperPath();

// Paints `pattern` as the wallpaper of the current pad, saves it beside the
// settings file and hands it to the pad. True when the host accepted it.
bool ApplyPattern(const TPatrn& pattern);

// --- Pattern files ---------------------------------------------------------

// Asks for a pattern file and appends its patterns to `names`. False when the
// dialog was cancelled. Updates ImportDir.
bool ImportPatternFile(PatternLibrary& names);

// Asks for a file and writes `entries` into it as sections "1", "2", ...,
// replacing whatever it held. False when the dialog was cancelled. Updates
// ExportDir.
bool ExportPatterns(const std::vector<TExportEntry>& entries);

} // namespace pelmora
