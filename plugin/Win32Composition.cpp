// Where the module meets its views on Windows: the platform's own dialogs and
// the Win32 editor window, which lives in the launcher's message loop. The
// dialogs belong to the editor while it is open (so they are modal over it),
// to the launcher's pad window otherwise.
#include "plugin/Win32Composition.h"

#include "platform/win32/Win32Clipboard.h"
#include "platform/win32/Win32Prompts.h"
#include "plugin/EntryPoints.h"
#include "win32/Dialogs.h"
#include "win32/PatternEditor.h"

#include <memory>

namespace pelmora {
namespace {

class Win32EditorLauncher final : public EditorLauncher {
public:
    explicit Win32EditorLauncher(Prompts& prompts)
        : prompts_(prompts), forms_([this] { return Window(); }, prompts),
          dialogs_(forms_, [&prompts]() -> Prompts& { return prompts; }) {}

    bool Open(PatternLibrary& library, TIniData& settings, EditorHost& host) override {
        if (window_) {
            return false;
        }
        // Gone with its window classes once closed: the module may be unloaded next.
        window_ = std::make_unique<TEditForm>(library, settings, host, dialogs_, prompts_,
                                              [this] { window_.reset(); });
        window_->Show();
        return true;
    }

    // Destroyed now: the library it was made from is going.
    void Close() override { window_.reset(); }

    // The open window while it shows, else null.
    HWND Window() const {
        return window_ && IsWindowVisible(window_->Handle()) ? window_->Handle() : nullptr;
    }

private:
    Prompts& prompts_;
    // Outlives every window: a window may be destroyed (the plug-in ending)
    // under one of its dialogs.
    Win32ModalForms forms_;
    FormEditorDialogs dialogs_;
    std::unique_ptr<TEditForm> window_;
};

// The editor while it shows, else the pad the menu was opened from once the
// launcher is bound and the plug-in started; before that, none.
void* DialogOwner(const ModuleContext& module) {
    if (const HWND editor = static_cast<const Win32EditorLauncher&>(*module.Editor).Window()) {
        return editor;
    }
    if (!module.Host.Complete() || !module.State.PluginActive) {
        return nullptr;
    }
    try {
        return reinterpret_cast<void*>(module.Host.TRAGetPadWnd(module.State.CurrentPad));
    } catch (...) {
        return nullptr;
    }
}

} // namespace

ModuleContext& Win32Module() {
    static ModuleContext module = [] {
        // Asked only once the module is made.
        auto prompts = std::make_unique<Win32Prompts>(
            [] { return DialogOwner(Win32Module()); },
            [](void* owner, Prompts& messages, const InputRequest& request) {
                Win32ModalForms forms([owner] { return static_cast<HWND>(owner); }, messages);
                return RunInputBox(forms, messages, request);
            });
        auto editor = std::make_unique<Win32EditorLauncher>(*prompts);
        auto clipboard = std::make_unique<Win32Clipboard>(
            [] { return static_cast<const Win32EditorLauncher&>(*Win32Module().Editor).Window(); });
        return ModuleContext(std::move(prompts), std::move(editor), std::move(clipboard));
    }();
    return module;
}

} // namespace pelmora

PELMORA_DEFINE_ENTRY_POINTS(pelmora::Win32Module)
