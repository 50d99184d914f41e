#pragma once
// The system clipboard on Windows, as Unicode text (CF_UNICODETEXT).
#include "platform/clipboard.h"

#include <functional>

namespace pelmora {

class Win32Clipboard final : public TextClipboard {
public:
    // `owner` gives the window (an HWND) that puts text on the clipboard.
    explicit Win32Clipboard(std::function<void*()> owner) : owner_(std::move(owner)) {}
    // A text longer than kMaxInputFileSize characters comes cut just past
    // that length: no reader takes it anyway.
    std::optional<std::string> Text() override;
    void SetText(const std::string& text) override;

private:
    std::function<void*()> owner_;
};

} // namespace pelmora
