#pragma once
// What the module keeps from load to unload, made once by a composition root
// (one per toolkit, and the tests' own) and handed down: the plug-in's state,
// the binding to the launcher, the dialog service, the editor window's
// launcher, and the operations on pads and files that use them.
#include "library/IniData.h"
#include "library/PatternLibrary.h"
#include "library/SettingsFile.h"
#include "platform/clipboard.h"
#include "pattern/PadInfo.h"
#include "platform/prompts.h"
#include "plugin/HostBinding.h"

#include <cstdint>
#include <memory>
#include <string>

namespace pelmora {

class EditorHost;
class ModuleOperations;

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

// Opens the pattern editor window, one at a time.
class EditorLauncher {
public:
    virtual ~EditorLauncher() = default;
    // Creates and shows the modeless window on `library` and returns at once;
    // false when none could be opened. The window, when it is destroyed,
    // calls host.EditorClosed().
    virtual bool Open(PatternLibrary& library, TIniData& settings, EditorHost& host) = 0;
    // Destroys an open window without questions, discarding its edits and
    // putting back a wallpaper it was trying: the plug-in is ending.
    virtual void Close() = 0;
};

struct ModuleContext {
    // Binds the launcher's functions from the process's main executable.
    ModuleContext(std::unique_ptr<Prompts> dialogs, std::unique_ptr<EditorLauncher> editor,
                  std::unique_ptr<TextClipboard> clipboard);
    ~ModuleContext();
    ModuleContext(const ModuleContext&) = delete;
    ModuleContext& operator=(const ModuleContext&) = delete;

    TModuleState State;
    HostBinding Host;
    std::unique_ptr<Prompts> Dialogs;
    std::unique_ptr<EditorLauncher> Editor;
    std::unique_ptr<TextClipboard> Clipboard;     // the editor's copy and paste
    std::unique_ptr<ModuleOperations> Operations; // on pads and files; the editor's host
};

} // namespace pelmora
