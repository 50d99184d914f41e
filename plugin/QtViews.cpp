// Where the module meets its views: the dialogs and the editor window are Qt's.
#include "platform/prompts.h"
#include "plugin/EditorHook.h"
#include "plugin/ModuleEditorHost.h"
#include "plugin/ModuleState.h"
#include "qt/QtPrompts.h"
#include "qt/PatternEditor.h"

#include <QPointer>

#include <memory>

namespace pelmora {
namespace {

// Only an object is made here; the Qt application comes with the first dialog.
const bool kPromptsInstalled = [] {
    InstallPrompts(std::make_unique<QtPrompts>());
    return true;
}();

ModuleEditorHost& Host() {
    static ModuleEditorHost host;
    return host;
}

// The open window; it deletes itself when closed.
QPointer<TEditForm>& OpenWindow() {
    static QPointer<TEditForm> window;
    return window;
}

} // namespace

bool OpenEditor() {
    TModuleState& state = Module();
    if (!state.PluginActive || !state.Library || OpenWindow()) {
        return false;
    }
    EnsureQtApplication();
    // Owned by Qt: the window deletes itself when it closes.
    auto* window = new TEditForm(*state.Library, state.Settings, Host());
    OpenWindow() = window;
    window->show();
    return true;
}

void CloseEditor() {
    if (TEditForm* window = OpenWindow()) {
        // Destroyed now, not later: the library it was made from is going.
        std::unique_ptr<TEditForm> owned(window);
    }
}

} // namespace pelmora
