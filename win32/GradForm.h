#pragma once
// The gradient editor dialog ("グラデーションの設定") as a Win32 view over
// GradDlgLogic: the platform's own controls, modal over its owner.
#include "gradient/GradObj.h"

#include <windows.h>

namespace pelmora {

// The window class of the dialog, as tests and tools see it.
inline constexpr const wchar_t* kGradDlgClass = L"TGradDlg";

// Edits `gradient` in place in the gradient editor, shown modally over
// `owner` (null: none); returns true when it was closed with OK. Cancel does
// not undo the edits: the caller decides from the result whether to use
// `gradient`, and reloads it before the next use. Every window and GDI
// object of the dialog is released before it returns. Throws when the
// dialog cannot be made.
bool ExecuteGradDialog(HWND owner, TGrad& gradient);

} // namespace pelmora
