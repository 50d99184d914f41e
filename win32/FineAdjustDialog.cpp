#include "win32/FineAdjustDialog.h"

#include "logic/FineAdjustWindow.h"
#include "win32/FormWindow.h"

namespace pelmora {

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

} // namespace pelmora
