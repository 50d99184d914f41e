#include "win32/Dialogs.h"

#include "logic/FineAdjustWindow.h"
#include "logic/GradientDialogWindow.h"
#include "win32/FormWindow.h"

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

std::optional<AreaAdjustment> ExecuteFineAdjustDialog(HWND owner, Prompts& prompts,
                                                      std::uint8_t area, bool isFrame,
                                                      const TTrim& thick, const TTrim& outer) {
    const FloatEnvironmentScope arithmetic;
    Win32Form form(FineAdjustWindow::Table(), prompts);
    std::optional<FineAdjustWindow> dialog;
    const bool ok = form.RunModal(owner, [&](Win32Form& window) -> FormEvents& {
        dialog.emplace(window);
        dialog->SetValues(area, isFrame, thick, outer);
        return *dialog;
    });
    if (!ok) {
        return std::nullopt;
    }
    return AreaAdjustment{dialog->Logic().GetOuter(), dialog->Logic().GetThick()};
}

std::optional<std::string> RunInputBox(HWND owner, Prompts& prompts, const InputRequest& request) {
    Win32Form form(InputBoxWindow::Table(), prompts);
    std::optional<InputBoxWindow> box;
    const bool ok = form.RunModal(owner, [&](Win32Form& window) -> FormEvents& {
        box.emplace(window, prompts, request);
        return *box;
    });
    if (!ok) {
        return std::nullopt;
    }
    return box->Text();
}

} // namespace pelmora
