#pragma once
// The "Main" section of the settings file: the editor window's bounds and
// preview height, and the folders the import and export dialogs open in.
#include <cstdint>
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
};

inline constexpr const char* kMainSection = "Main";

// Reads the record; missing or unreadable keys take their defaults, the
// folders default to the settings file's own folder.
TIniData ReadIniData(const IniFile& ini, std::string_view settingsPath);
// Writes Left, Top, Width, Height, PrevHeight, then ImportDir and ExportDir.
void WriteIniData(IniFile& ini, const TIniData& data);

} // namespace pelmora
