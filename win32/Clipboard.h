#pragma once
// The system clipboard on Windows, as Unicode text (CF_UNICODETEXT).
#include "logic/Clipboard.h"

#include <windows.h>

#include <functional>

namespace pelmora {

class Win32Clipboard final : public TextClipboard {
public:
    // `owner` gives the window that puts text on the clipboard.
    explicit Win32Clipboard(std::function<HWND()> owner) : owner_(std::move(owner)) {}
    // A text longer than kMaxInputFileSize characters comes cut just past
    // that length: no reader takes it anyway.
    std::optional<std::string> Text() override;
    void SetText(const std::string& text) override;

private:
    std::function<HWND()> owner_;
};

} // namespace pelmora
