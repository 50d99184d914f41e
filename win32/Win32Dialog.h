#pragma once
// What the module's modal dialogs add to Win32Ui: a dialog with a window
// class of its own name, run by the platform's dialog manager (so Tab, Enter,
// Esc and Alt+letter behave as everywhere on the platform), paint boxes that
// report the mouse, number fields that hold only what their owner accepts,
// and arrow controls that take the arrow keys.
#include "platform/win32/Win32Prompts.h"
#include "win32/Win32Ui.h"

#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pelmora::win32ui {

// --- Modal dialogs -------------------------------------------------------------------------
// A modal dialog over an owner window. The derived class makes its controls
// in CreateControls and answers its messages in DialogMessage; both run under
// RunHandler. While it is open, the platform's dialogs the logic asks for
// (colours, input boxes) belong to it.
class ModalDialog {
public:
    struct Look {
        const wchar_t* ClassName = nullptr; // the dialog's documented class name
        const char* Caption = "";           // UTF-8
        int ClientWidth = 0;                // 96-dpi pixels
        int ClientHeight = 0;
        bool ToolWindow = false;
    };

    virtual ~ModalDialog();
    ModalDialog(const ModalDialog&) = delete;
    ModalDialog& operator=(const ModalDialog&) = delete;

    // Shows the dialog modally over `owner` (null: none), centred on the work
    // area of the owner's monitor, and returns once it has closed: true for
    // OK. Everything the dialog made is released by then. Throws when the
    // dialog cannot be made.
    bool RunModal(HWND owner);
    HWND Handle() const { return dialog_; }

protected:
    explicit ModalDialog(Look look) : look_(look) {}

    // Makes the controls (the dialog exists, Scale and Font are set).
    // Returns the control that takes the focus first.
    virtual HWND CreateControls() = 0;
    // A message for the dialog; nullopt leaves it to the dialog manager.
    virtual std::optional<LRESULT> DialogMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;

    // Closes the dialog once the current message has been handled.
    void EndModal(bool ok);
    const Scale& DialogScale() const { return scale_; }
    HFONT Font() const { return font_.Font(); }
    // A child control in the dialog's font, placed by its scale.
    HWND Add(HWND parent, const ControlPlan& plan) const;

private:
    static INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    void Initialise(HWND dialog, HWND owner);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    void KeepDefaultOnFocusedButton(WPARAM wParam, LPARAM lParam);

    Look look_;
    HWND dialog_ = nullptr;
    HWND owner_ = nullptr;
    Scale scale_;
    GdiObject font_;
    std::optional<Win32DialogOwnerScope> ownsPrompts_;
    std::exception_ptr failedToOpen_;
};

// --- Paint boxes with a mouse ---------------------------------------------------------------
// Window class "TMousePaintBox": a paint box that also reports its mouse
// messages, with the pointer in 96-dpi pixels of the box. A press captures
// the mouse until the last button is released, so a drag may leave the box;
// a second press in quick succession comes as a double-click message.
inline constexpr const wchar_t* kMousePaintBoxClass = L"TMousePaintBox";
using MouseHandler = std::function<void(UINT message, WPARAM keys, TPoint at)>;
HWND CreateMousePaintBox(HWND parent, const char* name, int id, const Rect96& bounds,
                         const Scale& scale, PaintHandler paint, MouseHandler mouse);

// --- Control behaviour -------------------------------------------------------------------------
// A one-line edit that holds only the text `accepts` (given UTF-8) allows,
// however the text arrives: typed, pasted, composed by an input method or
// sent by another program. A refused change leaves text and selection as
// they were.
void HoldOnlyAccepted(HWND edit, std::function<bool(const std::string&)> accepts);

// An up-down control that has the focus takes the arrow keys of its
// direction (Up and Down, or Left and Right when horizontal) as clicks of its
// arrows, and shows the focus with a dotted frame.
void TakeArrowKeys(HWND upDown, bool horizontal, std::function<void(int direction)> step);

// A control that, like a speed button, leaves the focus where it was when
// clicked.
void KeepFocusWhenClicked(HWND control);

// The size a label needs for `text` (UTF-8, with & marks) in `font`, in
// 96-dpi pixels.
Rect96 LabelBounds(HFONT font, const Scale& scale, const char* text, int left, int top);

} // namespace pelmora::win32ui
