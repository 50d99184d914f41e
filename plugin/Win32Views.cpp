// Where the module meets its views on Windows: the platform's own dialogs and
// the Win32 editor window, which lives in the launcher's message loop. The
// dialogs belong to the editor while it is open (so they are modal over it),
// to the launcher's pad window otherwise.
#include "platform/prompts.h"
#include "platform/win32/Win32Prompts.h"
#include "plugin/EditorHook.h"
#include "plugin/ModuleEditorHost.h"
#include "plugin/ModuleState.h"
#include "plugin/TRAPI.h"
#include "win32/InputBox.h"
#include "win32/PatternEditor.h"

#include <memory>

namespace pelmora {
namespace {

std::unique_ptr<TEditForm>& OpenWindow() {
    static std::unique_ptr<TEditForm> window;
    return window;
}

HWND EditorWindow() {
    const std::unique_ptr<TEditForm>& window = OpenWindow();
    return window && IsWindowVisible(window->Handle()) ? window->Handle() : nullptr;
}

// The pad the menu was opened from, once the launcher is bound and the
// plug-in started; before that the dialogs have no owner.
void* PadWindow() {
    if (!HostApiComplete() || !Module().PluginActive) {
        return nullptr;
    }
    try {
        return reinterpret_cast<void*>(TRAGetPadWnd(Module().CurrentPad));
    } catch (...) {
        return nullptr;
    }
}

void* DialogOwner() {
    if (const HWND editor = EditorWindow()) {
        return editor;
    }
    return PadWindow();
}

const bool kPromptsInstalled = [] {
    InstallPrompts(std::make_unique<Win32Prompts>(
        DialogOwner, [](void* owner, Prompts& messages, const InputRequest& request) {
            return RunInputBox(static_cast<HWND>(owner), messages, request);
        }));
    return true;
}();

ModuleEditorHost& Host() {
    static ModuleEditorHost host;
    return host;
}

Win32EditorDialogs& Dialogs() {
    static Win32EditorDialogs dialogs(EditorWindow);
    return dialogs;
}

// The window is gone with its classes: the module may be unloaded next.
void DestroyEditor() {
    OpenWindow().reset();
}

} // namespace

bool OpenEditor() {
    TModuleState& state = Module();
    if (!state.PluginActive || !state.Library || OpenWindow()) {
        return false;
    }
    OpenWindow() = std::make_unique<TEditForm>(*state.Library, state.Settings, Host(), Dialogs(),
                                               DestroyEditor);
    OpenWindow()->Show();
    return true;
}

void CloseEditor() {
    // Destroyed now: the library it was made from is going.
    DestroyEditor();
}

} // namespace pelmora
