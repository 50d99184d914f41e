#pragma once
// A window's keys where no loop of ours translates them: a modeless window
// lives in the launcher's message loop, which calls neither IsDialogMessage
// nor TranslateAccelerator for the plug-in's windows, and the dialog
// manager's modal loop knows no accelerators. So a message hook of the
// thread does, for key messages meant for the window or its controls, while
// this object lives.
// Order: the window's own filter, its accelerator table, then the dialog
// keys (Tab, arrows, Enter, Esc, Alt + a control's mnemonic). While a menu
// is open the keys are the menu's alone: the hook leaves them be.
#include "win32/Win32Ui.h"

#include <functional>

namespace pelmora::win32ui {

class FormKeys {
public:
    // True when the filter has handled the message (it is then not delivered).
    using KeyFilter = std::function<bool(const MSG& message)>;

    // Errors of the key handling are shown through `dialogs`.
    FormKeys(HWND window, HACCEL accelerators, Prompts& dialogs, KeyFilter filter);
    ~FormKeys();
    FormKeys(const FormKeys&) = delete;
    FormKeys& operator=(const FormKeys&) = delete;

    // Whether the message was handled here.
    bool Handle(MSG& message);

private:
    HWND window_;
    HACCEL accelerators_;
    Prompts& dialogs_;
    KeyFilter filter_;
};

} // namespace pelmora::win32ui
