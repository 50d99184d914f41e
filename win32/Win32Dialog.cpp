#include "win32/Win32Dialog.h"

#include "platform/win32/wide.h"

#include <windowsx.h>

#include <map>
#include <stdexcept>
#include <utility>

namespace pelmora::win32ui {
namespace {

// The dialog cannot be made: the system says why, in its own language.
std::runtime_error CannotOpen() {
    return std::runtime_error("ダイアログを開けません (" + win32::ErrorText(GetLastError()) +
                              ")。");
}

// --- Window classes of the dialogs -----------------------------------------------------------

// A dialog class lives while a dialog of it is open: the module may be
// unloaded between two uses, and a class left behind would point into it.
std::map<std::wstring, int>& DialogClassUsers() {
    static std::map<std::wstring, int> users;
    return users;
}

void UseDialogClass(const wchar_t* name) {
    if (DialogClassUsers()[name]++ > 0) {
        return;
    }
    WNDCLASSEXW dialogClass = {};
    dialogClass.cbSize = sizeof dialogClass;
    dialogClass.cbWndExtra = DLGWINDOWEXTRA;
    dialogClass.lpfnWndProc = DefDlgProcW;
    dialogClass.hInstance = ModuleInstance();
    dialogClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    dialogClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    dialogClass.lpszClassName = name;
    if (RegisterClassExW(&dialogClass) == 0) {
        DialogClassUsers()[name] = 0;
        throw CannotOpen();
    }
}

void ReleaseDialogClass(const wchar_t* name) {
    if (--DialogClassUsers()[name] == 0) {
        UnregisterClassW(name, ModuleInstance());
    }
}

class DialogClassUse {
public:
    explicit DialogClassUse(const wchar_t* name) : name_(name) { UseDialogClass(name); }
    ~DialogClassUse() { ReleaseDialogClass(name_); }
    DialogClassUse(const DialogClassUse&) = delete;
    DialogClassUse& operator=(const DialogClassUse&) = delete;

private:
    const wchar_t* name_;
};

constexpr DWORD DialogStyle() {
    return WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
}
DWORD DialogExStyle(bool toolWindow) {
    return WS_EX_DLGMODALFRAME | (toolWindow ? WS_EX_TOOLWINDOW : 0);
}

// An empty dialog template naming the class: the controls are made in
// pixels once the dialog knows its DPI.
std::vector<WORD> DialogTemplate(const ModalDialog::Look& look) {
    std::vector<WORD> words;
    const auto dword = [&words](DWORD d) {
        words.push_back(LOWORD(d));
        words.push_back(HIWORD(d));
    };
    const auto text = [&words](const std::wstring& s) {
        words.insert(words.end(), s.begin(), s.end());
        words.push_back(0);
    };
    dword(DialogStyle());
    dword(DialogExStyle(look.ToolWindow));
    words.insert(words.end(), {0, 0, 0, 0, 0}); // no items; x, y, cx, cy
    words.push_back(0);                         // no menu
    text(look.ClassName);
    text(Wide(look.Caption));
    return words;
}

bool IsPushButton(HWND control) {
    wchar_t name[16] = {};
    GetClassNameW(control, name, 16);
    const LONG_PTR type = GetWindowLongPtrW(control, GWL_STYLE) & BS_TYPEMASK;
    return lstrcmpiW(name, L"Button") == 0 && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
}

// Messages whose answer a dialog procedure returns itself instead of through
// DWLP_MSGRESULT.
bool AnswersDirectly(UINT message) {
    switch (message) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
    case WM_INITDIALOG:
        return true;
    default:
        return false;
    }
}

// Device pixels to 96-dpi pixels, rounding down also for negative values.
int FloorTo96(int pixels, const Scale& scale) {
    const long long scaled = static_cast<long long>(pixels) * kBaseDpi;
    const long long dpi = scale.Dpi();
    return static_cast<int>(scaled >= 0 ? scaled / dpi : -((-scaled + dpi - 1) / dpi));
}

// --- Subclassed controls ------------------------------------------------------------------------

// A control's own procedure with something in front of it, owned by the
// control and freed with it.
struct Subclass {
    using Handler = std::function<std::optional<LRESULT>(Subclass&, HWND, UINT, WPARAM, LPARAM)>;
    WNDPROC original = nullptr;
    Handler handle;

