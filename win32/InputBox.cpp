#include "win32/InputBox.h"

#include "win32/FormWindow.h"

namespace pelmora {

std::optional<std::string> RunInputBox(HWND owner, Prompts& messages, const InputRequest& request) {
    Win32Form form(InputBoxWindow::Table(), messages);
    std::optional<InputBoxWindow> box;
    const bool ok = form.RunModal(owner, [&](Win32Form& window) -> FormEvents& {
        box.emplace(window, messages, request);
        return *box;
    });
    if (!ok) {
        return std::nullopt;
    }
    return box->Text();
}

} // namespace pelmora
