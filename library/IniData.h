#pragma once
// The "Main" section of the settings file: the editor window's bounds and
// preview height, the folders the import and export dialogs open in, and
// whether each pad gets a wallpaper file of its own.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace pelmora {

class IniFile;

// Folders are Shift-JIS texts.
struct TIniData {
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Width = 400;
    std::int32_t Height = 350;
    std::string ImportDir;
    std::string ExportDir;
    std::int32_t PrevHeight = 130;
    // Off: every pad shares the one wallpaper file beside the settings file.
    bool WallPaperPerPad = false;
};

inline constexpr const char* kMainSection = "Main";
inline constexpr const char* kWallPaperPerPadKey = "WallPaperPerPad";

// Reads the record; missing or unreadable keys take their defaults, the
// folders default to the settings file's own folder.
TIniData ReadIniData(const IniFile& ini, std::string_view settingsPath);
// Every key of the record in the order it is written: Left, Top, Width,
// Height, PrevHeight, ImportDir, ExportDir, then WallPaperPerPad only while
// it is on, so that a file whose user never chose it is written as it always
// was.
void ForEachMainValue(const TIniData& data,
                      const std::function<void(std::string_view key, std::string_view value)>& out);
void WriteIniData(IniFile& ini, const TIniData& data);

} // namespace pelmora
