#include "win32/PatternEditor.h"

namespace pelmora {

TEditForm::TEditForm(PatternLibrary& library, TIniData& settings, EditorHost& host,
                     EditorDialogs& dialogs, Prompts& prompts, std::function<void()> closed)
    : form_(PatternEditorWindow::Table(), prompts) {
    form_.Create(
        [&](FormWindow& window) -> FormEvents& {
            window_.emplace(window, library, settings, host, dialogs);
            return *window_;
        },
        std::move(closed));
}

} // namespace pelmora
