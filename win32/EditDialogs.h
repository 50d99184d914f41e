#pragma once
// The editor's own dialogs on Windows: the gradient editor and the fine-adjust
// dialog, each modal over the editor window.
#include "logic/EditorDialogs.h"
#include "win32/Win32Ui.h"

#include <functional>

namespace pelmora {

class Win32EditorDialogs final : public EditorDialogs {
public:
    // The window the dialogs belong to, asked for each dialog.
    explicit Win32EditorDialogs(std::function<HWND()> owner) : owner_(std::move(owner)) {}

    bool EditGradient(TGrad& gradient) override;
    std::optional<AreaAdjustment> AdjustArea(std::uint8_t area, bool isFrame, const TTrim& thick,
                                             const TTrim& outer) override;

private:
    std::function<HWND()> owner_;
};

} // namespace pelmora
