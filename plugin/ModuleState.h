#pragma once
// What the module keeps from load to unload: the settings file path, the
// plug-in's run state, the "Main" settings, the pattern library and the
// button layout of the current pad.
#include "plugin/PadInfo.h"
#include "plugin/PatternLibrary.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace pelmora {

class IniFile;

// Section "Main" of the settings file. Folders are Shift-JIS texts.
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

struct TModuleState {
    std::string SettingsPath; // Shift-JIS, as the host gave it
    bool PluginActive = false;
    bool EditorOpen = false;
    std::int32_t CurrentPad = 0;
    TIniData Settings;
    std::unique_ptr<PatternLibrary> Library; // exists only while PluginActive
    TPadInfo PadInfo{};
};

// The one module state.
TModuleState& Module();

} // namespace pelmora
