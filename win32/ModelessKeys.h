#pragma once
// Dialog keys for a modeless window that lives in someone else's message
// loop: the launcher does not call IsDialogMessage or TranslateAccelerator for
// the plug-in's windows, so a message hook of the thread does, for key
// messages meant for the window or its controls, while this object lives.
// Order: the window's own filter, its accelerator table, then the dialog
// keys (Tab, arrows, Enter, Esc, Alt + a control's mnemonic). While a menu
// is open the keys are the menu's alone: the hook leaves them be.
#include "win32/Win32Ui.h"

#include <functional>

namespace pelmora::win32ui {

class ModelessKeys {
public:
    // True when the filter has handled the message (it is then not delivered).
    using KeyFilter = std::function<bool(const MSG& message)>;

    // Errors of the key handling are shown through `dialogs`.
    ModelessKeys(HWND window, HACCEL accelerators, Prompts& dialogs, KeyFilter filter);
    ~ModelessKeys();
    ModelessKeys(const ModelessKeys&) = delete;
    ModelessKeys& operator=(const ModelessKeys&) = delete;

    // Whether the message was handled here.
    bool Handle(MSG& message);

private:
    HWND window_;
    HACCEL accelerators_;
    Prompts& dialogs_;
    KeyFilter filter_;
};

} // namespace pelmora::win32ui
