#include "win32/PatternEditor.h"

#include "win32/Dialogs.h"

namespace pelmora {

bool Win32EditorDialogs::EditGradient(TGrad& gradient) {
    return ExecuteGradientDialog(owner_ ? owner_() : nullptr, prompts_, gradient);
}

std::optional<AreaAdjustment> Win32EditorDialogs::AdjustArea(std::uint8_t area, bool isFrame,
                                                             const TTrim& thick,
                                                             const TTrim& outer) {
    return ExecuteFineAdjustDialog(owner_ ? owner_() : nullptr, prompts_, area, isFrame, thick,
                                   outer);
}

TEditForm::TEditForm(PatternLibrary& library, TIniData& settings, EditorHost& host,
                     EditorDialogs& dialogs, Prompts& prompts, std::function<void()> closed)
    : form_(PatternEditorWindow::Table(), prompts) {
    form_.Create(
        [&](Win32Form& window) -> FormEvents& {
            window_.emplace(window, library, settings, host, dialogs);
            return *window_;
        },
        std::move(closed));
}

} // namespace pelmora
