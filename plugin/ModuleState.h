#pragma once
// What the module keeps from load to unload: the settings file path, the
// plug-in's run state, the "Main" settings, the pattern library and the
// button layout of the current pad.
#include "library/IniData.h"
#include "library/PatternLibrary.h"
#include "library/SettingsFile.h"
#include "pattern/PadInfo.h"

#include <cstdint>
#include <memory>
#include <string>

namespace pelmora {

struct TModuleState {
    std::string SettingsPath; // Shift-JIS, made absolute when the host gave it
    bool PluginActive = false;
    bool EditorOpen = false;
    std::int32_t CurrentPad = 0;
    TIniData Settings;
    std::unique_ptr<PatternLibrary> Library; // exists only while PluginActive
    // What the start found at SettingsPath and the digest of what it read:
    // the end replaces only that file, and only when something changed.
    SettingsOrigin Origin;
    std::uint64_t StartDigest = 0;
    TPadInfo PadInfo{};
};

// The one module state.
TModuleState& Module();

} // namespace pelmora