    LRESULT Original(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const {
        return CallWindowProcW(original, window, message, wParam, lParam);
    }
};

LRESULT CALLBACK SubclassProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* subclass = reinterpret_cast<Subclass*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (subclass == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        const WNDPROC original = subclass->original;
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        delete subclass;
        return CallWindowProcW(original, window, message, wParam, lParam);
    }
    const std::optional<LRESULT> answer =
        RunHandlerOr(std::optional<LRESULT>(), [&]() -> std::optional<LRESULT> {
            return subclass->handle(*subclass, window, message, wParam, lParam);
        });
    return answer ? *answer : subclass->Original(window, message, wParam, lParam);
}

void Attach(HWND control, Subclass::Handler handle) {
    auto subclass = std::make_unique<Subclass>();
    subclass->handle = std::move(handle);
    SetWindowLongPtrW(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(subclass.get()));
    subclass->original = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProcedure)));
    subclass.release(); // the control's now: freed at WM_NCDESTROY
}

// Messages that may change the text of an edit.
bool MayChangeText(UINT message) {
    switch (message) {
    case WM_CHAR:
    case WM_IME_CHAR:
    case WM_IME_COMPOSITION:
    case WM_KEYDOWN:
    case WM_PASTE:
    case WM_CUT:
    case WM_CLEAR:
    case WM_UNDO:
    case EM_UNDO:
    case EM_REPLACESEL:
    case WM_SETTEXT:
        return true;
    default:
        return false;
    }
}

std::wstring TextOf(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

// --- The window procedure of the paint boxes with a mouse ----------------------------------------

struct MouseBox {
    PaintHandler paint;
    MouseHandler mouse;
    Scale scale;
};

bool IsPress(UINT message) {
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
        return true;
    default:
        return false;
    }
}

bool IsRelease(UINT message) {
    return message == WM_LBUTTONUP || message == WM_RBUTTONUP || message == WM_MBUTTONUP;
}

LRESULT CALLBACK MouseBoxProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        SetWindowLongPtrW(
            window, GWLP_USERDATA,
            reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    }
    auto* box = reinterpret_cast<MouseBox*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (box == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    const bool press = IsPress(message);
    const bool release = IsRelease(message);
    if (press || release || message == WM_MOUSEMOVE) {
        if (press) {
            SetCapture(window);
        } else if (release && (wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == 0 &&
                   GetCapture() == window) {
            ReleaseCapture();
        }
        const TPoint at{FloorTo96(GET_X_LPARAM(lParam), box->scale),
                        FloorTo96(GET_Y_LPARAM(lParam), box->scale)};
        if (box->mouse) {
            RunHandler([&] { box->mouse(message, wParam, at); });
        }
        return 0;
    }
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        const HDC dc = BeginPaint(window, &ps);
        RECT client = {};
        GetClientRect(window, &client);
        if (box->paint) {
            RunHandler([&] { box->paint(dc, client); });
        }
        EndPaint(window, &ps);
        return 0;
    }
    case WM_NCDESTROY:
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        delete box;
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

// --- Modal dialogs -------------------------------------------------------------------------

ModalDialog::~ModalDialog() = default;

bool ModalDialog::RunModal(HWND owner) {
    const DialogClassUse dialogClass(look_.ClassName);
    const std::vector<WORD> words = DialogTemplate(look_);
    failedToOpen_ = nullptr;
    owner_ = owner != nullptr && IsWindow(owner) ? owner : nullptr;
    const INT_PTR result = DialogBoxIndirectParamW(
        ModuleInstance(), reinterpret_cast<const DLGTEMPLATE*>(words.data()), owner_, Procedure,
        reinterpret_cast<LPARAM>(this));
    ownsPrompts_.reset();
    dialog_ = nullptr;
    if (failedToOpen_) {
        std::rethrow_exception(std::exchange(failedToOpen_, nullptr));
    }
    if (result == -1) {
        throw CannotOpen();
    }
    return result == IDOK;
}

void ModalDialog::EndModal(bool ok) {
    EndDialog(dialog_, ok ? IDOK : IDCANCEL);
}

HWND ModalDialog::Add(HWND parent, const ControlPlan& plan) const {
    return CreateControl(parent, plan, scale_, font_.Font());
}

void ModalDialog::Initialise(HWND dialog, HWND owner) {
    dialog_ = dialog;
    scale_ = Scale(WindowDpi(dialog));
    font_ = CreateDialogFont(scale_.Dpi());
    SendMessageW(dialog, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Font()), FALSE);

    // The client area the controls were laid out for, centred on the work
    // area of the monitor the owner is on.
    RECT frame = {0, 0, scale_(look_.ClientWidth), scale_(look_.ClientHeight)};
    AdjustWindowRectEx(&frame, DialogStyle(), FALSE, DialogExStyle(look_.ToolWindow));
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(owner != nullptr ? owner : dialog, MONITOR_DEFAULTTONEAREST),
                    &monitor);
    const RECT& work = monitor.rcWork;
    SetWindowPos(dialog, nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    ownsPrompts_.emplace(dialog);
}

