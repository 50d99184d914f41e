#include "logic/ModalForms.h"

#include "logic/FineAdjustWindow.h"
#include "logic/GradientDialogWindow.h"
#include "logic/InputBoxWindow.h"
#include "platform/fpenv.h"

namespace pelmora {

bool FormEditorDialogs::EditGradient(TGrad& gradient) {
    const FloatEnvironmentScope arithmetic;
    std::optional<GradientDialogWindow> dialog;
    return forms_.Run(GradientDialogWindow::Table(), [&](FormWindow& window) -> FormEvents& {
        dialog.emplace(window, prompts_());
        dialog->SetGradient(gradient);
        return *dialog;
    });
}

std::optional<AreaAdjustment> FormEditorDialogs::AdjustArea(std::uint8_t area, bool isFrame,
                                                            const TTrim& thick,
                                                            const TTrim& outer) {
    const FloatEnvironmentScope arithmetic;
    std::optional<FineAdjustWindow> dialog;
    const bool ok = forms_.Run(FineAdjustWindow::Table(), [&](FormWindow& window) -> FormEvents& {
        dialog.emplace(window);
        dialog->SetValues(area, isFrame, thick, outer);
        return *dialog;
    });
    if (!ok) {
        return std::nullopt;
    }
    return AreaAdjustment{dialog->Logic().GetOuter(), dialog->Logic().GetThick()};
}

std::optional<std::string> RunInputBox(ModalForms& forms, Prompts& prompts,
                                       const InputRequest& request) {
    std::optional<InputBoxWindow> box;
    const bool ok = forms.Run(InputBoxWindow::Table(), [&](FormWindow& window) -> FormEvents& {
        box.emplace(window, prompts, request);
        return *box;
    });
    if (!ok) {
        return std::nullopt;
    }
    return box->Text();
}

} // namespace pelmora
