#pragma once
// The pattern editor window with the platform's own controls, built from its
// form, with the editor's own dialogs modal over it. Modeless inside the
// launcher's message loop.
#include "logic/EditorDialogs.h"
#include "logic/PatternEditorWindow.h"
#include "win32/FormWindow.h"

#include <functional>
#include <optional>

namespace pelmora {

class TEditForm {
public:
    // Copies `library`; takes its bounds from `settings` and stores them back
    // there when destroyed. Creates the trial file (throws when it cannot).
    // `closed` runs (from the message loop) once the window has closed; it
    // may destroy this object. Handlers' errors are shown through `prompts`.
    TEditForm(PatternLibrary& library, TIniData& settings, EditorHost& host, EditorDialogs& dialogs,
              Prompts& prompts, std::function<void()> closed);

    void Show() { form_.Show(); }
    HWND Handle() const { return form_.Handle(); }
    HWND Control(std::string_view name) const { return form_.Control(name); }
    PatternEditorLogic& Logic() { return window_->Logic(); }

private:
    Win32Form form_;
    std::optional<PatternEditorWindow> window_; // after the form: destroyed while it still answers
};

} // namespace pelmora