INT_PTR CALLBACK ModalDialog::Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<ModalDialog*>(lParam);
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        const FloatEnvironmentScope arithmetic;
        try {
            self->Initialise(dialog, self->owner_);
            const HWND first = self->CreateControls();
            if (first != nullptr) {
                SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(first), TRUE);
                return FALSE;
            }
            return TRUE;
        } catch (...) {
            // Told by RunModal to the caller, whose handler shows it.
            self->failedToOpen_ = std::current_exception();
            EndDialog(dialog, IDABORT);
            return FALSE;
        }
    }
    auto* self = reinterpret_cast<ModalDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (self == nullptr || self->dialog_ != dialog) {
        return FALSE;
    }
    if (message == WM_NCDESTROY) {
        self->ownsPrompts_.reset();
        SetWindowLongPtrW(dialog, DWLP_USER, 0);
        return FALSE;
    }
    return RunHandlerOr(INT_PTR{FALSE}, [&] { return self->Dispatch(message, wParam, lParam); });
}

INT_PTR ModalDialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) {
        KeepDefaultOnFocusedButton(wParam, lParam);
    }
    const std::optional<LRESULT> answer = DialogMessage(message, wParam, lParam);
    if (!answer) {
        return FALSE;
    }
    if (AnswersDirectly(message)) {
        return static_cast<INT_PTR>(*answer);
    }
    SetWindowLongPtrW(dialog_, DWLP_MSGRESULT, *answer);
    return TRUE;
}

// Enter presses the push button that has the focus, however the focus came
// to it (Tab, a click, an accelerator), and OK anywhere else.
void ModalDialog::KeepDefaultOnFocusedButton(WPARAM wParam, LPARAM lParam) {
    const auto control = reinterpret_cast<HWND>(lParam);
    const WORD code = HIWORD(wParam);
    if ((code != BN_SETFOCUS && code != BN_KILLFOCUS) || control == nullptr ||
        !IsPushButton(control)) {
        return;
    }
    SendMessageW(dialog_, DM_SETDEFID, code == BN_SETFOCUS ? LOWORD(wParam) : IDOK, 0);
}

// --- Paint boxes with a mouse ---------------------------------------------------------------

HWND CreateMousePaintBox(HWND parent, const char* name, int id, const Rect96& bounds,
                         const Scale& scale, PaintHandler paint, MouseHandler mouse) {
    RegisterWindowClass(kMousePaintBoxClass, MouseBoxProcedure, CS_DBLCLKS);
    auto box = std::make_unique<MouseBox>(MouseBox{std::move(paint), std::move(mouse), scale});
    const HWND window = CreateWindowExW(
        0, kMousePaintBoxClass, L"", WS_CHILD | WS_VISIBLE, scale(bounds.Left), scale(bounds.Top),
        scale(bounds.Width), scale(bounds.Height), parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ModuleInstance(), box.get());
    if (window == nullptr) {
        throw CannotOpen();
    }
    box.release(); // the window's now: freed at WM_NCDESTROY
    SetControlName(window, name);
    return window;
}

