#pragma once
// Any window of the module with the platform's own controls, built from its
// form table: a dialog of the table's class (so the platform's dialog manager
// gives Tab, Enter, Esc and Alt+letter their usual meaning), modal over an
// owner or modeless in someone else's message loop. It reports what the user
// does as FormEvents and shows what it is told.
#include "logic/FormWindow.h"
#include "logic/ModalForms.h"
#include "platform/win32/Win32Prompts.h"
#include "win32/Win32Ui.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pelmora {

namespace win32ui {
class FormKeys;
} // namespace win32ui

class Win32Form final : public FormWindow {
public:
    // Makes the logic that receives the window's events, once its controls exist.
    using Attach = ModalForms::Attach;

    // The logic's questions and the handlers' errors go through `prompts`.
    Win32Form(const FormTable& table, Prompts& prompts);
    ~Win32Form() override;
    Win32Form(const Win32Form&) = delete;
    Win32Form& operator=(const Win32Form&) = delete;

    // Shows the window modally over `owner` (null: none), centred on the work
    // area of the owner's monitor, and returns once it has closed: true for
    // OK. Everything it made is released by then. Throws when it cannot be made.
    bool RunModal(HWND owner, const Attach& attach);
    // Makes it, hidden, as a modeless window in the thread's message loop:
    // its dialog keys and shortcuts come through a message hook while it
    // lives. `closed` runs from the message loop once it has closed (and may
    // destroy this object).
    void Create(const Attach& attach, std::function<void()> closed);
    void Show();

    HWND Handle() const { return window_; }
    HWND Control(std::string_view name) const;
    const Scale& DpiScale() const { return scale_; }
    Prompts& Dialogs() const { return prompts_; }
    // The identifier a menu item's command arrives with.
    static int CommandOf(const FormTable& table, std::string_view item);

    PELMORA_FORM_WINDOW_OVERRIDES

    // Painting and events of the controls the form draws itself (paint boxes,
    // panels with their shapes, owner-drawn rows), for their procedures.
    struct Part;
    struct MouseMessage;
    void PaintPart(const Part& part, HDC dc, const RECT& client);
    bool ReportsMouse(const Part& part) const;
    void PartMouse(const Part& part, const MouseMessage& mouse, WPARAM keys, LPARAM at);
    // A key pressed in a paint box that takes the focus, or the focus
    // coming or going; true when the logic took it.
    bool PartKey(const Part& part, UINT message, WPARAM key);

private:
    struct ControlState;

    static INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    template <typename Make> INT_PTR Open(const Attach& attach, Make&& make);
    void Initialise(HWND dialog, HWND owner);
    void MakeControls();
    HWND MakeControl(const FormControl& control, std::size_t index, HWND parent);
    void MakeMenus();
    void ApplyDpi(int dpi);
    void Relayout();
    std::optional<LRESULT> Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    std::optional<LRESULT> Command(int id, int code, HWND control);
    std::optional<LRESULT> OnNotify(LPARAM lParam);
    std::optional<LRESULT> OnHScroll(WPARAM wParam, LPARAM lParam);
    std::optional<LRESULT> OnMeasureItem(LPARAM lParam);
    std::optional<LRESULT> OnCtlColorStatic(WPARAM wParam, LPARAM lParam);
    std::optional<LRESULT> OnMenuSelect(WPARAM wParam, LPARAM lParam);
    std::optional<LRESULT> OnDropFiles(WPARAM wParam);
    std::optional<LRESULT> OnContextMenu(WPARAM wParam, LPARAM lParam);
    std::optional<LRESULT> OnDpiChanged(WPARAM wParam, LPARAM lParam);
    std::optional<LRESULT> RunPosted();
    bool Report(FormEvent event);
    // Whether the rows would be taken there.
    bool ReportDrag(std::size_t list, POINT screen, bool drop);
    void DrawRow(const DRAWITEMSTRUCT& item);
    void PaintShapes(std::string_view parent, Bitmap24& canvas, int originX, int originY);
    bool PaintsShapes(std::string_view parent) const;
    void Repaint(std::size_t index);
    std::size_t IndexOf(std::string_view name) const;
    std::optional<std::size_t> IndexOfWindow(HWND window) const;
    bool FilterKey(const MSG& message);

    const FormTable& table_;
    Prompts& prompts_;
    FormEvents* events_ = nullptr;
    Attach attach_;
    std::function<void()> closed_;
    HWND window_ = nullptr;
    HWND owner_ = nullptr;
    bool modal_ = false;
    bool closing_ = false;
    bool quiet_ = false; // the form changes a control itself
    Scale scale_;
    win32ui::GdiObject font_;
    std::vector<win32ui::WindowClass> classes_;
    std::vector<std::unique_ptr<ControlState>> controls_; // in table order
    std::vector<std::unique_ptr<Part>> parts_;
    std::map<HMENU, std::string> menus_;
    HACCEL accelerators_ = nullptr;
    std::unique_ptr<win32ui::FormKeys> keys_;
    std::exception_ptr failedToOpen_;
    // While a modal window is open, the platform's dialogs the logic asks
    // for (colours, input boxes) belong to it.
    std::optional<Win32Prompts::OwnerScope> ownsPrompts_;
    std::vector<std::function<void()>> posted_;
};

} // namespace pelmora
