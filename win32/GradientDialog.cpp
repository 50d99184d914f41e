#include "win32/GradientDialog.h"

#include "logic/GradientDialogWindow.h"
#include "win32/FormWindow.h"

#include <optional>

namespace pelmora {

bool ExecuteGradientDialog(HWND owner, Prompts& prompts, TGrad& gradient) {
    const FloatEnvironmentScope arithmetic;
    Win32Form form(GradientDialogWindow::Table(), prompts);
    std::optional<GradientDialogWindow> dialog;
    return form.RunModal(owner, [&](Win32Form& window) -> FormEvents& {
        dialog.emplace(window, prompts);
        dialog->SetGradient(gradient);
        return *dialog;
    });
}

} // namespace pelmora