// --- Control behaviour -------------------------------------------------------------------------

void HoldOnlyAccepted(HWND edit, std::function<bool(const std::string&)> accepts) {
    Attach(edit,
           [accepts = std::move(accepts)](Subclass& self, HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam) -> std::optional<LRESULT> {
               if (!MayChangeText(message)) {
                   return std::nullopt;
               }
               const std::wstring before = TextOf(window);
               DWORD start = 0;
               DWORD end = 0;
               SendMessageW(window, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                            reinterpret_cast<LPARAM>(&end));
               const LRESULT result = self.Original(window, message, wParam, lParam);
               const std::wstring after = TextOf(window);
               if (after != before && !accepts(Utf8(after))) {
                   self.Original(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(before.c_str()));
                   SendMessageW(window, EM_SETSEL, start, end);
                   MessageBeep(MB_OK);
               }
               return result;
           });
}

void TakeArrowKeys(HWND upDown, bool horizontal, std::function<void(int direction)> step) {
    Attach(upDown,
           [horizontal, step = std::move(step)](Subclass& self, HWND window, UINT message,
                                                WPARAM wParam,
                                                LPARAM lParam) -> std::optional<LRESULT> {
               switch (message) {
               case WM_GETDLGCODE:
                   return self.Original(window, message, wParam, lParam) | DLGC_WANTARROWS;
               case WM_KEYDOWN: {
                   const WPARAM increase = horizontal ? VK_RIGHT : VK_UP;
                   const WPARAM decrease = horizontal ? VK_LEFT : VK_DOWN;
                   if (wParam != increase && wParam != decrease) {
                       return std::nullopt;
                   }
                   step(wParam == increase ? 1 : -1);
                   return 0;
               }
               case WM_SETFOCUS:
               case WM_KILLFOCUS:
                   InvalidateRect(window, nullptr, TRUE);
                   return std::nullopt;
               case WM_PAINT: {
                   // The frame is drawn over a whole fresh painting of the arrows.
                   InvalidateRect(window, nullptr, TRUE);
                   const LRESULT result = self.Original(window, message, wParam, lParam);
                   if (GetFocus() == window) {
                       const HDC dc = GetDC(window);
                       RECT frame = {};
                       GetClientRect(window, &frame);
                       InflateRect(&frame, -2, -2);
                       DrawFocusRect(dc, &frame);
                       ReleaseDC(window, dc);
                       ValidateRect(window, nullptr);
                   }
                   return result;
               }
               default:
                   return std::nullopt;
               }
           });
}

void KeepFocusWhenClicked(HWND control) {
    Attach(control,
           [focus = HWND{}](Subclass& self, HWND window, UINT message, WPARAM wParam,
                            LPARAM lParam) mutable -> std::optional<LRESULT> {
               if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK) {
                   focus = GetFocus();
                   return std::nullopt;
               }
               if (message != WM_LBUTTONUP) {
                   return std::nullopt;
               }
               const LRESULT result = self.Original(window, message, wParam, lParam);
               if (GetFocus() == window && focus != nullptr && focus != window && IsWindow(focus)) {
                   SetFocus(focus);
               }
               focus = nullptr;
               return result;
           });
}

Rect96 LabelBounds(HFONT font, const Scale& scale, const char* text, int left, int top) {
    const std::wstring wide = Wide(text);
    const HDC dc = GetDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, font);
    RECT extent = {0, 0, 0, 0};
    DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &extent,
              DT_CALCRECT | DT_SINGLELINE);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    const auto to96 = [&scale](LONG pixels) {
        return static_cast<int>((pixels * kBaseDpi + scale.Dpi() - 1) / scale.Dpi());
    };
    return {left, top, to96(extent.right - extent.left), to96(extent.bottom - extent.top)};
}

} // namespace pelmora::win32ui
