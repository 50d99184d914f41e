#include "win32/GradientDialog.h"

#include "logic/GradDlgWindow.h"
#include "win32/FormWindow.h"

#include <optional>

namespace pelmora {

bool ExecuteGradDialog(HWND owner, TGrad& gradient) {
    const FloatEnvironmentScope arithmetic;
    Win32Form form(GradDlgWindow::Table());
    std::optional<GradDlgWindow> dialog;
    return form.RunModal(owner, [&](Win32Form& window) -> FormEvents& {
        dialog.emplace(window);
        dialog->SetGradient(gradient);
        return *dialog;
    });
}

} // namespace pelmora
